#pragma once
// Hands the pages and packets of one logical Ogg stream out of a file held in memory, feeding
// the Ogg layer in fixed chunks without copying the file. Until told otherwise it follows the
// first logical stream it meets.
#include "core/Types.h"

#include <ogg/ogg.h>

namespace lv::sound {

class COggMemoryReader
{
public:
    explicit COggMemoryReader(s32 chunkSize = 8192) : m_ChunkSize(chunkSize > 0 ? chunkSize : 8192) {}
    ~COggMemoryReader() { Close(); }
    COggMemoryReader(const COggMemoryReader&) = delete;
    COggMemoryReader& operator=(const COggMemoryReader&) = delete;

    // Reads the data (not owned) for the stream of that serial number; -1 follows the first.
    void Open(const u8* data, u32 size, s32 serial);
    void Close();
    bool IsOpen() const { return m_Data != nullptr; }
    // False without data or past the end; otherwise the next page is searched from there.
    bool SeekToByte(u32 position);
    // The next page of any stream into GetPage; false at the end of the data.
    bool NextPage();
    // The next packet of the followed stream; false at the end of the data.
    bool NextPacket(ogg_packet& packet);

    const ogg_page& GetPage() const { return m_Page; }
    bool IsAtEnd() const { return m_AtEnd; }
    void SetFollowSerial(bool follow) { m_FollowSerial = follow; }
    s32 GetSerial() const { return m_Stream.serialno; }
    u32 GetSize() const { return m_Size; }
    // Gives the current page to the stream state (used to decode a page found by a search).
    bool FeedPage();
    // Whether the stream state holds a whole packet now (gaps are dropped); reads no page.
    bool HasPacket();

private:
    ogg_stream_state m_Stream{};
    ogg_sync_state m_Sync{};
    ogg_page m_Page{};
    const u8* m_Data = nullptr;
    u32 m_Size = 0;
    u32 m_Position = 0;
    bool m_AtEnd = false;
    s32 m_ChunkSize;
    bool m_FollowSerial = false;
};

} // namespace lv::sound
