// A 1366x768 VP8 WebM at 25 fps played as the game plays it: a 60 Hz loop on the wall clock
// whose Update decodes ahead on the thread pool. Reports the main thread's milliseconds per new
// frame (wait, upload; goal at most 5) and the frames never shown, and in the same run plain
// libvpx decoding plus conversion of the same frames on one thread; prints both and the ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "content/WebMWriter.h"
#include "core/ThreadPool.h"
#include "core/TimeSystem.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/WebMOpaqueVideo.h"
#include "graphics/WebMStream.h"
#include "graphics/YuvConvert.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "support/BenchRendererHost.h"
#include "support/BenchVideo.h"

namespace {

constexpr u32 kWidth = 1366, kHeight = 768, kFrames = 75;
using Clock = std::chrono::steady_clock;

const std::string& VideoPath()
{
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "webm_video_bench.webm";
        lv::content::CWebMWriterOptions options;
        options.width = kWidth;
        options.height = kHeight;
        options.keyframeInterval = 25;
        options.bitrate = 3000;
        lv::content::CWebMWriter writer(options);
        std::mt19937 random(5);
        for (u32 k = 0; k < kFrames; ++k)
            writer.AddFrame(benchsupport::GrainyGradientFrame(kWidth, kHeight, k, random));
        writer.WriteFile(file);
        return file.string();
    }();
    return path;
}

void BM_WebMNewFrame(benchmark::State& state)
{
    auto log = lv::platform::InstallRecordingDirect3D();
    log->WindowWidth = 1366;
    log->WindowHeight = 768;
    benchsupport::CBenchRendererHost host(1366, 768);
    host.SetDesktopSize(1920, 1080);
    lv::graphics::GetGraphicsDevice().Release(false);
    lv::mt::CThreadPool pool(2);
    pool.Start();
    {
        lv::graphics::CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(1366, 768);
        if (!renderer.SetMode(false, true, 1366, 768) || !renderer.BeginFrame()) {
            state.SkipWithError("no device");
            return;
        }
        const std::string& path = VideoPath();
        double playerMs = 0, plainMs = 0, worstMs = 0;
        u64 newFrames = 0, dropped = 0, plainFrames = 0;
        for (auto _ : state) {
            // The game's loop: 60 frames a second on the wall clock, for the whole video.
            lv::core::CTimeSystem time;
            time.Tick();
            lv::graphics::CWebMOpaqueVideo video(&pool);
            video.SetTimeSystem(&time);
            if (!video.Open(path.c_str())) {
                state.SkipWithError("cannot open the video");
                return;
            }
            u32 decoded = video.GetDecodeCount();
            const auto start = Clock::now();
            for (u32 frame = 1; video.GetPosition() + 40 < kFrames * 40; ++frame) {
                std::this_thread::sleep_until(start + std::chrono::microseconds(16667) * frame);
                time.Tick();
                const auto a = Clock::now();
                video.Update();
                const auto b = Clock::now();
                const u32 now = video.GetDecodeCount();
                if (now != decoded) {
                    const double ms = std::chrono::duration<double, std::milli>(b - a).count();
                    playerMs += ms;
                    worstMs = std::max(worstMs, ms);
                    ++newFrames;
                    // A task decodes one block per shown frame; more means frames were skipped.
                    dropped += now - decoded - 1;
                    decoded = now;
                }
                renderer.Flush();
                log->Calls.clear();
                log->Draws.clear();
            }
            video.Close();
            // The same frames decoded and converted on this thread only.
            lv::graphics::CWebMStream stream;
            stream.Open(path.c_str());
            std::vector<u8> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
            const auto c = Clock::now();
            for (u32 k = 0; k < kFrames; ++k) {
                stream.DecodeNext();
                if (const vpx_image_t* picture = stream.GetFrame())
                    lv::graphics::YuvToRgbaOpaque(rgba.data(), *picture);
                ++plainFrames;
            }
            plainMs += std::chrono::duration<double, std::milli>(Clock::now() - c).count();
        }
        const double player = newFrames ? playerMs / static_cast<double>(newFrames) : 0;
        const double plain = plainFrames ? plainMs / static_cast<double>(plainFrames) : 0;
        state.counters["main_thread_ms_per_new_frame"] = player;
        state.counters["worst_ms"] = worstMs;
        state.counters["dropped_frames"] = static_cast<double>(dropped);
        state.counters["plain_decode_convert_ms"] = plain;
        state.counters["ratio"] = plain > 0 ? player / plain : 0;
        std::printf("WebM 1366x768: main thread %.3f ms per new frame (worst %.3f), %llu of %llu frames dropped; "
                    "plain libvpx decode + convert %.3f ms; ratio %.3f\n",
                    player, worstMs, static_cast<unsigned long long>(dropped),
                    static_cast<unsigned long long>(newFrames + dropped), plain, plain > 0 ? player / plain : 0.0);
    }
    pool.Stop();
    lv::platform::SetDirect3DFactory(nullptr);
}

} // namespace

BENCHMARK(BM_WebMNewFrame)->Iterations(2)->Unit(benchmark::kMillisecond);
