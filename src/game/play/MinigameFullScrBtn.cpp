#include "game/play/MinigameFullScrBtn.h"

#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/StringTable.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/ShortRect.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"

namespace game {

namespace {

constexpr s32 kFullScrBonusMode = 3;
// Centred horizontally and vertically.
constexpr s32 kFullScrTextFlags = 0x40 | 0x200;

bool InBonusMode()
{
    const CGameWindow* window = CGameWindow::GetInstance();
    return window && window->GetGameMode() == kFullScrBonusMode;
}

CFloatRect ToFloatRect(const CIntRect& r)
{
    return CFloatRect(static_cast<float>(r.X), static_cast<float>(r.Y), static_cast<float>(r.Width),
                      static_cast<float>(r.Height));
}

void DrawFrame(lv::graphics::CRenderer& renderer, lv::graphics::CImageHandle* image, const CIntRect& destination,
               s32 frame, s32 frameWidth)
{
    lv::graphics::CShortRect texels;
    texels.x = static_cast<s16>(frame * frameWidth);
    texels.width = static_cast<s16>(frameWidth);
    texels.height = static_cast<s16>(destination.Height);
    renderer.DrawImagePart(image, ToFloatRect(destination), texels, CColor(0xffffffffu));
}

} // namespace

void CMinigameFullScrBtn::Init(const char* texture, const char* font, s32 captionId, float x, float y)
{
    lv::graphics::CTextureManager& textures = lv::graphics::CTextureManager::Instance();
    m_Image = textures.GetImage(texture);
    m_ExtrasImage = textures.GetImage("windows_button");
    if (lv::core::CFontManager* fonts = lv::core::CFontManager::Instance())
    {
        m_Font = fonts->FindFont(font);
        m_ExtrasFont = fonts->FindFont("font_14");
    }
    m_Text = lv::core::CStringTable::Instance().GetString(captionId);
    m_ExtrasText = lv::core::CStringTable::Instance().GetString(kExtrasCaption);
    m_Hovered = 0;
    m_ExtrasHovered = 0;

    const CPoint2i size = CHud::GetScreenSize();
    if (InBonusMode())
        m_Position = CVector2(static_cast<float>(size.X - 100), static_cast<float>(size.Y - 30));
    else if (size.X >= 1366)
        m_Position = CVector2(x, y);
    else
        m_Position = CVector2(static_cast<float>(size.X - 270), static_cast<float>(size.Y - 30));

    const s32 frameWidth = m_Image ? m_Image->GetWidth() / 4 : 0;
    const s32 frameHeight = m_Image ? m_Image->GetHeight() : 0;
    m_Rect = CIntRect(static_cast<s32>(m_Position.X - static_cast<float>(frameWidth / 2)),
                      static_cast<s32>(m_Position.Y - static_cast<float>(frameHeight / 2)), frameWidth, frameHeight);
    m_ExtrasRect = CIntRect(size.X - frameWidth + 10, 6, frameWidth, frameHeight);
}

void CMinigameFullScrBtn::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Image)
        return;
    const CColor white(0xffffffffu);
    const CColor none(0u);
    DrawFrame(renderer, m_Image, m_Rect, m_Hovered, m_Rect.Width);
    if (m_Font && m_Text)
        renderer.RenderText(m_Font, m_Text, m_Rect, kFullScrTextFlags, 0, white, none, none, none, -1, -1);
    if (!InBonusMode())
        return;
    if (m_ExtrasImage)
        DrawFrame(renderer, m_ExtrasImage, m_ExtrasRect, m_ExtrasHovered, m_Rect.Width);
    if (m_ExtrasFont && m_ExtrasText)
        renderer.RenderText(m_ExtrasFont, m_ExtrasText, m_ExtrasRect, kFullScrTextFlags, 0, white, none, none, none, -1,
                            -1);
}

bool CMinigameFullScrBtn::OnClick(const CPoint2i& point)
{
    if (m_Rect.Contains(point.X, point.Y))
        return true;
    if (InBonusMode() && m_ExtrasRect.Contains(point.X, point.Y))
        CGameWindow::GetInstance()->SetLevelCompleted();
    return false;
}

bool CMinigameFullScrBtn::OnMouseMove(const CPoint2i& point)
{
    m_Hovered = 0;
    m_ExtrasHovered = 0;
    if (m_Rect.Contains(point.X, point.Y))
        m_Hovered = 1;
    else if (InBonusMode() && m_ExtrasRect.Contains(point.X, point.Y))
        m_ExtrasHovered = 1;
    else
        return false;
    lv::gui::CCursorManager::Instance().SetCursor(kHandCursor);
    return true;
}

void CMinigameFullScrBtn::Activate()
{
    if (CGameWindow* window = CGameWindow::GetInstance())
    {
        window->GetHud().PushMode(CHud::kModeMinigame);
        window->RefreshMenuButtons();
    }
}

void CMinigameFullScrBtn::Deactivate()
{
    if (CGameWindow* window = CGameWindow::GetInstance())
        window->GetHud().PopMode();
}

void CMinigameFullScrBtn::SetPosition(const CVector2& centre)
{
    if (!m_Image)
        return;
    const s32 frameWidth = m_Image->GetWidth() / 4;
    m_Rect.X = static_cast<s32>(centre.X) - frameWidth / 2;
    m_Rect.Y = static_cast<s32>(centre.Y) - m_Image->GetHeight() / 2;
}

} // namespace game
