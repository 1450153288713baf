#pragma once
// The one road by which the program reads data files. A relative path such as
// "properties/sounds.xml" is looked up in the mounted resource packs (in the order of their file
// names), then on disk; while the language overlay is on, the language copy
// ("!langs/<code>/<path>") is tried first in each place. Files come back as read-only views that
// are never copies: pointers into a pack's mapping, or whole-file disk mappings.
#include "core/PackDirectory.h"
#include "core/Types.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace lv::core {

class CResourcePack;

class CFileSystem
{
public:
    // The process-wide file system; created on first use, which mounts "game.pack".
    static CFileSystem& Instance();

    // Asks the system for the user's language, then mounts "game.pack" from the working folder.
    CFileSystem();
    // With a given language code ("" turns the overlay off), mounting nothing: for tools, tests
    // and benchmarks.
    explicit CFileSystem(const char* languageCode);
    ~CFileSystem();
    CFileSystem(const CFileSystem&) = delete;
    CFileSystem& operator=(const CFileSystem&) = delete;

    // The whole file and its size; null when the file is found nowhere.
    const u8* LoadFile(const char* path, u32* size = nullptr);
    // Nothing for a pointer into a mounted pack; otherwise releases the disk mapping.
    void FreeFile(const void* pointer);
    // The size of a loaded file; 0 for a pointer that is neither in a pack nor a disk mapping.
    u32 GetLoadedSize(const void* pointer) const;
    bool FileExists(const char* path) const;
    // True only while the overlay is on and a language copy exists in a pack or on disk.
    bool HasLocalizedFile(const char* path) const;
    // Offset and size of the file inside the pack file that holds it; -1 when no mounted pack
    // holds it (the disk is not searched).
    s64 GetFileOffset(const char* path, u32& size) const;
    // A new stream on the pack file that holds the path, not positioned; null when no pack holds
    // it. The caller seeks to the offset, reads at most size bytes and closes the stream.
    FILE* OpenFileStream(const char* path, s64& offset, u32& size) const;
    // Entry names from every mounted pack (all for an empty prefix, else those that begin with
    // it); with no pack mounted, the files of the disk folder that the prefix names.
    void EnumerateFiles(const char* prefix, PackNameCallback callback, void* user) const;

    bool MountPack(const char* name);
    void UnmountPack(const char* name);
    bool IsPackMounted(const char* name) const;
    void EnablePrefetch();

    const char* GetLanguageCode() const { return m_LanguageCode; }
    bool IsOverlayOn() const { return m_Overlay; }

private:
    void SetLanguage(const char* code);
    // "!langs/<code>/<path>" into a 260-byte buffer; false when the overlay is off or the path
    // does not fit, in which case no language copy is tried on disk.
    bool BuildLanguagePath(char (&out)[260], const char* path) const;

    // Byte-wise order of the names is also the search order of every lookup.
    std::map<std::string, std::unique_ptr<CResourcePack>> m_Packs;
    char m_LanguageCode[64] = {};
    bool m_Overlay = false;
    bool m_Prefetch = false;
};

} // namespace lv::core
