#pragma once
// The developer overlay's markers on the objects of action and scene blocks (ready or not) and
// of minigames that offer one, kept from the blocks' readiness reports whether it is on or not.
// While on, it draws the markers over the scene, shows a block's id on hover and fires a block
// whose marker is clicked.
#include "core/Point2i.h"
#include "core/Types.h"
#include "qe/Cheat.h"

#include <memory>
#include <vector>

namespace lv::core {
class CFontManager;
}

namespace lv::graphics {
class CFont;
class CRenderer;
} // namespace lv::graphics

namespace qe::scripts {

class CActionBlock;
class CBlockBase;
class CMinigameBlock;
class CSceneBlock;
class CScriptSet;

class CCheatOverlay
{
public:
    using CMarkers = std::vector<std::unique_ptr<CCheat>>;

    explicit CCheatOverlay(CScriptSet* set = nullptr) : m_Set(set) {}

    void SetActionReady(CActionBlock* block, bool ready);
    void SetSceneReady(CSceneBlock* block, bool ready);
    void SetMinigameReady(CMinigameBlock* block, bool ready);
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }
    // Both by block identity.
    const CMarkers& GetReadyMarkers() const { return m_Ready; }
    const CMarkers& GetOtherMarkers() const { return m_Other; }

    // In scene coordinates, after the scene's objects.
    void Draw(lv::graphics::CRenderer& renderer) const;
    // True when the point is over a marker (the cursor is then not classified).
    bool OnMouseMove(const CPoint2i& point);
    // True when a marker was clicked and its block fired.
    bool OnClick(const CPoint2i& point);

    // "cheatfont", looked up at its first use and then kept for the run; when it is missing a
    // warning is shown once and hovering stays off.
    static const lv::graphics::CFont* GetCheatFont();
    // The font manager the font is taken from (the process-wide one when null); the font is
    // looked up again at its next use.
    static void SetFontManager(lv::core::CFontManager* fonts);

private:
    void SetReady(CBlockBase* block, CSceneObject* object, bool ready);
    void AddMarker(CMarkers& list, CBlockBase* block, CSceneObject* object, bool ready);
    static void RemoveMarker(CMarkers& list, const CBlockBase* block);
    // What a use of the block's object would do, from outside its inputs.
    void Fire(CBlockBase* block);

    CScriptSet* m_Set = nullptr;
    bool m_Enabled = false;
    CMarkers m_Ready;
    CMarkers m_Other;
};

} // namespace qe::scripts
