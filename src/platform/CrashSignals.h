#pragma once
// Last-chance reporting of a crash: handlers for the fatal signals that write a text report
// (signal, fault address, thread, back-trace) into a dump file and then let the signal take its
// default action, so the process still dies the way it would have without them.
#include "core/Types.h"

namespace lv::platform {

// Called on the crashing thread before the report is written. It must not block: the crash may
// have happened while any lock was held.
using CrashHook = void (*)();

// Installs the handlers for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on an alternate stack
// (so that a stack overflow is reported too) on the calling thread. Calling it again only
// replaces the hook.
void InstallCrashSignalHandlers(CrashHook beforeReport);

// The folder (UTF-8) that receives the dump files; null or empty: a crash writes no dump. The
// local time zone is sampled here, since the handler cannot safely read it.
void SetCrashDumpFolder(const char* folder);

// One line (cut at 1023 bytes) that the next report carries, such as the uncaught exception
// that ended the program; null clears it.
void SetCrashNote(const char* text);

// The dump file's name for a local date and time: "crashdump-2014-07-09-13-05.dmp". The buffer
// takes at least 64 bytes; returns the length.
size_t FormatCrashDumpName(char* buffer, size_t capacity, s32 year, s32 month, s32 day, s32 hour, s32 minute);

} // namespace lv::platform
