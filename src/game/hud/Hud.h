#pragma once
// The in-game head-up display: holds every panel, wires them together and routes the game
// window's update, drawing, clicks and mouse moves to them by a stack of HUD modes. It also
// writes and reads the HUD section of the saved game.
#include "core/FixedString.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "game/hud/HudCursorItem.h"
#include "game/hud/HudHint.h"
#include "game/hud/HudInventory.h"
#include "game/hud/HudMap.h"
#include "game/hud/HudMessagePopup.h"
#include "game/hud/HudNotepad.h"
#include "game/hud/HudSpeechBubble.h"
#include "game/hud/HudSymbolCounter.h"
#include "game/hud/HudTaskList.h"

namespace lv::core {
class CTimeSystem;
}

namespace lv::graphics {
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CQuest;
class CSceneView;
} // namespace qe

namespace game {

class CGameWindow;
class CSceneStack;

class CHud
{
public:
    enum EMode : s32
    {
        kModeNormal = 1,
        kModeMinigame = 2,
        kModeHog = 3,
        kModeNotepad = 4,
        kModeMap = 5,
        kModeHidden = 9,
        kModePopup = 10,
    };
    static constexpr s32 kModeStackSize = 11;
    static constexpr s32 kSaveMarker = 0xABCD;

    CHud();
    ~CHud();
    CHud(const CHud&) = delete;
    CHud& operator=(const CHud&) = delete;

    // Called once by the game window after construction (null in tests without one).
    void Attach(CSceneStack* sceneStack);
    CSceneStack* GetSceneStack() const { return m_SceneStack; }
    // The game window that holds the HUD, null while none exists.
    static CGameWindow* GetGameWindow();

    void ResetForLevel();
    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    void Layout();
    void ReloadSkins();

    bool OnClick(const CVector2& point);
    bool OnMouseUp(const CVector2& point);
    bool OnMouseMove(const CVector2& point);
    void OnTopViewChanged(qe::CSceneView* view);

    void SetAlpha(u16 alpha);
    u16 GetAlpha() const { return m_Alpha; }
    void SetInputBlocked(bool blocked) { m_InputBlocked = blocked; }
    bool IsInputBlocked() const { return m_InputBlocked; }

    void PushMode(s32 mode);
    void PopMode();
    s32 GetMode() const { return m_Modes[m_ModeTop]; }
    s32 GetModeDepth() const { return m_ModeTop + 1; }

    void SetPendingScene(const CFixedString& name) { m_PendingScene = name; }
    const CFixedString& GetPendingScene() const { return m_PendingScene; }
    void SetPopupIcon(lv::graphics::CImageHandle* image);

    // The design screen (the renderer's source size; 1366 x 768 without an application) and
    // the clock the panels run on (the process-wide one unless a test sets its own).
    static CPoint2i GetScreenSize();
    static void SetFallbackScreenSize(s32 width, s32 height);
    static lv::core::CTimeSystem& GetClock();
    static void SetClock(lv::core::CTimeSystem* clock);
    // The pointer in design coordinates: the system's when a platform layer runs, else the
    // last one a mouse move reported.
    static CVector2 GetPointerPosition();
    static void SetPointerPosition(const CVector2& point);
    // The variant (0..3) of a style group of the current profile's looks; 0 without a profile.
    static s32 GetStyleVariant(s32 group);
    // The current profile's values the panels read and change (0 without a profile): its
    // difficulty, the collected count a1 (CountCollectible adds one to it and to the candies
    // c), whether a detective achievement (a2 or a3) is earned; and the store's save.
    static s32 GetDifficulty();
    static s32 GetCollectedCount();
    static void CountCollectible();
    static bool IsDetectiveAchievementEarned();
    static void SaveProfiles();
    // What the panels ask of the game window; nothing (or -1) while none exists.
    static s32 GetTutorialStep();
    static void SetTutorialStep(s32 step);
    static void RequestGameSave();
    // A modal message with only an OK button over the game window.
    static void ShowOkMessage(s32 textId);
    // The top scene view of a stack (null without one) and a scene point converted by it.
    static qe::CSceneView* GetTopView(const CSceneStack* sceneStack);
    static CVector2 SceneToScreen(const CSceneStack* sceneStack, const CVector2& point);

    s32 GetSaveSize() const;
    void Save(qe::CBinaryWriter& writer);
    bool Load(qe::CBinaryReader& reader, qe::CQuest& quest);

    CHudSpeechBubble& GetSpeechBubble() { return m_SpeechBubble; }
    CHudInventory& GetInventory() { return m_Inventory; }
    CHudNotepad& GetNotepad() { return m_Notepad; }
    CHudCursorItem& GetCursorItem() { return m_CursorItem; }
    CHudMap& GetMap() { return m_Map; }
    CHudSymbolCounter& GetSymbolCounter() { return m_SymbolCounter; }
    CHudMessagePopup& GetMessagePopup() { return m_MessagePopup; }
    CHudTaskList& GetTaskList() { return m_TaskList; }
    CHudHint& GetHint() { return m_Hint; }

private:
    // The game window's mode: 3 while play started from the extras.
    s32 GetGameMode() const;
    // True while the top scene belongs to the bonus quest.
    bool IsBonusQuestOnTop() const;
    void RunPopupAction();
    void DrawTail(lv::graphics::CRenderer& renderer);

    // The speech bubble comes first: the HUD's address is also the bubble's.
    CHudSpeechBubble m_SpeechBubble;
    CHudInventory m_Inventory;
    CHudNotepad m_Notepad;
    CHudCursorItem m_CursorItem;
    CHudMap m_Map;
    CHudSymbolCounter m_SymbolCounter;
    CHudMessagePopup m_MessagePopup;
    CHudTaskList m_TaskList;
    CHudHint m_Hint;
    bool m_InputBlocked = false;
    u16 m_Alpha = 255;
    s32 m_Modes[kModeStackSize] = {kModeNormal};
    s32 m_ModeTop = 0;
    CFixedString m_PendingScene;

    CSceneStack* m_SceneStack = nullptr;
};

} // namespace game
