// The game window's frame: the per-frame update, drawing, the road of mouse input through the
// HUD, the minigame host and the scene stack, and the fading scene change.
#include "game/play/GameWindow.h"

#include "anim/Clip.h"
#include "core/Matrix3.h"
#include "core/Quad.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/CursorChoice.h"
#include "game/play/CutscenePlayer.h"
#include "game/play/Hog.h"
#include "game/play/LevelMusic.h"
#include "game/play/MediaCommands.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cstring>

namespace game {

namespace {

constexpr s32 kPopupFrameCap = 100;
constexpr s32 kCursorHand = 101;
constexpr s32 kFrameBonusMode = 3;
constexpr s32 kInventoryItemOpen = 3;
constexpr u16 kObjectHidden = 2;
constexpr float kFadeZoom = 0.1f;
constexpr s32 kQuadMargin = 400;

// The tutorial steps that let one scene object through, by path.
struct STutorialGate
{
    s32 Step;
    const char* Path;
};
constexpr STutorialGate kTutorialGates[] = {
    {5, "HOME_ENTER/area_open_mailbox"},       {6, "HOME_ENTER/area_open_mailbox"},
    {9, "HOME_ENTER/area_hog"},                {10, "home_enter_hidden/area_take_petard"},
    {11, "home_enter_hidden/area_rats"},
};

CVector2 ToVector(const CPoint2i& point)
{
    return CVector2(static_cast<float>(point.X), static_cast<float>(point.Y));
}

// The top view's scene object of that name when it is an image, else null.
qe::CSceneObject* FindTopImage(CSceneStack& stack, const char* name)
{
    qe::CSceneView* view = stack.GetTopView();
    qe::CScene* scene = view ? view->GetScene() : nullptr;
    if (scene == nullptr)
        return nullptr;
    qe::CSceneObject* object = scene->FindObject(name);
    return object && object->GetType() == qe::CSceneObject::kTypeImage ? object : nullptr;
}

// The pointer in the top view's scene coordinates.
CVector2 PointerInTopScene(CSceneStack& stack)
{
    return stack.ToScene(lv::gui::CCursorManager::Instance().GetMousePosition());
}

} // namespace

// ---- scenes ----

void CGameWindow::OpenScene(const char* sceneName, bool popHudMode, bool withFade)
{
    m_PopHudModeOnOpen = popHudMode ? 1 : 0;
    qe::CScene* scene = m_Quest && sceneName ? m_Quest->FindScene(sceneName) : nullptr;
    if (scene != nullptr)
        ShowScene(scene, withFade);
    if (m_TutorialStep == 14)
        m_TutorialStep = -1;
    if (m_TutorialStep < 0)
        m_TutorialEndDelay = 0;
}

void CGameWindow::ShowScene(qe::CScene* scene, bool withFade)
{
    if (scene == nullptr)
        return;
    if (m_SpareView->GetScene() == nullptr)
    {
        m_Hud->GetInventory().LandFlyingItems();
        m_SpareView->SetScene(scene);
    }
    m_Hud->GetHint().Reset();
    m_PendingScene = scene->GetName();
    if (m_GameMode == kFrameBonusMode && m_Hud->GetMode() == CHud::kModeMinigame)
        m_Hud->PopMode();
    const bool miniscene = scene->HasFlags(qe::CScene::kMiniscene);
    if (!m_PopHudModeOnOpen && withFade && !miniscene)
    {
        m_Hud->GetSymbolCounter().Reset();
        m_OpenCountdown = kOpenDelay;
        RefreshMenuButtons();
        return;
    }
    m_FadeOutStart = -1;
    if (miniscene)
        CGameWindow::GetAudio().Play("gui_window_open_close");
    if (m_PopHudModeOnOpen)
    {
        m_PopHudModeOnOpen = 0;
        m_Hud->PopMode();
    }
    m_Hud->GetInventory().LandFlyingItems();
    m_SceneStack->OpenScene(m_PendingScene.GetText());
}

void CGameWindow::OpenPendingScene()
{
    if (m_PopHudModeOnOpen)
    {
        m_PopHudModeOnOpen = 0;
        m_Hud->PopMode();
    }
    StopSyncedAnimations();
    m_Hud->GetInventory().LandFlyingItems();
    m_SceneStack->OpenScene(m_PendingScene.GetText());
}

void CGameWindow::OnTopViewChanged()
{
    qe::CSceneView* top = m_SceneStack->GetTopView();
    m_CursorChoice->ChooseForView(top);
    m_MinigameHost->OnSceneShown(top);
    m_Hud->OnTopViewChanged(top);
    if (top && top->GetScene() && top->GetScene()->HasFlags(qe::CScene::kMiniscene))
        m_AchievementPopupShown = 0;
}

bool CGameWindow::IsTransitionRunning() const
{
    return m_FadeInStart != -1 || m_FadeOutStart != -1 || m_OpenCountdown != 0;
}

// ---- update ----

void CGameWindow::Update()
{
    if (!m_Started)
        return;
    lv::core::CTimeSystem& clock = GetClock();
    const s32 delta = clock.GetFrameDelta();
    const s32 now = clock.GetTime();

    if (m_AchievementPopupShown)
    {
        m_PopupElapsed += std::min(delta, kPopupFrameCap);
        if (m_PopupElapsed < m_PopupDuration)
        {
            if (m_AchievementClip)
                m_AchievementClip->Update();
        }
        else
        {
            m_AchievementPopupShown = 0;
            m_AchievementClip.reset();
        }
    }

    if (m_LevelCompleted)
    {
        // Holds this window while a move to the menu replaces it as the root.
        const Ptr self(this);
        MoveToNextLevel();
        if (m_LevelCompleted)
            return;
    }

    if (m_RequestedQuestIndex >= 0)
    {
        // Started here, outside the old quest's scripts, which the start frees.
        const s32 index = m_RequestedQuestIndex;
        m_RequestedQuestIndex = -1;
        StartQuestByIndex(index);
    }

    if (m_GamePaused)
    {
        CBaseWindow::Update();
        return;
    }
    if (!m_Quest)
    {
        CBaseWindow::Update();
        return;
    }

    if (m_TutorialStep >= 0 && m_TutorialClip)
        m_TutorialClip->Update();
    m_Quest->UpdateScripts();
    if (m_Hud->GetMode() != CHud::kModeNotepad)
        m_SceneStack->Update();
    const bool cutscene = m_CutscenePlayer->IsPlaying();
    if (!cutscene)
    {
        m_Hud->Update();
        m_MinigameHost->Update();
    }
    m_CutscenePlayer->Update();
    m_BackgroundSounds->Update();

    m_AutosaveCountdown -= delta;
    const bool paused = m_Quest->IsScriptPaused();
    if (paused)
    {
        if (!cutscene)
            m_CursorChoice->ShowBusy();
    }
    else
    {
        if (!cutscene)
            m_LevelMusic->Update();
        if (m_AutosaveCountdown <= 0)
        {
            WriteSaveFile();
            m_AutosaveCountdown = kAutosaveInterval;
        }
        if (m_ScriptsPausedLastFrame)
            RefreshCursor();
    }
    m_ScriptsPausedLastFrame = paused ? 1 : 0;

    CBaseWindow::Update();
    UpdateTransition(now, delta);
    if (m_TutorialEndDelay > 0)
        m_TutorialEndDelay -= std::min(delta, m_TutorialEndDelay);
    if (!m_SyncedSoundsPaused)
        UpdateSyncedAnimations(delta);
}

void CGameWindow::UpdateTransition(s32 now, s32 delta)
{
    if (m_OpenCountdown > 0)
    {
        m_OpenCountdown -= delta;
        if (m_OpenCountdown <= 0)
        {
            m_OpenCountdown = 0;
            m_FadeOutStart = now;
        }
    }
    if (m_FadeOutStart != -1)
    {
        if (now < m_FadeOutStart + kFadeDuration)
        {
            m_FadeLevel = std::clamp((now - m_FadeOutStart) * 255 / kFadeDuration, 0, 255);
        }
        else
        {
            m_FadeOutStart = -1;
            m_FadeInStart = now;
            OpenPendingScene();
        }
    }
    if (m_FadeInStart != -1)
    {
        if (now < m_FadeInStart + kFadeDuration)
        {
            const float left = 1.0f - static_cast<float>(now - m_FadeInStart) / static_cast<float>(kFadeDuration);
            m_FadeLevel = std::clamp(static_cast<s32>(left * 255.0f), 0, 255);
        }
        else
        {
            m_FadeLevel = 0;
            m_FadeInStart = -1;
        }
    }
}

// ---- drawing ----

void CGameWindow::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Started)
    {
        CBaseWindow::Draw(renderer);
        return;
    }
    if (m_CutscenePlayer->IsPlaying())
    {
        m_CutscenePlayer->Draw(renderer);
        CBaseWindow::Draw(renderer);
    }
    else
    {
        const bool zoom = m_FadeOutStart != -1 && m_FadeLevel > 0;
        if (zoom)
        {
            const float scale = 1.0f + static_cast<float>(m_FadeLevel) / 255.0f * kFadeZoom;
            CMatrix3 to, scaling, back, first, all;
            CMatrix3::MakeTranslation(to, -m_LastMouseDown.X, -m_LastMouseDown.Y);
            CMatrix3::MakeScale(scaling, scale, scale);
            CMatrix3::MakeTranslation(back, m_LastMouseDown.X, m_LastMouseDown.Y);
            to.Multiply(first, scaling);
            first.Multiply(all, back);
            renderer.PushTransform();
            renderer.MultiplyTransform(all);
        }
        m_SceneStack->Draw(renderer);
        m_MinigameHost->Draw(renderer);
        if (zoom)
            renderer.PopTransform();

        if (m_TutorialStep >= 0 || m_TutorialEndDelay > 0)
        {
            const s32 alpha = GetTutorialTipAlpha();
            if (m_SkipTutorialShown)
            {
                lv::graphics::CImageHandle* black = lv::graphics::CTextureManager::Instance().GetImage("scenes_black");
                renderer.DrawImageRect(black, CFloatRect(0, 0, 1366, 768), 0, CColor::CColorArgb(205, 255, 255, 255));
            }
            else if (m_TutorialClip)
            {
                m_TutorialClip->SetColor(CColor::CColorArgb(alpha, 255, 255, 255));
                m_TutorialClip->Draw(renderer);
            }
        }
        m_Hud->Draw(renderer);
        if ((m_TutorialStep == 1 || m_TutorialStep == 3) && m_TutorialClip)
            m_TutorialClip->Draw(renderer);
        CBaseWindow::Draw(renderer);
    }
    m_CutscenePlayer->ShowSkipButton(IsAnimationSkipAllowed() ? &renderer : nullptr);
    if (m_FadeLevel > 0)
    {
        const CPoint2i screen = CHud::GetScreenSize();
        renderer.FillQuad(CQuad(0.0f, 0.0f, static_cast<float>(screen.X + kQuadMargin),
                                static_cast<float>(screen.Y + kQuadMargin)),
                          CColor::CColorArgb(m_FadeLevel, 0, 0, 0));
    }
    if (m_AchievementPopupShown && m_AchievementClip)
        m_AchievementClip->Draw(renderer);
}

// ---- input ----

bool CGameWindow::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    m_LastMouseDown = ToVector(point);
    if (CBaseWindow::OnMouseDown(point, button, keyFlags, pass))
        return true;
    if (IsTransitionRunning())
        return false;
    if (button != 0 || pass != 0)
        return false;
    if (m_CutscenePlayer->OnClick(point))
        return true;
    return HandleClick(point);
}

bool CGameWindow::OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    if (IsTransitionRunning())
        return false;
    if (CBaseWindow::OnMouseDoubleClick(point, keyFlags, pass))
        return true;
    if (pass != 0)
        return false;
    return HandleClick(point);
}

bool CGameWindow::HandleClick(const CPoint2i& point)
{
    if (m_CutscenePlayer->IsPlaying())
        return true;
    if (m_LevelCompleted || !m_Quest)
        return false;
    CHudCursorItem& cursorItem = m_Hud->GetCursorItem();
    if (m_Hud->GetInventory().GetMode() == kInventoryItemOpen)
    {
        if (qe::CSceneObject* closeOver = FindTopImage(*m_SceneStack, "close_over"))
            if (closeOver->HitTest(PointerInTopScene(*m_SceneStack)))
            {
                m_SceneStack->HandleClick(CPoint2i(-10000, -10000), "");
                return true;
            }
    }
    if (!m_Quest->IsScriptPaused())
    {
        if (m_Hud->OnClick(ToVector(point)))
            return true;
        const CFixedString itemName = cursorItem.GetObjectName();
        if (m_Hud->GetMode() == CHud::kModeHog)
        {
            // An open popup or a pending completion message owns the click: the scene beneath
            // must not react to it.
            if (!IsHogHoldingInput() && m_SceneStack->HandleClick(point, itemName.GetText()))
            {
                if (!m_Quest->IsScriptPaused())
                    RefreshCursor();
                return true;
            }
            if (m_MinigameHost->OnMouseDown(point))
                return true;
        }
        else
        {
            if (m_MinigameHost->OnMouseDown(point))
                return true;
            bool filtered = false;
            if (PassTutorialFilter(point, filtered))
                return filtered;
            if (m_SceneStack->HandleClick(point, itemName.GetText()))
            {
                if (!m_Quest->IsScriptPaused())
                    RefreshCursor();
                return true;
            }
        }
    }
    cursorItem.Release();
    return false;
}

bool CGameWindow::IsHogHoldingInput() const
{
    const CHog* hog = CHog::GetInstance();
    return hog && (hog->IsPopupActive() || hog->IsInputBlocked());
}

bool CGameWindow::PassTutorialFilter(const CPoint2i& point, bool& result)
{
    if (m_TutorialStep < 0 || m_TutorialStep == 14)
        return false;
    if (m_TutorialStep < 5)
    {
        result = false;
        return true;
    }
    const char* path = nullptr;
    for (const STutorialGate& gate : kTutorialGates)
        if (gate.Step == m_TutorialStep)
            path = gate.Path;
    if (path == nullptr)
        return false;
    result = false;
    qe::CSceneObject* object = m_Quest->FindObjectByPath(path);
    if (object && object->HitTest(m_SceneStack->ToScene(point)))
        result = m_SceneStack->HandleClick(point, m_Hud->GetCursorItem().GetObjectName().GetText());
    return true;
}

void CGameWindow::RefreshCursor()
{
    const CPoint2i mouse = lv::gui::CCursorManager::Instance().GetMousePosition();
    m_SceneStack->UpdateHover(mouse, m_Hud->GetCursorItem().GetObjectName().GetText());
    m_CursorChoice->ChooseForView(m_SceneStack->GetTopView());
}

bool CGameWindow::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass)
{
    if (CBaseWindow::OnMouseUp(point, button, keyFlags, pass))
        return true;
    if (IsTransitionRunning())
        return false;
    if (button != 0 || pass != 0)
        return false;
    if (m_CutscenePlayer->IsPlaying())
        return true;
    if (m_LevelCompleted || !m_Quest || m_Quest->IsScriptPaused())
        return false;
    if (m_Hud->OnMouseUp(ToVector(point)))
        return true;
    if (m_Hud->GetMode() == CHud::kModeHog)
        return (!IsHogHoldingInput() && m_SceneStack->HandleMouseUp(point)) || m_MinigameHost->OnMouseUp(point);
    return m_MinigameHost->OnMouseUp(point) || m_SceneStack->HandleMouseUp(point);
}

bool CGameWindow::OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass)
{
    if (IsTransitionRunning())
        return false;
    if (m_Quest && m_Hud->GetInventory().GetMode() == kInventoryItemOpen)
    {
        qe::CSceneObject* closeNormal = FindTopImage(*m_SceneStack, "close_normal");
        qe::CSceneObject* closeOver = FindTopImage(*m_SceneStack, "close_over");
        if (closeNormal && closeOver)
        {
            if (closeOver->HitTest(PointerInTopScene(*m_SceneStack)))
            {
                closeOver->RemoveFlags(kObjectHidden);
                closeNormal->AddFlags(kObjectHidden);
                lv::gui::CCursorManager::Instance().SetCursor(kCursorHand);
                return true;
            }
            closeOver->AddFlags(kObjectHidden);
            closeNormal->RemoveFlags(kObjectHidden);
        }
    }
    if (CBaseWindow::OnMouseMove(point, keyFlags, pass))
        return true;
    if (pass != 0 || m_LevelCompleted)
        return false;
    m_CutscenePlayer->OnMouseMove(point);
    if (m_CutscenePlayer->IsPlaying())
        return true;
    if (!m_Started)
        return false;
    if (m_Hud->OnMouseMove(ToVector(point)))
        return true;
    if (!m_Quest || m_Quest->IsScriptPaused())
        return false;
    if (m_MinigameHost->OnMouseMove(point))
        return true;
    if (m_SceneStack->UpdateHover(point, m_Hud->GetCursorItem().GetObjectName().GetText()))
        return true;
    m_CursorChoice->ChooseForView(m_SceneStack->GetTopView());
    return false;
}

} // namespace game
