// Main-thread cost per shown frame of a 1366x768 Theora video (decode, convert, upload to the
// frame texture over the recording device) and, in the same run, plain libtheora decoding of the
// same packets with no conversion; prints both in ms per frame and their ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "content/TheoraWriter.h"
#include "core/TimeSystem.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TheoraOpaqueVideo.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "support/BenchRendererHost.h"
#include "support/BenchVideo.h"

#include <ogg/ogg.h>
#include <theora/theora.h>

namespace {

constexpr u32 kWidth = 1366, kHeight = 768, kFrames = 50;

// A moving colour gradient with some grain, which gives the encoder real work.
const std::string& VideoPath()
{
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "theora_video_bench.ogv";
        lv::content::CTheoraWriterOptions options;
        options.width = kWidth;
        options.height = kHeight;
        options.quality = 40;
        lv::content::CTheoraWriter writer(options);
        std::mt19937 random(3);
        for (u32 k = 0; k < kFrames; ++k)
            writer.AddFrame(benchsupport::GrainyGradientFrame(kWidth, kHeight, k, random));
        writer.WriteFile(file);
        return file.string();
    }();
    return path;
}

// The file's Theora packets, headers first.
std::vector<std::vector<u8>> Packets(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), buffer);
    ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));
    ogg_stream_state stream;
    bool started = false;
    std::vector<std::vector<u8>> packets;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) > 0) {
        if (!started) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            started = true;
        }
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) > 0)
            packets.emplace_back(packet.packet, packet.packet + packet.bytes);
    }
    if (started)
        ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return packets;
}

ogg_packet PacketOf(std::vector<u8>& bytes, s64 number)
{
    ogg_packet p = {};
    p.packet = bytes.data();
    p.bytes = static_cast<long>(bytes.size());
    p.b_o_s = number == 0;
    p.granulepos = -1;
    p.packetno = number;
    return p;
}

// Plain decoding: every data packet through theora_decode_packetin and theora_decode_YUVout.
class CPlainDecoder
{
public:
    explicit CPlainDecoder(std::vector<std::vector<u8>> packets) : m_Packets(std::move(packets))
    {
        theora_info_init(&m_Info);
        theora_comment_init(&m_Comment);
        for (s64 i = 0; i < 3; ++i) {
            ogg_packet p = PacketOf(m_Packets[static_cast<size_t>(i)], i);
            theora_decode_header(&m_Info, &m_Comment, &p);
        }
        theora_decode_init(&m_Decoder, &m_Info);
    }
    ~CPlainDecoder()
    {
        theora_clear(&m_Decoder);
        theora_comment_clear(&m_Comment);
        theora_info_clear(&m_Info);
    }
    void DecodeNext()
    {
        if (m_Next >= m_Packets.size()) {
            theora_clear(&m_Decoder);
            theora_decode_init(&m_Decoder, &m_Info);
            m_Next = 3;
        }
        ogg_packet p = PacketOf(m_Packets[m_Next], static_cast<s64>(m_Next));
        ++m_Next;
        theora_decode_packetin(&m_Decoder, &p);
        yuv_buffer picture;
        theora_decode_YUVout(&m_Decoder, &picture);
        benchmark::DoNotOptimize(picture.y);
    }

private:
    std::vector<std::vector<u8>> m_Packets;
    theora_info m_Info;
    theora_comment m_Comment;
    theora_state m_Decoder;
    size_t m_Next = 3;
};

void BM_TheoraShownFrame(benchmark::State& state)
{
    auto log = lv::platform::InstallRecordingDirect3D();
    log->WindowWidth = 1366;
    log->WindowHeight = 768;
    benchsupport::CBenchRendererHost host(1366, 768);
    host.SetDesktopSize(1920, 1080);
    lv::graphics::GetGraphicsDevice().Release(false);
    {
        lv::graphics::CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(1366, 768);
        if (!renderer.SetMode(false, true, 1366, 768) || !renderer.BeginFrame()) {
            state.SkipWithError("no device");
            return;
        }
        double now = 0;
        lv::core::CTimeSystem time([&now] { return now; });
        time.Tick();
        lv::graphics::CTheoraOpaqueVideo video;
        video.SetTimeSystem(&time);
        if (!video.Open(VideoPath().c_str())) {
            state.SkipWithError("cannot open the video");
            return;
        }
        video.SetLooping(true);
        CPlainDecoder plain(Packets(VideoPath()));
        double playerMs = 0, plainMs = 0;
        u64 frames = 0;
        using Clock = std::chrono::steady_clock;
        for (auto _ : state) {
            now += 40;
            time.Tick();
            const auto a = Clock::now();
            video.Update();
            video.Draw(renderer, 0, 0);
            const auto b = Clock::now();
            plain.DecodeNext();
            const auto c = Clock::now();
            playerMs += std::chrono::duration<double, std::milli>(b - a).count();
            plainMs += std::chrono::duration<double, std::milli>(c - b).count();
            ++frames;
            renderer.Flush();
            log->Calls.clear();
            log->Draws.clear();
        }
        state.counters["player_ms_per_frame"] = playerMs / static_cast<double>(frames);
        state.counters["plain_decode_ms_per_frame"] = plainMs / static_cast<double>(frames);
        state.counters["ratio"] = plainMs > 0 ? playerMs / plainMs : 0;
        std::printf("Theora 1366x768: player %.3f ms per shown frame, plain libtheora %.3f ms, ratio %.2f\n",
                    playerMs / static_cast<double>(frames), plainMs / static_cast<double>(frames),
                    plainMs > 0 ? playerMs / plainMs : 0.0);
    }
    lv::platform::SetDirect3DFactory(nullptr);
}

} // namespace

BENCHMARK(BM_TheoraShownFrame)->Iterations(200)->Unit(benchmark::kMillisecond);
