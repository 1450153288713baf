#pragma once
// The video track of one WebM file: mkvparser over the file (on disk or inside a resource
// pack), a block cursor with its timing, and a VP8 decoder. Only frame 0 of each block is read.
// Not thread-safe: one thread at a time (a player's decode task or the main thread).
#include "core/Types.h"

#include <atomic>
#include <vector>

#include <vpx/vpx_decoder.h>

namespace mkvparser {
class Segment;
}

namespace lv::graphics {

class CWebMBlockCursor;
class LVMkvReader;

class CWebMStream
{
public:
    CWebMStream();
    ~CWebMStream();
    CWebMStream(const CWebMStream&) = delete;
    CWebMStream& operator=(const CWebMStream&) = delete;

    // A path found in a mounted pack is read from the pack file, else from disk.
    bool Open(const char* path);
    // Bytes the caller keeps alive until Close.
    bool OpenMemory(const u8* data, s64 size);
    void Close();
    bool IsOpen() const { return m_Open; }

    void DecodeCurrent();
    void DecodeNext();
    // Decodes the following blocks up to the first that is shown for some time, then moves the
    // cursor back; the number of blocks decoded (SkipBlocks moves the cursor over them).
    s32 DecodeAhead();
    void SkipBlocks(s32 n);
    // The picture of the last decode, or null when it failed or showed nothing.
    vpx_image_t* GetFrame();
    // Shows the frame for t (ms), decoding from the right key frame.
    void Seek(s64 t);
    void GetCurrentTimes(s64* time, s64* duration);
    void PeekNextTimes(s64* time, s64* duration);
    // As PeekNextTimes, but a block of duration 0 is decoded together with the one after it, so
    // that one's times count.
    void PeekNextTimesPrefetch(s64* time, s64* duration);

    s64 GetDuration() const { return m_Duration; }
    s64 GetWidth() const { return m_Width; }
    s64 GetHeight() const { return m_Height; }
    // Blocks handed to the decoder since the open.
    u32 GetDecodeCount() const { return m_DecodeCount.load(); }

private:
    bool OpenReader();
    bool FindVideoTrack();

    LVMkvReader* m_Reader = nullptr;
    mkvparser::Segment* m_Segment = nullptr;
    vpx_codec_ctx_t m_Decoder{};
    bool m_DecoderReady = false;
    vpx_image_t* m_Picture = nullptr;
    bool m_Open = false;
    CWebMBlockCursor* m_Cursor = nullptr;
    s64 m_TrackNumber = 0;
    std::vector<u8> m_FrameBuffer;
    s64 m_Duration = 0;
    s64 m_Width = 0;
    s64 m_Height = 0;
    std::atomic<u32> m_DecodeCount{0};
};

} // namespace lv::graphics
