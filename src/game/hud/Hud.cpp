#include "game/hud/Hud.h"

#include "app/Application.h"
#include "core/SystemIntegration.h"
#include "core/TimeSystem.h"
#include "game/frontend/GenericDialog.h"
#include "game/frontend/Profile.h"
#include "game/frontend/ProfileManager.h"
#include "game/play/GameWindow.h"
#include "game/play/SceneStack.h"
#include "graphics/Renderer.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

#include <algorithm>
#include <cstring>

namespace game {

namespace {

CPoint2i s_FallbackScreen(1366, 768);
lv::core::CTimeSystem* s_Clock = nullptr;
CVector2 s_Pointer;

} // namespace

CHud::CHud() = default;
CHud::~CHud() = default;

// Services shared by the panels.

CPoint2i CHud::GetScreenSize()
{
    if (lv::core::CApplication* application = lv::core::CApplication::Instance()) {
        const CPoint2i size = application->GetRenderer().GetSourceSize();
        if (size.X > 0 && size.Y > 0)
            return size;
    }
    return s_FallbackScreen;
}

void CHud::SetFallbackScreenSize(s32 width, s32 height)
{
    s_FallbackScreen = CPoint2i(width, height);
}

lv::core::CTimeSystem& CHud::GetClock()
{
    return s_Clock ? *s_Clock : lv::core::CTimeSystem::Instance();
}

void CHud::SetClock(lv::core::CTimeSystem* clock)
{
    s_Clock = clock;
}

CVector2 CHud::GetPointerPosition()
{
    lv::core::CSystemIntegration* platform = lv::core::CSystemIntegration::Current();
    lv::core::CApplication* application = lv::core::CApplication::Instance();
    if (!platform || !application)
        return s_Pointer;
    lv::graphics::CRenderer& renderer = application->GetRenderer();
    const CVector2 scale = *renderer.GetAspectScale();
    if (scale.X == 0 || scale.Y == 0)
        return s_Pointer;
    CPoint2i point;
    platform->GetCursorPos(point);
    platform->ScreenToClient(point);
    const CFloatRect view = renderer.GetViewportRect();
    const float x = std::clamp(static_cast<float>(point.X), view.X, view.X + view.Width);
    const float y = std::clamp(static_cast<float>(point.Y), view.Y, view.Y + view.Height);
    return CVector2((x - view.X) / scale.X, (y - view.Y) / scale.Y);
}

void CHud::SetPointerPosition(const CVector2& point)
{
    s_Pointer = point;
}

qe::CSceneView* CHud::GetTopView(const CSceneStack* sceneStack)
{
    return sceneStack ? sceneStack->GetTopView() : nullptr;
}

CVector2 CHud::SceneToScreen(const CSceneStack* sceneStack, const CVector2& point)
{
    qe::CSceneView* view = GetTopView(sceneStack);
    return view ? view->SceneToView(point) : point;
}

namespace {

SProfileValues* CurrentProfileValues()
{
    CProfileManager* profiles = CProfileManager::Instance();
    return profiles ? profiles->GetCurrentValues() : nullptr;
}

} // namespace

s32 CHud::GetStyleVariant(s32 group)
{
    const SProfileValues* values = CurrentProfileValues();
    return values ? static_cast<s32>(values->GetStyle(static_cast<u32>(group))) : 0;
}

s32 CHud::GetDifficulty()
{
    const SProfileValues* values = CurrentProfileValues();
    return values ? values->Difficulty : 0;
}

s32 CHud::GetCollectedCount()
{
    const SProfileValues* values = CurrentProfileValues();
    return values ? values->Achievements[0] : 0;
}

void CHud::CountCollectible()
{
    if (SProfileValues* values = CurrentProfileValues()) {
        ++values->Candies;
        ++values->Achievements[0];
    }
}

bool CHud::IsDetectiveAchievementEarned()
{
    const SProfileValues* values = CurrentProfileValues();
    return values && (values->Achievements[1] == SProfileValues::kAchievementEarned ||
                      values->Achievements[2] == SProfileValues::kAchievementEarned);
}

void CHud::SaveProfiles()
{
    if (CProfileManager* profiles = CProfileManager::Instance())
        profiles->Save();
}

CGameWindow* CHud::GetGameWindow()
{
    return CGameWindow::GetInstance();
}

s32 CHud::GetTutorialStep()
{
    CGameWindow* window = GetGameWindow();
    return window ? window->GetTutorialStep() : -1;
}

void CHud::SetTutorialStep(s32 step)
{
    if (CGameWindow* window = GetGameWindow())
        window->SetTutorialStep(step);
}

void CHud::RequestGameSave()
{
    if (CGameWindow* window = GetGameWindow())
        window->SaveState();
}

void CHud::ShowOkMessage(s32 textId)
{
    CGameWindow* window = GetGameWindow();
    if (!window)
        return;
    CGenericDialog::Ptr dialog = CGenericDialog::Create(CGenericDialog::ModeOk);
    if (!dialog)
        return;
    // The OK button only closes the message.
    dialog->SetMessage(textId)->SetOkHandler(nullptr);
    window->ShowModal(lv::gui::CBaseWindow::Ptr(dialog.get()));
}

// Wiring.

void CHud::Attach(CSceneStack* sceneStack)
{
    m_SceneStack = sceneStack;
    m_SpeechBubble.Attach(sceneStack);
    CVector2 corner;
    m_MessagePopup.Load(corner);
    m_Inventory.Attach(this, &m_CursorItem, sceneStack);
    m_CursorItem.SetInventory(&m_Inventory);
    m_Hint.Attach(sceneStack, &m_Inventory);
    m_Map.Attach(sceneStack, &m_Inventory);
    m_SymbolCounter.Attach(this, sceneStack);
}

void CHud::ResetForLevel()
{
    m_Hint.ResetForLevel();
    m_Inventory.ResetForLevel();
    m_SymbolCounter.Reset();
}

s32 CHud::GetGameMode() const
{
    CGameWindow* window = GetGameWindow();
    return window ? window->GetGameMode() : 0;
}

bool CHud::IsBonusQuestOnTop() const
{
    qe::CSceneView* view = GetTopView(m_SceneStack);
    const qe::CScene* scene = view ? view->GetScene() : nullptr;
    const qe::CQuest* quest = scene ? scene->GetQuest() : nullptr;
    return quest && std::strcmp(quest->GetName().GetText(), "Bonus_Location") == 0;
}

// Per frame.

void CHud::Update()
{
    const s32 mode = GetMode();
    if (mode == kModeHidden) {
        m_SpeechBubble.Update();
        return;
    }
    if (mode == kModeMap) {
        m_SpeechBubble.Update();
        if (!IsBonusQuestOnTop())
            m_Map.Update();
        return;
    }
    m_Hint.Update();
    m_CursorItem.Update();
    m_SpeechBubble.Update();
    m_TaskList.Update();
    m_SymbolCounter.Update();
    if (mode == kModeHog)
        return;
    if (mode == kModeNotepad)
        m_Notepad.Update();
    m_Inventory.Update();
}

void CHud::DrawTail(lv::graphics::CRenderer& renderer)
{
    m_SpeechBubble.Draw(renderer);
    m_CursorItem.Draw(renderer);
}

void CHud::Draw(lv::graphics::CRenderer& renderer)
{
    switch (GetMode()) {
    case kModeNormal:
        m_Inventory.Draw(renderer);
        m_TaskList.Draw(renderer);
        m_Hint.Draw(renderer);
        m_SymbolCounter.Draw(renderer);
        DrawTail(renderer);
        break;
    case kModeMinigame:
        if (GetGameMode() != 3) {
            m_Inventory.Draw(renderer);
            m_TaskList.Draw(renderer);
            m_SymbolCounter.Draw(renderer);
            m_Hint.Draw(renderer);
        }
        DrawTail(renderer);
        break;
    case kModeHog:
        m_Hint.Draw(renderer);
        m_SymbolCounter.Draw(renderer);
        DrawTail(renderer);
        break;
    case kModeNotepad:
        m_SpeechBubble.Draw(renderer);
        m_Notepad.Draw(renderer);
        break;
    case kModeMap:
        m_Map.Draw(renderer);
        m_SpeechBubble.Draw(renderer);
        break;
    case kModePopup:
        m_Hint.Draw(renderer);
        m_SymbolCounter.Draw(renderer);
        m_MessagePopup.Draw(renderer, 255);
        DrawTail(renderer);
        break;
    default:
        m_SpeechBubble.Draw(renderer);
        break;
    }
}

void CHud::Layout()
{
    if (GetMode() == kModeMap)
        return;
    m_SpeechBubble.Layout();
    m_Inventory.Layout();
    m_Hint.Layout();
    m_SymbolCounter.Layout();
    m_TaskList.Layout();
}

void CHud::ReloadSkins()
{
    m_Hint.LoadStateClips();
    m_Inventory.ReloadSkin();
}

void CHud::SetAlpha(u16 alpha)
{
    m_Alpha = alpha;
    m_Inventory.SetAlpha(alpha);
    m_Hint.SetAlpha(alpha);
    m_SymbolCounter.SetAlpha(alpha);
    m_TaskList.SetAlpha(alpha);
}

void CHud::SetPopupIcon(lv::graphics::CImageHandle* image)
{
    m_MessagePopup.SetIcon(image);
}

// Input.

bool CHud::OnClick(const CVector2& point)
{
    switch (GetMode()) {
    case kModeNormal:
    case kModeMinigame:
        if (GetGameMode() == 3)
            return m_SpeechBubble.OnClick(point);
        return m_SpeechBubble.OnClick(point) || m_TaskList.OnClick(point) || m_Hint.OnClick(point) ||
               m_Map.OnClick(point) || m_Inventory.OnClick(point);
    case kModeHog:
        if (m_SpeechBubble.OnClick(point) || m_InputBlocked)
            return true;
        return m_Hint.OnClick(point);
    case kModeNotepad:
        if (!m_SpeechBubble.OnClick(point))
            m_Notepad.OnClick(point);
        return true;
    case kModeMap:
        if (!IsBonusQuestOnTop())
            m_Map.OnClick(point);
        return true;
    case kModePopup:
        if (m_MessagePopup.IsButtonHovered())
            RunPopupAction();
        return true;
    default:
        return false;
    }
}

void CHud::RunPopupAction()
{
    CGameWindow* window = GetGameWindow();
    if (window)
        window->OpenScene(m_PendingScene.GetText(), true, true);
    m_Hint.Reset();
    m_Inventory.Close();
    m_TaskList.CancelAutoClose();
    m_Inventory.SetEnabled(true);
    m_Inventory.SetAvailable(true);
    m_Inventory.ClearFinishedSearch();
    if (window && IsDetectiveAchievementEarned())
        window->ShowDetectiveAchievement();
}

bool CHud::OnMouseUp(const CVector2&)
{
    return false;
}

bool CHud::OnMouseMove(const CVector2& point)
{
    s_Pointer = point;
    switch (GetMode()) {
    case kModeNormal:
    case kModeMinigame:
        if (GetGameMode() == 3)
            return m_SpeechBubble.OnMouseMove(point);
        if (m_SpeechBubble.OnMouseMove(point) || m_Hint.OnMouseMove(point))
            return true;
        if (m_Map.OnMouseMove(point))
            return true;
        return m_TaskList.OnMouseMove(point) || m_Inventory.OnMouseMove(point);
    case kModeHog:
        if (m_SpeechBubble.OnMouseMove(point))
            return true;
        if (m_InputBlocked)
            return false;
        return m_Hint.OnMouseMove(point);
    case kModeNotepad:
        if (!m_SpeechBubble.OnMouseMove(point))
            m_Notepad.OnMouseMove(point);
        return true;
    case kModeMap:
        if (!IsBonusQuestOnTop())
            m_Map.OnMouseMove(point);
        return true;
    case kModePopup: {
        const CPoint2i screen = GetScreenSize();
        return m_MessagePopup.OnMouseMove(CVector2(point.X + static_cast<float>((1366 - screen.X) / 2), point.Y),
                                          true);
    }
    default:
        return false;
    }
}

void CHud::OnTopViewChanged(qe::CSceneView*)
{
    m_SpeechBubble.Hide();
    m_TaskList.CancelAutoClose();
}

// Modes.

void CHud::PushMode(s32 mode)
{
    if (mode == GetMode())
        return;
    if (m_ModeTop + 1 >= kModeStackSize)
        return;
    m_Modes[++m_ModeTop] = mode;
    m_TaskList.CancelAutoClose();
    if (CGameWindow* window = GetGameWindow())
        window->RefreshMenuButtons();
}

void CHud::PopMode()
{
    if (m_ModeTop > 0)
        --m_ModeTop;
}

// Saved game.

s32 CHud::GetSaveSize() const
{
    return 4 + CHudInventory::kSaveSize;
}

void CHud::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(GetMode());
    writer.WriteInt32(kSaveMarker);
    m_Inventory.Save(writer);
    writer.WriteInt32(kSaveMarker);
}

bool CHud::Load(qe::CBinaryReader& reader, qe::CQuest& quest)
{
    const s32 mode = reader.ReadInt32();
    reader.ReadInt32();
    if (reader.HasError())
        return false;
    if (mode == kModePopup)
        PushMode(kModePopup);
    if (!m_Inventory.Load(reader, quest))
        return false;
    reader.ReadInt32();
    return !reader.HasError();
}

} // namespace game
