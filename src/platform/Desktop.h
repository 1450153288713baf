#pragma once
// The user's desktop: the temporary folder and opening a file in the user's editor.
#include <string>

namespace lv::platform {

// TMPDIR when set, else "/tmp"; without a trailing '/'.
std::string GetTempFolder();

// Hands the file to the desktop's opener (xdg-open) without waiting for it; false without a
// display or when the opener cannot be started.
bool OpenForEditing(const char* path);

} // namespace lv::platform
