#pragma once
// Base of the image decoders: reads whole files through the file system and decodes them from
// memory. Decoders live on the caller's stack; each keeps its state to itself.
#include "core/Types.h"
#include "graphics/ImageBuffer.h"

namespace lv::misc::imagelib {

class CImageDecoder
{
public:
    // Pictures larger than this on either side are refused: no texture can hold them, and
    // a damaged header must not make us allocate gigabytes.
    static constexpr u32 kMaxSide = 16384;

    virtual bool ReadHeader(const u8* data, u32 size, s32* width, s32* height);
    virtual bool ReadHeaderFromFile(const char* path, s32* width, s32* height);
    virtual bool Decode(const u8* data, u32 size, CImageBuffer& out);
    virtual bool DecodeFromFile(const char* path, CImageBuffer& out);

protected:
    ~CImageDecoder() = default;

    void ResetReader(const u8* data, u32 size);
    // Copies up to n bytes from the reader into the destination; the count copied.
    u32 Read(void* destination, u32 n);
    bool AtStart() const { return m_Position == 0; }

    const u8* m_Data = nullptr;
    u32 m_Size = 0;
    u32 m_Position = 0;
};

} // namespace lv::misc::imagelib
