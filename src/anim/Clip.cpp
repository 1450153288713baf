#include "anim/Clip.h"
#include "anim/ClipHeader.h"
#include "anim/ClipItem.h"
#include "anim/ClipManager.h"
#include "anim/ClipViewObject.h"
#include "anim/ImageObject.h"
#include "anim/ParticleObject.h"
#include "anim/TextObject.h"
#include "core/Matrix3.h"
#include "core/Quad.h"
#include "graphics/RenderStateScope.h"
#include "graphics/Renderer.h"
#include <cmath>

using lv::misc::anim::CClipObject;
using lv::misc::anim::CPathObject;

namespace {

const CFixedString kNoClipName;

CVector2 Difference(const CVector2& a, const CVector2& b)
{
    return CVector2(a.X - b.X, a.Y - b.Y);
}

CVector2 TurnVector(const CVector2& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return CVector2(v.X * c - v.Y * s, v.X * s + v.Y * c);
}

// Resolves the parent paths named by the items while the clip loads.
class CClipPathResolver final : public CClipObject::LoadPathHelper
{
public:
    explicit CClipPathResolver(std::vector<CPathObject>& paths) : m_Paths(paths) {}
    CClipObject* FindPath(const CFixedString& name) override
    {
        if (name.IsEmpty())
            return nullptr;
        for (CPathObject& path : m_Paths)
            if (path.GetName() == name)
                return &path;
        return nullptr;
    }

private:
    std::vector<CPathObject>& m_Paths;
};

CClipObject* CreateObject(u32 kind)
{
    switch (kind) {
    case lv::misc::anim::ClipItemImage: return new lv::misc::anim::CImageObject("");
    case lv::misc::anim::ClipItemParticle: return new lv::misc::anim::CParticleObject("");
    case lv::misc::anim::ClipItemClip: return new lv::misc::anim::CClipViewObject();
    case lv::misc::anim::ClipItemText: return new lv::misc::anim::CTextObject();
    default: return nullptr;
    }
}

} // namespace

CClip::CClip() : m_Name(&kNoClipName) {}

CClip::CClip(const CClip& other) : m_Name(&kNoClipName)
{
    CopyConstruct(other);
}

CClip::~CClip()
{
    Clear();
}

void CClip::CopyConstruct(const CClip& other)
{
    Clear();
    m_Rect = other.m_Rect;
    m_Name = other.m_Name;
    m_Position = other.m_Position;
    m_Size = other.m_Size;
    m_Angle = other.m_Angle;
    m_Color = other.m_Color;
    m_Flags = other.m_Flags;
    m_Additive = other.m_Additive;
    m_SoundMuted = other.m_SoundMuted;
    m_TransformEnabled = other.m_TransformEnabled;
    // Reserved up front: objects point at the paths, which must not move afterwards.
    m_Paths.reserve(other.m_Paths.size());
    for (const CPathObject& path : other.m_Paths)
        m_Paths.push_back(path);
    for (const CClipObject* object : other.m_Objects) {
        CClipObject* clone = object->Clone();
        if (const CClipObject* parent = clone->GetParent())
            clone->SetParent(FindPath(parent->GetName().GetText()));
        m_Objects.push_back(clone);
    }
    // Paths may hang on paths too.
    for (CPathObject& path : m_Paths)
        if (const CClipObject* parent = path.GetParent())
            path.SetParent(FindPath(parent->GetName().GetText()));
}

bool CClip::Load(const char* name, bool resetPlacement)
{
    using namespace lv::misc::anim;
    Clear();
    const CClipHeader* header = CClipManager::Instance().FindClip(name);
    if (!header)
        return false;
    m_Name = &header->Name;
    m_TransformEnabled = (header->Flags & CClipHeader::kFlagAbsoluteTransform) ? 1 : 0;
    m_Rect = header->Rect;

    size_t pathCount = 0;
    for (const CClipItem* item = header->GetFirstItem(); item->Size != 0; item = item->GetNext())
        pathCount += item->Kind == ClipItemPath;
    m_Paths.reserve(pathCount);
    CClipPathResolver resolver(m_Paths);
    for (const CClipItem* item = header->GetFirstItem(); item->Size != 0; item = item->GetNext()) {
        if (item->Kind != ClipItemPath)
            continue;
        m_Paths.emplace_back();
        m_Paths.back().LoadFromDefinition(*item, &resolver);
    }
    for (const CClipItem* item = header->GetFirstItem(); item->Size != 0; item = item->GetNext()) {
        if (!item->Visible)
            continue;
        CClipObject* object = CreateObject(item->Kind);
        if (!object)
            continue;
        object->LoadFromDefinition(*item, &resolver);
        m_Objects.push_back(object);
    }

    if (resetPlacement) {
        m_Position = CVector2();
        m_Size = CVector2(m_Rect.Width, m_Rect.Height);
        m_Angle = 0;
        m_Color = CColor();
        m_Additive = 0;
        m_Flags = 0;
        m_SoundMuted = 0;
    }
    SetTimeKeepEvents(0);
    Play();
    return true;
}

void CClip::Clear()
{
    DeleteObjects();
    m_Paths.clear();
}

void CClip::DeleteObjects()
{
    for (CClipObject* object : m_Objects)
        delete object;
    m_Objects.clear();
}

void CClip::Play()
{
    for (size_t i = m_Objects.size(); i-- > 0;)
        m_Objects[i]->Play();
}

void CClip::Pause()
{
    for (size_t i = m_Objects.size(); i-- > 0;)
        m_Objects[i]->Pause();
}

void CClip::Stop()
{
    for (size_t i = m_Objects.size(); i-- > 0;)
        m_Objects[i]->Stop();
}

CClipTransform CClip::BuildTransform() const
{
    return m_TransformEnabled ? CClipTransform::FromClip(*this, m_Rect) : CClipTransform::Identity();
}

void CClip::SetTime(s32 ms)
{
    const CClipTransform transform = BuildTransform();
    for (size_t i = m_Objects.size(); i-- > 0;)
        m_Objects[i]->SetTime(ms, true, transform);
}

void CClip::SetTimeKeepEvents(s32 ms)
{
    const CClipTransform transform = BuildTransform();
    for (size_t i = m_Objects.size(); i-- > 0;)
        m_Objects[i]->SetTimeKeepEvents(ms, true, transform);
}

void CClip::Update()
{
    const CClipTransform transform = BuildTransform();
    for (CClipObject* object : m_Objects) {
        object->Update();
        object->ApplyKeyFrame(transform);
    }
}

void CClip::Draw(lv::graphics::CRenderer& renderer)
{
    // A frame without extent has no scale to place anything with.
    if (m_Rect.Width == 0 || m_Rect.Height == 0)
        return;
    lv::graphics::CRenderStateScope scope(renderer);
    const float sx = (m_Flags & 1) ? -m_Size.X / m_Rect.Width : m_Size.X / m_Rect.Width;
    const float sy = (m_Flags & 2) ? -m_Size.Y / m_Rect.Height : m_Size.Y / m_Rect.Height;
    CMatrix3 toCentre, scale, turn, place, a, b, m;
    CMatrix3::MakeTranslation(toCentre, -(m_Rect.X + m_Rect.Width / 2), -(m_Rect.Y + m_Rect.Height / 2));
    CMatrix3::MakeScale(scale, sx, sy);
    CMatrix3::MakeRotation(turn, m_Angle);
    CMatrix3::MakeTranslation(place, m_Position.X, m_Position.Y);
    toCentre.Multiply(a, scale);
    a.Multiply(b, turn);
    b.Multiply(m, place);
    CQuad region;
    region.FromRect(m_Rect);
    if (m_TransformEnabled) {
        // The objects' positions already carry the placement; only the visible region needs it.
        renderer.PushTransform();
        renderer.MultiplyTransform(m);
        renderer.IntersectClip(region);
        renderer.PopTransform();
    } else {
        renderer.MultiplyTransform(m);
        renderer.IntersectClip(region);
    }
    CColor tint;
    renderer.GetColor().Modulated(tint, m_Color);
    renderer.SetColor(tint);
    if (m_Additive)
        renderer.SetBlendMode(3);
    for (CClipObject* object : m_Objects)
        object->Draw(renderer);
}

void CClip::SetSoundMuted(bool muted)
{
    m_SoundMuted = muted;
    for (CClipObject* object : m_Objects)
        object->SetSoundMuted(muted);
}

void CClip::StopSounds()
{
    for (CClipObject* object : m_Objects)
        object->StopSounds();
}

void CClip::ResolveTextures()
{
    for (CClipObject* object : m_Objects)
        object->ResolveTextures();
    for (CPathObject& path : m_Paths)
        path.ResolveTextures();
}

void CClip::SetPosition(const CVector2& position)
{
    if (m_TransformEnabled) {
        const CVector2 delta = Difference(position, m_Position);
        for (CClipObject* object : m_Objects)
            object->SetPosition(object->GetPosition() + delta);
    }
    m_Position = position;
}

void CClip::SetAngle(float angle)
{
    if (m_TransformEnabled) {
        const float delta = angle - m_Angle;
        for (CClipObject* object : m_Objects) {
            object->SetAngle(object->GetAngle() + delta);
            object->SetPosition(m_Position + TurnVector(Difference(object->GetPosition(), m_Position), delta));
        }
    }
    m_Angle = angle;
}

void CClip::SetSize(const CVector2& size)
{
    // A zero old size has no ratio: the objects keep their geometry.
    if (m_TransformEnabled && m_Size.X != 0 && m_Size.Y != 0) {
        // The plain ratio: the clip transform's own scale carries the mirror signs.
        const CVector2 f(size.X / m_Size.X, size.Y / m_Size.Y);
        for (CClipObject* object : m_Objects) {
            const float c = object->GetAngle() - m_Angle;
            CQuad corners = object->GetCorners();
            for (CVector2& corner : corners.Corners) {
                const CVector2 turned = TurnVector(corner, c);
                corner = TurnVector(CVector2(turned.X * f.X, turned.Y * f.Y), -c);
            }
            object->SetCorners(corners);
            const CVector2 local = TurnVector(Difference(object->GetPosition(), m_Position), -m_Angle);
            object->SetPosition(m_Position + TurnVector(CVector2(local.X * f.X, local.Y * f.Y), m_Angle));
        }
    }
    m_Size = size;
}

CClipObject* CClip::FindObject(const char* name)
{
    for (CClipObject* object : m_Objects)
        if (object->GetName().CompareText(name) == 0)
            return object;
    return nullptr;
}

const CClipObject* CClip::FindObject(const char* name) const
{
    return const_cast<CClip*>(this)->FindObject(name);
}

CPathObject* CClip::FindPath(const char* name)
{
    for (CPathObject& path : m_Paths)
        if (path.GetName().CompareText(name) == 0)
            return &path;
    return nullptr;
}
