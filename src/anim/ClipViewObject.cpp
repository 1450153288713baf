#include "anim/ClipViewObject.h"

#include "anim/ClipItem.h"
#include "core/Log.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace lv::misc::anim {

namespace {

CQuad CentredQuad(const CVector2& size)
{
    return CQuad(-size.X / 2, -size.Y / 2, size.X, size.Y);
}

// The names of the nested clips being loaded, outermost first: a clip that shows itself, directly
// or through others, would load without end.
std::vector<const char*>& NestedClipsLoading()
{
    static std::vector<const char*> names;
    return names;
}

} // namespace

CClipViewObject::CClipViewObject() = default;

CClipViewObject::CClipViewObject(const char* clipName)
{
    LoadClip(clipName);
}

CClipViewObject::CClipViewObject(const CClipViewObject& other) : CClipObject(other), m_ClipName(other.m_ClipName)
{
    m_Clip.CopyConstruct(other.m_Clip);
}

void CClipViewObject::LoadClip(const char* clipName)
{
    m_ClipName.Assign(clipName);
    std::vector<const char*>& loading = NestedClipsLoading();
    for (const char* outer : loading) {
        if (std::strcmp(outer, m_ClipName.GetText()) == 0) {
            core::CLog::Instance().Print("anim", 3, "Clip '%s' shows itself: left empty", m_ClipName.GetText());
            m_Clip.Clear();
            return;
        }
    }
    loading.push_back(m_ClipName.GetText());
    m_Clip.Load(m_ClipName.GetText(), true);
    loading.pop_back();
}

void CClipViewObject::Draw(graphics::CRenderer& renderer)
{
    if (IsVisible())
        m_Clip.Draw(renderer);
}

CQuad CClipViewObject::GetCorners() const
{
    return CentredQuad(m_Clip.GetSize());
}

void CClipViewObject::SetCorners(const CQuad& corners)
{
    const CVector2& c0 = corners.Corners[0];
    const CVector2& c2 = corners.Corners[2];
    m_Clip.SetSize(CVector2(std::fabs(c2.X - c0.X), std::fabs(c2.Y - c0.Y)));
}

void CClipViewObject::ResetGeometry()
{
    SetCorners(CentredQuad(m_Clip.GetRectSize()));
}

void CClipViewObject::LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths)
{
    LoadClip(item.GetNestedData().ClipName.GetText());
    CClipObject::LoadFromDefinition(item, paths);
}

void CClipViewObject::SetSoundMuted(bool muted)
{
    CClipObject::SetSoundMuted(muted);
    m_Clip.SetSoundMuted(muted);
}

void CClipViewObject::StopSounds()
{
    CClipObject::StopSounds();
    m_Clip.StopSounds();
}

void CClipViewObject::SetTime(s32 ms, bool apply, const CClipTransform& transform)
{
    CClipObject::SetTime(ms, apply, transform);
    m_Clip.SetTime(ms);
}

void CClipViewObject::SetTimeKeepEvents(s32 ms, bool apply, const CClipTransform& transform)
{
    CClipObject::SetTimeKeepEvents(ms, apply, transform);
    m_Clip.SetTimeKeepEvents(ms);
}

void CClipViewObject::Play()
{
    CClipObject::Play();
    m_Clip.Play();
}

void CClipViewObject::Pause()
{
    CClipObject::Pause();
    m_Clip.Pause();
}

void CClipViewObject::Stop()
{
    CClipObject::Stop();
    m_Clip.Stop();
}

} // namespace lv::misc::anim
