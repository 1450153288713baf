// A 1366x768 WebM cutscene part (25 fps) played by the cutscene player as the game plays it: a
// 60 Hz loop on the wall clock, each frame the player's update and draw, its video decoding ahead
// on the process's thread pool. Reports the main thread's milliseconds per new frame and, in the
// same run, the same for the WebM player alone on the same file and pool; prints both and the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include "content/WebMWriter.h"
#include "core/ThreadPool.h"
#include "core/TimeSystem.h"
#include "game/play/CutscenePlayer.h"
#include "game/play/GameWindow.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/WebMOpaqueVideo.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "support/BenchRendererHost.h"
#include "support/BenchVideo.h"

namespace {

constexpr u32 kWidth = 1366, kHeight = 768, kFrames = 75;
using WallClock = std::chrono::steady_clock;

// A working folder with "part.webm" and "properties/cutscenes.xml" naming it as cutscene "bench".
class CCutsceneFolder
{
public:
    CCutsceneFolder()
    {
        std::random_device random;
        std::string name("cutscene_bench-");
        name.append(std::to_string(random()));
        m_Folder = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(m_Folder / "properties");
        m_Previous = std::filesystem::current_path();
        std::filesystem::current_path(m_Folder);
        std::ofstream(m_Folder / "properties/cutscenes.xml")
            << R"(<?xml version="1.0"?><cutscenes><cutscene id="bench"><video path="part.webm"/></cutscene></cutscenes>)";
        lv::content::CWebMWriterOptions options;
        options.width = kWidth;
        options.height = kHeight;
        options.keyframeInterval = 25;
        options.bitrate = 3000;
        lv::content::CWebMWriter writer(options);
        std::mt19937 noise(5);
        for (u32 k = 0; k < kFrames; ++k)
            writer.AddFrame(benchsupport::GrainyGradientFrame(kWidth, kHeight, k, noise));
        writer.WriteFile(m_Folder / "part.webm");
    }
    ~CCutsceneFolder()
    {
        std::filesystem::current_path(m_Previous);
        std::error_code error;
        std::filesystem::remove_all(m_Folder, error);
    }

private:
    std::filesystem::path m_Folder;
    std::filesystem::path m_Previous;
};

struct CFrameTimes
{
    double Ms = 0;
    double Worst = 0;
    u64 NewFrames = 0;
};

// Plays until the video's end at 60 Hz on the wall clock; a frame counts when the decoder moved.
void PlayLoop(lv::core::CTimeSystem& time, lv::graphics::CRenderer& renderer, lv::graphics::CWebMOpaqueVideo& video,
              const std::function<void()>& frame, const std::function<bool()>& playing, CFrameTimes& times)
{
    u32 decoded = video.GetDecodeCount();
    const auto start = WallClock::now();
    for (u32 n = 1; playing(); ++n) {
        std::this_thread::sleep_until(start + std::chrono::microseconds(16667) * n);
        time.Tick();
        const auto a = WallClock::now();
        frame();
        const auto b = WallClock::now();
        renderer.Flush();
        const u32 now = video.IsOpen() ? video.GetDecodeCount() : decoded;
        if (now != decoded) {
            const double ms = std::chrono::duration<double, std::milli>(b - a).count();
            times.Ms += ms;
            times.Worst = std::max(times.Worst, ms);
            ++times.NewFrames;
            decoded = now;
        }
    }
}

void BM_CutscenePartNewFrame(benchmark::State& state)
{
    auto log = lv::platform::InstallRecordingDirect3D();
    log->WindowWidth = 1366;
    log->WindowHeight = 768;
    benchsupport::CBenchRendererHost host(1366, 768);
    host.SetDesktopSize(1920, 1080);
    lv::graphics::GetGraphicsDevice().Release(false);
    lv::mt::CThreadPool* pool = lv::mt::CThreadPool::Create();
    pool->Start();
    const CCutsceneFolder folder;
    {
        lv::graphics::CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(1366, 768);
        if (!renderer.SetMode(false, true, 1366, 768) || !renderer.BeginFrame()) {
            state.SkipWithError("no device");
            return;
        }
        CFrameTimes cutscene, alone;
        for (auto _ : state) {
            lv::core::CTimeSystem time;
            time.Tick();
            game::CGameWindow::SetClock(&time);
            {
                game::CCutscenePlayer player;
                if (!player.Play("bench")) {
                    state.SkipWithError("cannot play the cutscene");
                    break;
                }
                auto& video = static_cast<lv::graphics::CWebMOpaqueVideo&>(player.GetCurrentVideo());
                PlayLoop(
                    time, renderer, video,
                    [&] {
                        player.Update();
                        player.Draw(renderer);
                    },
                    [&] { return player.IsPlaying(); }, cutscene);
                log->Calls.clear();
                log->Draws.clear();
            }
            {
                lv::graphics::CWebMOpaqueVideo video;
                video.SetTimeSystem(&time);
                if (!video.Open("part.webm")) {
                    state.SkipWithError("cannot open the video");
                    break;
                }
                PlayLoop(
                    time, renderer, video,
                    [&] {
                        video.Update();
                        video.Draw(renderer, 0.0f, 0.0f, 1366.0f, 768.0f);
                    },
                    [&] { return static_cast<s64>(video.GetPosition()) < video.GetDuration(); }, alone);
                log->Calls.clear();
                log->Draws.clear();
            }
            game::CGameWindow::SetClock(nullptr);
        }
        const double part = cutscene.NewFrames ? cutscene.Ms / static_cast<double>(cutscene.NewFrames) : 0;
        const double plain = alone.NewFrames ? alone.Ms / static_cast<double>(alone.NewFrames) : 0;
        state.counters["cutscene_ms_per_new_frame"] = part;
        state.counters["cutscene_worst_ms"] = cutscene.Worst;
        state.counters["webm_player_ms_per_new_frame"] = plain;
        state.counters["ratio"] = plain > 0 ? part / plain : 0;
        std::printf("Cutscene part 1366x768: main thread %.3f ms per new frame (worst %.3f, %llu frames); WebM "
                    "player alone %.3f ms (worst %.3f, %llu frames); ratio %.3f\n",
                    part, cutscene.Worst, static_cast<unsigned long long>(cutscene.NewFrames), plain, alone.Worst,
                    static_cast<unsigned long long>(alone.NewFrames), plain > 0 ? part / plain : 0.0);
    }
    lv::mt::CThreadPool::Destroy();
    lv::platform::SetDirect3DFactory(nullptr);
}

} // namespace

BENCHMARK(BM_CutscenePartNewFrame)->Iterations(2)->Unit(benchmark::kMillisecond);
