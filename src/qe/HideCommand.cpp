#include "qe/HideCommand.h"

#include "qe/SceneObject.h"

#include <cstdlib>

namespace qe::scripts {

CHideCommand::CHideCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
    : CCommandBase(scene, widget)
{
    const u32 count = record.GetArgumentCount();
    if (count != 1 && count != 2) {
        Finish();
        return;
    }
    // The fade time itself decides whether to fade: 0.5 fades over no time, ending at the first
    // update.
    double fade = -1.0;
    if (count == 2) {
        fade = std::atof(record.GetArgument(1));
        m_Total = m_Left = MillisecondsOf(fade);
    }
    m_Object = FindObject(record.GetArgument(0));
    if (!m_Object || m_Object->HasFlags(CSceneObject::kHidden)) {
        Finish();
        return;
    }
    if (!(fade > 0.0))
        Complete();
    else
        m_Object->SetOpacity(1.0f);
}

void CHideCommand::Complete()
{
    m_Object->SetOpacity(-1.0f);
    m_Object->AddFlags(CSceneObject::kHidden);
    Finish();
}

void CHideCommand::Update()
{
    if (IsFinished())
        return;
    m_Left = CountDown(m_Left);
    if (m_Left == 0)
        Complete();
    else
        m_Object->SetOpacity(1.0f - static_cast<float>(m_Total - m_Left) / static_cast<float>(m_Total));
}

} // namespace qe::scripts
