#pragma once
// The view of one miniscene: a close-up scene centred on the 1366 x 768 design size inside a
// frame, with a close button and, while the minigame inside runs its skip timer, a skip button
// and a progress clip that fills up until skipping is allowed.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "qe/SceneView.h"

#include <memory>

class CClip;

namespace lv::graphics {
class CImageHandle;
}

namespace qe {
class CMinigameBase;
}

namespace game {

class CGameWindow;

class CMinisceneView : public qe::CSceneView
{
public:
    enum EButtonState : s32
    {
        kButtonNormal = 0,
        kButtonHovered = 1,
        kButtonPressed = 2,
    };

    static constexpr s32 kDesignWidth = 1366;
    static constexpr s32 kDesignHeight = 768;
    static constexpr s32 kInsetLeft = 17;
    static constexpr s32 kInsetRight = 41;
    static constexpr s32 kInsetTop = 18;
    static constexpr s32 kInsetBottom = 33;
    static constexpr s32 kSkipThreshold = 45000;
    static constexpr s32 kHardSkipThreshold = 90000;
    // The progress clip's own length, stretched over the threshold.
    static constexpr s32 kSkipClipSpan = 30000;

    CMinisceneView();
    ~CMinisceneView() override;

    void Render(lv::graphics::CRenderer& renderer) override;
    void Update() override;
    CVector2 SceneToView(const CVector2& point) const override;
    CVector2 ViewToScene(const CVector2& point) const override;
    void SetScene(qe::CScene* scene) override;

    // The game window whose mode, tutorial, HUD and minigame host the frame consults.
    void SetWindow(CGameWindow* window) { m_Window = window; }
    void SetSizeScale(float scale) { m_SizeScale = scale; }
    float GetSizeScale() const { return m_SizeScale; }
    // Centres the scene at the current scale and places the frame, buttons and progress clip.
    void Layout();

    // The minigames start the timer when they begin and stop it (false, null) when they end.
    void SetSkipTimer(bool running, qe::CMinigameBase* target);

    // The frame, the close button (not in game mode 3) and, while the timer runs, the skip
    // button and the progress clip.
    void DrawFrame(lv::graphics::CRenderer& renderer) const;
    // A click in design coordinates; true asks to close this miniscene.
    bool HandleFrameClick(const CPoint2i& point);
    // The pointer in design coordinates; true when the frame takes it (the cursor is set).
    bool UpdateFrameHover(const CPoint2i& point);

    const CIntRect& GetViewRect() const { return m_ViewRect; }
    const CIntRect& GetFrameRect() const { return m_FrameRect; }
    const CIntRect& GetCloseRect() const { return m_CloseRect; }
    const CIntRect& GetSkipRect() const { return m_SkipRect; }
    s32 GetCloseState() const { return m_CloseState; }
    s32 GetSkipState() const { return m_SkipState; }
    bool IsSkipRunning() const { return m_SkipRunning != 0; }
    s32 GetSkipElapsed() const { return m_SkipElapsed; }
    // The time last given to the progress clip.
    s32 GetSkipClipTime() const { return m_SkipClipTime; }
    const CClip& GetSkipClip() const { return *m_SkipClip; }
    // Shared by every miniscene view; 90000 ms while the current profile plays on difficulty 2.
    static s32 GetSkipThreshold();

private:
    bool IsOnSkipClip(const CPoint2i& point) const;
    static void RefreshSkipThreshold();

    CGameWindow* m_Window = nullptr;
    s32 m_CloseState = kButtonNormal;
    s32 m_SkipState = kButtonNormal;
    float m_SizeScale = 1.0f;
    lv::graphics::CImageHandle* m_FrameImage = nullptr;
    lv::graphics::CImageHandle* m_CloseImages[3] = {nullptr, nullptr, nullptr};
    lv::graphics::CImageHandle* m_SkipImages[3] = {nullptr, nullptr, nullptr};
    std::unique_ptr<CClip> m_SkipClip;
    qe::CMinigameBase* m_SkipTarget = nullptr;
    CIntRect m_ViewRect;
    CIntRect m_FrameRect;
    CIntRect m_CloseRect;
    CIntRect m_SkipRect;
    u8 m_SkipRunning = 0;
    s32 m_SkipElapsed = 0;
    s32 m_SkipClipTime = 0;
};

} // namespace game
