#pragma once
// PVR version 2 texture files and their LZO1X-compressed form (".pvrlzo": the compressed stream,
// then an 8-byte trailer whose last four bytes give the decompressed size). Only the top level is
// used; its pixels are copied into a texture of the same format without conversion.
#include "core/Types.h"

namespace lv::graphics {

class CTexture;

inline constexpr u32 kPvrHeaderSize = 52;
// Decompressed files up to this size share one static buffer.
inline constexpr u32 kPvrLzoStaticBufferSize = 0x40000;
// Larger claims than this in a trailer are taken for damage.
inline constexpr u32 kPvrLzoMaxSize = 0x10000000;

// Texture format code of a PVR pixel type; 0 when the type is not supported.
u8 PvrPixelTypeToFormat(u32 pixelType);
// Bytes of the top level of a texture of that format and size (DXT rounded up to whole blocks).
u32 PvrTopLevelBytes(u8 format, u32 width, u32 height);

// Checks the tag and the pixel type of a header in the first `size` bytes; any out pointer may
// be null.
bool ParsePvrHeader(const u8* data, u32 size, u32* width, u32* height, u8* format);
// Decompresses a ".pvrlzo" file. On success `out` points at exactly `outSize` bytes, in the
// static buffer or (owned set) in a malloc'd one the caller frees. False for a file shorter than
// its trailer, an implausible size, damaged data, or output of another length than announced.
bool DecompressPvrLzo(const u8* file, u32 fileSize, const u8*& out, u32& outSize, bool& owned);

bool ReadPvrHeader(const char* path, u32* width, u32* height, u8* format);
// Uploads the top level into the texture; false (uploading nothing) for a missing or damaged
// file, a format or size other than the texture's, or data shorter than the top level.
bool LoadPvrIntoTexture(const char* path, CTexture* texture);

} // namespace lv::graphics
