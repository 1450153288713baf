#include "game/hud/HudSpeechBubble.h"

#include "core/FloatRect.h"
#include "core/StringTable.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextRender.h"
#include "graphics/TextureManager.h"

#include <algorithm>

namespace game {

namespace {

constexpr s32 kBubbleTextFlags = 0x48;
constexpr s32 kAnchoredTextFlags = 0x248;
// Frame margins: banner left/right 45, top 12, bottom 37; bubble 25 and 7.
constexpr s32 kBannerSide = 45;
constexpr s32 kBannerTop = 12;
constexpr s32 kBannerBottom = 37;
constexpr s32 kBubbleSide = 25;
constexpr s32 kBubbleEdge = 7;

CFloatRect BubbleFloatRect(const CIntRect& r)
{
    return CFloatRect(static_cast<float>(r.X), static_cast<float>(r.Y), static_cast<float>(r.Width),
                      static_cast<float>(r.Height));
}

} // namespace

CHudSpeechBubble::CHudSpeechBubble()
{
    lv::graphics::CTextureManager& textures = lv::graphics::CTextureManager::Instance();
    m_Font = lv::core::CFontManager::Instance()->FindFont("font_16");
    m_BubbleImage = textures.GetImage("windows_bubblehelp");
    m_ArrowImage = textures.GetImage("windows_bubblehelp_arrow");
    m_BannerImage = textures.GetImage("windows_window_replica");
}

s32 CHudSpeechBubble::MeasureHeight(s32 width) const
{
    if (!m_Font || m_Text.IsEmpty())
        return 0;
    // The bottom of the last character laid out wrapped in the width (measuring proper does not
    // wrap).
    // Trailing spaces may hang past the wrap: the last visible character counts.
    s32 index = static_cast<s32>(m_Text.GetLength()) - 1;
    while (index > 0 && m_Text.GetText()[index] == u' ')
        --index;
    lv::graphics::CTextRender text;
    const CIntRect box(0, 0, width, 0);
    CIntRect last;
    if (!text.GetCharRect(m_Font, m_Text.GetText(), &box, kBubbleTextFlags, 0, index, &last))
        return 0;
    return last.Y + last.Height;
}

void CHudSpeechBubble::Say(const WChar* text, bool untimed)
{
    m_Text.Assign(text);
    m_Anchored = false;
    m_Time = untimed ? 0 : std::max(kMinimumTime, kTimePerCharacter * static_cast<s32>(m_Text.GetLength()));

    s32 width = 700;
    s32 height = MeasureHeight(width);
    if (height >= 70) {
        width = 900;
        height = MeasureHeight(width);
    }
    const CPoint2i screen = CHud::GetScreenSize();
    m_TextRect = CIntRect((screen.X - width) / 2, kBannerTop, width, height);
    const s32 frameHeight = m_BannerImage ? m_BannerImage->GetHeight() : height + kBannerTop + kBannerBottom;
    m_FrameRect = CIntRect(m_TextRect.X - kBannerSide, kBannerTop + height + kBannerBottom - frameHeight,
                           width + 2 * kBannerSide, frameHeight);
}

void CHudSpeechBubble::SayStringId(s32 id)
{
    Say(lv::core::CStringTable::Instance().GetString(id), false);
}

void CHudSpeechBubble::SayAt(const WChar* text, s32 x, s32 y)
{
    m_Text.Assign(text);
    m_Anchor = CPoint2i(x, y);
    LayoutAnchored();
    m_Anchored = true;
}

void CHudSpeechBubble::ShowStringId(s32 id, s32 x, s32 y)
{
    SayAt(lv::core::CStringTable::Instance().GetString(id), x, y);
}

void CHudSpeechBubble::LayoutAnchored()
{
    if (!m_ArrowImage)
        return;
    const CVector2 anchor = CHud::SceneToScreen(
        m_SceneStack, CVector2(static_cast<float>(m_Anchor.X), static_cast<float>(m_Anchor.Y)));
    const s32 arrowWidth = m_ArrowImage->GetWidth(), arrowHeight = m_ArrowImage->GetHeight();
    m_ArrowRect = CIntRect(static_cast<s32>(anchor.X), static_cast<s32>(anchor.Y) - arrowHeight, arrowWidth, arrowHeight);

    s32 width = 300;
    s32 height = MeasureHeight(width);
    if (height >= 300) {
        width = 500;
        height = MeasureHeight(width);
    }
    if (m_BubbleImage)
        height = std::max(height, static_cast<s32>(m_BubbleImage->GetHeight()) - 2 * kBubbleEdge);
    m_TextRect = CIntRect(m_ArrowRect.X + kBubbleSide, m_ArrowRect.Y - height - kBubbleEdge, width, height);
    m_FrameRect = CIntRect(m_TextRect.X - kBubbleSide, m_TextRect.Y - kBubbleEdge, width + 2 * kBubbleSide,
                           height + 2 * kBubbleEdge);
}

void CHudSpeechBubble::Hide()
{
    m_Text.Clear();
    m_Time = 0;
}

void CHudSpeechBubble::Update()
{
    if (m_Time <= 0)
        return;
    m_Time -= CHud::GetClock().GetFrameDelta();
    if (m_Time <= 0)
        Hide();
}

void CHudSpeechBubble::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Font || !IsActive())
        return;
    const CColor white;
    const CColor none = CColor::CColorArgb(0, 0, 0, 0);
    if (m_Anchored) {
        if (m_ArrowImage)
            renderer.DrawImageRect(m_ArrowImage, BubbleFloatRect(m_ArrowRect), 0, white);
        if (m_BubbleImage)
            renderer.DrawTiledFrame(m_BubbleImage, BubbleFloatRect(m_FrameRect), 0, white);
        renderer.RenderText(m_Font, m_Text.GetText(), m_TextRect, kAnchoredTextFlags, 0, white, none, none, none, -1,
                            -1);
        return;
    }
    if (m_BannerImage)
        renderer.DrawTiledFrame(m_BannerImage, BubbleFloatRect(m_FrameRect), 0, white);
    renderer.RenderText(m_Font, m_Text.GetText(), m_TextRect, kBubbleTextFlags, 0, white, none, none, none, -1, -1);
}

} // namespace game
