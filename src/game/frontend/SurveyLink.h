#pragma once
// The survey address in "link.txt", opened when the game ends with the setting "survey".
#include <string>

namespace game {

// Reads the address and hands it on; false when there is none.
bool OpenSurveyLink();
// The address in the file, trimmed; empty when the file is missing or blank.
std::string ReadSurveyLink(const char* path);

} // namespace game
