#include "qe/SceneObject.h"

#include "graphics/Renderer.h"
#include "qe/AreaObject.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ClipObject.h"
#include "qe/ImageObject.h"
#include "qe/PlaceholderSet.h"
#include "qe/RecordFields.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"

#include <cmath>
#include <cstring>

namespace qe {

CSceneObject::CSceneObject(CScene* scene) : m_Scene(scene) {}

const CFixedString& CSceneObject::GetName() const
{
    static const CFixedString empty;
    // The record's first 96 bytes are a name record; the loader checks them before any object
    // is built on it.
    return m_Record ? *reinterpret_cast<const CFixedString*>(m_Record) : empty;
}

const char* CSceneObject::GetHintText() const
{
    if (!m_Record)
        return "";
    const u16 size = static_cast<u16>(m_Record[208] | (m_Record[209] << 8));
    return size ? reinterpret_cast<const char*>(m_Record + kRecordHeaderSize) : nullptr;
}

u64 CSceneObject::GetGuid() const
{
    if (!m_Record)
        return 0;
    return static_cast<u64>(lv::core::ReadU32(m_Record + 200)) | (static_cast<u64>(lv::core::ReadU32(m_Record + 204)) << 32);
}

void CSceneObject::SetRecord(const u8* record)
{
    m_Record = record;
    if (record)
        m_Flags = static_cast<u16>(lv::core::ReadU32(record + 192));
}

void CSceneObject::GetPath(CFixedString& path) const
{
    path.Clear();
    if (m_Scene)
        path = m_Scene->GetName();
    path.Append("/");
    path.AppendFixed(GetName());
}

void CSceneObject::Render(lv::graphics::CRenderer& renderer)
{
    renderer.PushColor();
    if (m_Opacity > -1.0f)
    {
        const CColor fade = CColor::CColorArgb(static_cast<s32>(255.0f * m_Opacity), 255, 255, 255);
        CColor colour;
        renderer.GetColor().Modulated(colour, fade);
        renderer.SetColor(colour);
    }
    Draw(renderer);
    renderer.PopColor();
}

bool CSceneObject::NamesEqual(const CFixedString& a, const CFixedString& b)
{
    if (a.GetLength() != b.GetLength() || a.IsTruncated() || b.IsTruncated())
        return false;
    const auto hashOf = [](const CFixedString& name) {
        const u16 cached = name.GetCachedHash();
        return cached ? cached : FixedStringHash(name.GetText(), name.GetLength());
    };
    if (hashOf(a) != hashOf(b))
        return false;
    return FixedStringCompareText(a.GetText(), b.GetText()) == 0;
}

CSceneObject* CSceneObject::FindChild(const CFixedString&) const
{
    return nullptr;
}

CSceneObject* CSceneObject::FindChildOfType(const CFixedString& name, s32 type, const char* typeText, bool report,
                                            bool& found) const
{
    CSceneObject* child = FindChild(name);
    found = child && child->GetType() == type;
    if (found)
        return child;
    if (report)
        ReportObjectNotFound(name, typeText, m_Scene);
    return CPlaceholderSet::For(m_Scene).Get(type);
}

CImageObject* CSceneObject::FindChildImage(const CFixedString& name) const
{
    bool found;
    return static_cast<CImageObject*>(FindChildOfType(name, kTypeImage, "Image", true, found));
}

CClipObject* CSceneObject::FindChildClip(const CFixedString& name) const
{
    bool found;
    return static_cast<CClipObject*>(FindChildOfType(name, kTypeClip, "Clip", true, found));
}

CVideoObject* CSceneObject::FindChildVideo(const CFixedString& name) const
{
    bool found;
    return static_cast<CVideoObject*>(FindChildOfType(name, kTypeVideo, "Video", true, found));
}

CAreaObject* CSceneObject::FindChildArea(const CFixedString& name) const
{
    bool found;
    return static_cast<CAreaObject*>(FindChildOfType(name, kTypeArea, "Area", true, found));
}

bool CSceneObject::TryFindChildImage(const CFixedString& name, CImageObject*& object) const
{
    bool found;
    object = static_cast<CImageObject*>(FindChildOfType(name, kTypeImage, "Image", false, found));
    return found;
}

bool CSceneObject::TryFindChildClip(const CFixedString& name, CClipObject*& object) const
{
    bool found;
    object = static_cast<CClipObject*>(FindChildOfType(name, kTypeClip, "Clip", false, found));
    return found;
}

bool CSceneObject::TryFindChildVideo(const CFixedString& name, CVideoObject*& object) const
{
    bool found;
    object = static_cast<CVideoObject*>(FindChildOfType(name, kTypeVideo, "Video", false, found));
    return found;
}

bool CSceneObject::TryFindChildArea(const CFixedString& name, CAreaObject*& object) const
{
    bool found;
    object = static_cast<CAreaObject*>(FindChildOfType(name, kTypeArea, "Area", false, found));
    return found;
}

bool CSceneObject::OnClick(const CVector2&)
{
    return false;
}

void CSceneObject::SaveBase(CBinaryWriter& writer, u32 extraBits) const
{
    writer.WriteInt64(static_cast<s64>(GetGuid()));
    writer.WriteInt32(static_cast<s32>(m_Flags | extraBits));
}

bool CSceneObject::LoadBase(CBinaryReader& reader, u32& stored)
{
    const u64 guid = static_cast<u64>(reader.ReadInt64());
    const u32 flags = static_cast<u32>(reader.ReadInt32());
    if (reader.HasError() || guid != GetGuid())
        return false;
    stored = flags;
    m_Flags = static_cast<u16>(flags);
    return true;
}

void CSceneObject::Save(CBinaryWriter& writer)
{
    SaveBase(writer, 0);
}

bool CSceneObject::Load(CBinaryReader& reader)
{
    u32 stored = 0;
    return LoadBase(reader, stored);
}

bool CSceneObject::GetLocalPoint(const CVector2& point, const CVector2& position, const CVector2& size, float angle,
                                 s32 w, s32 h, CVector2& local)
{
    // Without extent the scale below would divide by zero.
    if (w <= 0 || h <= 0 || !(size.X != 0.0f) || !(size.Y != 0.0f))
        return false;
    float x = point.X - position.X;
    float y = point.Y - position.Y;
    // Turns of up to half a degree count as none.
    if (angle != 0.0f && std::fabs(angle) > 0.008726389f)
    {
        const float c = std::cos(-angle);
        const float s = std::sin(-angle);
        const float rx = x * c - y * s;
        const float ry = x * s + y * c;
        x = rx;
        y = ry;
    }
    x += size.X / 2;
    y += size.Y / 2;
    if (w != static_cast<s32>(size.X) || h != static_cast<s32>(size.Y))
    {
        x = static_cast<float>(w) / size.X * x;
        y = static_cast<float>(h) / size.Y * y;
    }
    if (!(x >= 0.0f) || !(y >= 0.0f) || x >= static_cast<float>(w) || y >= static_cast<float>(h))
        return false;
    local = CVector2(x, y);
    return true;
}

} // namespace qe
