#pragma once
// The views of the story's scenes: the main view of the current location (fit to the design
// size, centred) and the miniscenes stacked on it. Opens and closes scenes by name for the HUD,
// the minigames and the game commands, passes clicks and hover to the top view and draws the
// stack.
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <array>
#include <memory>

namespace lv::graphics {
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace qe {
class CQuest;
class CScene;
class CSceneView;
} // namespace qe

namespace game {

class CGameWindow;
class CMinisceneView;

class CSceneStack
{
public:
    static constexpr u32 kMaxMiniscenes = 5;

    CSceneStack();
    ~CSceneStack();
    CSceneStack(const CSceneStack&) = delete;
    CSceneStack& operator=(const CSceneStack&) = delete;

    // How far the 1366-pixel scene lies left of a narrower layout: (1366 - W) / 2.
    static s32 GetSceneShift();

    // A layout point in the top view's scene.
    CVector2 ToScene(const CPoint2i& point) const;

    void SetQuest(qe::CQuest* quest, CGameWindow* window);
    qe::CQuest* GetQuest() const { return m_Quest; }

    // Finds the scene in the quest and shows it; "Error" / "Scene not found: '%s'." otherwise.
    void OpenScene(const char* name);
    void ShowScene(qe::CScene* scene);
    void CloseScene(const char* name);
    void CloseSceneView(qe::CScene* scene);

    // The top open miniscene view, else the main view.
    qe::CSceneView* GetTopView() const;
    qe::CSceneView* GetMainView() const { return m_MainView.get(); }
    s32 GetMinisceneCount() const { return static_cast<s32>(m_MinisceneCount); }
    // The open miniscene view at that place (0 the lowest), or null.
    CMinisceneView* GetMinisceneView(s32 index) const;
    // The top open miniscene view, or null when only the main scene shows.
    CMinisceneView* GetTopMinisceneView() const;

    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    void Layout();

    // Point in design (layout) coordinates; false while the scripts are paused.
    bool HandleClick(const CPoint2i& point, const char* cursorObjectName);
    bool UpdateHover(const CPoint2i& point, const char* cursorObjectName);
    bool HandleMouseUp(const CPoint2i& point) const;

private:
    // Empties the open view at that place; the views above it move down one place.
    void CloseViewAt(u32 index);
    // A layout point in the 1366-wide design space the views are laid out in.
    static CPoint2i ToDesign(const CPoint2i& point);

    qe::CQuest* m_Quest = nullptr;
    CGameWindow* m_Window = nullptr;
    std::unique_ptr<qe::CSceneView> m_MainView;
    // Held by pointer so a closing view's upper neighbours keep their state when they move down.
    std::array<std::unique_ptr<CMinisceneView>, kMaxMiniscenes> m_Miniscenes;
    u32 m_MinisceneCount = 0;
    lv::graphics::CImageHandle* m_Veil = nullptr;
};

} // namespace game
