#include "sound/OggMemoryReader.h"

#include "core/Log.h"

#include <algorithm>
#include <cstring>

namespace lv::sound {

void COggMemoryReader::Open(const u8* data, u32 size, s32 serial)
{
    Close();
    m_Data = data;
    m_Size = size;
    ogg_stream_init(&m_Stream, serial);
    ogg_sync_init(&m_Sync);
    m_Page = {};
    m_FollowSerial = serial == -1;
    m_Position = 0;
    m_AtEnd = false;
}

void COggMemoryReader::Close()
{
    if (!m_Data)
        return;
    ogg_sync_clear(&m_Sync);
    ogg_stream_clear(&m_Stream);
    m_Data = nullptr;
    m_Size = 0;
    m_Position = 0;
    m_AtEnd = false;
    m_Page = {};
}

bool COggMemoryReader::SeekToByte(u32 position)
{
    if (!m_Data || position > m_Size)
        return false;
    m_Position = position;
    ogg_sync_reset(&m_Sync);
    ogg_stream_reset(&m_Stream);
    m_AtEnd = false;
    return true;
}

bool COggMemoryReader::NextPage()
{
    if (!m_Data)
        return false;
    for (;;) {
        const int result = ogg_sync_pageout(&m_Sync, &m_Page);
        if (result == 1)
            return true;
        if (result < 0)
            continue; // bytes skipped while finding the next page
        if (m_Position >= m_Size) {
            m_AtEnd = true;
            return false;
        }
        const u32 count = std::min<u32>(static_cast<u32>(m_ChunkSize), m_Size - m_Position);
        char* buffer = ogg_sync_buffer(&m_Sync, count);
        if (!buffer)
            return false;
        std::memcpy(buffer, m_Data + m_Position, count);
        ogg_sync_wrote(&m_Sync, count);
        m_Position += count;
    }
}

bool COggMemoryReader::FeedPage()
{
    if (ogg_page_serialno(&m_Page) != m_Stream.serialno)
        return false;
    if (ogg_stream_pagein(&m_Stream, &m_Page) != 0) {
        lv::core::CLog::Instance().Print("sound", 2, "ogg_stream_pagein failed");
        return false;
    }
    return true;
}

bool COggMemoryReader::HasPacket()
{
    if (!m_Data)
        return false;
    for (;;) {
        const int result = ogg_stream_packetpeek(&m_Stream, nullptr);
        if (result >= 0)
            return result == 1;
        ogg_packet gap;
        ogg_stream_packetout(&m_Stream, &gap);
    }
}

bool COggMemoryReader::NextPacket(ogg_packet& packet)
{
    if (!m_Data)
        return false;
    for (;;) {
        const int result = ogg_stream_packetout(&m_Stream, &packet);
        if (result == 1)
            return true;
        if (result < 0)
            continue; // a gap in the data
        for (;;) {
            if (!NextPage())
                return false;
            if (m_FollowSerial)
                ogg_stream_reset_serialno(&m_Stream, ogg_page_serialno(&m_Page));
            if (ogg_page_serialno(&m_Page) == m_Stream.serialno) {
                FeedPage();
                break;
            }
        }
    }
}

} // namespace lv::sound
