#include "content/OggVorbisWriter.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstring>

namespace lv::content {

namespace {

void Append(std::vector<u8>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// One page of a logical stream that no decoder knows.
void AppendForeignStream(std::vector<u8>& out)
{
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x0F0F);
    static unsigned char data[] = "not a vorbis header, just bytes";
    ogg_packet packet{};
    packet.packet = data;
    packet.bytes = sizeof(data);
    packet.b_o_s = 1;
    packet.e_o_s = 1;
    ogg_stream_packetin(&stream, &packet);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        Append(out, page);
    ogg_stream_clear(&stream);
}

} // namespace

std::vector<u8> EncodeOggVorbis(const COggVorbisSource& source, float quality, bool foreignStreamFirst,
                                s32 pageBytes)
{
    std::vector<u8> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, source.m_Channels, source.m_Rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    if (foreignStreamFirst)
        AppendForeignStream(out);

    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x50A1);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        Append(out, page);

    const size_t frames = source.m_Samples.size() / source.m_Channels;
    const size_t step = 1024;
    for (size_t at = 0;; at += step) {
        const size_t n = at >= frames ? 0 : (at + step <= frames ? step : frames - at);
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (s32 c = 0; c < source.m_Channels; ++c)
                    buffer[c][i] = source.m_Samples[(at + i) * source.m_Channels + c];
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                if (pageBytes > 0) {
                    while (ogg_stream_flush_fill(&stream, &page, pageBytes))
                        Append(out, page);
                } else {
                    while (ogg_stream_pageout(&stream, &page))
                        Append(out, page);
                }
            }
        }
        if (n == 0)
            break;
    }
    while (ogg_stream_flush(&stream, &page))
        Append(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

COggVorbisSource MakeTone(s32 channels, s32 rate, double seconds, double frequency, float amplitude, u32 channelMask)
{
    COggVorbisSource source;
    source.m_Channels = channels;
    source.m_Rate = rate;
    const size_t frames = static_cast<size_t>(seconds * rate);
    source.m_Samples.resize(frames * channels);
    const double pi = 3.14159265358979323846;
    for (size_t i = 0; i < frames; ++i) {
        const float value = static_cast<float>(amplitude * std::sin(2.0 * pi * frequency * static_cast<double>(i) / rate));
        for (s32 c = 0; c < channels; ++c)
            source.m_Samples[i * channels + c] = (channelMask >> c) & 1 ? value : 0.0f;
    }
    return source;
}

} // namespace lv::content
