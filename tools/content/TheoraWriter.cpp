#include "TheoraWriter.h"

#include <fstream>
#include <optional>

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

namespace lv::content {

struct CTheoraWriter::CState
{
    th_info info;
    th_enc_ctx* encoder = nullptr;
    ogg_stream_state stream;
    std::vector<u8> out;
    // The encoder must know which frame is the last one, so every frame waits for the next.
    std::optional<CYuvFrame> pending;
    bool failed = false;
};

namespace {

void AppendPage(std::vector<u8>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

CTheoraWriter::CTheoraWriter(const CTheoraWriterOptions& options) : m_Options(options), m_State(new CState)
{
    CState& s = *m_State;
    th_info_init(&s.info);
    s.info.frame_width = (options.width + 15) & ~15u;
    s.info.frame_height = (options.height + 15) & ~15u;
    s.info.pic_width = options.width;
    s.info.pic_height = options.height;
    s.info.pic_x = ((s.info.frame_width - options.width) / 2) & ~1u;
    s.info.pic_y = ((s.info.frame_height - options.height) / 2) & ~1u;
    s.info.colorspace = TH_CS_UNSPECIFIED;
    s.info.pixel_fmt = TH_PF_420;
    s.info.fps_numerator = options.fpsNumerator;
    s.info.fps_denominator = options.fpsDenominator;
    s.info.aspect_numerator = 1;
    s.info.aspect_denominator = 1;
    s.info.quality = options.quality;
    s.info.target_bitrate = 0;
    s.info.keyframe_granule_shift = 6;
    ogg_stream_init(&s.stream, 0x5eed);
    s.encoder = th_encode_alloc(&s.info);
    if (!s.encoder) {
        s.failed = true;
        return;
    }
    int interval = static_cast<int>(options.keyframeInterval);
    th_encode_ctl(s.encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &interval, sizeof(interval));
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(s.encoder, &comment, &packet) > 0) {
        ogg_stream_packetin(&s.stream, &packet);
        // The identification header has a page of its own.
        if (first) {
            ogg_page page;
            while (ogg_stream_flush(&s.stream, &page) > 0)
                AppendPage(s.out, page);
            first = false;
        }
    }
    ogg_page page;
    while (ogg_stream_flush(&s.stream, &page) > 0)
        AppendPage(s.out, page);
    th_comment_clear(&comment);
}

CTheoraWriter::~CTheoraWriter()
{
    if (m_State->encoder)
        th_encode_free(m_State->encoder);
    ogg_stream_clear(&m_State->stream);
    th_info_clear(&m_State->info);
    delete m_State;
}

bool CTheoraWriter::AddFrame(const CYuvFrame& frame)
{
    CState& s = *m_State;
    if (s.failed || frame.width != m_Options.width || frame.height != m_Options.height)
        return false;
    if (s.pending && !EncodeBuffered(false))
        return false;
    s.pending = frame;
    return true;
}

bool CTheoraWriter::EncodeBuffered(bool last)
{
    CState& s = *m_State;
    const CYuvFrame& f = *s.pending;
    // The encoder reads whole coded frames: copy the picture into a padded frame at its offset.
    const u32 fw = s.info.frame_width, fh = s.info.frame_height;
    std::vector<u8> planes[3] = {std::vector<u8>(static_cast<size_t>(fw) * fh, 16),
                                 std::vector<u8>(static_cast<size_t>(fw / 2) * (fh / 2), 128),
                                 std::vector<u8>(static_cast<size_t>(fw / 2) * (fh / 2), 128)};
    for (u32 r = 0; r < f.height; ++r)
        for (u32 c = 0; c < f.width; ++c)
            planes[0][(s.info.pic_y + r) * fw + s.info.pic_x + c] = f.y[static_cast<size_t>(r) * f.width + c];
    for (u32 r = 0; r < f.ChromaHeight(); ++r)
        for (u32 c = 0; c < f.ChromaWidth(); ++c) {
            const size_t at = (s.info.pic_y / 2 + r) * (fw / 2) + s.info.pic_x / 2 + c;
            planes[1][at] = f.u[static_cast<size_t>(r) * f.ChromaWidth() + c];
            planes[2][at] = f.v[static_cast<size_t>(r) * f.ChromaWidth() + c];
        }
    th_ycbcr_buffer buffer;
    for (int i = 0; i < 3; ++i) {
        buffer[i].width = static_cast<int>(i ? fw / 2 : fw);
        buffer[i].height = static_cast<int>(i ? fh / 2 : fh);
        buffer[i].stride = buffer[i].width;
        buffer[i].data = planes[i].data();
    }
    if (th_encode_ycbcr_in(s.encoder, buffer) != 0) {
        s.failed = true;
        return false;
    }
    ogg_packet packet;
    int r;
    while ((r = th_encode_packetout(s.encoder, last ? 1 : 0, &packet)) > 0) {
        ogg_stream_packetin(&s.stream, &packet);
        ogg_page page;
        if (m_Options.pagePerFrame) {
            while (ogg_stream_flush(&s.stream, &page) > 0)
                AppendPage(s.out, page);
        } else {
            while (ogg_stream_pageout(&s.stream, &page) > 0)
                AppendPage(s.out, page);
        }
    }
    s.pending.reset();
    if (r < 0)
        s.failed = true;
    return !s.failed;
}

std::vector<u8> CTheoraWriter::Finish()
{
    CState& s = *m_State;
    if (s.pending)
        EncodeBuffered(true);
    if (s.failed)
        return {};
    ogg_page page;
    while (ogg_stream_flush(&s.stream, &page) > 0)
        AppendPage(s.out, page);
    return std::move(s.out);
}

bool CTheoraWriter::WriteFile(const std::filesystem::path& file)
{
    const std::vector<u8> bytes = Finish();
    if (bytes.empty())
        return false;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace lv::content
