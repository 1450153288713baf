#include "qe/PlaySoundCommand.h"

#include "sound/AudioManager.h"

namespace qe::scripts {

CPlaySoundCommand::CPlaySoundCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    const u32 count = record.GetArgumentCount();
    if (count != 1 && count != 2) {
        Finish();
        return;
    }
    const s32 duration = count == 2 ? IntegerOf(record.GetArgument(0)) : -1;
    m_Sound = GetAudioManager().Play(record.GetArgument(count - 1), -2.0f, -2.0f, -2, -2, -2.0f);
    if (duration == -1)
        Finish();
    else
        m_Left = duration;
}

void CPlaySoundCommand::Update()
{
    if (IsFinished())
        return;
    m_Left -= GetFrameDelta();
    if (m_Left <= 0) {
        GetAudioManager().StopSound(m_Sound, kStopFade);
        Finish();
    }
}

} // namespace qe::scripts
