#pragma once
// An animation clip placed in a scene. It holds its own clip instance, which carries the
// object's position, size, angle, colour and mirroring. A clip that starts playing is first
// brought silently to the end of its one-shot tracks, so a scene shows it as it was left.
#include "anim/Clip.h"
#include "qe/SceneObject.h"

namespace qe {

class CClipObject : public CSceneObject
{
public:
    enum EClipFlags : u8
    {
        kUseAlpha = 1,
        kPlaying = 2,
        kPrepared = 4,
    };
    static constexpr size_t kPayloadSize = 128;
    // Added to the saved flag word while the clip plays.
    static constexpr u32 kPlayingBit = 0x40000000;

    explicit CClipObject(CScene* scene) : CSceneObject(scene) {}

    void InitFromRecord(const u8* record);

    CClip& GetClip() { return m_Clip; }
    const CClip& GetClip() const { return m_Clip; }
    void Play();
    void Stop();
    bool IsPlaying() const { return (m_ClipFlags & kPlaying) != 0; }
    u8 GetClipFlags() const { return m_ClipFlags; }
    // The longest one-shot track of the clip; -1 when it has none.
    s32 GetDuration() const;
    void SetColor(const CColor& color) { m_Clip.SetColor(color); }
    void SetSoundEnabled(bool enabled);
    bool IsSoundEnabled() const { return m_SoundSetting == 0; }

    void Update() override;
    bool HitTest(const CVector2& point) override;
    s32 GetType() const override { return kTypeClip; }
    CSceneObject* Clone() const override { return new CClipObject(*this); }
    void SetPosition(const CVector2& position) override { m_Clip.SetPosition(position); }
    CVector2 GetPosition() const override { return m_Clip.GetPosition(); }
    CVector2 GetSize() const override { return m_Clip.GetSize(); }
    void SetSize(const CVector2& size) override { m_Clip.SetSize(size); }
    float GetAngle() const override { return m_Clip.GetAngle(); }
    void SetAngle(float angle) override { m_Clip.SetAngle(angle); }
    void Save(CBinaryWriter& writer) override;
    bool Load(CBinaryReader& reader) override;
    void Draw(lv::graphics::CRenderer& renderer) override;

    // Whether a visible pixel of the clip's image objects (or of a nested clip) lies under a
    // point in the clip's definition pixels.
    static bool HitTestPixels(const CClip& clip, const CVector2& local);

protected:
    CClipObject(const CClipObject&) = default;

private:
    // Runs once before the first update, draw, pixel test or load.
    void Prepare();

    CClip m_Clip;
    u8 m_SoundSetting = 0;
    u8 m_ClipFlags = 0;
};

} // namespace qe
