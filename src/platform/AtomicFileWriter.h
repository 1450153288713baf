#pragma once
// A file replaced in steps, for callers that must do something between the new content being
// safely on disk and the switch to it (the saved game backs up the previous save there): the
// bytes go to a temporary file beside the target; Finish puts them on disk; Commit renames the
// temporary file over the target and puts the folder's entry on disk. Until Commit the target
// is untouched; a writer destroyed before it removes its temporary file.
#include "core/Types.h"

#include <cstddef>
#include <string>

namespace lv::platform {

class CAtomicFileWriter
{
public:
    CAtomicFileWriter() = default;
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Creates the temporary file for the target (UTF-8; '\' works as a separator). An existing
    // target's permission bits are carried over.
    bool Open(const char* path);
    // Writes everything, resuming after interruptions and short writes; any failure is sticky.
    bool Write(const void* data, size_t size);
    // Flushes the file to disk and closes it.
    bool Finish();
    // Renames the finished file over the target, then syncs the folder (a caller that commits
    // several files of one folder may sync only with the last).
    bool Commit(bool syncFolder = true);
    // Removes the temporary file; the target stays as it was.
    void Discard();

    const std::string& GetTargetPath() const { return m_Target; }

private:
    std::string m_Target;
    std::string m_Temp;
    int m_File = -1;
    // Bytes this file may still take under the tests' fault switch; negative: no limit.
    s64 m_Budget = -1;
    bool m_Failed = false;
    bool m_Finished = false;
};

// Gives the existing file's content a second name: target then names the same data (a hard link,
// put in place by a rename, so an earlier target stays whole until the switch). Nothing is synced:
// the data must already be on disk, and the caller syncs the folder. False, with the target
// untouched, where the file system has no links.
bool LinkFileOver(const char* existing, const char* target);

// Tests only: the steps of every atomic write that can be made to fail.
enum class EAtomicWriteFault
{
    None,
    // Flushing the temporary file to disk.
    Sync,
    // Renaming the temporary file over the target.
    Rename,
};
void SetAtomicWriteFault(EAtomicWriteFault fault);

} // namespace lv::platform
