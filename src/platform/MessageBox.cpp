#include "platform/MessageBox.h"

#include <cstdio>

namespace lv::platform {

int ShowSystemMessageBox(const char* caption, const char* text)
{
    // Until the window layer exists there is no display to show a box on.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
    return kIdOk;
}

} // namespace lv::platform
