#pragma once
// Read-only mappings of whole files.
#include "core/Types.h"

namespace lv::platform {

// Maps the whole file read-only and returns the view and its size; null when the file cannot
// be opened, is not a regular file, is empty (an empty mapping does not exist) or does not fit
// a 32-bit size.
const void* MapFileView(const char* path, u32& size);

// Releases a view made by MapFileView with the size it reported.
void UnmapFileView(const void* view, u32 size);

} // namespace lv::platform
