#pragma once
// The base of the game's minigames: what the minigame host needs to run one inside a scene view
// (activation, frame update and draw, mouse input, layout, its own saved state, feedback).
#include "core/Point2i.h"
#include "qe/MinigameBase.h"

namespace lv::graphics {
class CRenderer;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CSceneView;
} // namespace qe

namespace game {

class MinigameHintFeedback;

class CMinigame : public qe::CMinigameBase
{
public:
    CMinigame() = default;
    ~CMinigame() override = default;

    qe::CSceneObject* GetHintObject(const char* activeObject) override;
    void Skip() override {}

    virtual void Activate(qe::CSceneView* view);
    virtual void Deactivate() {}
    virtual void Update() {}
    virtual void Draw(lv::graphics::CRenderer& renderer);
    // Layout coordinates; true when the minigame takes the event (all of them by default).
    virtual bool OnMouseDown(const CPoint2i& point);
    virtual bool OnMouseUp(const CPoint2i& point);
    virtual bool OnMouseMove(const CPoint2i& point);
    // Recomputes what depends on the layout size.
    virtual void Layout() {}
    virtual void SaveState(qe::CBinaryWriter& writer);
    virtual bool LoadState(qe::CBinaryReader& reader);
    virtual void ShowFeedback() {}

    bool IsActive() const { return m_Active; }
    qe::CSceneObject* GetStoredHintObject() const { return m_HintObject; }

protected:
    // Reads the block's arguments the way every minigame does: a key containing "hint_obj" names
    // the hint object in the minigame's scene, one containing "feedback" the feedback text id.
    // Later keys win.
    void ReadHintArguments(MinigameHintFeedback* feedback);

    bool m_Active = false;
    qe::CSceneObject* m_HintObject = nullptr;
};

} // namespace game
