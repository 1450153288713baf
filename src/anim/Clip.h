#pragma once
// One playing instance of a clip definition: it builds the definition's paths and objects, drives
// them (playback, update, draw) and places them. The placement is applied as a drawing matrix,
// or, for definitions that ask for an absolute transform, to the objects' positions.
#include "anim/ClipObjectIterator.h"
#include "anim/PathObject.h"
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/FloatRect.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include <vector>

namespace lv::graphics {
class CRenderer;
}

class CClip
{
public:
    CClip();
    // Objects of the copy hang on the copy's own paths.
    CClip(const CClip& other);
    CClip& operator=(const CClip&) = delete;
    ~CClip();

    void CopyConstruct(const CClip& other);
    // Builds the clip from the definition of that name and plays it from 0; false (clip left
    // empty, placement unchanged) when there is none. Without `resetPlacement` the placement
    // the owner gave stays.
    bool Load(const char* name, bool resetPlacement);
    void Clear();
    void DeleteObjects();

    void Play();
    void Pause();
    void Stop();
    void SetTime(s32 ms);
    // The same, but key points already passed do not fire again.
    void SetTimeKeepEvents(s32 ms);
    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    void SetSoundMuted(bool muted);
    bool IsSoundMuted() const { return m_SoundMuted != 0; }
    void StopSounds();
    void ResolveTextures();

    void SetPosition(const CVector2& position);
    void SetSize(const CVector2& size);
    void SetAngle(float angle);
    // Tints everything the clip draws; the objects' own colours stay.
    void SetColor(const CColor& color) { m_Color = color; }
    void SetAdditiveBlend(bool additive) { m_Additive = additive; }
    bool IsAdditiveBlend() const { return m_Additive != 0; }
    // Bit 0 mirrors x, bit 1 mirrors y.
    void SetFlags(s32 flags) { m_Flags = flags; }
    void AddFlags(s32 bits) { SetFlags(m_Flags | bits); }
    void RemoveFlags(s32 bits) { SetFlags(m_Flags & ~bits); }
    s32 GetFlags() const { return m_Flags; }
    CVector2 GetPosition() const { return m_Position; }
    CVector2 GetSize() const { return m_Size; }
    float GetAngle() const { return m_Angle; }
    CColor GetColor() const { return m_Color; }
    CVector2 GetRectSize() const { return CVector2(m_Rect.Width, m_Rect.Height); }
    const CFloatRect& GetRect() const { return m_Rect; }
    const CFixedString& GetName() const { return *m_Name; }
    bool IsTransformEnabled() const { return m_TransformEnabled != 0; }

    lv::misc::anim::CClipObject* FindObject(const char* name);
    const lv::misc::anim::CClipObject* FindObject(const char* name) const;
    lv::misc::anim::CPathObject* FindPath(const char* name);
    CClipObjectIterator GetObjectIterator() const { return CClipObjectIterator(&m_Objects); }
    size_t GetObjectCount() const { return m_Objects.size(); }
    size_t GetPathCount() const { return m_Paths.size(); }

private:
    CClipTransform BuildTransform() const;

    std::vector<lv::misc::anim::CClipObject*> m_Objects;
    std::vector<lv::misc::anim::CPathObject> m_Paths;
    CFloatRect m_Rect;
    const CFixedString* m_Name;
    CVector2 m_Position;
    CVector2 m_Size;
    float m_Angle = 0;
    CColor m_Color;
    s32 m_Flags = 0;
    u8 m_Additive = 0;
    u8 m_SoundMuted = 0;
    u8 m_TransformEnabled = 0;
};
