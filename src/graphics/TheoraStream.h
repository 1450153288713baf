#pragma once
// One Ogg Theora file held whole in memory and decoded on the calling thread through libtheora's
// legacy interface. Data reaches the Ogg sync layer in chunks, so a decoder only ever looks at the
// part of the file it has reached.
#include "core/Types.h"

#include <ogg/ogg.h>
#include <theora/theora.h>

namespace lv::graphics {

class CTheoraStream
{
public:
    static constexpr u32 kDefaultChunkSize = 32768;

    CTheoraStream();
    ~CTheoraStream();
    CTheoraStream(const CTheoraStream&) = delete;
    CTheoraStream& operator=(const CTheoraStream&) = delete;

    // Bytes handed to the sync layer per read for a file of the size.
    static u32 ChunkSizeFor(u32 fileSize);

    // Loads the file through the file system and reads the three headers; false for a missing or
    // empty file, a bad header or data ending before the headers. The decoder is not started.
    bool Open(const char* path);
    // The same over bytes the caller keeps alive until Close.
    bool OpenMemory(const u8* data, u32 size);
    // Sets up the decoder once the headers are read.
    bool StartDecoder();
    // Releases the Ogg and Theora states and the file.
    void Close();
    bool IsOpen() const { return m_HeadersRead; }

    // Hands the next chunk to the sync layer; the byte count (0 at the end of the data).
    u32 ReadChunk();
    // Decodes the next packet; false at the end of the data (end flag set) or for a packet the
    // decoder rejects.
    bool DecodeFrame();
    // The time of the video page nearest the end of the file, in ms (0 when none is found); then
    // rewinds to the start of the data.
    u32 ComputeDuration();
    // Back to the first data packet with a fresh decoder.
    void Restart();
    // The last decoded picture cropped to the displayed size; false when none is available.
    bool GetPicture(yuv_buffer& picture);

    u32 GetFrameTime() const { return m_FrameTime; }
    // Packets handed to the decoder since the stream was opened.
    u32 GetDecodeCount() const { return m_DecodeCount; }
    bool IsEndOfStream() const { return m_EndOfStream; }
    void ClearEndOfStream() { m_EndOfStream = false; }
    u32 GetChunkSize() const { return m_ChunkSize; }
    u32 GetSize() const { return m_Size; }
    // Displayed picture size from the headers.
    u32 GetPictureWidth() const { return m_HeadersRead ? m_Info.frame_width : 0; }
    u32 GetPictureHeight() const { return m_HeadersRead ? m_Info.frame_height : 0; }

private:
    bool ReadHeaders();
    void Reset();

    ogg_sync_state m_Sync;
    ogg_stream_state m_Stream;
    ogg_page m_Page;
    ogg_packet m_Packet;
    theora_comment m_Comment;
    theora_info m_Info;
    theora_state m_Decoder;
    const u8* m_Data = nullptr;
    const u8* m_ReadPos = nullptr;
    u32 m_Size = 0;
    u32 m_ChunkSize = kDefaultChunkSize;
    u32 m_FrameTime = 0;
    u32 m_DecodeCount = 0;
    bool m_EndOfStream = false;
    bool m_OwnsData = false;
    bool m_SyncReady = false;
    bool m_StreamReady = false;
    bool m_HeadersRead = false;
    bool m_DecoderReady = false;
    bool m_HasPicture = false;
};

} // namespace lv::graphics
