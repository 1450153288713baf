#include "graphics/TheoraStream.h"

#include <cmath>
#include <cstring>

#include "core/FileSystem.h"
#include "core/Log.h"

namespace lv::graphics {

namespace {

// libtheora's answer for a packet it cannot decode.
constexpr int kBadPacket = -24;
// Coded frames above this are refused before the decoder allocates for them.
constexpr u32 kMaxFrameSide = 4096;

// Seconds from libtheora as whole ms; a negative time (no granule position) gives nothing.
bool SecondsToMs(double seconds, u32& ms)
{
    if (!(seconds >= 0.0))
        return false;
    const double value = std::floor(seconds * 1000.0);
    ms = value >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(value);
    return true;
}

} // namespace

CTheoraStream::CTheoraStream()
{
    Reset();
}

CTheoraStream::~CTheoraStream()
{
    Close();
}

void CTheoraStream::Reset()
{
    std::memset(&m_Sync, 0, sizeof m_Sync);
    std::memset(&m_Stream, 0, sizeof m_Stream);
    std::memset(&m_Page, 0, sizeof m_Page);
    std::memset(&m_Packet, 0, sizeof m_Packet);
    std::memset(&m_Comment, 0, sizeof m_Comment);
    std::memset(&m_Info, 0, sizeof m_Info);
    std::memset(&m_Decoder, 0, sizeof m_Decoder);
    m_Data = m_ReadPos = nullptr;
    m_Size = 0;
    m_ChunkSize = kDefaultChunkSize;
    m_FrameTime = 0;
    m_DecodeCount = 0;
    m_EndOfStream = m_HasPicture = m_OwnsData = m_SyncReady = m_StreamReady = m_HeadersRead = m_DecoderReady = false;
}

u32 CTheoraStream::ChunkSizeFor(u32 fileSize)
{
    if (fileSize >= 65536)
        return kDefaultChunkSize;
    u32 power = 1;
    while (power < fileSize)
        power <<= 1;
    return power / 8 ? power / 8 : 1;
}

bool CTheoraStream::Open(const char* path)
{
    Close();
    u32 size = 0;
    const u8* data = lv::core::CFileSystem::Instance().LoadFile(path, &size);
    if (!data)
        return false;
    if (!OpenMemory(data, size)) {
        lv::core::CFileSystem::Instance().FreeFile(data);
        return false;
    }
    m_OwnsData = true;
    return true;
}

bool CTheoraStream::OpenMemory(const u8* data, u32 size)
{
    Close();
    if (!data || size == 0)
        return false;
    m_Data = m_ReadPos = data;
    m_Size = size;
    m_ChunkSize = ChunkSizeFor(size);
    ogg_sync_init(&m_Sync);
    m_SyncReady = true;
    theora_comment_init(&m_Comment);
    theora_info_init(&m_Info);
    if (!ReadHeaders()) {
        Close();
        return false;
    }
    m_HeadersRead = true;
    return true;
}

bool CTheoraStream::ReadHeaders()
{
    int headers = 0;
    // Beginning pages: find the Theora stream among the logical streams of the file.
    for (bool firstDataPage = false; !firstDataPage;) {
        if (ReadChunk() == 0)
            return false;
        for (int got; (got = ogg_sync_pageout(&m_Sync, &m_Page)) != 0;) {
            // A negative answer only reports bytes skipped to find the next page.
            if (got < 0)
                continue;
            if (!ogg_page_bos(&m_Page)) {
                if (headers > 0)
                    ogg_stream_pagein(&m_Stream, &m_Page);
                firstDataPage = true;
                break;
            }
            if (headers > 0)
                continue;
            ogg_stream_state test;
            if (ogg_stream_init(&test, ogg_page_serialno(&m_Page)) != 0)
                return false;
            if (ogg_stream_pagein(&test, &m_Page) != 0 || ogg_stream_packetout(&test, &m_Packet) != 1) {
                ogg_stream_clear(&test);
                return false;
            }
            if (theora_decode_header(&m_Info, &m_Comment, &m_Packet) >= 0) {
                std::memcpy(&m_Stream, &test, sizeof test);
                m_StreamReady = true;
                headers = 1;
            } else {
                ogg_stream_clear(&test);
            }
        }
    }
    if (headers == 0)
        return false;
    // The comment and setup headers.
    while (headers < 3) {
        int result;
        while (headers < 3 && (result = ogg_stream_packetout(&m_Stream, &m_Packet)) != 0) {
            if (result < 0 || theora_decode_header(&m_Info, &m_Comment, &m_Packet) < 0)
                return false;
            ++headers;
        }
        if (headers == 3)
            break;
        const int got = ogg_sync_pageout(&m_Sync, &m_Page);
        if (got > 0)
            ogg_stream_pagein(&m_Stream, &m_Page);
        else if (got == 0 && ReadChunk() == 0)
            return false;
    }
    if (m_Info.width > kMaxFrameSide || m_Info.height > kMaxFrameSide || m_Info.frame_width == 0 ||
        m_Info.frame_height == 0 || m_Info.frame_width + m_Info.offset_x > m_Info.width ||
        m_Info.frame_height + m_Info.offset_y > m_Info.height) {
        lv::core::CLog::Instance().Print("video", 3, "Theora picture %ux%u at %u,%u in a %ux%u frame is not supported",
                     m_Info.frame_width, m_Info.frame_height, m_Info.offset_x, m_Info.offset_y, m_Info.width,
                     m_Info.height);
        return false;
    }
    return true;
}

bool CTheoraStream::StartDecoder()
{
    if (!m_HeadersRead)
        return false;
    if (m_DecoderReady) {
        theora_clear(&m_Decoder);
        m_DecoderReady = false;
    }
    m_HasPicture = false;
    if (theora_decode_init(&m_Decoder, &m_Info) != 0)
        return false;
    m_DecoderReady = true;
    return true;
}

void CTheoraStream::Close()
{
    if (m_DecoderReady)
        theora_clear(&m_Decoder);
    if (m_StreamReady)
        ogg_stream_clear(&m_Stream);
    if (m_SyncReady) {
        ogg_sync_clear(&m_Sync);
        theora_comment_clear(&m_Comment);
        theora_info_clear(&m_Info);
    }
    if (m_OwnsData && m_Data)
        lv::core::CFileSystem::Instance().FreeFile(m_Data);
    Reset();
}

u32 CTheoraStream::ReadChunk()
{
    if (!m_SyncReady)
        return 0;
    const u32 left = static_cast<u32>(m_Data + m_Size - m_ReadPos);
    const u32 n = left < m_ChunkSize ? left : m_ChunkSize;
    if (n == 0)
        return 0;
    char* buffer = ogg_sync_buffer(&m_Sync, static_cast<long>(n));
    if (!buffer)
        return 0;
    std::memcpy(buffer, m_ReadPos, n);
    ogg_sync_wrote(&m_Sync, static_cast<long>(n));
    m_ReadPos += n;
    return n;
}

bool CTheoraStream::DecodeFrame()
{
    if (!m_DecoderReady)
        return false;
    while (ogg_stream_packetout(&m_Stream, &m_Packet) <= 0) {
        if (ReadChunk() == 0) {
            m_EndOfStream = true;
            return false;
        }
        for (int got; (got = ogg_sync_pageout(&m_Sync, &m_Page)) != 0;) {
            if (got > 0)
                ogg_stream_pagein(&m_Stream, &m_Page);
        }
    }
    ++m_DecodeCount;
    const int result = theora_decode_packetin(&m_Decoder, &m_Packet);
    if (result == kBadPacket)
        return false;
    // Only a decoded data packet leaves a picture to ask for: before one, the decoder's answer
    // points at no frame.
    if (result >= 0 && m_Packet.bytes > 0 && !(m_Packet.packet[0] & 0x80))
        m_HasPicture = true;
    SecondsToMs(theora_granule_time(&m_Decoder, m_Decoder.granulepos), m_FrameTime);
    return true;
}

u32 CTheoraStream::ComputeDuration()
{
    u32 duration = 0;
    if (!m_DecoderReady)
        return 0;
    for (u32 window = 4096; window <= 16 * 4096 && duration == 0; window += 4096) {
        // A window larger than the file is the whole file; larger ones would only repeat it.
        const u32 length = window < m_Size ? window : m_Size;
        ogg_sync_reset(&m_Sync);
        char* buffer = ogg_sync_buffer(&m_Sync, static_cast<long>(length));
        if (!buffer)
            break;
        std::memcpy(buffer, m_Data + (m_Size - length), length);
        ogg_sync_wrote(&m_Sync, static_cast<long>(length));
        ogg_sync_pageseek(&m_Sync, &m_Page);
        for (int got; (got = ogg_sync_pageout(&m_Sync, &m_Page)) != 0;) {
            // Bytes skipped on the way to the next page boundary; header pages (granule position 0) and pages where no packet ends carry no time.
            if (got < 0 || ogg_page_serialno(&m_Page) != m_Stream.serialno || ogg_page_granulepos(&m_Page) <= 0)
                continue;
            SecondsToMs(theora_granule_time(&m_Decoder, ogg_page_granulepos(&m_Page)), duration);
            break;
        }
        if (length == m_Size)
            break;
    }
    ogg_sync_reset(&m_Sync);
    m_ReadPos = m_Data;
    m_FrameTime = 0;
    return duration;
}

void CTheoraStream::Restart()
{
    if (!m_HeadersRead)
        return;
    ogg_stream_reset(&m_Stream);
    StartDecoder();
    ogg_sync_reset(&m_Sync);
    m_ReadPos = m_Data;
    m_FrameTime = 0;
    m_EndOfStream = false;
}

bool CTheoraStream::GetPicture(yuv_buffer& picture)
{
    std::memset(&picture, 0, sizeof picture);
    if (!m_HasPicture || theora_decode_YUVout(&m_Decoder, &picture) != 0 || !picture.y || !picture.u ||
        !picture.v || picture.y_width < static_cast<int>(m_Info.offset_x + m_Info.frame_width) ||
        picture.y_height < static_cast<int>(m_Info.offset_y + m_Info.frame_height))
        return false;
    // The decoder hands out the whole coded frame; the displayed picture lies at its offset.
    const s32 x = static_cast<s32>(m_Info.offset_x), y = static_cast<s32>(m_Info.offset_y);
    picture.y += y * picture.y_stride + x;
    picture.u += (y / 2) * picture.uv_stride + x / 2;
    picture.v += (y / 2) * picture.uv_stride + x / 2;
    picture.y_width = static_cast<int>(m_Info.frame_width);
    picture.y_height = static_cast<int>(m_Info.frame_height);
    picture.uv_width = (picture.y_width + 1) / 2;
    picture.uv_height = (picture.y_height + 1) / 2;
    return true;
}

} // namespace lv::graphics
