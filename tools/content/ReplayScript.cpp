#include "content/ReplayScript.h"

#include "gui/InputDispatcher.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace lv::content {

namespace {

using lv::core::CInputRecord;
using lv::gui::CInputDispatcher;

bool ParseReplayNumber(const std::string& word, s64 low, s64 high, s64& value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    const long long parsed = std::strtoll(word.c_str(), &end, 10);
    if (*end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseReplayButton(const std::string& word, u16& button)
{
    if (word.empty() || word == "left")
        button = 0;
    else if (word == "right")
        button = 1;
    else if (word == "middle")
        button = 2;
    else
        return false;
    return true;
}

// A key with its modifiers: the GUI's key code and the flag bits.
bool ParseReplayKey(std::string word, u16& key, u8& flags)
{
    flags = 0;
    for (;;)
    {
        const size_t plus = word.find('+');
        if (plus == std::string::npos || plus + 1 == word.size())
            break;
        const std::string modifier = word.substr(0, plus);
        if (modifier == "ctrl")
            flags |= CInputDispatcher::kCtrl;
        else if (modifier == "alt")
            flags |= CInputDispatcher::kAlt;
        else if (modifier == "shift")
            flags |= CInputDispatcher::kShift;
        else
            return false;
        word = word.substr(plus + 1);
    }
    if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0])))
    {
        key = static_cast<u16>(std::toupper(static_cast<unsigned char>(word[0])));
        return true;
    }
    if (word.size() > 1 && word[0] == '#')
    {
        s64 code = 0;
        if (!ParseReplayNumber(word.substr(1), 0, 65535, code))
            return false;
        key = static_cast<u16>(code);
        return true;
    }
    if (word.size() >= 2 && word[0] == 'f')
    {
        s64 n = 0;
        if (ParseReplayNumber(word.substr(1), 1, 12, n))
        {
            key = static_cast<u16>(CInputDispatcher::KeyF1 + n - 1);
            return true;
        }
    }
    static const struct
    {
        const char* name;
        s32 code;
    } names[] = {
        {"left", CInputDispatcher::KeyLeft},     {"right", CInputDispatcher::KeyRight},
        {"up", CInputDispatcher::KeyUp},         {"down", CInputDispatcher::KeyDown},
        {"home", CInputDispatcher::KeyHome},     {"end", CInputDispatcher::KeyEnd},
        {"pageup", CInputDispatcher::KeyPageUp}, {"pagedown", CInputDispatcher::KeyPageDown},
        {"insert", CInputDispatcher::KeyInsert}, {"delete", CInputDispatcher::KeyDelete},
        {"space", CInputDispatcher::KeySpace},   {"backspace", CInputDispatcher::KeyBackspace},
        {"enter", CInputDispatcher::KeyEnter},   {"tab", CInputDispatcher::KeyTab},
        {"escape", CInputDispatcher::KeyEscape},
    };
    for (const auto& entry : names)
        if (word == entry.name)
        {
            key = static_cast<u16>(entry.code);
            return true;
        }
    return false;
}

// The UTF-16 code units of UTF-8 text; false for malformed text.
bool ReplayTextUnits(const std::string& text, std::vector<u16>& units)
{
    units.clear();
    for (size_t i = 0; i < text.size();)
    {
        const u8 lead = static_cast<u8>(text[i]);
        u32 code = 0;
        size_t extra = 0;
        if (lead < 0x80)
            code = lead;
        else if ((lead & 0xE0) == 0xC0)
            code = lead & 0x1F, extra = 1;
        else if ((lead & 0xF0) == 0xE0)
            code = lead & 0x0F, extra = 2;
        else if ((lead & 0xF8) == 0xF0)
            code = lead & 0x07, extra = 3;
        else
            return false;
        if (i + extra >= text.size())
            return false;
        for (size_t k = 1; k <= extra; ++k)
        {
            const u8 next = static_cast<u8>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        i += extra + 1;
        if (code >= 0x10000)
        {
            code -= 0x10000;
            units.push_back(static_cast<u16>(0xD800 + (code >> 10)));
            units.push_back(static_cast<u16>(0xDC00 + (code & 0x3FF)));
        }
        else
            units.push_back(static_cast<u16>(code));
    }
    return true;
}

} // namespace

bool CompileReplayScript(const std::string& text, SReplayScript& out, std::string& error)
{
    out = SReplayScript();
    std::istringstream lines(text);
    std::string line;
    s64 last = 0;
    for (s32 number = 1; std::getline(lines, line); ++number)
    {
        const auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (const size_t hash = line.find('#'); hash != std::string::npos)
        {
            // "#<code>" keys stay: a comment starts at a '#' that begins a word.
            if (hash == 0 || std::isspace(static_cast<unsigned char>(line[hash - 1])))
            {
                const bool keyCode = hash + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[hash + 1]));
                if (!keyCode)
                    line.resize(hash);
            }
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string word;
        if (!(words >> word))
            continue;
        s64 time = last;
        if (word == "at")
        {
            std::string ms;
            if (!(words >> ms) || !ParseReplayNumber(ms, 0, 0xFFFFFFFFll, time))
                return fail("a time in milliseconds must follow 'at'");
            if (time < last)
                return fail("time " + ms + " goes back before " + std::to_string(last));
            if (!(words >> word))
                return fail("an event must follow the time");
        }
        else if (word != "checkpoint")
            return fail("a statement starts with 'at' or 'checkpoint'");
        last = time;
        const u32 t = static_cast<u32>(time);
        if (word == "checkpoint")
        {
            std::string name;
            if (!(words >> name))
                return fail("a checkpoint needs a name");
            out.checkpoints.push_back({name, t});
        }
        else if (word == "move" || word == "down" || word == "up" || word == "click")
        {
            std::string xs, ys, buttonWord;
            s64 x = 0, y = 0;
            if (!(words >> xs >> ys) || !ParseReplayNumber(xs, -32768, 32767, x) || !ParseReplayNumber(ys, -32768, 32767, y))
                return fail("'" + word + "' needs x and y in design coordinates");
            words >> buttonWord;
            u16 button = 0;
            if (word == "move" ? !buttonWord.empty() : !ParseReplayButton(buttonWord, button))
                return fail("unknown button '" + buttonWord + "'");
            const s32 px = static_cast<s32>(x), py = static_cast<s32>(y);
            if (word == "move")
                out.records.push_back(CInputRecord::Pointer(t, CInputRecord::Move, 0, 0, px, py));
            if (word == "down" || word == "click")
                out.records.push_back(CInputRecord::Pointer(t, CInputRecord::ButtonDown, button, 0, px, py));
            if (word == "up" || word == "click")
                out.records.push_back(CInputRecord::Pointer(t, CInputRecord::ButtonUp, button, 0, px, py));
        }
        else if (word == "keydown" || word == "keyup" || word == "key")
        {
            std::string keyWord;
            u16 key = 0;
            u8 flags = 0;
            if (!(words >> keyWord) || !ParseReplayKey(keyWord, key, flags))
                return fail("unknown key '" + keyWord + "'");
            if (word != "keyup")
                out.records.push_back(CInputRecord::Key(t, CInputRecord::KeyDown, key, flags, 0));
            if (word != "keydown")
                out.records.push_back(CInputRecord::Key(t, CInputRecord::KeyUp, key, flags, 0));
        }
        else if (word == "char" || word == "text")
        {
            std::string rest;
            std::getline(words, rest);
            const size_t start = rest.find_first_not_of(' ');
            rest = start == std::string::npos ? std::string() : rest.substr(start);
            std::vector<u16> units;
            if (!ReplayTextUnits(rest, units) || units.empty() || (word == "char" && (units.size() != 1 || rest.find(' ') != std::string::npos)))
                return fail("'" + word + "' needs " + (word == "char" ? "one character" : "some text"));
            for (u16 unit : units)
                out.records.push_back(CInputRecord::Key(t, CInputRecord::Char, unit, 0, 0));
            continue;
        }
        else
            return fail("unknown event '" + word + "'");
        std::string extra;
        if (words >> extra)
            return fail("unexpected '" + extra + "'");
    }
    error.clear();
    return true;
}

} // namespace lv::content
