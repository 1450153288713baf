#pragma once
// Runs the children of a parallel node together and finishes when the last one has.
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

#include <memory>
#include <vector>

namespace qe::scripts {

class CParallelCommand : public CCommandBase
{
public:
    CParallelCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);
    ~CParallelCommand() override;

    void Update() override;

private:
    // Running children in creation order.
    std::vector<std::unique_ptr<CCommandBase>> m_Children;
};

} // namespace qe::scripts
