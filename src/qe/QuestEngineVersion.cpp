#include "qe/QuestEngineVersion.h"

namespace qe {

void GetQuestEngineVersion(WString& version)
{
    version = u"Lumivane Framework Quest Engine 2.1.2:14090 (stable, branches)";
}

} // namespace qe
