#pragma once
// A video file played in a scene, optionally with a separate alpha video. The player is opened
// on play (and on scene entry when auto-play is set) and released at its end or on leaving.
#include "qe/SceneObject.h"

namespace lv::graphics {
class CVideo;
}

namespace qe {

class CVideoObject : public CSceneObject
{
public:
    enum EVideoFlags : u16
    {
        kTranslucent = 1,
        kAutoPlay = 2,
        kFlipH = 4,
        kFlipV = 8,
    };
    static constexpr size_t kPayloadSize = 228;
    // Added to the saved flag word while auto-play is set.
    static constexpr u32 kPlayingBit = 0x40000000;

    explicit CVideoObject(CScene* scene) : CSceneObject(scene) {}
    ~CVideoObject() override;

    void InitFromRecord(const u8* record);

    void Play();
    void Stop();
    bool IsLooped() const;
    bool IsOpen() const { return m_Video != nullptr; }
    // The open player (owned by the object), null while none is open.
    lv::graphics::CVideo* GetVideo() const { return m_Video; }
    s64 GetLength() const;
    u32 GetPlayPosition() const;
    void SetColor(const CColor& color) { m_Color = color; }
    u16 GetVideoFlags() const { return m_VideoFlags; }
    void OnSceneEnter();
    void OnSceneLeave();

    void Update() override;
    bool HitTest(const CVector2& point) override;
    s32 GetType() const override { return kTypeVideo; }
    CSceneObject* Clone() const override { return new CVideoObject(*this); }
    void SetPosition(const CVector2& position) override { m_Position = position; }
    CVector2 GetPosition() const override { return m_Position; }
    CVector2 GetSize() const override { return m_Size; }
    void SetSize(const CVector2& size) override { m_Size = size; }
    float GetAngle() const override { return m_Angle; }
    void SetAngle(float angle) override { m_Angle = angle; }
    void Save(CBinaryWriter& writer) override;
    bool Load(CBinaryReader& reader) override;
    void Draw(lv::graphics::CRenderer& renderer) override;

protected:
    // The clone has no open video.
    CVideoObject(const CVideoObject& other);

private:
    void Release();

    lv::graphics::CVideo* m_Video = nullptr;
    u16 m_VideoFlags = 0;
    const u8* m_Payload = nullptr;
    CVector2 m_Position;
    CVector2 m_Size;
    float m_Angle = 0.0f;
    CColor m_Color;
};

} // namespace qe
