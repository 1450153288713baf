#include "game/hud/HudMessagePopup.h"

#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/Quad.h"
#include "core/StringTable.h"
#include "game/hud/Hud.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/ShortRect.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"

namespace game {

namespace {

constexpr s32 kPopupTextFlags = 0x48;
constexpr s32 kPopupCaptionFlags = 0x240;
constexpr s32 kPopupHandCursor = 101;

CColor PopupWhite(s32 alpha)
{
    return CColor::CColorArgb(alpha, 255, 255, 255);
}

} // namespace

void CHudMessagePopup::Load(CVector2& position)
{
    lv::graphics::CTextureManager& textures = lv::graphics::CTextureManager::Instance();
    const lv::core::CStringTable& strings = lv::core::CStringTable::Instance();
    m_Message = strings.GetString(kMessageTextId);
    m_WindowImage = textures.GetImage("windows_window_standart");
    m_Font = lv::core::CFontManager::Instance()->FindFont("font_16");
    m_Caption = strings.GetString(kButtonTextId);
    m_CaptionFont = m_Font;
    m_ButtonImage = textures.GetImage("windows_button");

    const CPoint2i screen = CHud::GetScreenSize();
    const s32 width = m_WindowImage ? m_WindowImage->GetWidth() : 0;
    const s32 height = m_WindowImage ? m_WindowImage->GetHeight() : 0;
    position = CVector2(static_cast<float>((screen.X - width) / 2), static_cast<float>((screen.Y - height) / 3 + 40));
    LayoutButton();
    m_Hover = 0;
}

void CHudMessagePopup::LayoutButton()
{
    const CPoint2i screen = CHud::GetScreenSize();
    const s32 width = m_ButtonImage ? m_ButtonImage->GetWidth() / 4 : 0;
    const s32 height = m_ButtonImage ? m_ButtonImage->GetHeight() : 0;
    m_ButtonRect = CIntRect((screen.X - width) / 2, (screen.Y - height) / 2 + 90, width, height);
}

void CHudMessagePopup::Draw(lv::graphics::CRenderer& renderer, s32 alpha)
{
    const CPoint2i screen = CHud::GetScreenSize();
    const CColor white = PopupWhite(alpha);
    const float w = static_cast<float>(screen.X), h = static_cast<float>(screen.Y);
    renderer.FillQuad(CQuad(0, 0, w, h),
                      CColor::CColorArgb(alpha * 180 / 255, 0, 0, 0));

    const s32 left = (screen.X - kWindowWidth) / 2;
    const s32 top = (screen.Y - kWindowHeight) / 3 + 20;
    if (m_WindowImage)
        renderer.DrawTiledFrame(m_WindowImage,
                                CFloatRect(static_cast<float>(left), static_cast<float>(top),
                                           static_cast<float>(kWindowWidth), static_cast<float>(kWindowHeight)),
                                0, white);
    const CColor none = CColor::CColorArgb(0, 0, 0, 0);
    // Texts are not skipped by the renderer when transparent.
    if (m_Font && !m_Message.empty() && alpha > 0)
        renderer.RenderText(m_Font, m_Message.c_str(), CIntRect(left + 40, top + 60 + 20, kWindowWidth - 2 * 40, 100),
                            kPopupTextFlags, 0, white, none, none, none, -1, -1);

    LayoutButton();
    if (m_ButtonImage) {
        const lv::graphics::CShortRect texels{static_cast<s16>(m_Hover * m_ButtonRect.Width), 0,
                                              static_cast<s16>(m_ButtonRect.Width),
                                              static_cast<s16>(m_ButtonRect.Height)};
        renderer.DrawImagePart(m_ButtonImage,
                               CFloatRect(static_cast<float>(m_ButtonRect.X), static_cast<float>(m_ButtonRect.Y),
                                          static_cast<float>(m_ButtonRect.Width),
                                          static_cast<float>(m_ButtonRect.Height)),
                               texels, white);
    }
    if (m_CaptionFont && !m_Caption.empty() && alpha > 0)
        renderer.RenderText(m_CaptionFont, m_Caption.c_str(), m_ButtonRect, kPopupCaptionFlags, 0, white, none, none,
                            none, -1, -1);

    if (m_Icon)
        renderer.DrawImage(m_Icon, static_cast<float>((screen.X - m_Icon->GetWidth()) / 2),
                           static_cast<float>((screen.Y - m_Icon->GetHeight()) / 2 - 30), 0, CColor());
}

bool CHudMessagePopup::OnMouseMove(const CVector2& point, bool enabled)
{
    const CPoint2i screen = CHud::GetScreenSize();
    const s32 x = static_cast<s32>(point.X) - (1366 - screen.X) / 2;
    const s32 y = static_cast<s32>(point.Y);
    if (!enabled || !m_ButtonRect.Contains(x, y)) {
        m_Hover = 0;
        return false;
    }
    m_Hover = 1;
    lv::gui::CCursorManager::Instance().SetCursor(kPopupHandCursor);
    return true;
}

} // namespace game
