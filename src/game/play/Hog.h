#pragma once
// A hidden-object search: a minigame over a cluttered scene that draws the bottom panel with the
// items to find, takes the items the player clicks, shows an optional popup scene in a small
// frame with items and mechanisms of its own, and returns to the previous scene when every item
// is found or the player clicks the panel's leave area.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "game/play/HogPopupRunner.h"
#include "game/play/Minigame.h"

#include <memory>
#include <vector>

namespace lv::graphics {
class CFont;
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace qe {
class CScene;
class CSceneObject;
} // namespace qe

namespace game {

class CHogItemList;

class CHog : public CMinigame
{
public:
    // Popup frame margins, shared with the miniscene frame.
    static constexpr s32 kFrameLeft = 17;
    static constexpr s32 kFrameTop = 18;
    static constexpr s32 kFrameRight = 41;
    static constexpr s32 kFrameBottom = 33;
    static constexpr s32 kStateVersion = 4;
    // Saved bytes: tag, version, view flag and the item list's state.
    static constexpr s32 kStateSize = 196;

    CHog();
    ~CHog() override;

    void Load() override;
    qe::CSceneObject* GetHintObject(const char* activeObject) override;
    void Activate(qe::CSceneView* view) override;
    void Update() override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    bool OnMouseDown(const CPoint2i& point) override;
    bool OnMouseMove(const CPoint2i& point) override;
    void Layout() override;
    void SaveState(qe::CBinaryWriter& writer) override;
    bool LoadState(qe::CBinaryReader& reader) override;
    // The scripted click: with adjust false the point is already in scene coordinates.
    virtual bool ClickAt(s32 x, s32 y, bool adjust);

    // The search that ran Update last; null before any and once it is destroyed.
    static CHog* GetInstance();

    bool IsPopupActive() const { return m_PopupOpen; }
    // The completion message waits for its button.
    bool IsInputBlocked() const;
    CPoint2i GetPopupOrigin() const;
    qe::CSceneObject* GetPopupArea() const { return m_PopupArea; }
    void GetHintPoint(qe::CSceneObject* object, bool& direct, CVector2& point);
    bool HasPopupHintCandidate();
    qe::CSceneObject* FindHintItem(qe::CSceneObject*& second);
    void CountHintUse();
    void Leave(bool popHudMode, bool checkAchievement);

    void OpenPopup() { m_PopupOpen = true; }
    void ClosePopup() { m_PopupOpen = false; }

    CHogItemList& GetItemList() { return *m_ItemList; }
    CHogPopupRunner& GetPopupRunner() { return m_PopupRunner; }
    lv::graphics::CFont* GetFont() const { return m_Font; }
    const CPoint2i& GetLayoutSize() const { return m_LayoutSize; }
    const CIntRect& GetLeaveArea() const { return m_LeaveArea; }
    const CIntRect& GetFrameRect() const { return m_FrameRect; }
    const CIntRect& GetCloseRect() const { return m_CloseRect; }
    s32 GetCloseState() const { return m_CloseState; }
    s32 GetHogIndex() const { return m_HogIndex; }
    qe::CScene* GetPreviousScene() const { return m_PreviousScene; }
    qe::CScene* GetPopupScene() const { return m_PopupScene; }
    lv::graphics::CImageHandle* GetPanelImage() const { return m_PanelImage; }
    bool IsTextureListView() const { return m_TextureListView; }
    const std::vector<qe::CSceneObject*>& GetPopupObjects() const { return m_PopupObjects; }

private:
    // Mouse point to scene point: the scene is 1366 wide and centred on the layout.
    s32 SceneShift() const;
    bool PopupHasActivateEntries();
    bool HandlePopupClick(const CVector2& p);
    bool HandlePopupMove(const CVector2& p);
    void DrawPopupObject(lv::graphics::CRenderer& renderer, qe::CSceneObject* object, const CVector2& offset);
    void ResetHudHint();
    void RequestSave();

    std::unique_ptr<CHogItemList> m_ItemList;
    CPoint2i m_LayoutSize;
    qe::CScene* m_PreviousScene = nullptr;
    s32 m_HogIndex = 0;
    lv::graphics::CImageHandle* m_PanelImage = nullptr;
    lv::graphics::CFont* m_Font = nullptr;
    CIntRect m_LeaveArea;
    qe::CSceneObject* m_PopupArea = nullptr;
    qe::CScene* m_PopupScene = nullptr;
    bool m_PopupOpen = false;
    lv::graphics::CImageHandle* m_FrameImage = nullptr;
    lv::graphics::CImageHandle* m_CloseImages[2] = {nullptr, nullptr};
    s32 m_CloseState = 0;
    CIntRect m_FrameRect;
    CIntRect m_CloseRect;
    std::vector<qe::CSceneObject*> m_PopupObjects;
    bool m_AdjustClicks = true;
    bool m_TextureListView = false;
    CHogPopupRunner m_PopupRunner;
    // The missing previous scene is reported once per search.
    bool m_ReportedNoPrevious = false;
};

} // namespace game
