#pragma once
// Precomputed one-bit opacity masks of the declared images, run-length encoded in
// "properties/texturesalpha.bindump" and used in place:
//
//   u32 magic "APH" + revision 1 | u32 count | count x 112-byte entries sorted by name | u16 runs
//   entry: name (96) | u16 width | u16 height | u32 run offset | u32 run bytes | u8 uniform
//          | u8 uniform value | u8 order (1 row by row, else column by column) | u8 reserved
//   run: bits 0-14 pixel count, bit 15 value (1 opaque)
//
// The file is checked once when it is taken; a rejected file counts as not loaded and callers
// fall back to reading the image's pixels.
#include "core/FixedString.h"
#include "core/Types.h"

namespace lv::graphics {

class CImageHandle;

class CTexturesAlpha
{
public:
    static constexpr u32 kMagic = 0x01485041;
    static constexpr u32 kEntrySize = 112;

    // The first call loads the file.
    static CTexturesAlpha& Instance();

    CTexturesAlpha() = default;
    ~CTexturesAlpha() { Release(); }
    CTexturesAlpha(const CTexturesAlpha&) = delete;
    CTexturesAlpha& operator=(const CTexturesAlpha&) = delete;

    bool LoadFile(const char* path);
    // Takes a copy of the bytes; false (nothing loaded) when they are rejected.
    bool LoadData(const u8* data, u32 size);
    void Release();
    bool IsLoaded() const { return m_Data != nullptr; }

    // Whether pixel (x, y) of the handle's image is opaque; false for an unknown image or a
    // pixel outside the runs.
    bool HitTest(const CImageHandle* image, s32 x, s32 y) const;
    bool HitTest(const CFixedString& name, s32 x, s32 y) const;

    static bool Validate(const u8* data, u32 size, u32* revision = nullptr);

private:
    const u8* FindEntry(const CFixedString& name) const;

    const u8* m_Data = nullptr;
    u32 m_Size = 0;
    bool m_FromFileSystem = false;
};

} // namespace lv::graphics
