#include "qe/ParallelCommand.h"

#include "qe/CommandFactory.h"

namespace qe::scripts {

CParallelCommand::CParallelCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    CCommandRecord child = record.GetFirstChild();
    for (u32 i = 0; i < record.GetChildCount(); ++i, child = child.GetNextSibling()) {
        std::unique_ptr<CCommandBase> command(CCommandFactory::Instance().Create(child, scene, widget));
        if (command && !command->IsFinished())
            m_Children.push_back(std::move(command));
    }
    if (m_Children.empty())
        Finish();
}

CParallelCommand::~CParallelCommand() = default;

void CParallelCommand::Update()
{
    if (IsFinished())
        return;
    for (size_t i = 0; i < m_Children.size();) {
        m_Children[i]->Update();
        if (m_Children[i]->IsFinished())
            m_Children.erase(m_Children.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
    }
    if (m_Children.empty())
        Finish();
}

} // namespace qe::scripts
