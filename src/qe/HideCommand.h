#pragma once
// "hide" (object path[, fade time in ms]): hides the object at once or fades it out first.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe::scripts {

class CHideCommand : public CCommandBase
{
public:
    CHideCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    void Update() override;

private:
    void Complete();

    s32 m_Total = 0;
    s32 m_Left = 0;
    CSceneObject* m_Object = nullptr;
};

} // namespace qe::scripts
