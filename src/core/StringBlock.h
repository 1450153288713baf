#pragma once
// The string table's block: u32 magic, u32 count, then count index entries {u32 id, u32 offset}
// sorted by signed id, then the texts as zero-terminated UTF-16LE. The same bytes are the
// in-memory table and the binary files "strings.bindump" and "strings.xml.bin_utf16le".
#include "core/Types.h"

namespace lv::core {

inline constexpr u32 StringBlockMagicBindump = 0x01363153; // "S16" 0x01, strings.bindump
inline constexpr u32 StringBlockMagicUtf16 = 0x4C363153;   // "S16L", built from XML
inline constexpr u32 StringBlockMagicUtf32 = 0x4C323353;   // "S32L", the 32-bit form
inline constexpr u32 StringBlockHeaderSize = 8;
inline constexpr u32 StringBlockIndexEntrySize = 8;

// True when the block has the magic and a lookup can never leave it: at least a header, the
// index inside the block and sorted by strictly ascending signed id, every offset even, past
// the index and inside the block, and every
// text terminated before the block's end. `problem` receives a constant text naming the fault.
bool CheckStringBlock(const u8* data, u64 size, u32 magic, const char** problem = nullptr);

u32 GetStringBlockCount(const u8* block);
// Byte offset of the text of `id` in a checked block, or 0 when the id is not in it.
u32 FindStringOffset(const u8* block, s32 id);

} // namespace lv::core
