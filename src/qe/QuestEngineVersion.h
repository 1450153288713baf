#pragma once
// The quest engine's version text, one line of the program's "--version" box.
#include "core/Types.h"

namespace qe {

void GetQuestEngineVersion(WString& version);

} // namespace qe
