#pragma once
// The command registry: command names of the quest script mapped to factory functions. The
// engine registers its built-in commands on first use; the game adds its own at start-up, before
// the scripts run. A name registered again replaces the earlier factory.
#include "core/Types.h"
#include "qe/CommandRecord.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lv::gui {
class CBaseWidget;
}

namespace qe {
class CScene;
}

namespace qe::scripts {

class CCommandBase;

class CCommandFactory
{
public:
    // A new command from its record, or null.
    using Factory = CCommandBase* (*)(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget);

    // The process-wide registry: "hide", "show", "sleep", "play_sound", "play_animation" and
    // "stop_video" are registered when it is first used.
    static CCommandFactory& Instance();

    void Register(const char* name, Factory factory);
    bool IsRegistered(std::string_view name) const { return m_Factories.find(name) != m_Factories.end(); }
    // The registered names in their order.
    std::vector<std::string> GetNames() const;

    // The node of one command record: a sequence or parallel node, or the named command made by
    // its factory. Null, with an "Error" report, for a name nobody registered. The caller owns
    // the result.
    CCommandBase* Create(const CCommandRecord& record, CScene* scene, lv::gui::CBaseWidget* widget) const;

private:
    CCommandFactory();

    std::map<std::string, Factory, std::less<>> m_Factories;
};

} // namespace qe::scripts
