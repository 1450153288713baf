#include "game/play/GameCommandArgs.h"

#include "core/FixedString.h"
#include "game/play/GameWindow.h"
#include "qe/CommandBase.h"
#include "qe/Quest.h"
#include "qe/Scene.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace game {

namespace {

bool IsArgSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsArgDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A name that does not fit a name string names no object.
qe::CSceneObject* FindInScene(const qe::CScene* scene, const char* name, size_t length)
{
    if (!scene)
        return nullptr;
    const CFixedString fixed(name, length);
    return fixed.IsTruncated() ? nullptr : scene->FindObject(fixed);
}

} // namespace

const char* CGameCommandArgs::GetName(u32 index) const
{
    return index < GetCount() ? m_Record.GetArgumentName(index).GetText() : "";
}

bool CGameCommandArgs::IsTrue(const char* text)
{
    return text && std::strcmp(text, "true") == 0;
}

s32 CGameCommandArgs::ParseInt(const char* text)
{
    if (!text)
        return 0;
    while (IsArgSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    // Accumulated as a magnitude in 64 bits and held at the 32-bit limits: long digit runs
    // saturate instead of overflowing.
    constexpr s64 kMaxMagnitude = 2147483648LL;
    s64 magnitude = 0;
    for (; IsArgDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > kMaxMagnitude)
            magnitude = kMaxMagnitude;
    }
    if (negative)
        return static_cast<s32>(-magnitude);
    return magnitude >= kMaxMagnitude ? 2147483647 : static_cast<s32>(magnitude);
}

float CGameCommandArgs::ParseFloat(const char* text)
{
    if (!text)
        return 0.0f;
    while (IsArgSpace(*text))
        ++text;
    // Only the plain decimal form is taken (no hexadecimal, infinity or nan words): the span
    // is measured here and converted on its own.
    const char* end = text;
    if (*end == '+' || *end == '-')
        ++end;
    const char* mantissa = end;
    while (IsArgDigit(*end))
        ++end;
    bool digits = end != mantissa;
    if (*end == '.') {
        const char* fraction = ++end;
        while (IsArgDigit(*end))
            ++end;
        digits = digits || end != fraction;
    }
    if (!digits)
        return 0.0f;
    if (*end == 'e' || *end == 'E') {
        const char* exponent = end + 1;
        if (*exponent == '+' || *exponent == '-')
            ++exponent;
        if (IsArgDigit(*exponent)) {
            end = exponent;
            while (IsArgDigit(*end))
                ++end;
        }
    }
    const std::string number(text, end);
    const double value = std::strtod(number.c_str(), nullptr);
    constexpr double kFloatMax = 3.4028234663852886e38;
    if (value > kFloatMax)
        return static_cast<float>(kFloatMax);
    if (value < -kFloatMax)
        return static_cast<float>(-kFloatMax);
    return static_cast<float>(value);
}

qe::CSceneObject* FindObjectByScenePath(const qe::scripts::CCommandBase& command, const char* path)
{
    if (!path)
        return nullptr;
    const char* slash = std::strchr(path, '/');
    if (!slash)
        return command.FindObject(path);
    const qe::CScene* own = command.GetScene();
    const qe::CQuest* quest = own ? own->GetQuest() : nullptr;
    if (!quest)
        return nullptr;
    const CFixedString sceneName(path, static_cast<size_t>(slash - path));
    if (sceneName.IsTruncated())
        return nullptr;
    return FindInScene(quest->FindScene(sceneName.GetText()), slash + 1, std::strlen(slash + 1));
}

qe::CSceneObject* FindObjectByPath(const qe::scripts::CCommandBase& command, const char* path)
{
    return path ? command.FindObject(path) : nullptr;
}

qe::CSceneObject* FindObjectByName(const qe::scripts::CCommandBase& command, const char* name)
{
    return name ? FindInScene(command.GetScene(), name, std::strlen(name)) : nullptr;
}

CGameWindow* GetGameWindowOf(const qe::scripts::CCommandBase& command)
{
    if (CGameWindow* window = dynamic_cast<CGameWindow*>(command.GetWidget()))
        return window;
    return CGameWindow::GetInstance();
}

} // namespace game
