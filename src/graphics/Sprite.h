#pragma once
// The everyday drawable: an image handle (not owned) with a destination rectangle, an optional
// pixel source rectangle, a transform, a scale, a tint, flags and, while the image is animated,
// its own animation timer.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/FloatRect.h"
#include "core/IntRect.h"
#include "core/Matrix3.h"
#include "core/Point2i.h"
#include "core/TimerHandle.h"
#include "core/Types.h"
#include "graphics/ShortRect.h"

namespace lv::graphics {

class CImageHandle;
class CRenderer;

class CSprite
{
public:
    // Draw as a nine-slice frame.
    static constexpr s32 kNineSlice = 0x1;
    // Truncate x, y, width and height to whole numbers before drawing.
    static constexpr s32 kWholePixels = 0x2;

    // The image declared under the name (none when undeclared).
    explicit CSprite(const CFixedString& name);
    explicit CSprite(CImageHandle* image = nullptr);
    CSprite(const CSprite& other);
    CSprite& operator=(const CSprite& other);
    ~CSprite();

    void SetImage(CImageHandle* image, bool reset);
    void SetImageByName(const CFixedString& name, bool reset);
    CImageHandle* GetImage() const { return m_Image; }

    // A width or height of exactly 0 takes the image's.
    void SetRect(const CFloatRect& rect);
    const CFloatRect& GetRect() const { return m_Rect; }
    // Ignored while the image is animated; a width or height of -1 removes the source rectangle.
    void SetSourceRect(const CIntRect& rect);
    // The source rectangle, or frame 0's pixel rectangle (in a shared record that the next call
    // overwrites).
    const CShortRect& GetSourceRect() const;
    bool HasSourceRect() const { return m_SourceRect != nullptr; }
    CPoint2i GetImageSize() const;

    void SetTransform(const CMatrix3& transform) { m_Transform = transform; }
    const CMatrix3& GetTransform() const { return m_Transform; }
    void SetScale(float scale) { m_Scale = scale; }
    float GetScale() const { return m_Scale; }
    void SetColor(const CColor& color) { m_Color = color; }
    const CColor& GetColor() const { return m_Color; }
    void SetFlags(s32 flags) { m_Flags = flags; }
    s32 GetFlags() const { return m_Flags; }

    void Draw(CRenderer& renderer) const;
    void DrawInRect(CRenderer& renderer, const CFloatRect& rect) const;
    void DrawWithTransform(CRenderer& renderer, const CMatrix3& transform) const;
    void DrawInRectWithTransform(CRenderer& renderer, const CFloatRect& rect, const CMatrix3& transform) const;
    void DrawAt(CRenderer& renderer, float x, float y) const;

    // The timer restarts at time 0 and speed 1 (made when the image is animated, dropped when
    // not); transform, scale, colour, rectangle and flags return to their defaults.
    void ResetAnimation();
    void SeekToMapEntry(u32 entry);
    void PauseAnimation(bool pause);
    void SetAnimationSpeed(float speed);
    float GetAnimationSpeed() const;
    bool HasTimer() const { return static_cast<bool>(m_Timer); }
    // The animation's elapsed milliseconds (0 without a timer).
    s32 GetAnimationTime() const;

private:
    void CreateTimer();

    core::CTimerHandle m_Timer;
    CImageHandle* m_Image = nullptr;
    CFloatRect m_Rect;
    CShortRect* m_SourceRect = nullptr;
    CMatrix3 m_Transform{1, 0, 0, 0, 1, 0, 0, 0, 1};
    float m_Scale = 1.0f;
    CColor m_Color{0xFFFFFFFFu};
    s32 m_Flags = 0;
};

} // namespace lv::graphics
