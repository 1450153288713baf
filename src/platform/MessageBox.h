#pragma once
// Shows a modal message to the user.

namespace lv::platform {

// Result of a box closed with its OK button, as the Windows call reports it.
constexpr int kIdOk = 1;

// Shows the text with an OK button and returns kIdOk once it is closed. Without a display
// the text goes to the standard error stream and the call returns at once.
int ShowSystemMessageBox(const char* caption, const char* text);

} // namespace lv::platform
