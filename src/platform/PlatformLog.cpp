#include "platform/PlatformLog.h"

#include <cstdarg>
#include <cstdio>

namespace lv::platform {
namespace {

void StderrSink(const char* channel, int level, const char* text)
{
    std::fprintf(stderr, "[%s:%d] %s\n", channel, level, text);
}

LogSink g_Sink = StderrSink;

} // namespace

void SetLogSink(LogSink sink)
{
    g_Sink = sink ? sink : StderrSink;
}

void Log(const char* channel, int level, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    g_Sink(channel, level, text);
}

} // namespace lv::platform
