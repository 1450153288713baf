#include "qe/ClipObject.h"

#include "anim/ClipObject.h"
#include "anim/ClipViewObject.h"
#include "anim/ImageObject.h"
#include "graphics/ImageHandle.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ImageObject.h"
#include "qe/RecordFields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qe {

namespace {

// Clips thinner than this have no pixels to hit.
constexpr float kMinClipExtent = 0.1f;

CVector2 RotatedBy(const CVector2& v, float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return CVector2(v.X * c - v.Y * s, v.X * s + v.Y * c);
}

bool HitsClipImage(const lv::misc::anim::CImageObject& object, const CVector2& point)
{
    lv::graphics::CImageHandle* image = object.GetImage();
    if (!image || !object.GetQuad().ContainsPoint(point))
        return false;
    const CVector2 span = object.GetSize();
    const float w = std::fabs(span.X);
    const float h = std::fabs(span.Y);
    if (!(w > kMinClipExtent) || !(h > kMinClipExtent))
        return false;
    const s32 imageW = image->GetWidth();
    const s32 imageH = image->GetHeight();
    const CVector2 position = object.GetPosition();
    CVector2 d = RotatedBy(CVector2(point.X - position.X, point.Y - position.Y), -object.GetAngle());
    d.X = d.X * static_cast<float>(imageW) / w + static_cast<float>(imageW / 2);
    d.Y = d.Y * static_cast<float>(imageH) / h + static_cast<float>(imageH / 2);
    if (!(d.X >= 0.0f) || !(d.Y >= 0.0f))
        return false;
    return CImageObject::HitTestImagePixel(image, static_cast<s32>(d.X), static_cast<s32>(d.Y),
                                           image->GetFrameForTime(object.GetFrameTime()));
}

} // namespace

void CClipObject::InitFromRecord(const u8* record)
{
    SetRecord(record);
    if (!record)
        return;
    const u8* payload = GetPayloadOf(record);
    m_Clip.Load(ReadRecordName(payload).GetText(), true);
    m_ClipFlags = static_cast<u8>((payload[124] ? kUseAlpha : 0) | (payload[125] ? kPlaying : 0));
    m_Clip.SetColor(ReadRecordColor(payload + 96));
    m_Clip.SetPosition(ReadRecordVector(payload + 104));
    m_Clip.SetSize(ReadRecordVector(payload + 112));
    m_Clip.SetAngle(ReadRecordFloat(payload + 120));
    if (payload[126])
        m_Clip.AddFlags(1);
    if (payload[127])
        m_Clip.AddFlags(2);
}

void CClipObject::Play()
{
    m_ClipFlags |= kPlaying;
    m_Clip.Stop();
    m_Clip.SetTime(0);
    m_Clip.Play();
}

void CClipObject::Stop()
{
    m_ClipFlags &= static_cast<u8>(~kPlaying);
    m_Clip.Stop();
}

s32 CClipObject::GetDuration() const
{
    // Looping tracks have no end; only one-shot tracks count.
    s32 duration = -1;
    for (CClipObjectIterator it = m_Clip.GetObjectIterator(); !it.IsAtEnd(); it++)
    {
        const lv::misc::anim::CClipObject* object = *it;
        if (object->GetAnimMode() == lv::misc::anim::CClipObject::AnimOnce)
            duration = std::max(duration, object->GetDuration());
    }
    return duration;
}

void CClipObject::SetSoundEnabled(bool enabled)
{
    if (m_Clip.IsSoundMuted() != !enabled)
        m_Clip.SetSoundMuted(!enabled);
    m_SoundSetting = enabled ? 0 : 1;
}

void CClipObject::Prepare()
{
    m_ClipFlags |= kPrepared;
    // The jump to the end must not replay the sounds of the tracks it passes.
    const bool muted = m_Clip.IsSoundMuted();
    m_Clip.SetSoundMuted(true);
    m_Clip.SetTime(0);
    if (IsPlaying())
    {
        const s32 duration = GetDuration();
        if (duration > 0)
            m_Clip.SetTimeKeepEvents(duration);
    }
    m_Clip.StopSounds();
    m_Clip.SetSoundMuted(muted);
}

void CClipObject::Update()
{
    if (!(m_ClipFlags & kPrepared))
        Prepare();
    if (IsPlaying())
        m_Clip.Update();
}

void CClipObject::Draw(lv::graphics::CRenderer& renderer)
{
    if (!(m_ClipFlags & kPrepared))
        Prepare();
    m_Clip.Draw(renderer);
}

bool CClipObject::HitTest(const CVector2& point)
{
    const CVector2 size = m_Clip.GetSize();
    const CFloatRect& rect = m_Clip.GetRect();
    if (size.X == 0.0f || size.Y == 0.0f || rect.Width == 0.0f || rect.Height == 0.0f)
        return false;
    const CVector2 p(static_cast<float>(static_cast<s32>(point.X)), static_cast<float>(static_cast<s32>(point.Y)));
    CVector2 local;
    if (!GetLocalPoint(p, m_Clip.GetPosition(), size, m_Clip.GetAngle(), static_cast<s32>(rect.Width),
                       static_cast<s32>(rect.Height), local))
        return false;
    if (!(m_ClipFlags & kUseAlpha))
        return true;
    if (!(m_ClipFlags & kPrepared))
        Prepare();
    return HitTestPixels(m_Clip, local);
}

bool CClipObject::HitTestPixels(const CClip& clip, const CVector2& local)
{
    const CVector2 size = clip.GetSize();
    if (!(std::fabs(size.X) > kMinClipExtent) || !(std::fabs(size.Y) > kMinClipExtent))
        return false;
    // The objects stand in the definition's own frame, whose corner is the rectangle's origin.
    const CFloatRect& rect = clip.GetRect();
    const CVector2 point(local.X + rect.X, local.Y + rect.Y);
    for (CClipObjectIterator it = clip.GetObjectIterator(); !it.IsAtEnd(); it++)
    {
        const lv::misc::anim::CClipObject* object = *it;
        if (!object->IsVisible())
            continue;
        const char* type = object->GetTypeName();
        if (std::strcmp(type, "image") == 0)
        {
            if (HitsClipImage(static_cast<const lv::misc::anim::CImageObject&>(*object), point))
                return true;
        }
        else if (std::strcmp(type, "clip") == 0 && object->HitTest(point))
        {
            // Into the nested clip's own definition pixels, and the same test there.
            const CClip& inner = static_cast<const lv::misc::anim::CClipViewObject&>(*object).GetClip();
            const CVector2 size = inner.GetSize();
            const CFloatRect& frame = inner.GetRect();
            if (size.X == 0.0f || size.Y == 0.0f)
                continue;
            const CVector2 position = object->GetPosition();
            CVector2 d = RotatedBy(CVector2(point.X - position.X, point.Y - position.Y), -object->GetAngle());
            d.X = d.X * frame.Width / size.X + frame.Width / 2;
            d.Y = d.Y * frame.Height / size.Y + frame.Height / 2;
            if (HitTestPixels(inner, d))
                return true;
        }
    }
    return false;
}

void CClipObject::Save(CBinaryWriter& writer)
{
    SaveBase(writer, IsPlaying() ? kPlayingBit : 0);
}

bool CClipObject::Load(CBinaryReader& reader)
{
    u32 stored = 0;
    if (!LoadBase(reader, stored))
        return false;
    if (stored & kPlayingBit)
        m_ClipFlags |= kPlaying;
    else
        m_ClipFlags &= static_cast<u8>(~kPlaying);
    if (!(m_ClipFlags & kPrepared))
        Prepare();
    return true;
}

} // namespace qe
