#pragma once
// "sleep" (time in ms): waits that much frame time; below 0.1 it finishes at once.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe::scripts {

class CSleepCommand : public CCommandBase
{
public:
    CSleepCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    void Update() override;

private:
    s32 m_Left = 0;
};

} // namespace qe::scripts
