#pragma once
// Diagnostics of the platform layer. The layer sits below the application's log, so it writes
// through a sink that the log installs; until then lines go to standard error.
namespace lv::platform {

using LogSink = void (*)(const char* channel, int level, const char* text);

// nullptr restores the standard-error sink.
void SetLogSink(LogSink sink);
void Log(const char* channel, int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

} // namespace lv::platform
