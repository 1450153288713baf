#pragma once
// "play_animation" (object path[, play time in ms]): restarts the object's animation and waits
// the play time, or else the animation's own length. An object that does not animate (an area
// or a group) finishes the command at once, as a missing one does.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe::scripts {

class CPlayAnimationCommand : public CCommandBase
{
public:
    CPlayAnimationCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    void Update() override;

private:
    s32 m_Left = 0;
};

} // namespace qe::scripts
