#include "qe/GroupObject.h"

#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ObjectFactory.h"

namespace qe {

CGroupObject::CGroupObject(const CGroupObject& other) : CSceneObject(other)
{
    m_Children.reserve(other.m_Children.size());
    for (const CSceneObject* child : other.m_Children)
        m_Children.push_back(child->Clone());
}

CGroupObject::~CGroupObject()
{
    for (CSceneObject* child : m_Children)
        delete child;
}

CSceneObject* CGroupObject::Clone() const
{
    return new CGroupObject(*this);
}

void CGroupObject::AddChild(CSceneObject* child)
{
    if (child)
        m_Children.push_back(child);
}

void CGroupObject::InitFromRecord(const u8* record)
{
    SetRecord(record);
    if (!record)
        return;
    const u8* payload = GetPayloadOf(record);
    const s32 count = static_cast<s32>(static_cast<u32>(payload[4]) | (static_cast<u32>(payload[5]) << 8) |
                                       (static_cast<u32>(payload[6]) << 16) | (static_cast<u32>(payload[7]) << 24));
    const u8* next = payload + 8;
    for (s32 i = 0; i < count; ++i)
    {
        const u8* child = next;
        next = GetRecordEnd(child);
        AddChild(CreateObjectFromRecord(GetScene(), child));
    }
}

CSceneObject* CGroupObject::FindChild(const CFixedString& name) const
{
    for (CSceneObject* child : m_Children)
        if (NamesEqual(child->GetName(), name))
            return child;
    return nullptr;
}

void CGroupObject::Update()
{
    for (CSceneObject* child : m_Children)
        child->Update();
}

bool CGroupObject::HitTest(const CVector2& point)
{
    for (CSceneObject* child : m_Children)
        if (child->IsClickable() && child->HitTest(point))
            return true;
    return false;
}

void CGroupObject::Draw(lv::graphics::CRenderer& renderer)
{
    // The first child lies on top.
    for (auto it = m_Children.rbegin(); it != m_Children.rend(); ++it)
        if ((*it)->IsDrawable())
            (*it)->Render(renderer);
}

void CGroupObject::SetPosition(const CVector2& position)
{
    for (CSceneObject* child : m_Children)
        child->SetPosition(position);
}

void CGroupObject::SetSize(const CVector2& size)
{
    for (CSceneObject* child : m_Children)
        child->SetSize(size);
}

void CGroupObject::SetAngle(float angle)
{
    for (CSceneObject* child : m_Children)
        child->SetAngle(angle);
}

CVector2 CGroupObject::GetPosition() const
{
    return m_Children.empty() ? CVector2() : m_Children.front()->GetPosition();
}

CVector2 CGroupObject::GetSize() const
{
    return m_Children.empty() ? CVector2() : m_Children.front()->GetSize();
}

float CGroupObject::GetAngle() const
{
    return m_Children.empty() ? 0.0f : m_Children.front()->GetAngle();
}

s32 CGroupObject::GetStateSize() const
{
    s32 size = kStateSize + 4;
    for (const CSceneObject* child : m_Children)
    {
        const auto* group = child->GetType() == kTypeGroup ? static_cast<const CGroupObject*>(child) : nullptr;
        size += group ? group->GetStateSize() : kStateSize;
    }
    return size;
}

void CGroupObject::Save(CBinaryWriter& writer)
{
    SaveBase(writer, 0);
    writer.WriteInt32(GetChildCount());
    for (CSceneObject* child : m_Children)
        child->Save(writer);
}

bool CGroupObject::Load(CBinaryReader& reader)
{
    u32 stored = 0;
    if (!LoadBase(reader, stored))
        return false;
    if (reader.ReadInt32() != GetChildCount() || reader.HasError())
        return false;
    for (CSceneObject* child : m_Children)
        if (!child->Load(reader))
            return false;
    return true;
}

} // namespace qe
