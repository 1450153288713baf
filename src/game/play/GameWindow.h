#pragma once
// The window in which the story is played. The main menu creates it and makes it the root; it
// owns everything that lives only during play: the running quest, the scene stack, the minigame
// host, the HUD, the cursor choice, the cutscene player, ambient sounds, level music, the hidden-
// object popup commands and the saved-game image. Its frame (update, draw, the click road and
// the fading scene change) is in GameWindowFrame.cpp.
#include "core/FixedString.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "gui/BaseWindow.h"
#include "qe/ByteBuffer.h"
#include "qe/SavableState.h"

#include <memory>
#include <vector>

class CClip;

namespace lv::core {
class CTimeSystem;
}

namespace lv::sound {
class CAudioManager;
}

namespace qe {
class CBinaryReader;
class CQuest;
class CScene;
class CSceneView;
class CVideoObject;
} // namespace qe

namespace game {

class CBackgroundSounds;
class CCursorChoice;
class CCutscenePlayer;
class CHogPopupCommands;
class CHud;
class CLevelMusic;
class CMinigameManager;
class CSceneStack;

class CGameWindow : public lv::gui::CBaseWindow, public qe::CSavableState
{
public:
    using Ptr = boost::intrusive_ptr<CGameWindow>;

    // Load results of a saved game.
    enum ELoadResult : s32
    {
        kLoadNothing = 0,
        kLoadDamaged = 1,
        kLoadDone = 2,
    };

    static constexpr s32 kAutosaveInterval = 15000;
    static constexpr s32 kOpenDelay = 100;
    static constexpr s32 kFadeDuration = 300;
    static constexpr s32 kSaveHeaderSize = 212;
    static constexpr s32 kDefaultTutorialEndDelay = 5000;

    CGameWindow();
    ~CGameWindow() override;

    static CGameWindow* GetInstance();
    static void SetInstance(CGameWindow* window);
    // The clock of the window's frame and of its quests: the process-wide time system unless a
    // test sets its own.
    static lv::core::CTimeSystem& GetClock();
    static void SetClock(lv::core::CTimeSystem* clock);
    // The audio manager of the window and its pause menu: the process-wide one unless a test
    // sets its own.
    static lv::sound::CAudioManager& GetAudio();
    static void SetAudio(lv::sound::CAudioManager* audio);

    // Starting and levels.
    bool StartGame(bool otherPart, bool thirdPart, bool unused, bool fromExtras);
    void StartNewGame();
    void StartQuest();
    bool StartQuestByIndex(s32 index);
    // The same at the next update, for callers that the running quest holds (its commands):
    // false, and nothing later, for an index past the last record.
    bool RequestQuestByIndex(s32 index);
    s32 GetRequestedQuestIndex() const { return m_RequestedQuestIndex; }
    // Starts a quest record as a level, in the named scene or the quest's start scene.
    bool InitLevel(const u8* questRecord, const char* sceneName = nullptr);
    void SetLevelCompleted();
    bool IsLevelCompleted() const { return m_LevelCompleted != 0; }
    void ReturnToMainMenu();
    void DeleteSaveAndReturnToMainMenu();

    // Window overrides.
    void OnEvent(const char* eventName, lv::gui::CBaseWidget* sender) override;
    bool OnKeyDown(s32 key, s32 keyFlags, s32 keyData, u8 pass) override;
    bool OnMouseMove(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    bool OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags, u8 pass) override;
    bool OnMouseDoubleClick(const CPoint2i& point, s32 keyFlags, u8 pass) override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    void Update() override;
    void OnActivate() override;

    // Menu buttons.
    void RefreshMenuButtons();
    void SetMenuButtonsHidden(bool hidden);
    void SetMenuButtonsDisabled(bool disabled);
    s32 GetMenuBackgroundIndex() const { return m_MenuBackgroundIndex; }

    // Synchronised animations.
    void AddSyncedAnimation(const char* soundName, qe::CVideoObject* video, s32 periodMs);
    void PauseSyncedSounds();
    void ResumeSyncedSounds();
    void StopSyncedAnimations();
    size_t GetSyncedAnimationCount() const { return m_SyncedAnimations.size(); }

    // Scenes and the transition.
    void OpenScene(const char* sceneName, bool popHudMode, bool withFade);
    void ShowScene(qe::CScene* scene, bool withFade);
    void OnTopViewChanged();
    void Relayout();
    bool IsTransitionRunning() const;
    s32 GetFadeLevel() const { return m_FadeLevel; }

    // Saved game.
    bool SaveState() override;
    void WriteSaveFile();
    s32 LoadSaveFile(const WString& path);
    s32 LoadProfileSave();
    s32 GetSaveImageSize() const;
    // The saved game's path of the current profile and game mode; empty without a profile.
    WString GetSaveFilePath() const;
    // Copies a complete save file over its backup (the path with ".bp"), safely.
    bool BackupSaveFile() const;
    // A whole save as written: the size its header declares and a good checksum.
    static bool IsCompleteSaveImage(const u8* data, size_t size);
    const CFixedString& GetSavedSceneName() const { return m_CurrentLocation; }
    const CFixedString& GetCurrentLocation() const { return m_CurrentLocation; }
    const qe::CByteBuffer& GetSaveImage() const { return m_SaveImage; }
    bool IsSaveImageReady() const { return m_ImageReady != 0; }
    // How often the quest asked to save and how often the file was asked to be written.
    s32 GetSaveRequestCount() const { return m_SaveRequests; }
    s32 GetSaveWriteCount() const { return m_SaveWrites; }

    // Tutorial: -1 when none runs.
    static constexpr s32 kQuickTutorialEndDelay = 1000;
    static constexpr s32 kAchievementPopupDuration = 5000;
    s32 GetTutorialStep() const { return m_TutorialStep; }
    // Shows "skip_tutorial" and advances to the step.
    void SetTutorialStep(s32 step);
    void AdvanceTutorial();
    // Ends the tutorial, its tip fading out over the end delay (1000 ms when quick, else 5000).
    void EndTutorial(bool quick);
    void ShowSkipTutorialButton(bool shown);
    s32 GetTutorialEndDelay() const { return m_TutorialEndDelay; }
    bool IsSkipTutorialQuestionShown() const { return m_SkipTutorialShown != 0; }
    const CClip* GetTutorialClip() const { return m_TutorialClip.get(); }
    // The tip's alpha in this frame's drawing.
    s32 GetTutorialTipAlpha() const;
    // The skip question's answer: yes ends the tutorial at once and asks the quest to save.
    void AnswerSkipTutorial(bool yes);
    // Achievements: a1..a15 of the current profile, 1001 when awarded.
    void AwardAchievement(const char* name);
    void ShowDetectiveAchievement();
    bool IsAchievementPopupShown() const { return m_AchievementPopupShown != 0; }
    s32 GetAchievementPopupElapsed() const { return m_PopupElapsed; }
    const CClip* GetAchievementClip() const { return m_AchievementClip.get(); }

    // Accessors for the HUD, minigames, front end and game commands.
    CHud& GetHud() const { return *m_Hud; }
    CSceneStack& GetSceneStack() const { return *m_SceneStack; }
    CMinigameManager& GetMinigameHost() const { return *m_MinigameHost; }
    CCursorChoice& GetCursorChoice() const { return *m_CursorChoice; }
    // Busy: the plain pointer wins everywhere while an animation command runs.
    void SetCursorChoiceBusy(bool busy);
    // The template's "skip_btn", null when the template lacks it.
    lv::gui::CBaseWidget* GetSkipButton() const { return m_SkipButton; }
    CCutscenePlayer& GetCutscenePlayer() const { return *m_CutscenePlayer; }
    CBackgroundSounds& GetBackgroundSounds() const { return *m_BackgroundSounds; }
    CLevelMusic& GetLevelMusic() const { return *m_LevelMusic; }
    // Stops the current music track; the playlist goes on at random at its next update.
    void StopMusic();
    CHogPopupCommands& GetHogPopupCommands() const { return *m_HogPopupCommands; }
    qe::CQuest* GetQuest() const { return m_Quest.get(); }
    s32 GetGameMode() const { return m_GameMode; }
    bool IsStarted() const { return m_Started != 0; }
    bool IsCheatMode() const { return m_CheatMode != 0; }
    bool IsGamePaused() const { return m_GamePaused != 0; }
    bool IsPauseMenuOpen() const { return m_PauseMenuOpen != 0; }
    void SetPopupClipping(bool clip) { m_PopupClipping = clip ? 1 : 0; }
    bool GetPopupClipping() const { return m_PopupClipping != 0; }
    bool IsSkipRequested() const { return m_SkipPressed != 0; }
    void ClearSkipRequest() { m_SkipPressed = 0; }
    const CPoint2i& GetCommandPoint() const { return m_CommandPoint; }
    void SetCommandPoint(const CPoint2i& point) { m_CommandPoint = point; }
    const CVector2& GetLastMouseDown() const { return m_LastMouseDown; }
    s32 GetAutosaveCountdown() const { return m_AutosaveCountdown; }
    void PlayCutscene(const char* id);
    bool IsCutscenePlaying() const;
    // The pause menu calls it when it closes.
    void OnPauseMenuClosed();

private:
    struct SSyncedAnimation
    {
        CFixedString SoundName;
        qe::CVideoObject* Video = nullptr;
        s32 Period = 0;
        s32 Elapsed = 0;
        // Set once a period-less entry has played its sound.
        bool Played = false;
    };

    // Template children, null when the template lacks them.
    lv::gui::CBaseWidget* FindTemplateChild(const char* name);
    void PlaceBackButton();
    void PlaceSkipButtons();
    void UpdateMenuBackgrounds(bool keepHudMode6);
    void MoveToNextLevel();
    void UpdateSyncedAnimations(s32 delta);
    void UpdateTransition(s32 now, s32 delta);
    void OpenPendingScene();
    bool HandleClick(const CPoint2i& point);
    // The running hidden-object search keeps scene clicks while its popup is open or its
    // completion message waits.
    bool IsHogHoldingInput() const;
    bool PassTutorialFilter(const CPoint2i& point, bool& result);
    void RefreshCursor();
    void SetQuest(qe::CQuest* quest);
    // Shows the main menu as the root with those arguments.
    void ShowMainMenu(bool a, bool b, bool c, bool d);
    void LoadLevelMedia(qe::CScene* scene);
    static bool CopySaveFile(const WString& from, const WString& to);
    // Both image buffers sized for the current quest, zeroed, and no image ready.
    void ResetSaveImage();

    std::vector<SSyncedAnimation> m_SyncedAnimations;
    u8 m_SyncedSoundsPaused = 0;
    std::unique_ptr<qe::CQuest> m_Quest;
    s32 m_GameMode = -1;
    std::unique_ptr<CSceneStack> m_SceneStack;
    std::unique_ptr<CMinigameManager> m_MinigameHost;
    std::unique_ptr<CCursorChoice> m_CursorChoice;
    std::unique_ptr<CHud> m_Hud;
    u8 m_PauseMenuOpen = 0;
    s32 m_OpenCountdown = 0;
    s32 m_FadeOutStart = -1;
    s32 m_FadeInStart = -1;
    s32 m_FadeLevel = 0;
    CFixedString m_CurrentLocation;
    u8 m_SkipPressed = 0;
    CPoint2i m_CommandPoint;
    s32 m_TutorialStep = -1;
    std::unique_ptr<CClip> m_TutorialClip;
    s32 m_TutorialEndDelay = 0;
    s32 m_SkipTutorialShown = 0;
    std::unique_ptr<CLevelMusic> m_LevelMusic;
    CVector2 m_LastMouseDown;
    u8 m_PopHudModeOnOpen = 0;
    u8 m_GamePaused = 0;
    std::unique_ptr<CHogPopupCommands> m_HogPopupCommands;
    qe::CByteBuffer m_SaveImage;
    // Where the next image is built; swapped with the image once the build succeeded.
    qe::CByteBuffer m_SaveWork;
    u8 m_ImageReady = 0;
    // Set while a saved game loads: the quest's save requests then build nothing.
    u8 m_Loading = 0;
    u8 m_PopupClipping = 0;
    s32 m_AutosaveCountdown = kAutosaveInterval;
    u8 m_LevelCompleted = 0;
    s32 m_RequestedQuestIndex = -1;
    u8 m_ScriptsPausedLastFrame = 0;
    u8 m_CheatMode = 0;
    std::unique_ptr<qe::CSceneView> m_SpareView;
    CFixedString m_PendingScene;
    std::unique_ptr<CCutscenePlayer> m_CutscenePlayer;
    std::unique_ptr<CBackgroundSounds> m_BackgroundSounds;
    u8 m_Started = 0;
    u8 m_AchievementPopupShown = 0;
    s32 m_PopupElapsed = 0;
    s32 m_PopupDuration = 0;
    std::unique_ptr<CClip> m_AchievementClip;
    s32 m_MenuBackgroundIndex = 0;
    s32 m_SaveRequests = 0;
    s32 m_SaveWrites = 0;
    // Template children looked up once; null when absent.
    lv::gui::CBaseWidget* m_SkipTutorialButton = nullptr;
    lv::gui::CBaseWidget* m_SkipButton = nullptr;
    lv::gui::CBaseWidget* m_MenuButton = nullptr;
    lv::gui::CBaseWidget* m_BackButton = nullptr;
    lv::gui::CBaseWidget* m_MenuBackgrounds[3] = {nullptr, nullptr, nullptr};
};

} // namespace game
