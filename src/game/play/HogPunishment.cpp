#include "game/play/HogPunishment.h"

#include "anim/Clip.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "gui/CursorManager.h"
#include "sound/AudioManager.h"

namespace game {

CHogPunishment::CHogPunishment() = default;

CHogPunishment::~CHogPunishment() = default;

void CHogPunishment::SetGameBlocked(bool blocked)
{
    lv::gui::CCursorManager::Instance().SetHidden(blocked);
    if (CGameWindow* window = CGameWindow::GetInstance()) {
        window->SetMenuButtonsDisabled(blocked);
        window->GetHud().SetInputBlocked(blocked);
    }
}

void CHogPunishment::RegisterMiss(s32 now)
{
    if (m_Streak == 0 || now - m_LastMiss > kMaxGap) {
        m_Streak = 1;
    } else {
        ++m_Streak;
        if (m_Streak == kStreakLength)
            Start(now);
    }
    m_LastMiss = now;
}

void CHogPunishment::Start(s32 now)
{
    SetGameBlocked(true);
    if (!m_Clip) {
        m_Clip = std::make_unique<CClip>();
        m_Clip->Load("punishment", true);
    }
    const CPoint2i screen = CHud::GetScreenSize();
    m_Clip->SetPosition(CVector2(static_cast<float>(screen.X / 2), static_cast<float>(screen.Y / 2)));
    m_Clip->SetTime(0);
    m_Clip->Play();
    m_Elapsed = 0;
    m_Start = now;
    m_Visible = true;
    m_Active = true;
    CGameWindow::GetAudio().Play("gui_punishment");
}

void CHogPunishment::Update(s32 frameDelta)
{
    if (!m_Active)
        return;
    m_Elapsed += frameDelta;
    if (m_Clip)
        m_Clip->Update();
    if (m_Elapsed >= kDuration) {
        m_Visible = false;
        End();
    }
}

void CHogPunishment::Draw(lv::graphics::CRenderer& renderer)
{
    if (m_Visible && m_Clip)
        m_Clip->Draw(renderer);
}

void CHogPunishment::End()
{
    SetGameBlocked(false);
    m_Streak = 0;
    m_Active = false;
    m_Visible = false;
    m_Clip.reset();
}

} // namespace game
