#pragma once
// Plays the story's cutscenes over the game. This first cut never plays one.
#include "core/Point2i.h"
#include "core/Types.h"

namespace lv::graphics {
class CRenderer;
}

namespace game {

class CCutscenePlayer
{
public:
    CCutscenePlayer() = default;

    void Reset();
    bool Play(s32 id);
    void Stop();
    bool IsPlaying() const { return m_Playing != 0; }
    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    bool OnClick(const CPoint2i& point);
    bool OnMouseMove(const CPoint2i& point);
    void ShowSkipButton(bool show) { m_SkipShown = show ? 1 : 0; }
    bool IsSkipButtonShown() const { return m_SkipShown != 0; }
    s32 GetStopCount() const { return m_StopCount; }

private:
    u8 m_Playing = 0;
    u8 m_SkipShown = 0;
    s32 m_StopCount = 0;
};

} // namespace game
