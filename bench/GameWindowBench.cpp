// The game frame of the demo's hall: the game application brought up on the built demo content
// (game.pack beside the program, real OpenGL offscreen under SDL_VIDEODRIVER=offscreen, sound on
// ALSOFT_DRIVERS=null), a game window started on the demo quest as the root, and then frames of
// its update and drawing (time tick, window update, begin frame, window draw, end frame). Prints
// the steady-state frame time p50 and p99 and the heap allocations per steady-state frame
// (counted by replacing the global operator new; the goal is 0).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

#include "core/TimeSystem.h"
#include "game/play/GameApplication.h"
#include "game/play/GameWindow.h"
#include "graphics/Renderer.h"
#include "qe/Quest.h"

namespace {
std::atomic<u64> g_WindowAllocations{0};
}

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    g_WindowAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWarmUpFrames = 60;
constexpr int kMeasuredFrames = 600;

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(std::ceil(p * double(values.size())) - 1));
    return values[index];
}

} // namespace

int main()
{
    const std::filesystem::path programFolder = GAME_PROGRAM_FOLDER;
    std::error_code ec;
    std::filesystem::current_path(programFolder, ec);
    if (ec || !std::filesystem::exists("game.pack")) {
        std::fprintf(stderr, "GameWindowBench: no built content in %s (build the demo_content target)\n",
                     programFolder.string().c_str());
        return 1;
    }
    int result = 0;
    {
        game::CGameApplication application;
        if (!application.Init()) {
            std::fprintf(stderr, "GameWindowBench: the game application did not start\n");
            return 1;
        }
        const game::CGameWindow::Ptr window(new game::CGameWindow());
        window->StartGame(false, false, false, false);
        application.SetRootWidget(window);
        if (!window->GetQuest()) {
            std::fprintf(stderr, "GameWindowBench: the demo quest did not start\n");
            result = 1;
        } else {
            lv::graphics::CRenderer& renderer = application.GetRenderer();
            lv::core::CTimeSystem& time = lv::core::CTimeSystem::Instance();
            const auto frame = [&] {
                time.Tick();
                window->Update();
                if (renderer.BeginFrame()) {
                    window->Draw(renderer);
                    renderer.EndFrame();
                }
            };
            for (int i = 0; i < kWarmUpFrames; ++i)
                frame();
            std::vector<double> frameMs;
            frameMs.reserve(kMeasuredFrames);
            const u64 allocationsBefore = g_WindowAllocations.load();
            for (int i = 0; i < kMeasuredFrames; ++i) {
                const Clock::time_point start = Clock::now();
                frame();
                frameMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            }
            // The vector was reserved: what it holds adds no allocation.
            const u64 allocations = g_WindowAllocations.load() - allocationsBefore;
            std::printf("GameWindowBench: quest \"%s\", %d frames of the hall\n",
                        window->GetQuest()->GetName().GetText(), kMeasuredFrames);
            std::printf("frame time p50 %.3f ms, p99 %.3f ms\n", Percentile(frameMs, 0.5), Percentile(frameMs, 0.99));
            std::printf("heap allocations per steady-state frame: %.3f (goal 0)\n",
                        double(allocations) / double(kMeasuredFrames));
        }
    }
    return result;
}
