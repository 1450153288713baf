#pragma once
// Decodes one Ogg Vorbis file into signed 16-bit PCM, interleaved, one or two channels. The
// whole file is loaded through the file system and stays in memory while open; the stream can
// rewind, seek to a time by bisecting the file on page granule positions, and tell its total
// play time from its last pages.
#include "core/Types.h"
#include "sound/OggMemoryReader.h"

#include <vorbis/codec.h>

namespace lv::sound {

class COggVorbisStream
{
public:
    explicit COggVorbisStream(s32 chunkSize = 8192);
    ~COggVorbisStream() { Close(); }
    COggVorbisStream(const COggVorbisStream&) = delete;
    COggVorbisStream& operator=(const COggVorbisStream&) = delete;

    // Closes what is open, loads the file and reads its headers; false when the file is missing
    // or holds no mono or stereo Vorbis stream.
    bool Open(const char* path);
    // The same over data the caller keeps while the stream is open.
    bool OpenMemory(const u8* data, u32 size);
    void Close();
    bool IsOpen() const { return m_Data != nullptr; }
    bool IsAtEnd() const { return !IsOpen() || m_AtEnd; }

    // Decodes up to `bytes` bytes (whole frames) into out, or throws them away when out is null;
    // returns the bytes produced (0 at the end).
    u32 Read(void* out, u32 bytes);
    // Starts again from the beginning of the same data.
    bool Rewind();
    // Positions the stream so that the next Read starts at that time; false below 0.001 s.
    bool SeekTime(double seconds);
    // Seconds, from the granule position of the last page.
    double GetTotalTime() const;

    s32 GetSampleRate() const { return m_SampleRate; }
    bool IsStereo() const { return m_Stereo; }
    s32 GetChannels() const { return m_Stereo ? 2 : 1; }

    // The integer part of value x 32768, clamped to the 16-bit range.
    static s16 ToSample(float value);

private:
    bool InitDecoder();
    void ReleaseDecoder();
    // Decodes one packet; false when there is none left.
    bool DecodePacket();
    // The granule position of the first page that ends audio, -1 when there is none.
    s64 FindFirstAudioGranule() const;
    // Decodes and drops that many frames; false when the stream ends first.
    bool Skip(s64 frames);

    COggMemoryReader m_Reader;
    const u8* m_Data = nullptr;
    u32 m_Size = 0;
    bool m_OwnsData = false; // given back to the file system on close
    s32 m_ChunkSize;
    bool m_AtEnd = false;
    bool m_DecoderReady = false;
    vorbis_info m_Info{};
    vorbis_comment m_Comment{};
    vorbis_dsp_state m_Dsp{};
    vorbis_block m_Block{};
    s32 m_SampleRate = 0;
    bool m_Stereo = false;
    s64 m_FirstAudioGranule = -2; // -2 until a seek needs it
};

} // namespace lv::sound
