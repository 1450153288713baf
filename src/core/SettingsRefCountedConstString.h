#pragma once
// Attribute values of the settings trees. Layout files repeat the same few values thousands
// of times ("true", "0", "center", colours), so every value is interned in one process-wide
// pool and a value object is only a counted handle to its pool entry. Entries that nobody
// references any more stay in the pool until the wasted share grows past a threshold; then
// one collection frees them all.
//
// The pool is not locked: values are made, copied and dropped on the main thread only.
#include "core/Types.h"

#include <compare>
#include <string>
#include <string_view>

namespace lv::core {

class CSettingsRefCountedConstString
{
public:
    // The empty text.
    CSettingsRefCountedConstString();
    CSettingsRefCountedConstString(const std::string& text);
    CSettingsRefCountedConstString(const char* text);
    explicit CSettingsRefCountedConstString(std::string_view text);
    CSettingsRefCountedConstString(const CSettingsRefCountedConstString& other);
    ~CSettingsRefCountedConstString();

    CSettingsRefCountedConstString& operator=(const CSettingsRefCountedConstString& other);
    CSettingsRefCountedConstString& operator=(const std::string& text);
    CSettingsRefCountedConstString& operator=(const char* text);

    // Stays valid and unchanged for as long as any value holds the same text.
    const std::string& GetString() const;
    const char* c_str() const { return GetString().c_str(); }
    size_t size() const { return GetString().size(); }
    bool empty() const { return GetString().empty(); }
    operator const std::string&() const { return GetString(); }

    // Equal texts share one entry, so equality is one pointer comparison.
    bool operator==(const CSettingsRefCountedConstString& other) const { return m_Entry == other.m_Entry; }
    bool operator==(const std::string& text) const { return GetString() == text; }
    bool operator<(const CSettingsRefCountedConstString& other) const
    {
        return GetString() < other.GetString();
    }
    bool operator<(const std::string& text) const { return GetString() < text; }

    // Pool statistics: the sum of length + 1 over all entries, and over referenced entries.
    static u64 GetTotalBytes();
    static u64 GetReferencedBytes();
    // Frees every unreferenced entry now, whatever the thresholds say.
    static void CollectGarbage();

    // Collection runs after a release only when the pool holds more than this many bytes...
    static constexpr u64 kCollectMinBytes = 4096;
    // ...and more than this percentage of them is unreferenced.
    static constexpr u64 kCollectMaxWastePercent = 10;

    struct CEntry;

private:
    void Release();

    CEntry* m_Entry;
};

} // namespace lv::core
