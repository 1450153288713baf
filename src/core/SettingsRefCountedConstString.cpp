#include "core/SettingsRefCountedConstString.h"

#include "core/Log.h"

#include <cinttypes>
#include <unordered_map>

namespace lv::core {

struct CSettingsRefCountedConstString::CEntry
{
    const std::string* Text; // the key of the map node that holds this entry
    u32 Count;
};

namespace {

struct TextHash
{
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// Hashed, so that interning a value costs one hash and one comparison whatever the pool's
// size; map nodes never move, so entries can be pointed at.
using EntryMap =
    std::unordered_map<std::string, CSettingsRefCountedConstString::CEntry, TextHash, std::equal_to<>>;

struct StringPool
{
    EntryMap Map;
    u64 TotalBytes = 0;
    u64 ReferencedBytes = 0;
};

// Never destroyed: values held by static objects may be released at process exit.
StringPool& Pool()
{
    static StringPool* pool = new StringPool;
    return *pool;
}

CSettingsRefCountedConstString::CEntry* Intern(std::string_view text)
{
    StringPool& pool = Pool();
    EntryMap& map = pool.Map;
    auto it = map.find(text);
    if (it == map.end()) {
        it = map.emplace(std::string(text), CSettingsRefCountedConstString::CEntry{nullptr, 0}).first;
        it->second.Text = &it->first;
        pool.TotalBytes += text.size() + 1;
    }
    return &it->second;
}

void AddRef(CSettingsRefCountedConstString::CEntry* entry)
{
    if (entry->Count++ == 0)
        Pool().ReferencedBytes += entry->Text->size() + 1;
}

} // namespace

CSettingsRefCountedConstString::CSettingsRefCountedConstString()
    : CSettingsRefCountedConstString(std::string_view())
{
}

CSettingsRefCountedConstString::CSettingsRefCountedConstString(const std::string& text)
    : CSettingsRefCountedConstString(std::string_view(text))
{
}

CSettingsRefCountedConstString::CSettingsRefCountedConstString(const char* text)
    : CSettingsRefCountedConstString(text ? std::string_view(text) : std::string_view())
{
}

CSettingsRefCountedConstString::CSettingsRefCountedConstString(std::string_view text) : m_Entry(Intern(text))
{
    AddRef(m_Entry);
}

CSettingsRefCountedConstString::CSettingsRefCountedConstString(const CSettingsRefCountedConstString& other)
    : m_Entry(other.m_Entry)
{
    AddRef(m_Entry);
}

CSettingsRefCountedConstString::~CSettingsRefCountedConstString()
{
    Release();
}

CSettingsRefCountedConstString&
CSettingsRefCountedConstString::operator=(const CSettingsRefCountedConstString& other)
{
    // Taken first, so that assigning a value to itself never drops its entry.
    CEntry* entry = other.m_Entry;
    AddRef(entry);
    Release();
    m_Entry = entry;
    return *this;
}

CSettingsRefCountedConstString& CSettingsRefCountedConstString::operator=(const std::string& text)
{
    return *this = CSettingsRefCountedConstString(text);
}

CSettingsRefCountedConstString& CSettingsRefCountedConstString::operator=(const char* text)
{
    return *this = CSettingsRefCountedConstString(text);
}

const std::string& CSettingsRefCountedConstString::GetString() const
{
    return *m_Entry->Text;
}

void CSettingsRefCountedConstString::Release()
{
    StringPool& pool = Pool();
    if (--m_Entry->Count == 0)
        pool.ReferencedBytes -= m_Entry->Text->size() + 1;
    m_Entry = nullptr;
    const u64 total = pool.TotalBytes;
    if (total > kCollectMinBytes && (total - pool.ReferencedBytes) * 100 / total > kCollectMaxWastePercent)
        CollectGarbage();
}

void CSettingsRefCountedConstString::CollectGarbage()
{
    StringPool& pool = Pool();
    CLog& log = CLog::Instance();
    log.Print("core", 0, "CSettingsRefCountedConstString strings gc start. bytes: %" PRIu64, pool.TotalBytes);
    for (auto it = pool.Map.begin(); it != pool.Map.end();) {
        if (it->second.Count == 0) {
            pool.TotalBytes -= it->first.size() + 1;
            it = pool.Map.erase(it);
        } else {
            ++it;
        }
    }
    log.Print("core", 0, "CSettingsRefCountedConstString strings gc end. bytes: %" PRIu64, pool.TotalBytes);
}

u64 CSettingsRefCountedConstString::GetTotalBytes()
{
    return Pool().TotalBytes;
}

u64 CSettingsRefCountedConstString::GetReferencedBytes()
{
    return Pool().ReferencedBytes;
}

} // namespace lv::core
