#pragma once
// The CRC-32 that protects saved games: the table of the reflected polynomial 0xEDB88320, but
// starting from 0 and without the final inversion ("123456789" gives 0x2DFD2D88). Stored files
// depend on this exact form.
#include "core/Types.h"

#include <cstddef>

namespace lv::core {

u32 Crc32(const void* data, size_t length);
// Continues a checksum over more bytes: Crc32Update(Crc32(a), b) == Crc32(a followed by b). A
// checksum appended little-endian to its data makes the checksum of the whole 0.
u32 Crc32Update(u32 crc, const void* data, size_t length);

// Crc32 of the whole file; 0 for an empty file, 0xFFFFFFFF when the file cannot be read.
u32 Crc32OfFile(const WChar* path);

} // namespace lv::core
