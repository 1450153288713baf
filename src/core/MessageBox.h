#pragma once
// Reports to the user. Every report is first written to the log (channel "message") and
// flushed; a box is shown only while the process-wide quiet switch is off. The switch is on
// from the start, so in normal operation reports only reach the log and never block.
#include "core/Types.h"

namespace lv::core {

void SetQuietMessageBoxes(bool quiet);
bool GetQuietMessageBoxes();

// Returns the box's result (1 for OK), or 0 when only logged.
int ShowMessageBox(const char* caption, const char* text);
int ShowMessage(const char* text);
// Formats into 2048 characters (longer texts are cut) and shows that.
int ShowMessageBoxF(const char* caption, const char* format, ...) __attribute__((format(printf, 2, 3)));
int ShowMessageBoxW(const WChar* caption, const WChar* text);
// Formats into 2048 wide characters with FormatWide and shows that.
int ShowMessageBoxFW(const WChar* caption, const WChar* format, ...);

// Logs "assertion failed "<message>", file "<file>" line <line>" on channel "assert" at level 3
// and flushes; the message is formatted into 100 characters.
void AssertFailed(const char* file, s32 line, const char* format, ...) __attribute__((format(printf, 3, 4)));
// The wide form formats into 200 characters; unless the quiet switch is on it then reports
// the failure to the user and ends the program, as the runtime's assertion report does.
void AssertFailedW(const WChar* file, s32 line, const WChar* format, ...);

} // namespace lv::core
