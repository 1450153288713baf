#pragma once
// Queries about the machine and the user's environment.
#include "core/Types.h"

#include <string>

namespace lv::platform {

// Number of processors that can run threads, at least 1.
s32 GetProcessorCount();

// The value of an environment variable; empty when it is not set.
std::string GetEnvironmentValue(const char* name);

// The running program's file (UTF-8); empty when the system does not say.
std::string GetExecutablePath();

// Sets an environment variable for this process and the ones it starts; null removes it.
void SetEnvironmentValue(const char* name, const char* value);

} // namespace lv::platform
