#include "core/SystemInfo.h"

#include "core/TextConvert.h"
#include "platform/SystemInfo.h"

#include <cstring>

namespace lv::core {

s32 GetProcessorCount()
{
    return lv::platform::GetProcessorCount();
}

bool LanguageCodeFromLocale(std::string_view locale, std::string& code)
{
    const size_t end = locale.find_first_of("_.@");
    const std::string_view name = locale.substr(0, end);
    if (name.size() < 2 || name.size() > 3)
        return false; // also "C" and the empty name
    std::string out;
    for (char c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c < 'a' || c > 'z')
            return false; // "POSIX" is caught by its length
        out.push_back(c);
    }
    code = std::move(out);
    return true;
}

bool GetCurrentUserPreferredLanguage(char* code)
{
    std::string locale;
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = lv::platform::GetEnvironmentValue(variable);
        if (std::strcmp(variable, "LANGUAGE") == 0)
            locale = locale.substr(0, locale.find(':'));
        if (!locale.empty())
            break;
    }
    std::string language;
    if (!code || !LanguageCodeFromLocale(locale, language))
        return false;
    std::memcpy(code, language.c_str(), language.size() + 1);
    return true;
}

WString GetAppDataFolder()
{
    const std::string xdg = lv::platform::GetEnvironmentValue("XDG_DATA_HOME");
    if (!xdg.empty() && xdg[0] == '/')
        return Utf8ToWide(xdg);
    const std::string home = lv::platform::GetEnvironmentValue("HOME");
    if (home.empty())
        return WString();
    return Utf8ToWide(home + (home.back() == '/' ? "" : "/") + ".local/share");
}

void GrantAccessToEveryone(const WChar* path, bool inherit)
{
    (void)path;
    (void)inherit;
}

void GrantEveryoneAccess(const WChar* path, bool inherit)
{
    GrantAccessToEveryone(path, inherit);
}

} // namespace lv::core
