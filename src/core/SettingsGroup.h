#pragma once
// One element of a settings tree: the in-memory copy of an XML element with its name, its child
// elements in document order, its attributes sorted by name and a table of children registered
// under a name by "named_object" elements. Element text is not kept.
//
// Lookups come in pairs: Find... returns null when nothing matches, Get... returns a shared
// empty object (group, text or name), so chained lookups never fail. Names are pooled
// (InternName), so identical names across thousands of nodes cost one copy and compare by
// pointer, length and cached hash before any text.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/SettingsRefCountedConstString.h"
#include "core/Types.h"

#include <boost/shared_ptr.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace lv::core {

class CSettings;

class CSettingsGroup
{
public:
    using Ptr = boost::shared_ptr<CSettingsGroup>;

    // The name argument of every lookup: a literal, a std::string or a name string. A pooled
    // name (from GetName or GetAttributeNameAt) is matched by its address first.
    class CKey
    {
    public:
        CKey(const char* text)
            : m_Text(text ? text : ""), m_Length(text ? std::char_traits<char>::length(text) : 0)
        {
        }
        CKey(const std::string& text) : m_Text(text.data()), m_Length(text.size()) {}
        CKey(std::string_view text) : m_Text(text.data()), m_Length(text.size()) {}
        CKey(const CFixedString& name)
            : m_Text(name.GetText()), m_Length(name.GetLength()), m_Name(&name), m_Cut(name.IsTruncated())
        {
        }

        std::string_view Text() const { return {m_Text, m_Length}; }
        bool IsEmpty() const { return m_Length == 0; }
        // Equality with a pooled name.
        bool Matches(const CFixedString* name) const;
        // Text order against a pooled name: < 0 when the name sorts before the key.
        int CompareTo(const CFixedString* name) const;

    private:
        u16 Hash() const;

        const char* m_Text;
        size_t m_Length;
        const CFixedString* m_Name = nullptr;
        bool m_Cut = false;
        mutable u16 m_Hash = 0;
    };

    struct CNamedObject
    {
        const CFixedString* Name;
        Ptr Group;
    };

    struct CAttribute
    {
        const CFixedString* Name;
        CSettingsRefCountedConstString Value;
    };

    // An empty group named name (pooled; empty for a root).
    explicit CSettingsGroup(const CFixedString& name = CFixedString());
    virtual ~CSettingsGroup();

    CSettingsGroup(const CSettingsGroup&) = delete;
    CSettingsGroup& operator=(const CSettingsGroup&) = delete;

    // The shared empty objects that the Get accessors return; never change them.
    static const CSettingsGroup& EmptyGroup();
    static const std::string& EmptyString();
    static const CFixedString& EmptyName();

    const CFixedString& GetName() const { return *m_Name; }
    const CSettingsGroup* GetParent() const { return m_Parent; }
    const std::vector<Ptr>& GetChildren() const { return m_Children; }
    const std::vector<CNamedObject>& GetNamedObjects() const { return m_NamedObjects; }

    // Appends the child (taking it out of any group that held it before) and, for a non-empty
    // name, registers it under that name too. False, changing nothing, for a null child and for
    // this group or one of its ancestors (which would own itself).
    bool AddChild(const Ptr& child, const CFixedString& name = CFixedString());
    // Detaches the child found by address, with its first registration; false when it is not a
    // child of this group.
    bool RemoveChild(const CSettingsGroup* child);
    // Copies this group into target: target takes this name, gets deep copies of the children
    // (with their registrations) appended, and its attributes are replaced by copies of these.
    void CopyTo(CSettingsGroup& target) const;

    // Children with that name; all children for the empty name.
    u32 CountChildren(CKey name) const;

    // The first child with that name; when recursive, each child's subtree is searched
    // (depth first, pre-order) before its next sibling.
    const CSettingsGroup* FindChild(CKey name, bool recursive = false) const;
    const CSettingsGroup& GetChild(CKey name, bool recursive = false) const;

    // The first child with that name whose attribute has exactly that text; same order.
    const CSettingsGroup* FindChildByAttribute(CKey name, CKey attribute, std::string_view value,
                                               bool recursive = false) const;
    const CSettingsGroup& GetChildByAttribute(CKey name, CKey attribute, std::string_view value,
                                              bool recursive = false) const;

    // The first group registered under that name, in registration order; when recursive, the
    // registrations of each registered group are searched before the next entry (plain
    // children are never descended into).
    const CSettingsGroup* FindNamedObject(CKey name, bool recursive = false) const;
    const CSettingsGroup& GetNamedObject(CKey name, bool recursive = false) const;

    const CSettingsGroup* FindFirstChild() const;
    const CSettingsGroup& GetFirstChild() const;
    // The group after this one in its parent's children; null for the last child, a group
    // without a parent and a group with an empty name.
    const CSettingsGroup* FindNextSibling() const;
    const CSettingsGroup& GetNextSibling() const;

    // Adds an attribute in name order. An attribute of that name already there is kept too;
    // which of the two a lookup finds is not defined.
    void SetAttribute(const CFixedString& name, const std::string& value);
    void SetAttribute(const char* name, const char* value);

    const CSettingsRefCountedConstString* FindAttribute(CKey name) const;
    bool HasAttribute(CKey name) const { return FindAttribute(name) != nullptr; }
    // The attribute's text (UTF-8 as in the file), the shared empty text when missing.
    const std::string& GetAttribute(CKey name) const;
    u32 GetAttributeCount() const { return static_cast<u32>(m_Attributes.size()); }
    // Attribute names in ascending order; the shared empty name past the end.
    const CFixedString& GetAttributeNameAt(u32 index) const;
    const std::vector<CAttribute>& GetAttributes() const { return m_Attributes; }

    // Typed getters read a missing attribute as the empty text. Numbers that do not convert
    // are logged and read as 0; the Read... forms store only when the attribute exists and
    // converts, and otherwise keep the caller's default.
    bool GetBool(CKey name) const; // exactly "true"
    s32 GetInt(CKey name) const;
    float GetFloat(CKey name) const;
    void ReadBool(CKey name, bool& out) const;
    void ReadInt(CKey name, s32& out) const;
    void ReadUInt(CKey name, u32& out) const;
    void ReadFloat(CKey name, float& out) const;
    void ReadColor(CKey name, CColor& out) const;
    // The text decoded from UTF-8.
    void ReadWString(CKey name, WString& out) const;

private:
    friend class CSettings;
    friend class CSettingsTreeBuilder;

    // For the XML loader: the name is pooled already, the value taken as it is.
    CSettingsGroup(const CFixedString* pooledName);
    bool AddChildRegistered(const Ptr& child, const CFixedString* pooledName);
    void AddAttribute(const CFixedString* pooledName, std::string_view value);
    // Loading appends an element's attributes as they come and sorts them once at the end:
    // inserting each in order would move all the others every time.
    void AppendAttribute(const CFixedString* pooledName, std::string_view value);
    void SortAttributes();

    const CAttribute* FindAttributeEntry(CKey name) const;
    template <typename T> bool ConvertNumber(CKey name, T& out) const;

    const CFixedString* m_Name;
    CSettingsGroup* m_Parent = nullptr;
    u32 m_IndexInParent = 0; // makes the next sibling one step away
    std::vector<Ptr> m_Children;
    std::vector<CNamedObject> m_NamedObjects;
    std::vector<CAttribute> m_Attributes;
};

// An attribute read as a colour: empty or missing text gives all channels 0, "#" is followed by
// alpha, red, green and blue in decimal (missing ones 255), anything else is a signed decimal
// 0xAARRGGBB value (so opaque white is "-1").
void ReadXmlColorAttribute(const CSettingsGroup& group, CColor& out, CSettingsGroup::CKey name);
CColor ReadXmlColorAttribute(const CSettingsGroup& group, CSettingsGroup::CKey name);

} // namespace lv::core
