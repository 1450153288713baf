#pragma once
// One line of the hero's speech: a timed banner at the top of the screen, or an anchored
// bubble pointing at a place of the current scene that stays until hidden.
#include "core/FixedWString.h"
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

class CSceneStack;

class CHudSpeechBubble
{
public:
    static constexpr s32 kMinimumTime = 5000;
    static constexpr s32 kTimePerCharacter = 50;

    CHudSpeechBubble();
    CHudSpeechBubble(const CHudSpeechBubble&) = delete;
    CHudSpeechBubble& operator=(const CHudSpeechBubble&) = delete;

    void Attach(CSceneStack* sceneStack) { m_SceneStack = sceneStack; }

    void Say(const WChar* text, bool untimed);
    void SayStringId(s32 id);
    void SayAt(const WChar* text, s32 x, s32 y);
    void ShowStringId(s32 id, s32 x, s32 y);
    void Hide();
    bool IsActive() const { return !m_Text.IsEmpty() || m_Time > 0; }

    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    bool OnClick(const CVector2&) { return false; }
    bool OnMouseMove(const CVector2&) { return false; }
    void Layout() {}

    bool IsAnchored() const { return m_Anchored; }
    const CFixedWString<512>& GetText() const { return m_Text; }
    s32 GetRemainingTime() const { return m_Time; }
    const CIntRect& GetFrameRect() const { return m_FrameRect; }
    const CIntRect& GetTextRect() const { return m_TextRect; }
    const CIntRect& GetArrowRect() const { return m_ArrowRect; }

private:
    s32 MeasureHeight(s32 width) const;
    void LayoutAnchored();

    bool m_Anchored = false;
    CFixedWString<512> m_Text;
    CIntRect m_FrameRect;
    CIntRect m_TextRect;
    CIntRect m_ArrowRect;
    CPoint2i m_Anchor;
    CSceneStack* m_SceneStack = nullptr;
    lv::graphics::CFont* m_Font = nullptr;
    lv::graphics::CImageHandle* m_BubbleImage = nullptr;
    lv::graphics::CImageHandle* m_ArrowImage = nullptr;
    lv::graphics::CImageHandle* m_BannerImage = nullptr;
    s32 m_Time = 0;
};

} // namespace game
