#pragma once
// Sizes and pixel expansion of the texture formats the layer accepts. Every format is expanded
// to 8-bit B, G, R, A bytes (a 0xAARRGGBB value per pixel) for drawing; narrower channels are
// widened by bit replication, as the hardware does.
#include "platform/d3d9/d3d9.h"

#include <cstddef>

namespace lv::platform {

// True for the formats textures can have.
bool IsTextureFormat(D3DFORMAT format);
bool IsBlockFormat(D3DFORMAT format);
// Bytes per pixel, or per 4x4 block for the DXT formats.
UINT FormatUnitBytes(D3DFORMAT format);
// Tight row pitch of a locked level: pixel rows, or rows of 4x4 blocks.
UINT FormatPitch(D3DFORMAT format, UINT width);
// Number of such rows for a height.
UINT FormatRows(D3DFORMAT format, UINT height);

// Expands rows [firstRow, endRow) of a level (in the level's own layout, `pitch` bytes per row of
// pixels or blocks) into `out`, width * 4 bytes per pixel row starting at pixel row firstRow.
// For block formats the rows are rounded out to whole blocks by the caller.
void ExpandToBgra(D3DFORMAT format, const BYTE* level, UINT pitch, UINT width, UINT height, UINT firstRow,
                  UINT endRow, BYTE* out);

} // namespace lv::platform
