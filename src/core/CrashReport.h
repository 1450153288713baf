#pragma once
// Crash reports: when the program dies from a fatal signal or an exception that nothing caught,
// a text report (signal, fault address, thread, back-trace) is written into the user data folder
// as "crashdump-<year>-<month>-<day>-<hour>-<minute>.dmp" before the process ends the way it
// would have anyway. A second crash in the same minute replaces the file.
#include "core/Types.h"

namespace lv::core {

// Installed first thing by the program's entry point. Without a dump folder (no application
// object yet) a crash writes no report.
void InstallCrashHandler();

// The application publishes its user data folder here while it exists and clears it (empty text)
// when it goes away.
void SetCrashDumpFolder(WStringView folder);

} // namespace lv::core
