#include "anim/ClipObject.h"
#include "anim/PathObject.h"

#include "anim/ClipItem.h"
#include "anim/ClipSoundPoint.h"
#include "core/TimeSystem.h"
#include "core/Timer.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace lv::misc::anim {

namespace {

// A fraction along a closed path brought into 0..1: whole turns are dropped (a value just above
// 1 stays, so the end is still reachable), a negative value counts back from the end.
float WrapPathFraction(float v)
{
    float w = std::fabs(v);
    if (w > 1.001f)
        w -= std::floor(w);
    return v < 0 ? 1 - w : w;
}

// From a to b along a closed path by the shorter way, across the start when that is shorter.
float MixClosedPathFraction(float a, float b, float x)
{
    a = WrapPathFraction(a);
    b = WrapPathFraction(b);
    const float forward = (a <= b && b <= 1.001f) ? b - a : (1 - a) + b;
    const float backward = (b >= 0 && a >= b) ? a - b : a + (1 - b);
    return WrapPathFraction(backward > forward ? a + forward * x : a - backward * x);
}

const CFixedString& EmptyName()
{
    static const CFixedString empty;
    return empty;
}

s32 Now()
{
    return core::CTimeSystem::Instance().GetTime();
}

// The sounds that sound points started and that may still play, of every object; no order.
struct CTrackedSound
{
    const CClipObject* Object;
    s32 Id;
};

std::vector<CTrackedSound>& TrackedSounds()
{
    static auto* sounds = new std::vector<CTrackedSound>();
    return *sounds;
}

void RemoveTracked(size_t index)
{
    auto& sounds = TrackedSounds();
    sounds[index] = sounds.back();
    sounds.pop_back();
}

sound::CAudioManager* g_AudioManager = nullptr;

sound::CAudioManager& Audio()
{
    return g_AudioManager ? *g_AudioManager : sound::GetAudioManager();
}

// Calls `action` with the id of every tracked sound of the object.
template <typename Action>
void ForEachSound(const CClipObject* object, Action action)
{
    for (const CTrackedSound& tracked : TrackedSounds()) {
        if (tracked.Object == object)
            action(tracked.Id);
    }
}

} // namespace

CClipObject::CClipObject() : m_StartTime(Now()) {}

CClipObject::CClipObject(const CClipObject& other)
    : m_Parent(other.m_Parent), m_Item(other.m_Item), m_UserFlags(other.m_UserFlags),
      m_SoundMuted(other.m_SoundMuted), m_Visible(other.m_Visible), m_KeyPointsOwned(0), m_State(other.m_State),
      m_AnimMode(other.m_AnimMode), m_Reverse(other.m_Reverse), m_LastEventTime(other.m_LastEventTime),
      m_KeyPoints(other.m_KeyPoints), m_PreviousKey(other.m_PreviousKey), m_NextKey(other.m_NextKey),
      m_CurrentState(other.m_CurrentState), m_Timer(other.m_Timer), m_StartTime(other.m_StartTime)
{
    if (other.m_KeyPointsOwned) {
        m_OwnedKeyPoints = other.m_OwnedKeyPoints;
        m_KeyPoints = m_OwnedKeyPoints.data();
        m_KeyPointsOwned = 1;
    }
}

CClipObject::~CClipObject()
{
    CClipObject::StopSounds();
    ReleaseKeyPoints();
}

const CFixedString& CClipObject::GetResourceName() const
{
    return EmptyName();
}

const CFixedString& CClipObject::GetName() const
{
    return m_Item ? m_Item->Name : EmptyName();
}

bool CClipObject::IsSnapToPath() const
{
    return m_Item && m_Item->Snap;
}

void CClipObject::SetPosition(const CVector2& position)
{
    const CPathObject* path = IsSnapToPath() ? dynamic_cast<const CPathObject*>(m_Parent) : nullptr;
    if (!path) {
        DoSetPosition(position);
        return;
    }
    CVector2 offset;
    const CBezierPath& curve = path->GetPath();
    DoSetPosition(curve.PointAtFraction(curve.NearestFraction(position, offset)));
}

void CClipObject::SetAnimMode(s32 mode)
{
    if (static_cast<u32>(mode) < 3)
        m_AnimMode = static_cast<u8>(mode);
}

void CClipObject::SetReverse(s32 reverse)
{
    if (static_cast<u32>(reverse) < 2)
        m_Reverse = static_cast<u8>(reverse);
}

u32 CClipObject::GetKeyPointCount() const
{
    return m_Item && m_KeyPoints ? m_Item->KeyPointCount : 0;
}

CVector2 CClipObject::GetSize() const
{
    const CQuad corners = GetCorners();
    float minX = corners.Corners[0].X, maxX = minX, minY = corners.Corners[0].Y, maxY = minY;
    for (const CVector2& c : corners.Corners) {
        minX = std::min(minX, c.X);
        maxX = std::max(maxX, c.X);
        minY = std::min(minY, c.Y);
        maxY = std::max(maxY, c.Y);
    }
    return CVector2(maxX - minX, maxY - minY);
}

void CClipObject::LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths)
{
    ReleaseKeyPoints();
    StopSounds();
    m_KeyPoints = item.GetKeyPoints();
    m_Item = &item;
    SetPosition(item.Position);
    SetCorners(item.Corners);
    SetAngle(item.Angle);
    SetColor(item.Color);
    SetAdditiveBlend(item.Additive != 0);
    SetFlipFlags(item.Flip);
    SetUserFlags(item.UserFlags);
    SetActive(item.Visible != 0);
    SetAnimMode(item.AnimMode);
    SetReverse(item.Reverse);
    if (!item.ParentName.IsEmpty() && paths)
        SetParent(paths->FindPath(item.ParentName));
}

void CClipObject::MakeKeyPointsOwned()
{
    if (m_KeyPointsOwned)
        return;
    const u32 count = m_Item ? m_Item->KeyPointCount : 0;
    if (m_KeyPoints)
        m_OwnedKeyPoints.assign(m_KeyPoints, m_KeyPoints + count);
    m_KeyPoints = m_OwnedKeyPoints.data();
    m_KeyPointsOwned = 1;
}

void CClipObject::ReleaseKeyPoints()
{
    if (m_KeyPointsOwned) {
        m_OwnedKeyPoints.clear();
        m_OwnedKeyPoints.shrink_to_fit();
    }
    m_KeyPointsOwned = 0;
    m_KeyPoints = nullptr;
}

s32 CClipObject::GetCurrentTime() const
{
    if (m_Timer)
        return m_Timer->GetTime();
    return Now() - m_StartTime;
}

s32 CClipObject::GetDuration() const
{
    const u32 count = GetKeyPointCount();
    if (!count)
        return 0;
    const s32 last = m_KeyPoints[count - 1].Time;
    return m_AnimMode == AnimPingPong ? last * 2 : last;
}

s32 CClipObject::GetAnimationTime() const
{
    const u32 count = GetKeyPointCount();
    const s32 d = count ? m_KeyPoints[count - 1].Time : 0;
    if (d <= 0)
        return 0;
    const s32 t = GetCurrentTime();
    switch (m_AnimMode) {
    case AnimLoop: {
        s32 f = t % d;
        if (f == 0 && t != 0)
            f = d;
        return m_Reverse ? d - f : f;
    }
    case AnimPingPong: {
        const s64 cycle = 2 * static_cast<s64>(d);
        s64 f = t % cycle;
        if (f == 0 && t != 0)
            f = cycle;
        if (m_Reverse)
            return static_cast<s32>(f <= d ? d - f : f - d);
        return static_cast<s32>(f <= d ? f : cycle - f);
    }
    default: {
        const s32 f = std::clamp(t, 0, d);
        return m_Reverse ? d - f : f;
    }
    }
}

void CClipObject::ApplyKeyFrame(const CClipTransform& transform)
{
    if (GetCurrentTime() != m_LastEventTime)
        EvaluateKeyFrames(transform);
}

bool CClipObject::IsDegenerate() const
{
    if (m_AnimMode == AnimOnce)
        return false;
    const u32 count = GetKeyPointCount();
    return GetDuration() <= 0 || m_KeyPoints[count - 1].Time - m_KeyPoints[0].Time <= 0;
}

void CClipObject::Interpolate(const CClipKeyPoint& a, const CClipKeyPoint& b, float x)
{
    CClipKeyPoint& s = m_CurrentState;
    const auto mix = [x](float p, float q) { return p + (q - p) * x; };
    s.Time = a.Time;
    s.Position = CVector2(mix(a.Position.X, b.Position.X), mix(a.Position.Y, b.Position.Y));
    for (int i = 0; i < 4; ++i) {
        s.Corners.Corners[i] = CVector2(mix(a.Corners.Corners[i].X, b.Corners.Corners[i].X),
                                        mix(a.Corners.Corners[i].Y, b.Corners.Corners[i].Y));
    }
    s.Angle = mix(a.Angle, b.Angle);
    // On a closed parent path the fraction takes the shorter way round, across the start if
    // need be; on an open one it is interpolated like any value.
    if (!m_Parent)
        s.PathPosition = a.PathPosition;
    else if (const auto* path = dynamic_cast<const CPathObject*>(m_Parent); path && path->IsClosed())
        s.PathPosition = MixClosedPathFraction(a.PathPosition, b.PathPosition, x);
    else
        s.PathPosition = mix(a.PathPosition, b.PathPosition);
    const auto channel = [x](s16 p, s16 q) { return static_cast<s16>(static_cast<s32>(p + (q - p) * x)); };
    s.Color.R = channel(a.Color.R, b.Color.R);
    s.Color.G = channel(a.Color.G, b.Color.G);
    s.Color.B = channel(a.Color.B, b.Color.B);
    s.Color.A = channel(a.Color.A, b.Color.A);
    s.MirrorFlags = x > 0.999f ? b.MirrorFlags : a.MirrorFlags;
    // Emit flags reach the object only around their own key point.
    s.EmitFlags = x > 0.999f ? b.EmitFlags : (x < 0.001f ? a.EmitFlags : 0);
    s.Interpolate = a.Interpolate;
}

void CClipObject::ApplyKeyState(const CClipKeyPoint& state, s32 key, s64 base, const CClipTransform& transform)
{
    const CPathObject* path = IsSnapToPath() ? dynamic_cast<const CPathObject*>(m_Parent) : nullptr;
    DoSetPosition(transform.TransformPoint(path ? path->GetPath().PointAtFraction(state.PathPosition) : state.Position));
    SetCorners(transform.TransformCorners(state.Corners, state.Angle));
    SetAngle(transform.TransformAngle(state.Angle));
    SetColor(state.Color);
    SetFlipFlags(state.MirrorFlags);
    SetEmitFlags(state.EmitFlags);
    if (!m_SoundMuted && key != -1)
        FireSoundPoint(key, base);
}

bool CClipObject::AdvanceKeyPoint(s32& first, s32& last, s32& cursor, s32& direction, s64& base) const
{
    if (cursor == last) {
        if (m_AnimMode == AnimOnce)
            return false;
        if (m_AnimMode == AnimLoop) {
            // The last key point of one pass and the first of the next fall on the same time.
            cursor = first;
            return true;
        }
        std::swap(first, last);
        direction = -direction;
    }
    const s32 next = cursor + direction;
    base += static_cast<s64>(m_KeyPoints[next].Time - static_cast<s64>(m_KeyPoints[cursor].Time)) * direction;
    cursor = next;
    return true;
}

void CClipObject::EvaluateKeyFrames(const CClipTransform& transform)
{
    const s32 n = static_cast<s32>(GetKeyPointCount());
    if (n == 0)
        return;
    const s32 t = GetCurrentTime();
    const CClipKeyPoint* keys = m_KeyPoints;

    if (m_State == StateStopped) {
        // Only shows the state at the clock time; nothing fires.
        if (n == 1) {
            ApplyKeyState(keys[0], -1, -1, transform);
        } else if (t > keys[n - 1].Time) {
            m_PreviousKey = m_NextKey = n - 1;
            Interpolate(keys[n - 1], keys[n - 1], 0.5f);
            ApplyKeyState(m_CurrentState, -1, -1, transform);
        } else {
            for (s32 i = 0; i + 1 < n; ++i) {
                const CClipKeyPoint& a = keys[i];
                const CClipKeyPoint& b = keys[i + 1];
                if (a.Time <= t && t <= b.Time) {
                    const float x = a.Interpolate && b.Time != a.Time
                                        ? static_cast<float>(t - a.Time) / static_cast<float>(b.Time - a.Time)
                                        : 0.0f;
                    m_PreviousKey = i;
                    m_NextKey = i + 1;
                    Interpolate(a, b, x);
                    ApplyKeyState(m_CurrentState, -1, -1, transform);
                    break;
                }
            }
        }
        m_LastEventTime = t;
        return;
    }

    if (n == 1 || IsDegenerate()) {
        if (m_LastEventTime == -1) {
            const CClipKeyPoint& only = keys[m_Reverse && n > 1 ? n - 1 : 0];
            ApplyKeyState(only, n == 1 ? 0 : only.Time, -1, transform);
        }
        m_LastEventTime = t;
        return;
    }

    s32 first = 0;
    s32 last = n - 1;
    s32 direction = 1;
    if (m_Reverse) {
        std::swap(first, last);
        direction = -1;
    }
    s64 base = 0;
    if (m_LastEventTime != -1 && m_AnimMode != AnimOnce) {
        const s64 d = GetDuration();
        base = (m_LastEventTime / d) * d;
    }
    s32 cursor = first;
    while (base <= m_LastEventTime) {
        if (!AdvanceKeyPoint(first, last, cursor, direction, base))
            return; // the end of a once animation was passed earlier
    }
    while (base <= t) {
        ApplyKeyState(keys[cursor], keys[cursor].Time, base, transform);
        if (!AdvanceKeyPoint(first, last, cursor, direction, base)) {
            m_LastEventTime = t;
            return;
        }
    }
    // The cursor lies ahead of t: blend from the key point before it.
    const s32 previous = cursor - direction;
    if (previous >= 0 && previous < n) {
        const s64 span = std::llabs(static_cast<s64>(keys[cursor].Time) - keys[previous].Time);
        const s64 segmentStart = base - span;
        if (span > 0 && t != segmentStart && keys[previous].Interpolate) {
            m_PreviousKey = previous;
            m_NextKey = cursor;
            Interpolate(keys[previous], keys[cursor], static_cast<float>(t - segmentStart) / static_cast<float>(span));
            ApplyKeyState(m_CurrentState, -1, -1, transform);
        }
    }
    m_LastEventTime = t;
}

void CClipObject::EnsureTimer()
{
    if (!m_Timer)
        m_Timer.Assign(core::CTimeSystem::Instance().CreateTimer(nullptr));
}

void CClipObject::SetTime(s32 ms, bool apply, const CClipTransform& transform)
{
    if (!GetKeyPointCount())
        return;
    if (m_Timer)
        m_Timer->SetTime(ms);
    else
        m_StartTime = Now() - ms;
    m_LastEventTime = GetCurrentTime() - 1;
    if (apply)
        EvaluateKeyFrames(transform);
}

void CClipObject::SetTimeKeepEvents(s32 ms, bool apply, const CClipTransform& transform)
{
    if (!GetKeyPointCount())
        return;
    if (m_Timer)
        m_Timer->SetTime(ms);
    else
        m_StartTime = Now() - ms;
    if (apply)
        EvaluateKeyFrames(transform);
}

void CClipObject::Play()
{
    if (m_State == StatePaused) {
        RemoveFinishedSounds(this);
        ForEachSound(this, [](s32 id) { Audio().PauseSound(id, false); });
    }
    if (m_Timer && m_Timer->IsPaused())
        m_Timer->Pause(false);
    m_LastEventTime = GetCurrentTime() - 1;
    m_State = StatePlaying;
}

void CClipObject::Pause()
{
    RemoveFinishedSounds(this);
    // Pause levels of sounds count, while Play resumes them once: pausing a paused object
    // again must not leave its sounds paused for good.
    if (m_State != StatePaused)
        ForEachSound(this, [](s32 id) { Audio().PauseSound(id, true); });
    if (!GetKeyPointCount())
        return;
    if (!m_Timer) {
        const s32 clock = GetCurrentTime();
        EnsureTimer();
        m_Timer->SetTime(clock);
    }
    if (!m_Timer->IsPaused())
        m_Timer->Pause(true);
    m_State = StatePaused;
}

void CClipObject::Stop()
{
    StopSounds();
    if (!GetKeyPointCount())
        return;
    EnsureTimer();
    m_Timer->SetTime(0);
    if (!m_Timer->IsPaused())
        m_Timer->Pause(true);
    m_LastEventTime = -1;
    m_State = StateStopped;
}

void CClipObject::SetSoundMuted(bool muted)
{
    if (m_SoundMuted == static_cast<u8>(muted))
        return;
    m_SoundMuted = muted;
    RemoveFinishedSounds(this);
    ForEachSound(this, [muted](s32 id) {
        sound::CAudioManager& audio = Audio();
        audio.SetSoundVolume(id, muted ? 0.0f : audio.GetSoundTypeVolume(id), 0, 0);
    });
}

void CClipObject::StopSounds()
{
    RemoveFinishedSounds(this);
    auto& sounds = TrackedSounds();
    for (size_t i = sounds.size(); i-- > 0;) {
        if (sounds[i].Object == this) {
            Audio().StopSound(sounds[i].Id, 0);
            RemoveTracked(i);
        }
    }
}

void CClipObject::FireSoundPoint(s32 key, s64 base)
{
    if (!m_Item)
        return;
    const CClipSoundPoint* point = nullptr;
    for (u32 i = 0; i < m_Item->SoundPointCount && !point; ++i) {
        const CClipSoundPoint& candidate = m_Item->GetSoundPoints()[i];
        if (candidate.KeyTime == key && !candidate.Name.IsEmpty())
            point = &candidate;
    }
    if (!point)
        return;
    const char* name = point->Name.GetText();
    sound::CAudioManager& audio = Audio();
    // How late the key point is passed: a late sound joins in step with the animation, and one
    // that would already have ended does not start.
    const s64 elapsed = base == -1 ? 0 : GetCurrentTime() - base;
    double length = -1;
    if (audio.GetTypeRepeat(name) != -1) {
        length = audio.GetTypeDuration(name);
        if (length != -1 && static_cast<double>(elapsed) >= length)
            return;
    }
    const s32 id = audio.Play(name, -2.0f, -2.0f, -2, -2, -2.0f);
    if (id == 0)
        return;
    if (length == -1)
        length = audio.GetSoundDuration(id);
    if (length <= 0.001)
        return; // plays on untracked
    if (static_cast<double>(elapsed) > length) {
        audio.StopSound(id, 0);
        return;
    }
    // A sound shorter than 1 ms has no whole milliseconds to seek within.
    const s64 whole = static_cast<s64>(length);
    const s64 offset = whole > 0 ? elapsed % whole : 0;
    if (offset != 0)
        audio.SetSoundPosition(id, static_cast<double>(offset) / 1000.0);
    TrackedSounds().push_back({this, id});
    RemoveFinishedSounds(this);
}

void CClipObject::RemoveFinishedSounds(const CClipObject* object)
{
    auto& sounds = TrackedSounds();
    for (size_t i = sounds.size(); i-- > 0;) {
        if (sounds[i].Object == object && !Audio().IsPlaying(sounds[i].Id))
            RemoveTracked(i);
    }
}

void CClipObject::SetAudioManager(sound::CAudioManager* audio)
{
    g_AudioManager = audio;
}

size_t CClipObject::GetTrackedSoundCount(const CClipObject* object)
{
    size_t count = 0;
    ForEachSound(object, [&count](s32) { ++count; });
    return count;
}

} // namespace lv::misc::anim
