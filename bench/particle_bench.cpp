// Ten particle systems of 512 live particles each (16 x 16 glows spread over 1366 x 768):
// update (one 16 ms step of every system) plus draw through the OpenGL device layer, in whole
// frames, with the quads turned (spin) and not; and, in the same run, the same quads with their
// vertices precomputed drawn by SDL2's own renderer (SDL_RenderGeometry). Prints ms per frame
// (wall clock and this thread's CPU time) of each and the ratios.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "anim/ParticleFlags.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleRandom.h"
#include "anim/ParticleSystem.h"
#include "content/ImageWriter.h"
#include "content/ParticleImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/SdlQuadRenderer.h"
#include "platform/SdlWindow.h"
#include "platform/d3d9/RecordingDirect3D.h"

namespace {

using namespace lv::graphics;
using lv::misc::anim::CParticleManager;
using lv::misc::anim::CParticleSystem;

constexpr s32 kWidth = 1366, kHeight = 768;
constexpr int kSystems = 10;
constexpr u32 kGlow = 16;
constexpr u32 kStepMs = 16;

class CWindowHost final : public CRendererHost
{
public:
    HWND m_Window = nullptr;
    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = kWidth;
        h = kHeight;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

std::vector<u32> GlowPixels()
{
    std::vector<u32> pixels(kGlow * kGlow);
    for (u32 y = 0; y < kGlow; ++y)
        for (u32 x = 0; x < kGlow; ++x) {
            const float dx = float(x) - 7.5f, dy = float(y) - 7.5f;
            const float a = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / 8.0f);
            pixels[y * kGlow + x] = (u32(255 * a) << 24) | 0xFFC080u;
        }
    return pixels;
}

// The declared image "glow" in a scratch folder that is the working folder from then on (the
// texture manager reads the file from there), and the two definitions, still and spinning:
// endless, long-lived, emitting far more than the 512 they may keep alive.
struct CBenchSetup
{
    std::filesystem::path folder;
    std::unique_ptr<CTextureDeclarations> declarations;
    bool ok = false;

    CBenchSetup()
    {
        std::random_device random;
        folder = std::filesystem::temp_directory_path() / ("particle_bench_" + std::to_string(random()));
        std::filesystem::create_directories(folder / "gfx");
        std::vector<u8> png;
        if (!lv::content::EncodePngArgb(kGlow, kGlow, GlowPixels(), true, png))
            return;
        std::ofstream(folder / "gfx/glow.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        std::filesystem::current_path(folder);
        std::vector<u8> blob;
        if (!lv::content::CompileTextureDeclarations(
                "<?xml version=\"1.0\"?>\n<resources><surfaces><surface path=\"gfx/glow.png\" width=\"16\" "
                "height=\"16\"/></surfaces><group id=\"g\"><image id=\"glow\" path=\"gfx/glow.png\" cols=\"1\" "
                "rows=\"1\"/></group></resources>",
                blob))
            return;
        declarations = std::make_unique<CTextureDeclarations>();
        if (!declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size())))
            return;
        CTextureManager::Instance().Init(declarations.get());

        const std::string common =
            "tex_id=\"glow\" flags=\"" + std::to_string(lv::misc::anim::PF_ENDLESS) +
            "\" emiter_size=\"300 200\" direction=\"0\" spread=\"6.28\" start_speed_min=\"10\" start_speed_max=\"60\""
            " grav_min=\"5\" grav_max=\"20\" life_time_min=\"4000\" life_time_max=\"6000\" emission=\"400\""
            " max_life_particles=\"512\" size=\"0.6 1 0.4 0.5 0.2\" start_color=\"-1\" mid_color=\"-1056964609\""
            " end_color=\"16777215\" var_color=\"0\" base_var_color=\"0\"";
        lv::content::CParticleImageWriter writer;
        if (!writer.AddXml("<?xml version=\"1.0\"?>\n<fx><particle id=\"still\" " + common +
                           " spin=\"0 0 0 0 0\"/><particle id=\"spin\" " + common + " spin=\"0.5 3 6 1 1\"/></fx>"))
            return;
        const std::vector<u8> block = writer.Build();
        ok = CParticleManager::Instance().LoadImage(block.data(), static_cast<u32>(block.size()));
    }
    ~CBenchSetup()
    {
        std::error_code ignored;
        std::filesystem::current_path(folder.parent_path(), ignored);
        std::filesystem::remove_all(folder, ignored);
    }
};

const CBenchSetup& Setup()
{
    static const CBenchSetup s_Setup;
    return s_Setup;
}

// Ten systems of one definition, spread over the screen and run until each keeps 512 alive.
std::vector<CParticleSystem> MakeSystems(const char* definition)
{
    lv::misc::anim::CParticleRandom::SetState(lv::misc::anim::CParticleRandom::kInitialState);
    std::vector<CParticleSystem> systems;
    systems.reserve(kSystems);
    for (int i = 0; i < kSystems; ++i) {
        systems.emplace_back(static_cast<lv::core::CTimer*>(nullptr));
        CParticleSystem& s = systems.back();
        s.Load(definition);
        s.SetEmitterPositionXY(float(150 + (i % 5) * 265), float(200 + (i / 5) * 370));
        s.Advance(3000, kStepMs);
    }
    return systems;
}

u32 LiveParticles(const std::vector<CParticleSystem>& systems)
{
    u32 n = 0;
    for (const CParticleSystem& s : systems)
        n += s.GetParticleCount();
    return n;
}

// The vertices our renderer queues for one frame of the systems, captured on the recording device.
std::vector<u8> CaptureVertices(const char* definition)
{
    std::vector<u8> out;
    auto log = lv::platform::InstallRecordingDirect3D();
    log->WindowWidth = kWidth;
    log->WindowHeight = kHeight;
    GetGraphicsDevice().Release(false);
    {
        const std::vector<CParticleSystem> systems = MakeSystems(definition);
        CWindowHost host;
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kWidth, kHeight);
        renderer.SetMode(false, true, kWidth, kHeight);
        renderer.BeginFrame();
        log->Draws.clear();
        for (const CParticleSystem& s : systems)
            s.Draw(renderer);
        renderer.Flush();
        for (const auto& draw : log->Draws)
            out.insert(out.end(), draw.Vertices.begin(), draw.Vertices.end());
        CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    GetGraphicsDevice().Release(false);
    lv::platform::SetDirect3DFactory(nullptr);
    return out;
}

const std::vector<u8>& StillVertices()
{
    static const std::vector<u8> s_Vertices = CaptureVertices("still");
    return s_Vertices;
}

const std::vector<u8>& SpinVertices()
{
    static const std::vector<u8> s_Vertices = CaptureVertices("spin");
    return s_Vertices;
}

void UpdateAndDraw(benchmark::State& state, const char* definition)
{
    if (!Setup().ok) {
        state.SkipWithError("no particle set-up");
        return;
    }
    StillVertices(); // before the real device exists
    SpinVertices();
    CWindowHost host;
    host.m_Window = lv::platform::CreateSdlWindow("bench", kWidth, kHeight, false);
    GetGraphicsDevice().Release(false);
    {
        CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(kWidth, kHeight);
        if (!host.m_Window || !renderer.SetMode(false, true, kWidth, kHeight) || !GetGraphicsDevice().GetDevice()) {
            state.SkipWithError("no OpenGL device");
            return;
        }
        std::vector<CParticleSystem> systems = MakeSystems(definition);
        const auto frame = [&] {
            for (CParticleSystem& s : systems)
                s.Step(kStepMs);
            renderer.BeginFrame();
            renderer.Clear(CColor(0xFF000000u));
            for (const CParticleSystem& s : systems)
                s.Draw(renderer);
            renderer.EndFrame();
        };
        frame(); // loads the texture and warms the driver up
        for (auto _ : state)
            frame();
        state.counters["particles"] = LiveParticles(systems);
        CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(host.m_Window);
}

void SdlRenderGeometry(benchmark::State& state, const std::vector<u8>& (*vertices)())
{
    if (!Setup().ok) {
        state.SkipWithError("no particle set-up");
        return;
    }
    const std::vector<u8>& quads = vertices();
    HWND window = lv::platform::CreateSdlWindow("bench", kWidth, kHeight, false);
    std::unique_ptr<lv::platform::CSdlQuadRenderer> renderer =
        window ? lv::platform::CSdlQuadRenderer::Create(window) : nullptr;
    const std::vector<u32> glow = GlowPixels();
    if (!renderer || quads.empty() || !renderer->SetTexture(glow.data(), int(kGlow), int(kGlow))) {
        state.SkipWithError("no SDL renderer or no vertices");
        lv::platform::DestroySdlWindow(window);
        return;
    }
    state.SetLabel(renderer->GetName());
    const auto frame = [&] {
        renderer->Clear(0xFF000000);
        renderer->DrawTriangles(quads.data(), int(quads.size() / 32));
        renderer->Finish();
        renderer->Present();
    };
    frame();
    for (auto _ : state)
        frame();
    state.counters["particles"] = double(quads.size() / 32 / 6);
    renderer.reset();
    lv::platform::DestroySdlWindow(window);
}

void ParticlesStill(benchmark::State& state)
{
    UpdateAndDraw(state, "still");
}
void ParticlesSpinning(benchmark::State& state)
{
    UpdateAndDraw(state, "spin");
}
void SdlStill(benchmark::State& state)
{
    SdlRenderGeometry(state, &StillVertices);
}
void SdlSpinning(benchmark::State& state)
{
    SdlRenderGeometry(state, &SpinVertices);
}

BENCHMARK(ParticlesStill)->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(ParticlesSpinning)->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlStill)->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);
BENCHMARK(SdlSpinning)->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

class CComparingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0 && run.run_type == Run::RT_Iteration)
                m_Ms[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
    void PrintComparison() const
    {
        for (const auto& [ours, sdl, what] : {std::tuple{"ParticlesStill", "SdlStill", "without rotation"},
                                              std::tuple{"ParticlesSpinning", "SdlSpinning", "with rotation"}}) {
            const auto o = m_Ms.find(ours), s = m_Ms.find(sdl);
            if (o == m_Ms.end() || s == m_Ms.end())
                continue;
            std::printf("%d systems x 512 particles %s: update + draw %.2f ms/frame (%.2f ms CPU) | "
                        "SDL_RenderGeometry (precomputed) %.2f ms/frame (%.2f ms CPU) | ratio ours/SDL %.2f "
                        "(CPU %.2f)\n",
                        kSystems, what, o->second.first, o->second.second, s->second.first, s->second.second,
                        o->second.first / s->second.first, o->second.second / s->second.second);
        }
    }

private:
    std::map<std::string, std::pair<double, double>> m_Ms; // real and CPU ms per frame
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparison();
    benchmark::Shutdown();
    return 0;
}
