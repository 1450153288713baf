#pragma once
// Files and folders of the operating system. Paths are UTF-8; both '/' and '\' are accepted as
// separators (data written on Windows uses '\') and handed to the system as '/'.
#include "core/Types.h"

#include <cstdio>
#include <string>
#include <vector>

namespace lv::platform {

// Replaces every '\' by '/'.
std::string ToSystemPath(std::string_view path);

// fopen with the runtime's mode letters. A mode without 'b' is text mode: on writing, every
// "\n" reaches the file as "\r\n", as text files of this program have always been written.
// Reading is never translated; readers accept both line ends. 't' is accepted and ignored.
FILE* OpenFile(const char* path, const char* mode);

// Opens a text-mode log for appending. The first process to open the file owns it: the file is
// emptied and stays locked while open. A file another process holds is left as it is, so a
// second instance that starts and quits again cannot wipe the running one's log; its lines
// are appended. owned tells which case it was.
FILE* OpenOwnedTextLog(const char* path, bool& owned);

// Flushes the stream and asks the system to put the file's data on disk; false on any error.
bool SyncFile(FILE* file);

// Access test with the runtime's mode numbers: 0 existence, 2 write, 4 read, 6 read and write.
// 0 when allowed, -1 otherwise (also for an unknown mode).
int AccessFile(const char* path, int mode);

// Deletes a file (never a folder); true on success.
bool RemoveFile(const char* path);

// Renames, replacing an existing target atomically; true on success.
bool RenameFile(const char* from, const char* to);

bool PathExists(const char* path);
bool IsDirectory(const char* path);

// Size of a regular file; false when the path is missing or is not a regular file.
bool GetFileSize(const char* path, u64& size);

enum class EMakeDirResult
{
    Created,
    Exists,
    Failed,
};

// Creates one folder (the parent must exist).
EMakeDirResult MakeDirectory(const char* path);

bool GetCurrentDirectory(std::string& path);
bool SetCurrentDirectory(const char* path);

struct SDirEntry
{
    std::string Name;
    bool IsDirectory = false;
};

// The entries of a folder except "." and "..", in the order the system gives; false when the
// folder cannot be opened.
bool ReadDirectory(const char* path, std::vector<SDirEntry>& entries);

} // namespace lv::platform
