#pragma once
// "show" (object path[, fade time in ms]): shows a hidden object at once or fades it in.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe::scripts {

class CShowCommand : public CCommandBase
{
public:
    CShowCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    void Update() override;

private:
    s32 m_Total = 0;
    s32 m_Left = 0;
    CSceneObject* m_Object = nullptr;
};

} // namespace qe::scripts
