#include "core/SystemInfo.h"

#include "core/TextConvert.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace lv::core;

namespace {

// Sets or (with null) clears an environment variable for the rest of one test.
void SetEnv(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

} // namespace

TEST(SystemInfo, LanguageCodeFromLocale)
{
    struct
    {
        const char* Locale;
        const char* Code; // null: no language
    } cases[] = {
        {"de_DE.UTF-8", "de"}, {"fr", "fr"},      {"FIL_PH", "fil"},    {"sr@latin", "sr"},
        {"pt.UTF-8", "pt"},    {"C", nullptr},    {"C.UTF-8", nullptr}, {"POSIX", nullptr},
        {"", nullptr},         {"e1_X", nullptr}, {"../x", nullptr},
    };
    for (const auto& c : cases) {
        std::string code = "unchanged";
        EXPECT_EQ(LanguageCodeFromLocale(c.Locale, code), c.Code != nullptr) << c.Locale;
        EXPECT_EQ(code, c.Code ? c.Code : "unchanged") << c.Locale;
    }
}

TEST(SystemInfo, PreferredLanguageFromEnvironment)
{
    struct
    {
        const char* Language;
        const char* LcAll;
        const char* LcMessages;
        const char* Lang;
        const char* Code;
    } cases[] = {
        {"de:en", "fr_FR", nullptr, nullptr, "de"},    {"", "fr_FR.UTF-8", "it_IT", "es_ES", "fr"},
        {nullptr, nullptr, "it_IT", "es_ES", "it"},    {nullptr, nullptr, nullptr, "es_ES", "es"},
        {nullptr, "C", nullptr, "es_ES", nullptr},     {nullptr, nullptr, nullptr, "POSIX", nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SetEnv("LANGUAGE", c.Language);
        SetEnv("LC_ALL", c.LcAll);
        SetEnv("LC_MESSAGES", c.LcMessages);
        SetEnv("LANG", c.Lang);
        char code[kLanguageCodeCapacity] = "keep";
        EXPECT_EQ(GetCurrentUserPreferredLanguage(code), c.Code != nullptr);
        EXPECT_STREQ(code, c.Code ? c.Code : "keep");
    }
}

TEST(SystemInfo, AppDataFolderAndProcessors)
{
    SetEnv("XDG_DATA_HOME", "/xdg/data");
    SetEnv("HOME", "/home/me");
    EXPECT_EQ(GetAppDataFolder(), u"/xdg/data");
    SetEnv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(GetAppDataFolder(), u"/home/me/.local/share");
    SetEnv("XDG_DATA_HOME", nullptr);
    SetEnv("HOME", "/home/me/");
    EXPECT_EQ(GetAppDataFolder(), u"/home/me/.local/share");
    SetEnv("HOME", nullptr);
    EXPECT_EQ(GetAppDataFolder(), u"");
    EXPECT_GE(GetProcessorCount(), 1);
}
