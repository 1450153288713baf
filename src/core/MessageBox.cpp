#include "core/MessageBox.h"

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/ValueFormat.h"
#include "platform/MessageBox.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lv::core {

namespace {

std::atomic<bool> g_QuietMessageBoxes{true};

} // namespace

void SetQuietMessageBoxes(bool quiet)
{
    g_QuietMessageBoxes.store(quiet, std::memory_order_relaxed);
}

bool GetQuietMessageBoxes()
{
    return g_QuietMessageBoxes.load(std::memory_order_relaxed);
}

int ShowMessageBox(const char* caption, const char* text)
{
    if (!caption)
        caption = "";
    if (!text)
        text = "";
    CLog& log = CLog::Instance();
    log.Print("message", 1, "caption: %s\nmessage: %s", caption, text);
    log.Flush();
    if (GetQuietMessageBoxes())
        return 0;
    return lv::platform::ShowSystemMessageBox(caption, text);
}

int ShowMessage(const char* text)
{
    return ShowMessageBox("Message", text);
}

int ShowMessageBoxF(const char* caption, const char* format, ...)
{
    char buffer[2048];
    buffer[0] = '\0';
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof(buffer), format, args);
        va_end(args);
    }
    return ShowMessageBox(caption, buffer);
}

int ShowMessageBoxW(const WChar* caption, const WChar* text)
{
    const std::string c = caption ? WideToUtf8(caption) : std::string();
    const std::string t = text ? WideToUtf8(text) : std::string();
    return ShowMessageBox(c.c_str(), t.c_str());
}

int ShowMessageBoxFW(const WChar* caption, const WChar* format, ...)
{
    WChar buffer[2048];
    buffer[0] = 0;
    if (format) {
        va_list args;
        va_start(args, format);
        FormatWideV(buffer, 2048, format, args);
        va_end(args);
    }
    return ShowMessageBoxW(caption, buffer);
}

void AssertFailed(const char* file, s32 line, const char* format, ...)
{
    char message[100];
    message[0] = '\0';
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(message, sizeof(message), format, args);
        va_end(args);
    }
    CLog& log = CLog::Instance();
    log.Print("assert", 3, "assertion failed \"%s\", file \"%s\" line %i", message, file ? file : "", line);
    log.Flush();
}

void AssertFailedW(const WChar* file, s32 line, const WChar* format, ...)
{
    WChar message[200];
    message[0] = 0;
    if (format) {
        va_list args;
        va_start(args, format);
        FormatWideV(message, 200, format, args);
        va_end(args);
    }
    CLog& log = CLog::Instance();
    log.PrintW("assert", 3, u"assertion failed \"%ls\", file \"%ls\" line %i", message, file ? file : u"",
               line);
    log.Flush();
    if (GetQuietMessageBoxes())
        return;
    const std::string text = "assertion failed \"" + WideToUtf8(message) + "\", file \"" +
                             (file ? WideToUtf8(file) : std::string()) + "\" line " + std::to_string(line);
    lv::platform::ShowSystemMessageBox("Assertion failed", text.c_str());
    std::abort();
}

} // namespace lv::core
