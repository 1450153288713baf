#pragma once
// The strip of item cells at the bottom of the screen: slides up when the pointer reaches it,
// holds up to 20 items taken from the scenes, puts a clicked item on the cursor and scrolls
// sideways when more than five are shown. Items fly into their cells.
#include "core/FixedString.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <memory>

class CClip;

namespace lv::graphics {
class CFont;
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CQuest;
class CScene;
class CSceneObject;
} // namespace qe

namespace game {

class CHud;
class CHudCursorItem;
class CSceneStack;

class CHudInventory
{
public:
    static constexpr s32 kCellCount = 20;
    static constexpr s32 kFlightCount = 4;
    static constexpr s32 kCellWidth = 90;
    static constexpr s32 kStripHeight = 54;
    static constexpr s32 kSaveSize = 10224;
    // Action and text searches that can be open at once.
    static constexpr s32 kSearchSlots = 3;

    enum EState : s32
    {
        kOpen = 0,
        kClosed = 1,
        kClosing = 2,
        kOpening = 3,
        kUnavailable = 4,
    };
    enum EMode : s32
    {
        kModeNormal = 0,
        kModeActionSearch = 1,
        kModeTextSearch = 2,
        kModeInteractive = 3,
    };
    enum EKind : s32
    {
        kKindOrdinary = 0,
        kKindInteractive = 1,
        kKindComposite = 2,
    };

    struct CCell
    {
        qe::CSceneObject* Object = nullptr;
        CFixedString Name;
        s32 Count = 0;
        s32 Kind = kKindOrdinary;
        qe::CSceneObject* Shown = nullptr;
        bool InFlight = false;
        // Action-search entries only: the group's "__inv" and "outline" image children.
        qe::CSceneObject* Found = nullptr;
        qe::CSceneObject* Outline = nullptr;
    };
    // The outlined objects to find in one scene; an empty scene name marks a free slot.
    struct CActionSearch
    {
        CFixedString Scene;
        s32 EntryCount = 0;
        CCell Entries[kCellCount];
    };
    // A task text and how many objects are still to find; a count of 0 marks a free slot.
    struct CTextSearch
    {
        CFixedString Scene;
        s32 Remaining = 0;
        s32 TextId = 0;
    };
    struct CFlight
    {
        CVector2 Position;
        qe::CSceneObject* Object = nullptr;
    };

    CHudInventory();
    ~CHudInventory();
    CHudInventory(const CHudInventory&) = delete;
    CHudInventory& operator=(const CHudInventory&) = delete;

    void Attach(CHud* hud, CHudCursorItem* cursorItem, CSceneStack* sceneStack);
    void Layout();
    void ReloadSkin();
    void ResetForLevel();
    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    bool OnClick(const CVector2& point);
    bool OnMouseMove(const CVector2& point);
    void SetAlpha(u16 alpha);

    void AddItem(qe::CSceneObject* object, bool animate);
    void AddInteractiveItem(qe::CSceneObject* object, const CFixedString& sceneName);
    bool RemoveItem(qe::CSceneObject* object);
    qe::CSceneObject* GetInventoryImage(qe::CSceneObject* object) const;

    void Open(bool pinned);
    void Close();
    void SetAvailable(bool available) { m_State = available ? kClosed : kUnavailable; }
    void SetEnabled(bool enabled) { m_Disabled = !enabled; }
    bool IsEnabled() const { return !m_Disabled; }
    void AddInputDelay(s32 ms);
    s32 GetInputDelay() const { return m_KeyDelay; }
    void LandFlyingItems();
    bool HitTestPanel(const CVector2& point) const;

    s32 GetMode() const { return m_Mode; }
    // Switches the look: 0 normal, 2 text search, anything else an action search, each of the
    // scene named (null: none). Starts or resumes that scene's search and asks for a save.
    void SetMode(s32 mode, const char* sceneName);
    // Stores the mode alone; the interactive mode is otherwise entered by clicking its item.
    void SetModeValue(s32 mode) { m_Mode = mode; }
    // Ends the running search: the reward goes into the inventory and the HUD's popup shows it
    // with the scene to open next.
    void FinishHogMode(qe::CSceneObject* reward, const char* nextScene);
    void DecrementTextHogCount();
    // The keys ring's panel of single keys ("keys_clip").
    void OpenKeysPanel();
    void CloseKeysPanel();
    bool IsKeysPanelShown() const { return m_KeysClip != nullptr; }
    s32 GetSelectedKey() const { return m_SelectedKey; }
    s32 GetCurrentActionSearch() const { return m_CurrentAction; }
    s32 GetCurrentTextSearch() const { return m_CurrentText; }
    const CActionSearch& GetActionSearch(s32 slot) const { return m_ActionSearches[slot]; }
    const CTextSearch& GetTextSearch(s32 slot) const { return m_TextSearches[slot]; }
    s32 GetState() const { return m_State; }
    bool IsCarrying() const;
    void ReleaseCarried();
    s32 GetShownCount() const;
    s32 GetHintItemCount() const;
    qe::CSceneObject* GetObjectAt(s32 index) const;
    const CCell* GetCellAt(s32 index) const;
    u32 GetItemCount() const { return m_ItemCount; }
    void ScrollTo(s32 index);
    void KeepVisible(bool release, s32 ms);
    void ClearFinishedSearch();
    const CFixedString& GetFinishedObjectPath() const { return m_FinishedObjectPath; }
    const CFixedString& GetFinishedScene() const { return m_FinishedScene; }
    float GetScrollOffset() const { return m_ScrollOffset; }
    const CVector2& GetBasePosition() const { return m_BasePosition; }
    CVector2 GetOrigin() const;
    float GetPanelHeight() const { return m_PanelHeight; }

    s32 GetSaveSize() const { return kSaveSize; }
    void Save(qe::CBinaryWriter& writer);
    bool Load(qe::CBinaryReader& reader, qe::CQuest& quest);

private:
    void ApplyModeLook();
    void RefreshTextSearchLabels();
    void LoadMainClip(const char* base, bool withLook);
    qe::CScene* FindSearchScene(const char* name) const;
    void StartTextSearch(const CFixedString& name, qe::CScene* scene);
    void StartActionSearch(const CFixedString& name, qe::CScene* scene);
    CActionSearch* GetCurrentAction();
    // The drawable cells of the mode: the current action search's entries, else the items.
    CCell* GetDrawableCells(s32* count);
    bool IsEntryShown(const CCell& entry) const;
    void OnCellClicked(CCell* cell, bool take);
    CCell* FindDrawableCell(const CVector2& point, s32* index);
    void StartFlight(qe::CSceneObject* object, const CVector2& from);
    CVector2 GetScreenPosition(qe::CSceneObject* object) const;
    void MoveClips(const CVector2& position, float time);
    s32 GetLookNumber() const;
    float GetMainClipHeight() const;

    CCell m_Cells[kCellCount];
    u32 m_ItemCount = 0;
    CFlight m_Flights[kFlightCount];
    s32 m_NextFlight = 0;
    bool m_Disabled = false;
    bool m_Pinned = false;
    s32 m_CloseDelay = 0;
    s32 m_State = kClosed;
    CHud* m_Hud = nullptr;
    CHudCursorItem* m_CursorItem = nullptr;
    CSceneStack* m_SceneStack = nullptr;
    std::unique_ptr<CClip> m_MainClip;
    std::unique_ptr<CClip> m_BackClip;
    CVector2 m_BasePosition;
    CVector2 m_SlideStart;
    float m_SlideStartY = 0.0f;
    float m_SlideEndY = 0.0f;
    s64 m_SlideStartTime = 0;
    bool m_Hover = false;
    CVector2 m_LastPointer;
    s32 m_HoveredIndex = -1;
    float m_ScrollOffset = 0.0f;
    s32 m_KeepVisibleIndex = -1;
    bool m_KeepVisible = false;
    s32 m_KeepVisibleTime = 0;
    CFixedString m_FinishedObjectPath;
    CFixedString m_FinishedScene;
    s32 m_Mode = kModeNormal;
    lv::graphics::CImageHandle* m_Marker = nullptr;
    lv::graphics::CFont* m_Font = nullptr;
    s32 m_SelectedInteractive = -1;
    s32 m_SelectedKey = -1;
    s32 m_KeyDelay = 0;
    float m_PanelHeight = 130.0f;
    CActionSearch m_ActionSearches[kSearchSlots];
    s32 m_CurrentAction = -1;
    CTextSearch m_TextSearches[kSearchSlots];
    s32 m_CurrentText = -1;
    std::unique_ptr<CClip> m_KeysClip;
};

} // namespace game
