#pragma once
// The base of everything a clip is made of (images, nested clips, texts, paths, particle
// emitters). It links the object to its item record in the clip definitions, runs the object's
// own clock and playback state, and animates the object through its key points: position,
// corners, angle, colour, mirror and emit flags, with sound points started as key points are
// passed. The kinds supply the geometry and the drawing.
//
// Clock: without a timer the object's time is the time system's time minus a start time; Pause
// and Stop give it a timer in the root group, which is its clock from then on.
#include "anim/BoundingQuad.h"
#include "anim/ClipKeyPoint.h"
#include "anim/ClipTransform.h"
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Quad.h"
#include "core/TimerHandle.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}
namespace lv::sound {
class CAudioManager;
}

namespace lv::misc::anim {

struct CClipItem;

class CClipObject
{
public:
    enum EState : u8
    {
        StatePlaying = 0,
        StatePaused = 1,
        StateStopped = 2,
    };
    enum EAnimMode : u8
    {
        AnimOnce = 0,
        AnimLoop = 1,
        AnimPingPong = 2,
    };

    // Finds the clip's path of a name while its objects load; null when there is none.
    class LoadPathHelper
    {
    public:
        virtual CClipObject* FindPath(const CFixedString& name) = 0;

    protected:
        ~LoadPathHelper() = default;
    };

    CClipObject();
    // Copies everything but the tracked sounds; the copy runs on a clone of the timer and owns
    // its own copy of owned key points.
    CClipObject(const CClipObject& other);
    CClipObject& operator=(const CClipObject&) = delete;
    virtual ~CClipObject();

    virtual void Draw(graphics::CRenderer& renderer) = 0;
    virtual void Update() {}
    virtual const CFixedString& GetResourceName() const;
    virtual CVector2 GetPosition() const = 0;
    virtual void SetCorners(const CQuad& corners) = 0;
    virtual CQuad GetCorners() const = 0;
    // Rebuilds the corners from the resource.
    virtual void ResetGeometry() = 0;
    virtual void SetAngle(float angle) = 0;
    virtual float GetAngle() const = 0;
    virtual void SetColor(const CColor& color) = 0;
    virtual CColor GetColor() const = 0;
    virtual void SetAdditiveBlend(bool additive) = 0;
    virtual bool IsAdditiveBlend() const = 0;
    // Bit 0 mirrors x, bit 1 mirrors y.
    virtual s32 GetFlipFlags() const = 0;
    virtual void SetFlipFlags(s32 flags) = 0;
    virtual void AddFlipFlags(s32 bits) { SetFlipFlags(GetFlipFlags() | bits); }
    virtual void RemoveFlipFlags(s32 bits) { SetFlipFlags(GetFlipFlags() & ~bits); }
    // Only particle emitters act on emit flags.
    virtual s32 GetEmitFlags() const = 0;
    virtual void SetEmitFlags(s32 flags) = 0;
    virtual void AddEmitFlags(s32 bits) { SetEmitFlags(GetEmitFlags() | bits); }
    virtual void RemoveEmitFlags(s32 bits) { SetEmitFlags(GetEmitFlags() & ~bits); }
    virtual void SetParent(CClipObject* parent) { m_Parent = parent; }
    virtual CBoundingQuad GetQuad() const { return CBoundingQuad(GetPosition(), GetCorners(), GetAngle()); }
    virtual bool HitTest(const CVector2& point) const { return GetQuad().ContainsPoint(point); }
    virtual void ResolveTextures() {}
    // Takes the placement, look and animation of an item record, which must outlive the object.
    virtual void LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths);
    // "image", "text", "clip", "particle" or "path".
    virtual const char* GetTypeName() const = 0;
    virtual CClipObject* Clone() const = 0;
    virtual void SetSoundMuted(bool muted);
    virtual void StopSounds();
    // Moves the clock to `ms`; key points at that time fire again. With `apply` the state at
    // that time is shown at once.
    virtual void SetTime(s32 ms, bool apply, const CClipTransform& transform);
    // The same, but key points already passed do not fire again.
    virtual void SetTimeKeepEvents(s32 ms, bool apply, const CClipTransform& transform);
    virtual void Play();
    virtual void Pause();
    // Stops the object's sounds and rewinds its clock to 0, held there.
    virtual void Stop();
    virtual void DoSetPosition(const CVector2& position) = 0;

    // The item's name; the empty name before LoadFromDefinition.
    const CFixedString& GetName() const;
    void SetPosition(const CVector2& position);
    CClipObject* GetParent() const { return m_Parent; }
    bool IsSnapToPath() const;
    void SetUserFlags(s32 flags) { m_UserFlags = flags; }
    s32 GetUserFlags() const { return m_UserFlags; }
    // A switched-off object is not drawn.
    void SetActive(bool active) { m_Visible = active; }
    bool IsVisible() const { return m_Visible != 0; }
    bool IsSoundMuted() const { return m_SoundMuted != 0; }
    // Values outside 0..2 (0..1 for reverse) are ignored.
    void SetAnimMode(s32 mode);
    u8 GetAnimMode() const { return m_AnimMode; }
    void SetReverse(s32 reverse);
    bool IsReverse() const { return m_Reverse != 0; }
    u32 GetKeyPointCount() const;
    const CClipKeyPoint* GetKeyPoints() const { return m_KeyPoints; }
    u8 GetState() const { return m_State; }
    const CClipItem* GetItem() const { return m_Item; }
    // Width and height spanned by the corners.
    CVector2 GetSize() const;

    // The object's clock in ms.
    s32 GetCurrentTime() const;
    // Time of the last key point (0 without), doubled in ping-pong mode.
    s32 GetDuration() const;
    // Where the clock stands inside one pass of the key points.
    s32 GetAnimationTime() const;
    s32 GetLastEventTime() const { return m_LastEventTime; }
    // Evaluates the key points when the clock moved since the last evaluation.
    void ApplyKeyFrame(const CClipTransform& transform);
    // The last interpolated state.
    const CClipKeyPoint& GetCurrentState() const { return m_CurrentState; }

    // The audio manager that sound points play through; null (the default) means the
    // process-wide one. Tests set their own.
    static void SetAudioManager(sound::CAudioManager* audio);
    // Sounds that sound points of the object started and that may still play.
    static size_t GetTrackedSoundCount(const CClipObject* object);

    // Kinds that rewrite their key points take a private copy first.
    void MakeKeyPointsOwned();
    // The private copy (GetKeyPointCount entries); null before MakeKeyPointsOwned.
    CClipKeyPoint* GetOwnedKeyPoints() { return m_KeyPointsOwned ? m_OwnedKeyPoints.data() : nullptr; }
    void ReleaseKeyPoints();

protected:
    // Brings the object to its clock time and fires the sound points passed since the last
    // evaluation.
    void EvaluateKeyFrames(const CClipTransform& transform);
    // Applies one state; `key` is the time of the key point passed (-1 for an interpolated
    // state), `base` the clock time at which it was due (-1 when not known).
    void ApplyKeyState(const CClipKeyPoint& state, s32 key, s64 base, const CClipTransform& transform);

private:
    // Moves the cursor to the next key point in the direction of travel; false at the end of a
    // once animation.
    bool AdvanceKeyPoint(s32& first, s32& last, s32& cursor, s32& direction, s64& base) const;
    void Interpolate(const CClipKeyPoint& a, const CClipKeyPoint& b, float x);
    // A loop or ping-pong animation whose passes take no time (or run backwards) is shown as
    // its first key point only: its passes could never be counted.
    bool IsDegenerate() const;
    void EnsureTimer();
    void FireSoundPoint(s32 key, s64 base);
    static void RemoveFinishedSounds(const CClipObject* object);

    CClipObject* m_Parent = nullptr;
    const CClipItem* m_Item = nullptr;
    s32 m_UserFlags = 0;
    u8 m_SoundMuted = 0;
    u8 m_Visible = 1;
    u8 m_KeyPointsOwned = 0;
    u8 m_State = StateStopped;
    u8 m_AnimMode = AnimOnce;
    u8 m_Reverse = 0;
    s32 m_LastEventTime = -1;
    const CClipKeyPoint* m_KeyPoints = nullptr;
    s32 m_PreviousKey = -1;
    s32 m_NextKey = -1;
    CClipKeyPoint m_CurrentState;
    core::CTimerHandle m_Timer;
    s32 m_StartTime = 0;
    std::vector<CClipKeyPoint> m_OwnedKeyPoints;
};

} // namespace lv::misc::anim
