#pragma once
// The character classes of the user's default locale for text entry: the environment's
// LC_CTYPE locale, read once, without touching the process's global locale. Each UTF-16 unit of
// the basic plane counts as its code point; surrogates are neither alphanumeric nor punctuation.
#include "core/Types.h"

#include <locale>

namespace lv::gui {

class CTextLocale
{
public:
    // The classic locale when the environment names none or an unknown one.
    static const std::locale& Get();
    // Replaces the locale used from now on (tests pick the one they need).
    static void Set(const std::locale& locale);
    static bool IsAlnum(u16 unit);
    static bool IsPunct(u16 unit);
};

} // namespace lv::gui
