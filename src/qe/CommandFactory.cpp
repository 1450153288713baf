#include "qe/CommandFactory.h"

#include "core/MessageBox.h"
#include "qe/HideCommand.h"
#include "qe/ParallelCommand.h"
#include "qe/PlayAnimationCommand.h"
#include "qe/PlaySoundCommand.h"
#include "qe/SequenceCommand.h"
#include "qe/ShowCommand.h"
#include "qe/SleepCommand.h"
#include "qe/StopVideoCommand.h"

namespace qe::scripts {

namespace {

template <typename T>
CCommandBase* MakeBuiltInCommand(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget)
{
    return new T(record, scene, widget);
}

} // namespace

CCommandFactory& CCommandFactory::Instance()
{
    static CCommandFactory factory;
    return factory;
}

CCommandFactory::CCommandFactory()
{
    Register("hide", &MakeBuiltInCommand<CHideCommand>);
    Register("show", &MakeBuiltInCommand<CShowCommand>);
    Register("sleep", &MakeBuiltInCommand<CSleepCommand>);
    Register("play_sound", &MakeBuiltInCommand<CPlaySoundCommand>);
    Register("play_animation", &MakeBuiltInCommand<CPlayAnimationCommand>);
    Register("stop_video", &MakeBuiltInCommand<CStopVideoCommand>);
}

void CCommandFactory::Register(const char* name, Factory factory)
{
    if (name)
        m_Factories[name] = factory;
}

std::vector<std::string> CCommandFactory::GetNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_Factories)
        names.push_back(entry.first);
    return names;
}

CCommandBase* CCommandFactory::Create(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget) const
{
    switch (record.GetType()) {
    case CCommandRecord::kParallel:
        return new CParallelCommand(record, scene, widget);
    case CCommandRecord::kSequence:
        return new CSequenceCommand(record, scene, widget);
    default:
        break;
    }
    const char* name = record.GetName().GetText();
    const auto it = m_Factories.find(std::string_view(name));
    if (it == m_Factories.end() || !it->second) {
        lv::core::ShowMessageBoxF("Error", "Command is not registered: '%s'", name);
        return nullptr;
    }
    return it->second(record, scene, widget);
}

} // namespace qe::scripts
