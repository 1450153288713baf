#include "qe/SleepCommand.h"

#include <cstdlib>

namespace qe::scripts {

CSleepCommand::CSleepCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    const double time = record.GetArgumentCount() == 1 ? std::atof(record.GetArgument(0)) : 0.0;
    if (!(time >= 0.1)) {
        Finish();
        return;
    }
    m_Left = MillisecondsOf(time);
}

void CSleepCommand::Update()
{
    if (IsFinished())
        return;
    m_Left = CountDown(m_Left);
    if (m_Left == 0)
        Finish();
}

} // namespace qe::scripts
