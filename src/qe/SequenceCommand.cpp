#include "qe/SequenceCommand.h"

#include "qe/CommandFactory.h"

namespace qe::scripts {

CSequenceCommand::CSequenceCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget), m_Next(record.GetFirstChild()), m_Remaining(record.GetChildCount())
{
    if (m_Remaining > 0)
        StartNext();
    if (m_Remaining == 0)
        Finish();
}

CSequenceCommand::~CSequenceCommand() = default;

void CSequenceCommand::StartNext()
{
    while (m_Remaining > 0) {
        const CCommandRecord record = m_Next;
        m_Next = record.GetNextSibling();
        std::unique_ptr<CCommandBase> command(CCommandFactory::Instance().Create(record, GetScene(), GetWidget()));
        if (command && !command->IsFinished()) {
            m_Current = std::move(command);
            return;
        }
        if (--m_Remaining == 0)
            Finish();
    }
}

void CSequenceCommand::Update()
{
    if (IsFinished() || !m_Current)
        return;
    m_Current->Update();
    if (!m_Current->IsFinished())
        return;
    m_Current.reset();
    if (--m_Remaining == 0)
        Finish();
    else
        StartNext();
}

} // namespace qe::scripts
