#pragma once
// Runs the children of a sequence node one after the other; a child that finishes at once (or
// cannot be made) lets the next one start in the same step.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

#include <memory>

namespace qe::scripts {

class CSequenceCommand : public CCommandBase
{
public:
    CSequenceCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);
    ~CSequenceCommand() override;

    void Update() override;

private:
    void StartNext();

    CCommandRecord m_Next;
    u32 m_Remaining = 0;
    std::unique_ptr<CCommandBase> m_Current;
};

} // namespace qe::scripts
