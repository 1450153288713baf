// The game's start-up with the demo content: from the construction of the game application to
// its first drawn main-menu frame (framework, content, profiles, quest, main menu), against the
// framework-only start of the frame benchmark (window, renderer, textures, fonts, particles and
// sounds from the same game.pack, then one drawn frame). Every start runs in a fresh child
// process, since the loaders keep what they loaded for the whole process; the medians and their
// ratio are printed.
#include "anim/ParticleManager.h"
#include "core/Log.h"
#include "core/ThreadPool.h"
#include "game/play/GameApplication.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/ChildProcess.h"
#include "platform/SdlWindow.h"
#include "platform/SystemInfo.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"
#include "support/BenchRendererHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <memory>
#include <string>
#include <vector>

namespace {

using StartClock = std::chrono::steady_clock;
constexpr int kStarts = 5;
constexpr s32 kStartWidth = 1366, kStartHeight = 768;

double SinceMs(StartClock::time_point start)
{
    return std::chrono::duration<double, std::milli>(StartClock::now() - start).count();
}

struct SStartRun
{
    std::filesystem::path Result; // the child writes its milliseconds here
};

s32 WriteStartResult(const SStartRun& run, double ms)
{
    std::ofstream(run.Result) << ms;
    return ms > 0 ? 0 : 1;
}

// The game as the program runs it, up to its first drawn frame with the main menu as the root.
s32 GameStart(void* context)
{
    const StartClock::time_point start = StartClock::now();
    double ms = -1;
    {
        game::CGameApplication application;
        if (application.Init()) {
            application.UpdateFrame();
            application.Render();
            if (application.GetRootWidget())
                ms = SinceMs(start);
        }
        application.Shutdown();
    }
    lv::core::CLog::Instance().Close();
    return WriteStartResult(*static_cast<SStartRun*>(context), ms);
}

// The frame benchmark's start on the framework alone.
s32 FrameworkStart(void* context)
{
    const StartClock::time_point start = StartClock::now();
    HWND window = lv::platform::CreateSdlWindow("start bench", kStartWidth, kStartHeight, false);
    if (!window)
        return 1;
    double ms = -1;
    {
        benchsupport::CBenchRendererHost host(kStartWidth, kStartHeight, window);
        lv::graphics::CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kStartWidth, kStartHeight);
        lv::mt::CThreadPool pool(2);
        if (renderer.SetMode(false, true, kStartWidth, kStartHeight)) {
            pool.Start();
            lv::graphics::CTextureDeclarations& declarations = lv::graphics::CTextureDeclarations::Instance();
            declarations.Load();
            lv::graphics::CTextureManager::Instance().Init(&declarations);
            lv::graphics::CImageHandle* background = lv::graphics::CTextureManager::Instance().GetImage("background");
            auto fonts = lv::graphics::CDeclarationSet::Create();
            fonts->LoadFile("properties/fonts.xml", nullptr);
            lv::core::CFontManager::Instance()->LoadAll(*fonts, nullptr);
            lv::graphics::CFont* font = lv::core::CFontManager::Instance()->FindFont("font_16");
            lv::misc::anim::CParticleManager::Instance().Load();
            lv::sound::CSoundDeclarations sounds;
            sounds.Load();
            lv::sound::GetAudioManager().LoadSoundTypes(sounds);
            renderer.BeginFrame();
            if (background)
                renderer.DrawImage(background, 0, 0, 0, CColor());
            renderer.RenderText(font, u"Demo Adventure", CIntRect(40, 30, 600, 40), 0, 0, CColor(), CColor(0u),
                                CColor(), CColor(0u), -1, -1);
            renderer.EndFrame();
            if (background && font)
                ms = SinceMs(start);
        }
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    lv::platform::DestroySdlWindow(window);
    return WriteStartResult(*static_cast<SStartRun*>(context), ms);
}

// The median of the starts, or a negative value when one failed.
double MedianStart(lv::platform::CChildProcess::Body body, const std::filesystem::path& folder, const char* name)
{
    std::vector<double> times;
    for (int i = 0; i < kStarts; ++i) {
        SStartRun run{folder / (std::string(name) + std::to_string(i) + ".ms")};
        // A fresh user folder each time: every game start is a first start.
        const std::filesystem::path data = folder / (std::string(name) + "-data-" + std::to_string(i));
        lv::platform::SetEnvironmentValue("XDG_DATA_HOME", data.c_str());
        lv::platform::CChildProcess child;
        lv::platform::SChildExit exit;
        if (!child.Start(body, &run) || !child.Wait(120000, exit) || !exit.Exited || exit.Code != 0)
            return -1;
        double ms = -1;
        std::ifstream(run.Result) >> ms;
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    std::error_code error;
    std::filesystem::current_path(GAME_PROGRAM_FOLDER, error);
    if (error || !std::filesystem::exists("game.pack")) {
        std::fprintf(stderr, "game_start_bench: no built content in %s (build the demo_content target)\n",
                     GAME_PROGRAM_FOLDER);
        return 1;
    }
    std::random_device random;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("game_start_bench-" + std::to_string(random()));
    std::filesystem::create_directories(folder / "runtime");
    lv::platform::SetEnvironmentValue("XDG_RUNTIME_DIR", (folder / "runtime").c_str());
    const double game = MedianStart(&GameStart, folder, "game");
    const double framework = MedianStart(&FrameworkStart, folder, "framework");
    std::filesystem::remove_all(folder, error);
    if (game <= 0 || framework <= 0) {
        std::fprintf(stderr, "game_start_bench: a start failed (game %.1f ms, framework %.1f ms)\n", game,
                     framework);
        return 1;
    }
    std::printf("game start (construction to first main-menu frame), median of %d: %.1f ms\n", kStarts, game);
    std::printf("framework-only start (frame benchmark's start), median of %d: %.1f ms\n", kStarts, framework);
    std::printf("ratio game / framework: %.2f\n", game / framework);
    return 0;
}
