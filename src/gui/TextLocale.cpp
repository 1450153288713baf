#include "gui/TextLocale.h"

#include <stdexcept>

namespace lv::gui {

namespace {

std::locale& HeldTextLocale()
{
    static std::locale locale = [] {
        try {
            return std::locale("");
        } catch (const std::runtime_error&) {
            return std::locale::classic();
        }
    }();
    return locale;
}

bool IsTextClass(u16 unit, std::ctype_base::mask mask)
{
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return false;
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(HeldTextLocale());
    return ctype.is(mask, static_cast<wchar_t>(unit));
}

} // namespace

const std::locale& CTextLocale::Get()
{
    return HeldTextLocale();
}

void CTextLocale::Set(const std::locale& locale)
{
    HeldTextLocale() = locale;
}

bool CTextLocale::IsAlnum(u16 unit)
{
    return IsTextClass(unit, std::ctype_base::alnum);
}

bool CTextLocale::IsPunct(u16 unit)
{
    return IsTextClass(unit, std::ctype_base::punct);
}

} // namespace lv::gui
