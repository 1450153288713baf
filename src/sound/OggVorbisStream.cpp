#include "sound/OggVorbisStream.h"

#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/MessageBox.h"

#include <algorithm>
#include <cmath>

namespace lv::sound {

namespace {

const char kStreamChannel[] = "sound";
constexpr int kNotAudio = -135; // OV_ENOTAUDIO

} // namespace

s16 COggVorbisStream::ToSample(float value)
{
    const float scaled = value * 32768.0f;
    if (scaled >= 32767.0f)
        return 32767;
    if (scaled <= -32768.0f)
        return -32768;
    return static_cast<s16>(scaled);
}

COggVorbisStream::COggVorbisStream(s32 chunkSize) : m_Reader(chunkSize), m_ChunkSize(chunkSize > 0 ? chunkSize : 8192)
{
}

bool COggVorbisStream::Open(const char* path)
{
    Close();
    u32 size = 0;
    const u8* data = path ? lv::core::CFileSystem::Instance().LoadFile(path, &size) : nullptr;
    if (!data)
        return false;
    m_Data = data;
    m_Size = size;
    m_OwnsData = true;
    if (InitDecoder())
        return true;
    Close();
    return false;
}

bool COggVorbisStream::OpenMemory(const u8* data, u32 size)
{
    Close();
    if (!data)
        return false;
    m_Data = data;
    m_Size = size;
    m_OwnsData = false;
    if (InitDecoder())
        return true;
    Close();
    return false;
}

void COggVorbisStream::Close()
{
    ReleaseDecoder();
    if (m_OwnsData && m_Data)
        lv::core::CFileSystem::Instance().FreeFile(m_Data);
    m_Data = nullptr;
    m_Size = 0;
    m_OwnsData = false;
}

bool COggVorbisStream::InitDecoder()
{
    m_AtEnd = false;
    vorbis_info_init(&m_Info);
    vorbis_comment_init(&m_Comment);
    m_Reader.Open(m_Data, m_Size, -1);
    m_DecoderReady = true; // the info and comment need clearing from here on

    ogg_packet packet;
    int headers = 0;
    while (headers < 3) {
        if (!m_Reader.NextPacket(packet))
            return false;
        if (headers == 0) {
            // Streams that are not Vorbis come before ours: skip them.
            if (vorbis_synthesis_idheader(&packet) != 1)
                continue;
            m_Reader.SetFollowSerial(false);
        }
        if (vorbis_synthesis_headerin(&m_Info, &m_Comment, &packet) != 0)
            return false;
        ++headers;
    }
    if (m_Info.channels != 1 && m_Info.channels != 2)
        return false;
    if (vorbis_synthesis_init(&m_Dsp, &m_Info) != 0)
        return false;
    if (vorbis_block_init(&m_Dsp, &m_Block) != 0) {
        vorbis_dsp_clear(&m_Dsp);
        return false;
    }
    m_Stereo = m_Info.channels == 2;
    m_SampleRate = static_cast<s32>(m_Info.rate);
    m_FirstAudioGranule = -2;
    return true;
}

s64 COggVorbisStream::FindFirstAudioGranule() const
{
    COggMemoryReader reader(m_ChunkSize);
    reader.Open(m_Data, m_Size, m_Reader.GetSerial());
    while (reader.NextPage()) {
        const ogg_page& page = reader.GetPage();
        if (ogg_page_serialno(&page) == reader.GetSerial() && ogg_page_granulepos(&page) > 0)
            return ogg_page_granulepos(&page);
    }
    return -1;
}

void COggVorbisStream::ReleaseDecoder()
{
    if (m_DecoderReady) {
        if (m_SampleRate) {
            vorbis_block_clear(&m_Block);
            vorbis_dsp_clear(&m_Dsp);
        }
        vorbis_comment_clear(&m_Comment);
        vorbis_info_clear(&m_Info);
        m_DecoderReady = false;
    }
    m_Reader.Close();
    m_Stereo = false;
    m_SampleRate = 0;
    m_AtEnd = false;
}

bool COggVorbisStream::Rewind()
{
    if (!IsOpen())
        return false;
    ReleaseDecoder();
    return InitDecoder();
}

bool COggVorbisStream::DecodePacket()
{
    ogg_packet packet;
    if (!m_Reader.NextPacket(packet))
        return false;
    const int result = vorbis_synthesis(&m_Block, &packet);
    if (result == 0) {
        if (vorbis_synthesis_blockin(&m_Dsp, &m_Block) != 0)
            lv::core::CLog::Instance().Print(kStreamChannel, 2, "vorbis_synthesis_blockin failed");
    } else if (result != kNotAudio) {
        lv::core::CLog::Instance().Print(kStreamChannel, 2, "vorbis_synthesis failed");
    }
    return true;
}

u32 COggVorbisStream::Read(void* out, u32 bytes)
{
    if (!IsOpen() || m_SampleRate == 0 || m_AtEnd)
        return 0;
    const s32 channels = GetChannels();
    s32 room = static_cast<s32>(bytes / 2);
    s16* target = static_cast<s16*>(out);
    u32 produced = 0;
    bool more = true;
    while (room >= channels) {
        float** pcm = nullptr;
        s32 frames = vorbis_synthesis_pcmout(&m_Dsp, &pcm);
        if (frames > 0) {
            frames = std::min(frames, room / channels);
            if (target) {
                for (s32 i = 0; i < frames; ++i)
                    for (s32 c = 0; c < channels; ++c)
                        *target++ = ToSample(pcm[c][i]);
            }
            vorbis_synthesis_read(&m_Dsp, frames);
            room -= frames * channels;
            produced += static_cast<u32>(frames * channels * 2);
        } else if (!(more = DecodePacket())) {
            break;
        }
    }
    if (!more || m_Reader.IsAtEnd()) {
        float** pcm = nullptr;
        if (m_Reader.IsAtEnd() && vorbis_synthesis_pcmout(&m_Dsp, &pcm) <= 0)
            m_AtEnd = true;
    }
    return produced & ~1u;
}

bool COggVorbisStream::SeekTime(double seconds)
{
    if (seconds < 0.001 || !IsOpen() || m_SampleRate == 0)
        return false;
    const s64 target = static_cast<s64>(seconds * m_SampleRate);

    // Bisect the bytes for the last page of our stream that ends at or before the target.
    u32 lo = 0;
    u32 hi = m_Size;
    s64 bestGranule = -1;
    u32 bestPosition = 0;
    bool found = false;
    const s32 serial = m_Reader.GetSerial();
    while (lo < hi) {
        const u32 mid = lo + (hi - lo) / 2;
        bool page = m_Reader.SeekToByte(mid);
        while (page && (page = m_Reader.NextPage()) && ogg_page_serialno(&m_Reader.GetPage()) != serial) {
        }
        // A page on which no packet ends has no position (-1): it cannot tell where we are.
        const s64 granule = page ? ogg_page_granulepos(&m_Reader.GetPage()) : -1;
        if (page && granule >= 0 && granule <= target) {
            if (!found || granule > bestGranule) {
                bestGranule = granule;
                bestPosition = mid;
            }
            found = true;
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    if (!found) {
        lv::core::ShowMessageBoxF("Error", "Audio seek to time failed.");
        return false;
    }

    // After a restart the decoder does not count the first audio page's samples as it does when
    // it starts with the stream, and its output would run late; that page is decoded from the
    // start instead.
    if (m_FirstAudioGranule == -2)
        m_FirstAudioGranule = FindFirstAudioGranule();
    if (bestGranule > 0 && bestGranule == m_FirstAudioGranule) {
        if (!Rewind())
            return false;
        return Skip(target);
    }

    m_AtEnd = false;
    m_Reader.SeekToByte(bestPosition);
    bool page = true;
    while ((page = m_Reader.NextPage()) && ogg_page_serialno(&m_Reader.GetPage()) != serial) {
    }
    vorbis_synthesis_restart(&m_Dsp);
    // After a restart the decoder gives nothing for its first packet, so the packets of the
    // found page are decoded and dropped: the output of the next page then starts exactly at
    // the found page's granule position.
    if (page && m_Reader.FeedPage()) {
        while (m_Reader.HasPacket() && DecodePacket()) {
        }
        float** pcm = nullptr;
        const s32 pending = vorbis_synthesis_pcmout(&m_Dsp, &pcm);
        if (pending > 0)
            vorbis_synthesis_read(&m_Dsp, pending);
    }

    return Skip(target - bestGranule);
}

bool COggVorbisStream::Skip(s64 frames)
{
    s64 skip = frames * 2 * GetChannels();
    while (skip > 0) {
        const u32 step = static_cast<u32>(std::min<s64>(skip, 1 << 16));
        const u32 got = Read(nullptr, step);
        if (got == 0)
            return false;
        skip -= got;
    }
    return true;
}

double COggVorbisStream::GetTotalTime() const
{
    if (!IsOpen() || m_SampleRate == 0)
        return 0.0;
    COggMemoryReader reader(m_ChunkSize);
    reader.Open(m_Data, m_Size, m_Reader.GetSerial());
    const u32 chunk = static_cast<u32>(m_ChunkSize);
    u32 start = m_Size > chunk ? m_Size - chunk : 0;
    for (;;) {
        reader.SeekToByte(start);
        bool any = false;
        s64 last = -1;
        while (reader.NextPage()) {
            const ogg_page& page = reader.GetPage();
            if (ogg_page_serialno(&page) != reader.GetSerial())
                continue;
            any = true;
            const s64 granule = ogg_page_granulepos(&page);
            if (granule >= 0)
                last = granule;
            if (ogg_page_eos(&page))
                return static_cast<double>(granule) / m_SampleRate;
        }
        if (any && last >= 0)
            return static_cast<double>(last) / m_SampleRate;
        if (start == 0)
            return 0.0;
        start = start > chunk ? start - chunk : 0;
    }
}

} // namespace lv::sound
