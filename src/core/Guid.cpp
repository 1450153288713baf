#include "core/Guid.h"

namespace lv::core {

u64 ParseGuid(std::string_view text)
{
    u64 guid = 0;
    for (size_t i = 0; i < text.size() && i < 11; ++i)
    {
        const char c = text[i];
        u64 digit = 0;
        if (c >= '/' && c <= '9')
            digit = static_cast<u64>(c - '/');
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<u64>(c - 'A') + 11;
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<u64>(c - 'a') + 37;
        else if (c == '+')
            digit = 63;
        guid |= digit << (6 * i);
    }
    return guid;
}

} // namespace lv::core
