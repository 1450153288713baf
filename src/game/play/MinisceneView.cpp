#include "game/play/MinisceneView.h"

#include "anim/Clip.h"
#include "core/Color.h"
#include "core/Matrix3.h"
#include "core/Quad.h"
#include "core/TimeSystem.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/MinigameManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"
#include "qe/MinigameBase.h"
#include "qe/Scene.h"
#include "sound/AudioManager.h"

namespace game {

namespace {

constexpr s32 kMiniCursorHand = 101;
constexpr s32 kMiniBonusMode = 3;
constexpr s32 kHardDifficulty = 2;
// The tutorial step at which a miniscene may be closed.
constexpr s32 kTutorialCloseStep = 8;
constexpr s32 kCloseButtonMargin = 8;

s32 g_SkipThreshold = CMinisceneView::kSkipThreshold;

const char* const kCloseImageNames[3] = {"windows_miniframe_button_closed_normal",
                                         "windows_miniframe_button_closed_on",
                                         "windows_miniframe_button_closed_press"};
const char* const kSkipImageNames[3] = {"windows_miniframe_button_info_normal", "windows_miniframe_button_info_on",
                                        "windows_miniframe_button_info_press"};

CPoint2i ImageSize(const lv::graphics::CImageHandle* image)
{
    return image ? CPoint2i(image->GetWidth(), image->GetHeight()) : CPoint2i(0, 0);
}

s32 ButtonIndex(s32 state)
{
    return state >= CMinisceneView::kButtonNormal && state <= CMinisceneView::kButtonPressed ? state : 0;
}

} // namespace

CMinisceneView::CMinisceneView() : m_SkipClip(std::make_unique<CClip>())
{
    lv::graphics::CTextureManager& textures = lv::graphics::CTextureManager::Instance();
    m_FrameImage = textures.GetImage("windows_miniframe_miniframe");
    for (s32 i = 0; i < 3; ++i)
    {
        m_CloseImages[i] = textures.GetImage(kCloseImageNames[i]);
        m_SkipImages[i] = textures.GetImage(kSkipImageNames[i]);
    }
    m_SkipClip->Load("skip_progress", true);
    RefreshSkipThreshold();
}

CMinisceneView::~CMinisceneView()
{
    m_SkipClip.reset();
}

s32 CMinisceneView::GetSkipThreshold()
{
    return g_SkipThreshold;
}

void CMinisceneView::RefreshSkipThreshold()
{
    // Follows the current profile, so a change of player or difficulty is seen at the next layout.
    CProfileManager* profiles = CProfileManager::Instance();
    const SProfileValues* values = profiles ? profiles->GetCurrentValues() : nullptr;
    g_SkipThreshold = values && values->Difficulty == kHardDifficulty ? kHardSkipThreshold : kSkipThreshold;
}

void CMinisceneView::SetScene(qe::CScene* scene)
{
    qe::CSceneView::SetScene(scene);
    if (scene != nullptr)
    {
        m_SizeScale = 1.0f;
        Layout();
        return;
    }
    // The emptied view is reused by the next miniscene: it must not keep a minigame to skip that
    // may be gone by then.
    m_SkipRunning = 0;
    m_SkipTarget = nullptr;
    m_ViewRect = CIntRect();
    m_FrameRect = CIntRect();
    m_CloseRect = CIntRect();
    m_SkipRect = CIntRect();
}

void CMinisceneView::Layout()
{
    if (m_Scene == nullptr)
        return;
    const s32 w = static_cast<s32>(static_cast<float>(m_Scene->GetSize().X) * m_SizeScale);
    const s32 h = static_cast<s32>(static_cast<float>(m_Scene->GetSize().Y) * m_SizeScale);
    SetViewSize(w, h);
    const s32 x = (kDesignWidth - w) / 2;
    const s32 y = (kDesignHeight - h) / 2;
    m_ViewRect = CIntRect(x, y, w, h);
    m_FrameRect = CIntRect(x - kInsetLeft, y - kInsetTop, w + kInsetLeft + kInsetRight, h + kInsetTop + kInsetBottom);

    const CPoint2i close = ImageSize(m_CloseImages[kButtonNormal]);
    m_CloseRect = CIntRect(m_FrameRect.X + m_FrameRect.Width - close.X - kCloseButtonMargin, m_FrameRect.Y, close.X,
                           close.Y);
    m_CloseState = kButtonNormal;
    const CPoint2i skip = ImageSize(m_SkipImages[kButtonNormal]);
    m_SkipRect = CIntRect(m_FrameRect.X + kInsetLeft - skip.X / 2, m_FrameRect.Y, skip.X, skip.Y);
    m_SkipState = kButtonNormal;

    const CVector2 clipSize = m_SkipClip->GetSize();
    m_SkipClip->SetPosition(CVector2(static_cast<float>(x) + static_cast<float>(w) * 0.5f,
                                     static_cast<float>(y + h) + clipSize.Y * 0.5f));
    m_SkipClip->Stop();
    m_SkipClip->Play();
    m_SkipElapsed = 0;
    m_SkipClipTime = 0;
    RefreshSkipThreshold();
}

void CMinisceneView::SetSkipTimer(bool running, qe::CMinigameBase* target)
{
    m_SkipRunning = running ? 1 : 0;
    m_SkipTarget = target;
}

void CMinisceneView::Update()
{
    if (m_SkipRunning)
    {
        m_SkipElapsed += CGameWindow::GetClock().GetFrameDelta();
        m_SkipClip->Update();
        m_SkipClipTime = static_cast<s32>(static_cast<s64>(m_SkipElapsed) * kSkipClipSpan / g_SkipThreshold);
        m_SkipClip->SetTime(m_SkipClipTime);
    }
    qe::CSceneView::Update();
}

CVector2 CMinisceneView::SceneToView(const CVector2& point) const
{
    const CVector2 view = qe::CSceneView::SceneToView(point);
    return CVector2(view.X + static_cast<float>(m_ViewRect.X), view.Y + static_cast<float>(m_ViewRect.Y));
}

CVector2 CMinisceneView::ViewToScene(const CVector2& point) const
{
    return qe::CSceneView::ViewToScene(
        CVector2(point.X - static_cast<float>(m_ViewRect.X), point.Y - static_cast<float>(m_ViewRect.Y)));
}

void CMinisceneView::Render(lv::graphics::CRenderer& renderer)
{
    if (m_Scene == nullptr)
        return;
    renderer.PushTransform();
    CMatrix3 translation;
    CMatrix3::MakeTranslation(translation, static_cast<float>(m_ViewRect.X), static_cast<float>(m_ViewRect.Y));
    renderer.MultiplyTransform(translation);
    const bool clip =
        m_Window && (m_Window->GetMinigameHost().HasMinisceneMinigame(nullptr) || m_Window->GetPopupClipping());
    if (clip)
    {
        renderer.PushState();
        renderer.IntersectClip(
            CQuad(0.0f, 0.0f, static_cast<float>(m_ViewRect.Width), static_cast<float>(m_ViewRect.Height)));
        qe::CSceneView::Render(renderer);
        renderer.PopState();
    }
    else
    {
        qe::CSceneView::Render(renderer);
    }
    renderer.PopTransform();
}

void CMinisceneView::DrawFrame(lv::graphics::CRenderer& renderer) const
{
    const CColor white(0xFFFFFFFFu);
    renderer.DrawTiledFrame(m_FrameImage,
                            CFloatRect(static_cast<float>(m_FrameRect.X), static_cast<float>(m_FrameRect.Y),
                                       static_cast<float>(m_FrameRect.Width), static_cast<float>(m_FrameRect.Height)),
                            0, white);
    if (!m_Window || m_Window->GetGameMode() != kMiniBonusMode)
        renderer.DrawImage(m_CloseImages[ButtonIndex(m_CloseState)], static_cast<float>(m_CloseRect.X),
                           static_cast<float>(m_CloseRect.Y), 0, white);
    if (m_SkipRunning)
    {
        renderer.DrawImage(m_SkipImages[ButtonIndex(m_SkipState)], static_cast<float>(m_SkipRect.X),
                           static_cast<float>(m_SkipRect.Y), 0, white);
        m_SkipClip->Draw(renderer);
    }
}

bool CMinisceneView::IsOnSkipClip(const CPoint2i& point) const
{
    const CVector2 size = m_SkipClip->GetSize();
    const CVector2 centre = m_SkipClip->GetPosition();
    const CIntRect area(CFloatRect(centre.X - size.X * 0.5f, centre.Y - size.Y * 0.5f, size.X, size.Y));
    return area.Contains(point.X, point.Y);
}

bool CMinisceneView::HandleFrameClick(const CPoint2i& point)
{
    if (m_Scene == nullptr)
        return false;
    const bool onClose = m_CloseRect.Contains(point.X, point.Y);
    if (onClose || !m_FrameRect.Contains(point.X, point.Y))
    {
        if (m_Window == nullptr || m_Window->GetGameMode() == kMiniBonusMode)
            return false;
        const s32 step = m_Window->GetTutorialStep();
        if (step >= 0)
        {
            if (step != kTutorialCloseStep)
                return false;
            m_Window->AdvanceTutorial();
        }
        m_Window->GetHud().GetHint().Reset();
        m_Window->GetHud().GetInventory().Close();
        CGameWindow::GetAudio().Play(onClose ? "gui_button_press" : "gui_window_open_close");
        m_CloseState = kButtonPressed;
        return true;
    }
    if (!m_SkipRunning)
        return false;
    qe::CMinigameBase* target = m_SkipTarget;
    if (m_SkipRect.Contains(point.X, point.Y))
    {
        m_SkipState = kButtonPressed;
        if (target)
            target->Skip();
    }
    else if (IsOnSkipClip(point))
    {
        if (target && (m_SkipElapsed >= g_SkipThreshold || (m_Window && m_Window->IsCheatMode())))
            target->Skip();
    }
    return false;
}

bool CMinisceneView::UpdateFrameHover(const CPoint2i& point)
{
    if (m_Scene == nullptr || (m_Window && m_Window->GetGameMode() == kMiniBonusMode))
        return false;
    lv::gui::CCursorManager& cursors = lv::gui::CCursorManager::Instance();
    if (m_CloseRect.Contains(point.X, point.Y))
    {
        m_CloseState = kButtonHovered;
        cursors.SetCursor(kMiniCursorHand);
        return true;
    }
    m_CloseState = kButtonNormal;
    if (!m_SkipRunning)
    {
        if (m_FrameRect.Contains(point.X, point.Y))
            return false;
        cursors.SetCursor(kMiniCursorHand);
        return true;
    }
    if (m_SkipRect.Contains(point.X, point.Y))
    {
        m_SkipState = kButtonHovered;
        cursors.SetCursor(kMiniCursorHand);
        return true;
    }
    m_SkipState = kButtonNormal;
    if (IsOnSkipClip(point))
    {
        cursors.SetCursor(kMiniCursorHand);
        return true;
    }
    return false;
}

} // namespace game
