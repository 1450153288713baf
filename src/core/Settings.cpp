#include "core/Settings.h"

#include "core/FileSystem.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MappedFile.h"
#include "core/NamePool.h"
#include "core/PathUtils.h"
#include "core/XmlParser.h"

#include <cstring>
#include <vector>

namespace lv::core {

namespace {

bool EqualsIgnoringCase(const XmlToken& token, const char* lowerText, u32 length)
{
    if (token.length != length)
        return false;
    for (u32 i = 0; i < length; ++i) {
        char c = token.start[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerText[i])
            return false;
    }
    return true;
}

} // namespace

// State of one parse. The parser's frames carry, per open element, the group made for it in
// user[0] and, for a named_object element (which makes no group), its name in user[1].
class CSettingsTreeBuilder
{
public:
    explicit CSettingsTreeBuilder(CSettingsGroup& root) : m_Root(root) {}

    static void OnElementStart(void* user, XmlFrame* frames, int depth)
    {
        static_cast<CSettingsTreeBuilder*>(user)->ElementStart(frames, depth);
    }
    static void OnAttribute(void* user, XmlFrame* frames, int depth, const XmlToken* name,
                            const XmlToken* value, bool /*utf8*/)
    {
        static_cast<CSettingsTreeBuilder*>(user)->Attribute(frames[depth], *name, *value);
    }
    static void OnAttributesEnd(void* user, XmlFrame* /*frames*/, int /*depth*/)
    {
        static_cast<CSettingsTreeBuilder*>(user)->FinishAttributes();
    }

    // Sorts the attributes of the element that took them last. Also called after the parse,
    // since a document that ends inside a start tag never reports the end of its attributes.
    void FinishAttributes()
    {
        if (m_Open)
            m_Open->SortAttributes();
        m_Open = nullptr;
    }

    // Element and attribute names repeat all through a file; a small cache in front of the
    // process-wide pool saves its lock and its tree search for nearly every name.
    const CFixedString* Intern(const XmlToken& token)
    {
        const u16 hash = FixedStringHash(token.start, token.length);
        const CFixedString*& slot = m_Names[hash % kNameCacheSize];
        if (slot && slot->GetLength() == token.length && slot->GetHash() == hash && !slot->IsTruncated() &&
            std::memcmp(slot->GetText(), token.start, token.length) == 0)
            return slot;
        const CFixedString* pooled = InternName(CFixedString(token.start, token.length));
        slot = pooled;
        return pooled;
    }

private:
    static constexpr size_t kNameCacheSize = 256;

    void ElementStart(XmlFrame* frames, int depth)
    {
        FinishAttributes();
        XmlFrame& frame = frames[depth];
        if (EqualsIgnoringCase(frame.name, "named_object", 12)) {
            // No group of its own: its children go to the enclosing group under its name.
            m_ObjectNames[depth].clear();
            frame.user[0] = nullptr;
            frame.user[1] = &m_ObjectNames[depth];
            return;
        }
        CSettingsGroup::Ptr node(new CSettingsGroup(Intern(frame.name)));
        m_Open = node.get();
        frame.user[0] = node.get();
        frame.user[1] = nullptr;

        const CFixedString* registration = nullptr;
        if (depth > 0 && !frames[depth - 1].user[0] && frames[depth - 1].user[1]) {
            // Names are C strings: a value with a zero in it ends there, as the pool sees it.
            std::string_view name = *static_cast<const std::string*>(frames[depth - 1].user[1]);
            name = name.substr(0, name.find('\0'));
            if (!name.empty())
                registration = InternName(CFixedString(name.data(), name.size()));
        }
        // The nearest enclosing element that made a group; named_object elements are passed
        // over (also nested or at the top, which the game's files never have).
        CSettingsGroup* parent = &m_Root;
        for (int d = depth - 1; d >= 0; --d) {
            if (frames[d].user[0]) {
                parent = static_cast<CSettingsGroup*>(frames[d].user[0]);
                break;
            }
        }
        parent->AddChildRegistered(node, registration);
    }

    void Attribute(XmlFrame& frame, const XmlToken& name, const XmlToken& value)
    {
        if (auto* node = static_cast<CSettingsGroup*>(frame.user[0])) {
            node->AppendAttribute(Intern(name), std::string_view(value.start, value.length));
            return;
        }
        // The value may live in the parser's scratch buffer: copied.
        if (frame.user[1] && EqualsIgnoringCase(name, "name", 4))
            static_cast<std::string*>(frame.user[1])->assign(value.start, value.length);
    }

    CSettingsGroup& m_Root;
    CSettingsGroup* m_Open = nullptr;
    std::string m_ObjectNames[kXmlMaxDepth];
    const CFixedString* m_Names[kNameCacheSize] = {};
};

CSettings::CSettings() : CSettingsGroup(&EmptyName()) {}

CSettings::~CSettings() = default;

bool CSettings::ParseXmlText(const char* text, size_t length)
{
    const size_t before = m_Children.size();
    CSettingsTreeBuilder builder(*this);
    const bool parsed = ParseXml(text, length, &builder, &CSettingsTreeBuilder::OnElementStart,
                                 &CSettingsTreeBuilder::OnAttribute, &CSettingsTreeBuilder::OnAttributesEnd,
                                 nullptr, nullptr) != 0;
    builder.FinishAttributes();
    if (parsed)
        return true;
    // The parser can reject a document after its first elements (a stray closing tag, nesting
    // too deep): what it built of it is taken out again.
    while (m_Children.size() > before)
        RemoveChild(m_Children.back().get());
    return false;
}

bool CSettings::LoadXmlText(const std::string& text)
{
    return ParseXmlText(text.data(), text.size());
}

bool CSettings::LoadXml(const char* path)
{
    const char* printable = path ? path : "";
    CLog& log = CLog::Instance();
    log.Print("core", 0, "CSettings::LoadXml loading %s", printable);
    CFileSystem& files = CFileSystem::Instance();
    u32 size = 0;
    const u8* data = path ? files.LoadFile(path, &size) : nullptr;
    const bool ok = data && ParseXmlText(reinterpret_cast<const char*>(data), size);
    if (data)
        files.FreeFile(data);
    if (!ok)
        log.Print("core", 3, "CSettings::LoadXml failed on file %s", printable);
    return ok;
}

bool CSettings::LoadXml(const WChar* path)
{
    const WString absolute = MakeAbsolutePath(path ? path : u"");
    const std::string printable = PathToUtf8(absolute);
    CLog& log = CLog::Instance();
    log.Print("core", 0, "CSettings::LoadXml loading %s", printable.c_str());
    u32 size = 0;
    const void* data = MapFileReadOnly(absolute.c_str(), &size);
    const bool ok = data && ParseXmlText(static_cast<const char*>(data), size);
    if (data)
        UnmapFile(data);
    if (!ok)
        log.Print("core", 3, "CSettings::LoadXml failed on file %s", printable.c_str());
    return ok;
}

s32 CSettings::LoadMatchingFiles(const WChar* mask, const WChar* fallbackMask)
{
    std::vector<WString> files;
    if (mask)
        ListFiles(files, mask);
    if (files.empty() && fallbackMask)
        ListFiles(files, fallbackMask);
    for (const WString& file : files)
        LoadXml(PathToUtf8(file).c_str());
    return static_cast<s32>(files.size());
}

bool CSettings::MergeFiles(CSettingsGroup& target, const WChar* maskA, const WChar* maskB,
                           const CFixedString& groupName, const CFixedString& rootName, bool aFirst)
{
    CSettings loaded;
    loaded.LoadMatchingFiles(aFirst ? maskA : maskB, aFirst ? maskB : maskA);
    Ptr group(new CSettingsGroup(groupName));
    target.AddChild(group);
    const CKey root(rootName);
    for (const Ptr& top : loaded.m_Children) {
        if (!root.Matches(top->m_Name))
            continue;
        for (const Ptr& child : top->m_Children) {
            Ptr copy(new CSettingsGroup(child->m_Name));
            child->CopyTo(*copy);
            group->AddChild(copy);
        }
    }
    return true;
}

WString MakeAbsolutePath(const WChar* path)
{
    if (!path)
        return WString();
    if (!IsRelativePath(path))
        return WString(path);
    WString folder;
    // A relative path still names the right file when the folder cannot be read.
    if (!GetWorkingDirectory(folder))
        return WString(path);
    return JoinPath(folder.c_str(), path);
}

} // namespace lv::core
