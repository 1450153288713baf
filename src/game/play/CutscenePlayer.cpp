#include "game/play/CutscenePlayer.h"

namespace game {

void CCutscenePlayer::Reset()
{
    m_Playing = 0;
    m_SkipShown = 0;
}

bool CCutscenePlayer::Play(s32)
{
    return false;
}

void CCutscenePlayer::Stop()
{
    ++m_StopCount;
    m_Playing = 0;
}

void CCutscenePlayer::Update() {}

void CCutscenePlayer::Draw(lv::graphics::CRenderer&) {}

bool CCutscenePlayer::OnClick(const CPoint2i&)
{
    return m_Playing != 0;
}

bool CCutscenePlayer::OnMouseMove(const CPoint2i&)
{
    return false;
}

} // namespace game
