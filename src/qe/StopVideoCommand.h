#pragma once
// "stop_video" (object name): stops the video object of that name in the command's scene.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe::scripts {

class CStopVideoCommand : public CCommandBase
{
public:
    CStopVideoCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    void Update() override {}
};

} // namespace qe::scripts
