#include "core/FrameworkVersion.h"

namespace lv::core {

WString GetFrameworkVersion()
{
    return u"Lumivane Framework 1.4.2:14138 (stable, branches)";
}

} // namespace lv::core
