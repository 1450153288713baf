#include "WebMWriter.h"

#include <cstring>

#include <vpx/vp8cx.h>
#include <vpx/vpx_encoder.h>

#include <mkvmuxer/mkvmuxer.h>
#include <mkvmuxer/mkvwriter.h>

namespace lv::content {

struct CWebMWriter::CState
{
    vpx_codec_ctx_t encoder{};
    bool encoderReady = false;
    struct CPacket
    {
        std::vector<u8> data;
        u64 timeMs;
        bool key;
    };
    std::vector<CPacket> packets;
    u32 frames = 0;
    bool failed = false;
};

CWebMWriter::CWebMWriter(const CWebMWriterOptions& options) : m_Options(options), m_State(new CState)
{
    vpx_codec_enc_cfg_t config;
    if (vpx_codec_enc_config_default(vpx_codec_vp8_cx(), &config, 0) != VPX_CODEC_OK) {
        m_State->failed = true;
        return;
    }
    config.g_w = options.width;
    config.g_h = options.height;
    config.g_timebase.num = static_cast<int>(options.frameMs);
    config.g_timebase.den = 1000;
    config.rc_target_bitrate = options.bitrate;
    config.g_lag_in_frames = 0;
    config.kf_mode = VPX_KF_DISABLED; // key frames exactly where this writer forces them
    config.g_threads = 1;
    if (vpx_codec_enc_init(&m_State->encoder, vpx_codec_vp8_cx(), &config, 0) != VPX_CODEC_OK) {
        m_State->failed = true;
        return;
    }
    m_State->encoderReady = true;
}

CWebMWriter::~CWebMWriter()
{
    if (m_State->encoderReady)
        vpx_codec_destroy(&m_State->encoder);
    delete m_State;
}

bool CWebMWriter::Encode(const CYuvFrame* frame)
{
    CState& s = *m_State;
    vpx_image_t image;
    vpx_image_t* input = nullptr;
    vpx_enc_frame_flags_t flags = 0;
    if (frame) {
        if (!vpx_img_wrap(&image, VPX_IMG_FMT_I420, frame->width, frame->height, 1,
                          const_cast<u8*>(frame->y.data())))
            return false;
        image.planes[VPX_PLANE_Y] = const_cast<u8*>(frame->y.data());
        image.planes[VPX_PLANE_U] = const_cast<u8*>(frame->u.data());
        image.planes[VPX_PLANE_V] = const_cast<u8*>(frame->v.data());
        image.stride[VPX_PLANE_Y] = static_cast<int>(frame->width);
        image.stride[VPX_PLANE_U] = image.stride[VPX_PLANE_V] = static_cast<int>(frame->ChromaWidth());
        input = &image;
        if (m_Options.keyframeInterval == 0 || s.frames % m_Options.keyframeInterval == 0)
            flags |= VPX_EFLAG_FORCE_KF;
    }
    if (vpx_codec_encode(&s.encoder, input, s.frames, 1, flags, VPX_DL_GOOD_QUALITY) != VPX_CODEC_OK)
        return false;
    vpx_codec_iter_t iterator = nullptr;
    while (const vpx_codec_cx_pkt_t* packet = vpx_codec_get_cx_data(&s.encoder, &iterator)) {
        if (packet->kind != VPX_CODEC_CX_FRAME_PKT)
            continue;
        const u8* data = static_cast<const u8*>(packet->data.frame.buf);
        s.packets.push_back({std::vector<u8>(data, data + packet->data.frame.sz),
                             static_cast<u64>(packet->data.frame.pts) * m_Options.frameMs,
                             (packet->data.frame.flags & VPX_FRAME_IS_KEY) != 0});
    }
    if (frame)
        ++s.frames;
    return true;
}

bool CWebMWriter::AddFrame(const CYuvFrame& frame)
{
    if (m_State->failed || !m_State->encoderReady || frame.width != m_Options.width ||
        frame.height != m_Options.height || !Encode(&frame)) {
        m_State->failed = true;
        return false;
    }
    return true;
}

bool CWebMWriter::WriteFile(const std::filesystem::path& file)
{
    CState& s = *m_State;
    if (s.failed || !s.encoderReady || !Encode(nullptr))
        return false;
    mkvmuxer::MkvWriter writer;
    if (!writer.Open(file.string().c_str()))
        return false;
    mkvmuxer::Segment segment;
    if (!segment.Init(&writer))
        return false;
    segment.set_mode(mkvmuxer::Segment::kFile);
    const u32 trackWidth = m_Options.trackWidth ? m_Options.trackWidth : m_Options.width;
    const u32 trackHeight = m_Options.trackHeight ? m_Options.trackHeight : m_Options.height;
    const u64 track = segment.AddVideoTrack(static_cast<int>(trackWidth), static_cast<int>(trackHeight), 0);
    if (track == 0)
        return false;
    for (const auto& p : s.packets) {
        if (!segment.AddFrame(p.data.data(), p.data.size(), track, p.timeMs * 1000000ull, p.key))
            return false;
    }
    // In time-code units (ms); without it the muxer writes the last frame's time.
    segment.set_duration(static_cast<double>(s.frames) * m_Options.frameMs);
    const bool done = segment.Finalize();
    writer.Close();
    return done;
}

} // namespace lv::content
