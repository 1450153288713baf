#pragma once
// The captioned button that full-screen minigames draw themselves near the bottom-right corner;
// the minigame decides what a click does. In the bonus game mode a second button at the top
// right (where the window's back button stands, hidden while a minigame runs) ends the level.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {
class CFont;
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace game {

class CMinigameFullScrBtn
{
public:
    static constexpr s32 kExtrasCaption = 272;
    static constexpr s32 kHandCursor = 101;

    CMinigameFullScrBtn() = default;
    virtual ~CMinigameFullScrBtn() = default;
    CMinigameFullScrBtn(const CMinigameFullScrBtn&) = delete;
    CMinigameFullScrBtn& operator=(const CMinigameFullScrBtn&) = delete;

    // (x, y) is the centre wanted on a layout at least 1366 wide.
    virtual void Init(const char* texture, const char* font, s32 captionId, float x, float y);
    virtual void Update() {}
    virtual void Draw(lv::graphics::CRenderer& renderer);
    // True on the main button. In the bonus mode a click on the second button completes the
    // level and answers false.
    virtual bool OnClick(const CPoint2i& point);
    virtual bool OnMouseMove(const CPoint2i& point);
    virtual bool IsIdle() const { return m_Hovered == 0; }
    // Switches the HUD to its minigame mode and back.
    virtual void Activate();
    virtual void Deactivate();
    virtual void Reserved(s32, s32) {}
    virtual void SetPosition(const CVector2& centre);

    const CIntRect& GetRect() const { return m_Rect; }
    const CIntRect& GetExtrasRect() const { return m_ExtrasRect; }
    const CVector2& GetPosition() const { return m_Position; }
    s32 GetHovered() const { return m_Hovered; }
    s32 GetExtrasHovered() const { return m_ExtrasHovered; }

private:
    s32 m_Hovered = 0;
    const WChar* m_Text = nullptr;
    const WChar* m_ExtrasText = nullptr;
    lv::graphics::CFont* m_Font = nullptr;
    lv::graphics::CFont* m_ExtrasFont = nullptr;
    lv::graphics::CImageHandle* m_Image = nullptr;
    lv::graphics::CImageHandle* m_ExtrasImage = nullptr;
    CIntRect m_Rect;
    CIntRect m_ExtrasRect;
    CVector2 m_Position;
    s32 m_ExtrasHovered = 0;
};

} // namespace game
