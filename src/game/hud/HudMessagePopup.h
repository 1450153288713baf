#pragma once
// A small hand-drawn message window: darkened screen, framed window with a fixed message, an
// optional picture and one button. It only draws and reports hover; its owner decides what a
// click on the button does.
#include "core/IntRect.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <string>

namespace lv::graphics {
class CFont;
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace game {

class CHudMessagePopup
{
public:
    static constexpr s32 kMessageTextId = 453;
    static constexpr s32 kButtonTextId = 1;
    static constexpr s32 kWindowWidth = 450;
    static constexpr s32 kWindowHeight = 410;

    CHudMessagePopup() = default;
    CHudMessagePopup(const CHudMessagePopup&) = delete;
    CHudMessagePopup& operator=(const CHudMessagePopup&) = delete;

    // Loads the images, font and texts and lays out the button; `position` receives the window
    // image's top-left corner.
    void Load(CVector2& position);
    void SetIcon(lv::graphics::CImageHandle* image) { m_Icon = image; }
    lv::graphics::CImageHandle* GetIcon() const { return m_Icon; }

    void Draw(lv::graphics::CRenderer& renderer, s32 alpha);
    bool OnMouseMove(const CVector2& point, bool enabled);
    bool IsButtonHovered() const { return m_Hover == 1; }
    const CIntRect& GetButtonRect() const { return m_ButtonRect; }

private:
    void LayoutButton();

    std::u16string m_Message;
    lv::graphics::CImageHandle* m_WindowImage = nullptr;
    lv::graphics::CFont* m_Font = nullptr;
    // The button: hover state 0 or 1, caption, caption font, four-frame image, rectangle.
    s32 m_Hover = 0;
    std::u16string m_Caption;
    lv::graphics::CFont* m_CaptionFont = nullptr;
    lv::graphics::CImageHandle* m_ButtonImage = nullptr;
    CIntRect m_ButtonRect;
    lv::graphics::CImageHandle* m_Icon = nullptr;
};

} // namespace game
