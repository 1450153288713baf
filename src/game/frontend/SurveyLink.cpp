#include "game/frontend/SurveyLink.h"

#include "core/FileUtils.h"
#include "core/Log.h"

#include <cctype>
#include <cstdio>

namespace game {

namespace {

// The longest address taken; a longer first word is cut here.
constexpr size_t kMaxSurveyLink = 1023;

} // namespace

std::string ReadSurveyLink(const char* path)
{
    std::string word;
    FILE* file = lv::core::FileOpen(path, "rt");
    if (!file)
        return word;
    int c = std::fgetc(file);
    while (c != EOF && std::isspace(c))
        c = std::fgetc(file);
    while (c != EOF && !std::isspace(c) && word.size() < kMaxSurveyLink) {
        word += static_cast<char>(c);
        c = std::fgetc(file);
    }
    std::fclose(file);
    return word;
}

bool OpenSurveyLink()
{
    const std::string link = ReadSurveyLink("link.txt");
    // An empty file names nothing to open.
    if (link.empty())
        return false;
    lv::core::CLog::Instance().Print("game", 1, "survey link: %s", link.c_str());
    return true;
}

} // namespace game
