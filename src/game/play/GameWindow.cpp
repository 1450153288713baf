#include "game/play/GameWindow.h"

#include "anim/Clip.h"
#include "app/Application.h"
#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/TimeSystem.h"
#include "game/frontend/GenericDialog.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/CursorChoice.h"
#include "game/play/CutscenePlayer.h"
#include "game/play/GameOptionsWindow.h"
#include "game/play/HogPopupCommands.h"
#include "game/play/LevelMusic.h"
#include "game/play/MediaCommands.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "gui/CursorManager.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "qe/VideoObject.h"
#include "sound/AudioManager.h"

#include <cstdio>
#include <cstring>

namespace game {

namespace {

const char kWindowChannel[] = "game";
const char kWindowTemplate[] = "main_game_window";
constexpr u32 kShowHideFlags = lv::gui::CBaseWidget::Hidden | lv::gui::CBaseWidget::Disabled;
constexpr s32 kKeyF1 = 10015;
constexpr s32 kKeySpace = 10010;
constexpr s32 kCheatRechargeTime = 3000;
constexpr s32 kBonusGameMode = 3;
constexpr s32 kSkipTutorialQuestion = 1883;

CGameWindow* g_GameWindow = nullptr;
lv::core::CTimeSystem* g_WindowClock = nullptr;
lv::sound::CAudioManager* g_WindowAudio = nullptr;

SProfileValues* CurrentProfileValues()
{
    CProfileManager* profiles = CProfileManager::Instance();
    return profiles ? profiles->GetCurrentValues() : nullptr;
}

void ShowWidget(lv::gui::CBaseWidget* widget, bool shown)
{
    if (widget == nullptr)
        return;
    if (shown)
        widget->RemoveFlags(kShowHideFlags);
    else
        widget->AddFlags(kShowHideFlags);
}

const char* RecordName(const u8* record)
{
    return reinterpret_cast<const CFixedString*>(record)->GetText();
}

void OnSkipTutorialYes(CGenericDialog* dialog, void*)
{
    if (CGameWindow* window = CGameWindow::GetInstance())
        window->AnswerSkipTutorial(true);
    if (dialog)
        dialog->AddFlags(lv::gui::CBaseWidget::Closed);
}

void OnSkipTutorialNo(CGenericDialog* dialog, void*)
{
    if (CGameWindow* window = CGameWindow::GetInstance())
        window->AnswerSkipTutorial(false);
    if (dialog)
        dialog->AddFlags(lv::gui::CBaseWidget::Closed);
}

// The awards in the order of their profile values a1..a15.
const char* const kAchievementIds[SProfileValues::kAchievementCount] = {
    "collector", "eagle_eye", "detective",    "geniy",     "shopogolik",    "thinker",  "champion", "explorer",
    "rescuer",   "ranger",    "runner",       "csatle_enter", "alchemist", "spider_winner", "engineer"};
constexpr u32 kEagleEyeIndex = 1;
constexpr u32 kDetectiveIndex = 2;
constexpr s32 kTutorialLastStep = 14;
constexpr s32 kHardDifficultyLevel = 2;
constexpr float kPopupCentreX = 683.0f;

} // namespace

CGameWindow::CGameWindow()
    : lv::gui::CBaseWindow(CFixedString("")), m_SceneStack(std::make_unique<CSceneStack>()),
      m_MinigameHost(std::make_unique<CMinigameManager>()), m_CursorChoice(std::make_unique<CCursorChoice>()),
      m_Hud(std::make_unique<CHud>()), m_LevelMusic(std::make_unique<CLevelMusic>()),
      m_HogPopupCommands(std::make_unique<CHogPopupCommands>()), m_SpareView(std::make_unique<qe::CSceneView>()),
      m_CutscenePlayer(std::make_unique<CCutscenePlayer>()), m_BackgroundSounds(std::make_unique<CBackgroundSounds>())
{
    g_GameWindow = this;
    const CPoint2i screen = CHud::GetScreenSize();

    m_TutorialClip = std::make_unique<CClip>();
    char clipName[32];
    std::snprintf(clipName, sizeof(clipName), "tutorial_%d", m_TutorialStep + 1);
    m_TutorialClip->Load(clipName, true);
    m_TutorialClip->SetPosition(CVector2(static_cast<float>(screen.X) * 0.5f, static_cast<float>(screen.Y) * 0.5f));

    LoadWindow(kWindowTemplate);
    m_SkipTutorialButton = FindTemplateChild("skip_tutorial");
    m_SkipButton = FindTemplateChild("skip_btn");
    m_MenuButton = FindTemplateChild("menu_button");
    const CBaseWidget::Ptr back = FindChild(CFixedString("back_button"), true);
    m_BackButton = back.get();
    for (s32 i = 0; i < 3; ++i)
    {
        char name[24];
        std::snprintf(name, sizeof(name), "menu_back_%d", i + 1);
        m_MenuBackgrounds[i] = FindTemplateChild(name);
    }

    PlaceSkipButtons();
    ShowWidget(m_SkipTutorialButton, false);
    ShowWidget(m_SkipButton, false);

    UpdateMenuBackgrounds(false);

    SetAnimationSkipAllowed(false);
    m_CursorChoice->Attach(m_MinigameHost.get());
    m_MinigameHost->Attach(m_SceneStack.get());
    m_Hud->Attach(m_SceneStack.get());
    m_CutscenePlayer->Reset();

    PlaceBackButton();
}

CGameWindow::~CGameWindow()
{
    // The views and the HUD may point into the quest's scenes: let go of them first.
    m_SpareView->SetScene(nullptr);
    m_SceneStack->SetQuest(nullptr, this);
    m_Quest.reset();
    m_TutorialClip.reset();
    if (g_GameWindow == this)
        g_GameWindow = nullptr;
}

CGameWindow* CGameWindow::GetInstance()
{
    return g_GameWindow;
}

void CGameWindow::SetInstance(CGameWindow* window)
{
    g_GameWindow = window;
}

lv::core::CTimeSystem& CGameWindow::GetClock()
{
    return g_WindowClock ? *g_WindowClock : lv::core::CTimeSystem::Instance();
}

void CGameWindow::SetClock(lv::core::CTimeSystem* clock)
{
    g_WindowClock = clock;
}

lv::sound::CAudioManager& CGameWindow::GetAudio()
{
    return g_WindowAudio ? *g_WindowAudio : lv::sound::GetAudioManager();
}

void CGameWindow::SetAudio(lv::sound::CAudioManager* audio)
{
    g_WindowAudio = audio;
}

lv::gui::CBaseWidget* CGameWindow::FindTemplateChild(const char* name)
{
    const CBaseWidget::Ptr child = FindChild(CFixedString(name), true);
    if (!child)
        lv::core::CLog::Instance().Print(kWindowChannel, 2, "game window: the template has no '%s'", name);
    return child.get();
}

void CGameWindow::PlaceSkipButtons()
{
    const float width = static_cast<float>(CHud::GetScreenSize().X);
    if (m_SkipTutorialButton)
        m_SkipTutorialButton->SetPosition(width - m_SkipTutorialButton->GetSize().X, 0.0f);
    if (m_SkipButton)
        m_SkipButton->SetPosition(width - m_SkipButton->GetSize().X, 4.0f);
}

void CGameWindow::PlaceBackButton()
{
    if (m_BackButton == nullptr)
        return;
    if (m_GameMode == kBonusGameMode && m_Hud->GetMode() != CHud::kModeMinigame)
    {
        const float width = static_cast<float>(CHud::GetScreenSize().X);
        m_BackButton->SetPosition(width - m_BackButton->GetSize().X + 10.0f, 6.0f);
        ShowWidget(m_BackButton, true);
    }
    else
    {
        ShowWidget(m_BackButton, false);
    }
}

void CGameWindow::UpdateMenuBackgrounds(bool keepHudMode6)
{
    const SProfileValues* values = CurrentProfileValues();
    m_MenuBackgroundIndex = values ? static_cast<s32>(values->GetStyle(1)) : 0;
    for (s32 i = 0; i < 3; ++i)
    {
        if (m_GameMode == kBonusGameMode)
            ShowWidget(m_MenuBackgrounds[i], false);
        else if (i == m_MenuBackgroundIndex)
        {
            if (!(keepHudMode6 && m_Hud->GetMode() == 6))
                ShowWidget(m_MenuBackgrounds[i], true);
        }
        else
            ShowWidget(m_MenuBackgrounds[i], false);
    }
}

// ---- starting and levels ----

bool CGameWindow::StartGame(bool otherPart, bool thirdPart, bool, bool fromExtras)
{
    if (fromExtras)
    {
        m_GameMode = kBonusGameMode;
        StartNewGame();
        return true;
    }
    m_GameMode = !otherPart ? 0 : (thirdPart ? 3 : 2);
    const s32 result = LoadProfileSave();
    if (result == kLoadDone)
        return true;
    if (result == kLoadNothing)
    {
        StartNewGame();
        return true;
    }
    const WString path = GetSaveFilePath();
    const WString backup = path + u".bp";
    if (!path.empty() && LoadSaveFile(backup) == kLoadDone)
    {
        CopySaveFile(backup, path);
        return true;
    }
    if (SProfileValues* values = CurrentProfileValues())
        for (u16& value : values->Achievements)
            value = 0;
    return false;
}

void CGameWindow::StartNewGame()
{
    StartQuest();
}

void CGameWindow::StartQuest()
{
    m_Started = 1;
    const qe::CQuestData& data = qe::CQuestData::Instance();
    if (data.GetQuestCount() < 1)
        return;
    if (const u8* record = data.GetQuestRecord(m_GameMode))
        InitLevel(record, nullptr);
}

bool CGameWindow::StartQuestByIndex(s32 index)
{
    const u8* record = qe::CQuestData::Instance().GetQuestRecord(index);
    return record != nullptr && InitLevel(record, nullptr);
}

bool CGameWindow::RequestQuestByIndex(s32 index)
{
    if (index < 0 || qe::CQuestData::Instance().GetQuestRecord(index) == nullptr)
        return false;
    m_RequestedQuestIndex = index;
    return true;
}

bool CGameWindow::InitLevel(const u8* questRecord, const char* sceneName)
{
    if (questRecord == nullptr)
        return false;
    m_MinigameHost->Clear();
    m_Hud->ResetForLevel();
    std::unique_ptr<qe::CQuest> quest(
        qe::CQuestData::Instance().CreateQuest(RecordName(questRecord), this, this, &GetClock()));
    if (!quest)
        return false;
    qe::CScene* scene = sceneName ? quest->FindScene(sceneName) : quest->GetStartScene();
    if (scene == nullptr)
        return false;
    // The old quest's scenes leave the views before the quest goes.
    m_SpareView->SetScene(nullptr);
    SetQuest(quest.release());
    ResetSaveImage();
    m_SceneStack->ShowScene(scene);
    LoadLevelMedia(scene);
    RefreshMenuButtons();
    return true;
}

void CGameWindow::SetQuest(qe::CQuest* quest)
{
    m_SceneStack->SetQuest(quest, this);
    m_Quest.reset(quest);
}

void CGameWindow::LoadLevelMedia(qe::CScene* scene)
{
    m_BackgroundSounds->Load("properties/background_sounds.xml", m_Quest.get(), scene);
    m_LevelMusic->Load("properties/tracks.xml", m_Quest.get());
    m_HogPopupCommands->Load("properties/hog_popup_commnds.xml", m_Quest.get());
}

void CGameWindow::StopMusic()
{
    m_LevelMusic->Stop();
}

void CGameWindow::SetLevelCompleted()
{
    m_LevelCompleted = 1;
}

void CGameWindow::MoveToNextLevel()
{
    const qe::CQuestData& data = qe::CQuestData::Instance();
    if (m_GameMode == kBonusGameMode)
    {
        if (InitLevel(data.GetQuestRecord(kBonusGameMode), nullptr))
        {
            m_LevelCompleted = 0;
            RefreshMenuButtons();
        }
        return;
    }
    if (!m_Quest)
        return;
    const s32 count = data.GetQuestCount();
    for (s32 i = 0; i < count; ++i)
    {
        const u8* record = data.GetQuestRecord(i);
        if (record == nullptr)
        {
            ReturnToMainMenu();
            return;
        }
        if (std::strcmp(RecordName(record), m_Quest->GetName().GetText()) != 0)
            continue;
        if (i + 1 >= count)
        {
            DeleteSaveAndReturnToMainMenu();
            return;
        }
        if (InitLevel(data.GetQuestRecord(i + 1), nullptr))
        {
            m_LevelCompleted = 0;
        }
        else
        {
            lv::core::ShowMessageBox("Error", "Error while initializing the next level.");
            ReturnToMainMenu();
        }
        return;
    }
}

void CGameWindow::ShowMainMenu(bool a, bool b, bool c, bool d)
{
    lv::core::CApplication* application = lv::core::CApplication::Instance();
    if (application == nullptr)
        return;
    application->SetRootWidget(lv::gui::CBaseWindow::Ptr(new CMainMenuWindow(a, b, c, d)));
}

void CGameWindow::ReturnToMainMenu()
{
    if (m_Quest)
    {
        m_Quest->SaveState();
        WriteSaveFile();
    }
    lv::sound::CAudioManager& audio = GetAudio();
    audio.StopAll(0.0f);
    audio.StopGroup("sound", 0.0f);
    audio.StopGroup("music", 0.0f);
    ShowMainMenu(true, false, false, false);
}

void CGameWindow::DeleteSaveAndReturnToMainMenu()
{
    const WString path = GetSaveFilePath();
    if (!path.empty())
        lv::core::FileDeleteW(path.c_str());
    ReturnToMainMenu();
}

// ---- window events and keys ----

void CGameWindow::OnEvent(const char* eventName, lv::gui::CBaseWidget* sender)
{
    if (eventName == nullptr || sender == nullptr || std::strcmp(eventName, "pressed") != 0)
        return;
    if (sender == m_BackButton)
    {
        ShowMainMenu(true, false, true, false);
    }
    else if (sender == m_MenuButton)
    {
        lv::sound::CAudioManager& audio = GetAudio();
        audio.PauseAll(true);
        audio.Play("main_menu_options");
        lv::gui::CCursorManager::Instance().SetHidden(false);
        m_GamePaused = 1;
        m_PauseMenuOpen = 1;
        ShowModal(lv::gui::CBaseWindow::Ptr(new CGameOptionsWindow()));
    }
    else if (sender == m_SkipTutorialButton)
    {
        CGenericDialog::Ptr dialog = CGenericDialog::Create(2);
        dialog->SetMessage(kSkipTutorialQuestion)->SetYesHandler(&OnSkipTutorialYes)->SetNoHandler(&OnSkipTutorialNo);
        ShowModal(dialog);
        m_SkipTutorialShown = 1;
    }
    else if (sender == m_SkipButton)
    {
        m_SkipPressed = 1;
    }
}

void CGameWindow::OnPauseMenuClosed()
{
    m_GamePaused = 0;
    m_PauseMenuOpen = 0;
}

bool CGameWindow::OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass)
{
    if (CBaseWindow::OnKeyDown(key, keyFlags, keyData, pass))
        return true;
    lv::core::CApplication* application = lv::core::CApplication::Instance();
    if (application == nullptr || application->IsDebug() < 1)
        return false;
    if (key == kKeyF1)
    {
        m_CheatMode = m_CheatMode ? 0 : 1;
        if (m_Quest)
            m_Quest->SetCheatMode(m_CheatMode != 0);
        CHudHint& hint = m_Hud->GetHint();
        const SProfileValues* values = CurrentProfileValues();
        const bool hard = values && values->Difficulty == 2;
        const s32 normal = hint.GetDefaultRechargeTime() * (hard ? 2 : 1);
        hint.SetRechargeTime(m_CheatMode ? kCheatRechargeTime : normal);
        return true;
    }
    if (key == kKeySpace)
    {
        m_CutscenePlayer->Stop();
        return true;
    }
    return false;
}

void CGameWindow::OnActivate()
{
    Relayout();
}

// ---- menu buttons ----

void CGameWindow::RefreshMenuButtons()
{
    UpdateMenuBackgrounds(true);
    m_Hud->ReloadSkins();
    m_Hud->Layout();
    m_Hud->Update();
    PlaceBackButton();
}

void CGameWindow::SetMenuButtonsHidden(bool hidden)
{
    lv::gui::CBaseWidget* background =
        m_MenuBackgroundIndex >= 0 && m_MenuBackgroundIndex < 3 ? m_MenuBackgrounds[m_MenuBackgroundIndex] : nullptr;
    const bool show = !hidden && m_GameMode != kBonusGameMode;
    if (!hidden && !show)
        return;
    ShowWidget(m_MenuButton, show);
    ShowWidget(background, show);
}

void CGameWindow::SetMenuButtonsDisabled(bool disabled)
{
    lv::gui::CBaseWidget* background =
        m_MenuBackgroundIndex >= 0 && m_MenuBackgroundIndex < 3 ? m_MenuBackgrounds[m_MenuBackgroundIndex] : nullptr;
    for (lv::gui::CBaseWidget* widget : {m_MenuButton, background})
    {
        if (widget == nullptr)
            continue;
        if (disabled)
            widget->AddFlags(lv::gui::CBaseWidget::Disabled);
        else
            widget->RemoveFlags(lv::gui::CBaseWidget::Disabled);
    }
}

// ---- synchronised animations ----

void CGameWindow::AddSyncedAnimation(const char* soundName, qe::CVideoObject* video, s32 periodMs)
{
    SSyncedAnimation entry;
    entry.SoundName = CFixedString(soundName ? soundName : "");
    entry.Video = video;
    entry.Period = periodMs;
    m_SyncedAnimations.push_back(entry);
}

void CGameWindow::UpdateSyncedAnimations(s32 delta)
{
    lv::sound::CAudioManager& audio = GetAudio();
    for (SSyncedAnimation& entry : m_SyncedAnimations)
    {
        const char* name = entry.SoundName.GetText();
        if (entry.Period <= 0)
        {
            // A video that failed to open has no length: its sound plays once, never restarted.
            if (!entry.Played && audio.HasSound(name))
                audio.Play(name);
            entry.Played = true;
            continue;
        }
        entry.Elapsed += delta;
        if (entry.Elapsed < entry.Period)
            continue;
        entry.Elapsed -= entry.Period;
        if (audio.HasSound(name))
        {
            audio.StopSoundsByName(name, 0.0f);
            audio.Play(name);
        }
    }
}

void CGameWindow::PauseSyncedSounds()
{
    m_SyncedSoundsPaused = 1;
    for (const SSyncedAnimation& entry : m_SyncedAnimations)
        GetAudio().PauseGroup(entry.SoundName.GetText(), true);
}

void CGameWindow::ResumeSyncedSounds()
{
    m_SyncedSoundsPaused = 0;
    for (const SSyncedAnimation& entry : m_SyncedAnimations)
        GetAudio().PauseGroup(entry.SoundName.GetText(), false);
}

void CGameWindow::StopSyncedAnimations()
{
    for (const SSyncedAnimation& entry : m_SyncedAnimations)
    {
        if (entry.Video)
            entry.Video->Stop();
        GetAudio().StopSoundsByName(entry.SoundName.GetText(), 0.0f);
    }
    m_SyncedAnimations.clear();
    m_SyncedSoundsPaused = 0;
}

// ---- small operations ----

void CGameWindow::SetCursorChoiceBusy(bool busy)
{
    m_CursorChoice->SetMode(busy ? 1 : 0);
}

void CGameWindow::PlayCutscene(const char* id)
{
    m_CutscenePlayer->Play(id);
}

bool CGameWindow::IsCutscenePlaying() const
{
    return m_CutscenePlayer->IsPlaying();
}

void CGameWindow::Relayout()
{
    m_SceneStack->Layout();
    m_Hud->Layout();
    m_MinigameHost->UpdateLayout();
}

// ---- tutorial and achievements ----

void CGameWindow::SetTutorialStep(s32 step)
{
    m_TutorialStep = step - 1;
    ShowSkipTutorialButton(true);
    AdvanceTutorial();
}

void CGameWindow::AdvanceTutorial()
{
    ++m_TutorialStep;
    if (!m_TutorialClip)
        m_TutorialClip = std::make_unique<CClip>();
    const SProfileValues* values = CurrentProfileValues();
    if (values && values->Difficulty == kHardDifficultyLevel && m_TutorialStep != kTutorialLastStep)
    {
        // The hard game plays without the tutorial.
        ShowSkipTutorialButton(false);
        m_TutorialStep = -1;
        if (m_Quest)
            m_Quest->SaveState();
        return;
    }
    ShowSkipTutorialButton(m_TutorialStep != 1 && m_TutorialStep != 3);
    char clipName[32];
    std::snprintf(clipName, sizeof(clipName), "tutorial_%d", m_TutorialStep + 1);
    m_TutorialClip->Load(clipName, true);
    const CPoint2i screen = CHud::GetScreenSize();
    float x = static_cast<float>(screen.X) * 0.5f;
    // These tips point at places of the 1366-wide scene.
    if (m_TutorialStep == 0 || m_TutorialStep == 2 || m_TutorialStep == 4)
        x += static_cast<float>((1366 - screen.X) / 2);
    m_TutorialClip->SetPosition(CVector2(x, static_cast<float>(screen.Y) * 0.5f));
    if (m_TutorialStep == kTutorialLastStep)
    {
        m_TutorialEndDelay = 0;
        EndTutorial(false);
    }
}

void CGameWindow::EndTutorial(bool quick)
{
    if (m_TutorialEndDelay > 0)
        return;
    m_TutorialEndDelay = quick ? kQuickTutorialEndDelay : kDefaultTutorialEndDelay;
    m_TutorialStep = -1;
    if (m_Quest)
        m_Quest->SaveState();
    ShowSkipTutorialButton(false);
}

void CGameWindow::ShowSkipTutorialButton(bool shown)
{
    ShowWidget(m_SkipTutorialButton, shown);
}

void CGameWindow::AnswerSkipTutorial(bool yes)
{
    m_SkipTutorialShown = 0;
    if (!yes)
        return;
    m_TutorialStep = -1;
    ShowSkipTutorialButton(false);
    if (m_Quest)
        m_Quest->SaveState();
}

s32 CGameWindow::GetTutorialTipAlpha() const
{
    const s32 quarter = kDefaultTutorialEndDelay / 4;
    if (m_TutorialStep == -1 && m_TutorialEndDelay < quarter)
        return static_cast<s32>((1.0f - static_cast<float>(quarter - m_TutorialEndDelay) / quarter) * 255.0f);
    return 255;
}

void CGameWindow::AwardAchievement(const char* name)
{
    if (m_GameMode == kBonusGameMode || name == nullptr)
        return;
    const CPoint2i screen = CHud::GetScreenSize();
    const CVector2 position(kPopupCentreX, static_cast<float>(screen.Y / 2));
    if (!m_AchievementClip)
        m_AchievementClip = std::make_unique<CClip>();
    char clipName[96];
    std::snprintf(clipName, sizeof(clipName), "achive_%s", name);
    if (!m_AchievementClip->Load(clipName, true))
        return;
    SProfileValues* values = CurrentProfileValues();
    for (u32 i = 0; values && i < SProfileValues::kAchievementCount; ++i)
    {
        if (std::strcmp(kAchievementIds[i], name) != 0)
            continue;
        if (values->Achievements[i] != SProfileValues::kAchievementEarned)
        {
            m_AchievementClip->SetPosition(position);
            m_AchievementClip->SetTime(0);
            m_AchievementClip->Play();
            m_AchievementClip->Update();
            values->Achievements[i] = SProfileValues::kAchievementEarned;
            m_AchievementPopupShown = 1;
            m_PopupElapsed = 0;
            m_PopupDuration = kAchievementPopupDuration;
        }
        break;
    }
    if (CProfileManager* profiles = CProfileManager::Instance())
        profiles->Save();
}

void CGameWindow::ShowDetectiveAchievement()
{
    SProfileValues* values = CurrentProfileValues();
    if (values == nullptr)
        return;
    u16& eagleEye = values->Achievements[kEagleEyeIndex];
    u16& detective = values->Achievements[kDetectiveIndex];
    const char* clipName = "achive_detective";
    if (eagleEye == SProfileValues::kAchievementEarned && detective == SProfileValues::kAchievementEarned)
    {
        ++eagleEye;
        ++detective;
        clipName = "achive_detective_sniper";
    }
    else if (eagleEye == SProfileValues::kAchievementEarned)
    {
        ++eagleEye;
        clipName = "achive_sniper";
    }
    else
    {
        ++detective;
    }
    const CPoint2i screen = CHud::GetScreenSize();
    if (!m_AchievementClip)
        m_AchievementClip = std::make_unique<CClip>();
    m_AchievementClip->Load(clipName, true);
    m_AchievementClip->SetPosition(
        CVector2(static_cast<float>(screen.X) / 2.0f, static_cast<float>(screen.Y) / 2.0f));
    m_AchievementClip->SetTime(0);
    m_AchievementClip->Play();
    m_AchievementClip->Update();
    m_AchievementPopupShown = 1;
    m_PopupElapsed = 0;
    m_PopupDuration = kAchievementPopupDuration;
}

} // namespace game
