#include "core/SettingsGroup.h"

#include "core/Log.h"
#include "core/NamePool.h"
#include "core/TextConvert.h"
#include "core/XmlColor.h"

#include <boost/lexical_cast.hpp>

#include <algorithm>
#include <cstring>

namespace lv::core {

namespace {

std::string_view TextOf(const CFixedString* name)
{
    return {name->GetText(), name->GetLength()};
}

// The order of every sorted name index (a cut name after the same uncut text).
bool NameLess(const CFixedString* a, const CFixedString* b)
{
    return b->IsGreater(*a);
}

} // namespace

// ---- CKey ----

u16 CSettingsGroup::CKey::Hash() const
{
    if (m_Hash == 0)
        m_Hash = m_Name ? m_Name->GetHash() : FixedStringHash(m_Text, m_Length);
    return m_Hash;
}

bool CSettingsGroup::CKey::Matches(const CFixedString* name) const
{
    // A name cut to fit its record stands for a longer text and equals nothing.
    if (m_Cut || name->IsTruncated())
        return false;
    if (name == m_Name)
        return true;
    if (name->GetLength() != m_Length || name->GetHash() != Hash())
        return false;
    return std::memcmp(name->GetText(), m_Text, m_Length) == 0;
}

int CSettingsGroup::CKey::CompareTo(const CFixedString* name) const
{
    if (name == m_Name)
        return 0;
    return TextOf(name).compare(Text());
}

// ---- construction ----

CSettingsGroup::CSettingsGroup(const CFixedString& name) : m_Name(InternName(name)) {}

CSettingsGroup::CSettingsGroup(const CFixedString* pooledName) : m_Name(pooledName) {}

CSettingsGroup::~CSettingsGroup()
{
    // A child that someone else still holds must not point back at a dead group.
    for (const Ptr& child : m_Children) {
        if (child->m_Parent == this)
            child->m_Parent = nullptr;
    }
}

const CSettingsGroup& CSettingsGroup::EmptyGroup()
{
    static const CSettingsGroup* group = new CSettingsGroup(CFixedString());
    return *group;
}

const std::string& CSettingsGroup::EmptyString()
{
    static const std::string* text = new std::string;
    return *text;
}

const CFixedString& CSettingsGroup::EmptyName()
{
    static const CFixedString* name = InternName(CFixedString());
    return *name;
}

// ---- structure ----

bool CSettingsGroup::AddChild(const Ptr& child, const CFixedString& name)
{
    return AddChildRegistered(child, name.IsEmpty() ? nullptr : InternName(name));
}

bool CSettingsGroup::AddChildRegistered(const Ptr& child, const CFixedString* pooledName)
{
    if (!child)
        return false;
    for (const CSettingsGroup* g = this; g; g = g->m_Parent) {
        if (g == child.get())
            return false;
    }
    const Ptr keep = child; // the reference may live in the list it is taken out of
    if (keep->m_Parent)
        keep->m_Parent->RemoveChild(keep.get());
    keep->m_Parent = this;
    keep->m_IndexInParent = static_cast<u32>(m_Children.size());
    m_Children.push_back(keep);
    if (pooledName)
        m_NamedObjects.push_back({pooledName, keep});
    return true;
}

bool CSettingsGroup::RemoveChild(const CSettingsGroup* child)
{
    // Found by address alone, so a pointer to a group that is gone already is merely not found.
    // Searched from the back, where a load that is undone finds its groups at once.
    const auto found = std::find_if(m_Children.rbegin(), m_Children.rend(),
                                    [child](const Ptr& c) { return c.get() == child; });
    if (!child || found == m_Children.rend())
        return false;
    const auto named = std::find_if(m_NamedObjects.begin(), m_NamedObjects.end(),
                                    [child](const CNamedObject& n) { return n.Group.get() == child; });
    if (named != m_NamedObjects.end())
        m_NamedObjects.erase(named);
    const size_t index = static_cast<size_t>(m_Children.rend() - found) - 1;
    Ptr keep = m_Children[index];
    keep->m_Parent = nullptr;
    keep->m_IndexInParent = 0;
    m_Children.erase(m_Children.begin() + static_cast<std::ptrdiff_t>(index));
    for (size_t i = index; i < m_Children.size(); ++i)
        m_Children[i]->m_IndexInParent = static_cast<u32>(i);
    return true;
}

void CSettingsGroup::CopyTo(CSettingsGroup& target) const
{
    if (&target == this)
        return;
    target.m_Name = m_Name;
    for (const Ptr& child : m_Children) {
        const CFixedString* registered = nullptr;
        for (const CNamedObject& n : m_NamedObjects) {
            if (n.Group == child) {
                registered = n.Name;
                break;
            }
        }
        Ptr copy(new CSettingsGroup(child->m_Name));
        child->CopyTo(*copy);
        target.AddChildRegistered(copy, registered);
    }
    target.m_Attributes = m_Attributes;
}

// ---- child lookups ----

u32 CSettingsGroup::CountChildren(CKey name) const
{
    if (name.IsEmpty())
        return static_cast<u32>(m_Children.size());
    u32 count = 0;
    for (const Ptr& child : m_Children)
        count += name.Matches(child->m_Name) ? 1 : 0;
    return count;
}

const CSettingsGroup* CSettingsGroup::FindChild(CKey name, bool recursive) const
{
    for (const Ptr& child : m_Children) {
        if (name.Matches(child->m_Name))
            return child.get();
        if (recursive && !child->m_Children.empty()) {
            if (const CSettingsGroup* found = child->FindChild(name, true))
                return found;
        }
    }
    return nullptr;
}

const CSettingsGroup& CSettingsGroup::GetChild(CKey name, bool recursive) const
{
    const CSettingsGroup* found = FindChild(name, recursive);
    return found ? *found : EmptyGroup();
}

const CSettingsGroup* CSettingsGroup::FindChildByAttribute(CKey name, CKey attribute, std::string_view value,
                                                           bool recursive) const
{
    for (const Ptr& child : m_Children) {
        if (name.Matches(child->m_Name)) {
            const CAttribute* a = child->FindAttributeEntry(attribute);
            if (a && a->Value.GetString() == value)
                return child.get();
        }
        if (recursive && !child->m_Children.empty()) {
            if (const CSettingsGroup* found = child->FindChildByAttribute(name, attribute, value, true))
                return found;
        }
    }
    return nullptr;
}

const CSettingsGroup& CSettingsGroup::GetChildByAttribute(CKey name, CKey attribute, std::string_view value,
                                                          bool recursive) const
{
    const CSettingsGroup* found = FindChildByAttribute(name, attribute, value, recursive);
    return found ? *found : EmptyGroup();
}

const CSettingsGroup* CSettingsGroup::FindNamedObject(CKey name, bool recursive) const
{
    for (const CNamedObject& n : m_NamedObjects) {
        if (name.Matches(n.Name))
            return n.Group.get();
        if (recursive && !n.Group->m_Children.empty()) {
            if (const CSettingsGroup* found = n.Group->FindNamedObject(name, true))
                return found;
        }
    }
    return nullptr;
}

const CSettingsGroup& CSettingsGroup::GetNamedObject(CKey name, bool recursive) const
{
    const CSettingsGroup* found = FindNamedObject(name, recursive);
    return found ? *found : EmptyGroup();
}

const CSettingsGroup* CSettingsGroup::FindFirstChild() const
{
    return m_Children.empty() ? nullptr : m_Children.front().get();
}

const CSettingsGroup& CSettingsGroup::GetFirstChild() const
{
    const CSettingsGroup* found = FindFirstChild();
    return found ? *found : EmptyGroup();
}

const CSettingsGroup* CSettingsGroup::FindNextSibling() const
{
    if (!m_Parent || m_Name->IsEmpty())
        return nullptr;
    const u32 next = m_IndexInParent + 1;
    return next < m_Parent->m_Children.size() ? m_Parent->m_Children[next].get() : nullptr;
}

const CSettingsGroup& CSettingsGroup::GetNextSibling() const
{
    const CSettingsGroup* found = FindNextSibling();
    return found ? *found : EmptyGroup();
}

// ---- attributes ----

void CSettingsGroup::SetAttribute(const CFixedString& name, const std::string& value)
{
    AddAttribute(InternName(name), value);
}

void CSettingsGroup::SetAttribute(const char* name, const char* value)
{
    AddAttribute(InternName(CFixedString(name)), value ? std::string_view(value) : std::string_view());
}

void CSettingsGroup::AddAttribute(const CFixedString* pooledName, std::string_view value)
{
    // After any equal names, so that equal names keep the order in which they came.
    const auto at =
        std::upper_bound(m_Attributes.begin(), m_Attributes.end(), pooledName,
                         [](const CFixedString* n, const CAttribute& a) { return NameLess(n, a.Name); });
    m_Attributes.insert(at, CAttribute{pooledName, CSettingsRefCountedConstString(value)});
}

void CSettingsGroup::AppendAttribute(const CFixedString* pooledName, std::string_view value)
{
    m_Attributes.push_back(CAttribute{pooledName, CSettingsRefCountedConstString(value)});
}

void CSettingsGroup::SortAttributes()
{
    // Stable, so that equal names keep the order in which they came, as AddAttribute keeps it.
    const auto less = [](const CAttribute& a, const CAttribute& b) { return NameLess(a.Name, b.Name); };
    if (!std::is_sorted(m_Attributes.begin(), m_Attributes.end(), less))
        std::stable_sort(m_Attributes.begin(), m_Attributes.end(), less);
}

const CSettingsGroup::CAttribute* CSettingsGroup::FindAttributeEntry(CKey name) const
{
    auto it =
        std::lower_bound(m_Attributes.begin(), m_Attributes.end(), name,
                         [](const CAttribute& a, const CKey& key) { return key.CompareTo(a.Name) < 0; });
    // Equal texts can differ only in being cut; the first real match wins.
    for (; it != m_Attributes.end() && name.CompareTo(it->Name) == 0; ++it) {
        if (name.Matches(it->Name))
            return &*it;
    }
    return nullptr;
}

const CSettingsRefCountedConstString* CSettingsGroup::FindAttribute(CKey name) const
{
    const CAttribute* a = FindAttributeEntry(name);
    return a ? &a->Value : nullptr;
}

const std::string& CSettingsGroup::GetAttribute(CKey name) const
{
    const CAttribute* a = FindAttributeEntry(name);
    return a ? a->Value.GetString() : EmptyString();
}

const CFixedString& CSettingsGroup::GetAttributeNameAt(u32 index) const
{
    return index < m_Attributes.size() ? *m_Attributes[index].Name : EmptyName();
}

// ---- typed getters ----

template <typename T> bool CSettingsGroup::ConvertNumber(CKey name, T& out) const
{
    const CAttribute* a = FindAttributeEntry(name);
    if (!a)
        return false;
    const std::string& text = a->Value.GetString();
    if (text.empty()) {
        out = 0;
        return true;
    }
    try {
        out = boost::lexical_cast<T>(text);
        return true;
    } catch (const boost::bad_lexical_cast&) {
        // One damaged number in a profile must not stop the game from starting.
        const std::string_view key = name.Text();
        CLog::Instance().Print("core", 2,
                               "CSettingsGroup: element '%s' attribute '%.*s' is not a number: '%s'",
                               m_Name->GetText(), static_cast<int>(key.size()), key.data(), text.c_str());
        return false;
    }
}

bool CSettingsGroup::GetBool(CKey name) const
{
    return GetAttribute(name) == "true";
}

s32 CSettingsGroup::GetInt(CKey name) const
{
    s32 value = 0;
    ConvertNumber(name, value);
    return value;
}

float CSettingsGroup::GetFloat(CKey name) const
{
    float value = 0.0f;
    ConvertNumber(name, value);
    return value;
}

void CSettingsGroup::ReadBool(CKey name, bool& out) const
{
    if (const CAttribute* a = FindAttributeEntry(name))
        out = a->Value.GetString() == "true";
}

void CSettingsGroup::ReadInt(CKey name, s32& out) const
{
    ConvertNumber(name, out);
}

void CSettingsGroup::ReadUInt(CKey name, u32& out) const
{
    ConvertNumber(name, out);
}

void CSettingsGroup::ReadFloat(CKey name, float& out) const
{
    ConvertNumber(name, out);
}

void CSettingsGroup::ReadColor(CKey name, CColor& out) const
{
    if (const CAttribute* a = FindAttributeEntry(name))
        ParseXmlColor(out, a->Value.GetString());
}

void CSettingsGroup::ReadWString(CKey name, WString& out) const
{
    if (const CAttribute* a = FindAttributeEntry(name))
        out = Utf8ToWide(a->Value.GetString());
}

void ReadXmlColorAttribute(const CSettingsGroup& group, CColor& out, CSettingsGroup::CKey name)
{
    ParseXmlColor(out, group.GetAttribute(name));
}

CColor ReadXmlColorAttribute(const CSettingsGroup& group, CSettingsGroup::CKey name)
{
    CColor color;
    ReadXmlColorAttribute(group, color, name);
    return color;
}

} // namespace lv::core
