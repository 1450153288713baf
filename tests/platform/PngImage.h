#pragma once
// A small PNG writer and reader for golden images: 8-bit RGB, no interlacing. The reader takes
// what the writer writes (any of the five row filters), nothing more.
#include "platform/WinTypes.h"

#include <string>
#include <vector>

namespace lv::platform::test {

// Pixels are 0xAARRGGBB values, rows top first; alpha is dropped.
bool WritePng(const std::string& path, UINT width, UINT height, const std::vector<DWORD>& pixels);
// Alpha comes back as 255.
bool ReadPng(const std::string& path, UINT& width, UINT& height, std::vector<DWORD>& pixels);

} // namespace lv::platform::test
