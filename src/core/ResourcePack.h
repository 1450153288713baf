#pragma once
// One mounted resource pack: the file mapped read-only once, checked, and answered from by
// binary search over its sorted directory. Data pointers point straight into the mapping and
// stay valid until the pack is destroyed. With the language flag on, a language copy
// ("!langs/<code>/<path>") wins over the plain entry.
#include "core/PackDirectory.h"
#include "core/Types.h"

#include <cstdio>
#include <string>

namespace lv::core {

class CResourcePack
{
public:
    // Maps and checks the file; a missing file leaves the pack closed without a message, a
    // damaged one logs "game.pack is invalid" and leaves it closed.
    CResourcePack(const char* fileName, const char* languageCode, bool useLanguage);
    ~CResourcePack();
    CResourcePack(const CResourcePack&) = delete;
    CResourcePack& operator=(const CResourcePack&) = delete;

    bool IsOpen() const { return m_Base != nullptr; }
    // The language copy (when looked up) or the plain entry is in the pack.
    bool Contains(const char* path) const;
    // Only the language copy counts; false while the language flag is off.
    bool ContainsLocalized(const char* path) const;
    // The entry's data inside the mapping and its size; null when missing. An empty entry may
    // be stored at the very end of the image, so every empty entry answers with one zero byte
    // the pack owns instead of a pointer at or past the mapping's end.
    const u8* GetData(const char* path, u32* size = nullptr) const;
    // The entry's data offset in the pack file and its size; -1 when missing.
    s64 GetOffset(const char* path, u32& size) const;
    // A new stream on the pack file, not positioned, with the entry's offset and size; null
    // when the entry is missing or the file cannot be opened. The caller closes it.
    FILE* OpenStream(const char* path, s64& offset, u32& size) const;
    // True for a pointer strictly inside the mapping (the mapping base itself is the header)
    // and for the pack's empty-entry byte.
    bool OwnsPointer(const void* pointer) const;
    // The length word stored just before a blob the pack owns (never more than the bytes left
    // in the mapping); 0 for any other pointer.
    u32 GetBlobSize(const void* pointer) const;
    // Every entry name in directory order for an empty prefix, else the names that begin with
    // the prefix.
    void Enumerate(const char* prefix, PackNameCallback callback, void* user) const;
    // Exact lookup over the whole directory, without the language copy.
    const CPackEntry* FindEntry(const char* name) const;
    // Starts the shared prefetch thread on this pack (only the first request in the process
    // starts one).
    void Prefetch() const;

    const std::string& GetFileName() const { return m_FileName; }
    const u8* GetBase() const { return m_Base; }
    u32 GetMappedSize() const { return m_Size; }

private:
    // The language copy of the path inside the language range, or null.
    const CPackEntry* FindLocalized(const char* path) const;
    // Language copy first, then the plain path.
    const CPackEntry* Find(const char* path) const;

    char m_LanguageCode[64] = {};
    bool m_UseLanguage = false;
    const CPackEntry* m_LanguageFirst = nullptr;
    const CPackEntry* m_LanguageEnd = nullptr;
    const u8* m_Base = nullptr;
    u32 m_Size = 0;
    const u8 m_EmptyData[1] = {0};
    std::string m_FileName;
};

} // namespace lv::core
