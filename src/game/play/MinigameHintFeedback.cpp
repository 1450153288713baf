#include "game/play/MinigameHintFeedback.h"

#include "game/hud/Hud.h"
#include "game/hud/HudSpeechBubble.h"
#include "game/play/GameWindow.h"

namespace game {

MinigameHintFeedback::MinigameHintFeedback()
{
    UpdateRect();
}

void MinigameHintFeedback::UpdateRect()
{
    const CPoint2i size = CHud::GetScreenSize();
    m_Rect = CIntRect(size.X - kWidth, size.Y - kHeight, kWidth, kHeight);
}

bool MinigameHintFeedback::OnClick(const CPoint2i& point)
{
    if (m_TextId < 0 || !m_Rect.Contains(point.X, point.Y))
        return false;
    ToggleSpeechBubble(m_TextId);
    return true;
}

void MinigameHintFeedback::ToggleSpeechBubble(s32 textId)
{
    CGameWindow* window = CGameWindow::GetInstance();
    if (!window)
        return;
    CHudSpeechBubble& bubble = window->GetHud().GetSpeechBubble();
    if (bubble.IsActive())
        bubble.Hide();
    else
        bubble.SayStringId(textId);
}

} // namespace game
