#pragma once
// "play_sound" (name) or (duration in ms, name): starts the sound; with a duration other than
// -1 it stops the sound with a 300 ms fade when that time has passed.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe::scripts {

class CPlaySoundCommand : public CCommandBase
{
public:
    static constexpr float kStopFade = 300.0f;

    CPlaySoundCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    void Update() override;

private:
    s64 m_Left = 0;
    s32 m_Sound = 0;
};

} // namespace qe::scripts
