// One whole frame of the game as a player's machine runs it: a 1366x768 scene on the real OpenGL
// layer (offscreen under SDL_VIDEODRIVER=offscreen) with a full-screen background, 200 sprites,
// 3 particle systems, 2 text blocks and one translucent WebM, while 8 streaming voices play on
// OpenAL (ALSOFT_DRIVERS=null). Everything comes from the built demo content (game.pack beside
// the program). Prints the start-up time from main to the first drawn frame, steady-state frame
// time p50/p99, draw calls, state changes, vertices and heap allocations per frame (counted by
// replacing the global operator new; expected 0), and, alternating with the scene in the same
// run, the same background and 200 sprites drawn by SDL2's own renderer. CPU time is the whole
// process's (getrusage), so the software rasteriser's and the decoders' threads count too; the
// ratios are of the medians over the repetitions.
#include <SDL.h>
#include <execinfo.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "anim/ParticleManager.h"
#include "anim/ParticleSystem.h"
#include "content/ImageWriter.h"
#include "core/ThreadPool.h"
#include "core/TimeSystem.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "graphics/WebMTranslucentVideo.h"
#include "platform/SdlWindow.h"
#include "platform/d3d9/GlDirect3D.h"
#include "platform/d3d9/d3d9.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"
#include "support/BenchRendererHost.h"

namespace {
std::atomic<u64> g_Allocations{0};
// With FRAMEBENCH_TRACE set, the call stacks of the first steady-state allocations go to stderr.
std::atomic<int> g_TraceLeft{0};
thread_local bool t_Tracing = false;

void TraceAllocation()
{
    if (t_Tracing || g_TraceLeft.load(std::memory_order_relaxed) <= 0 || g_TraceLeft.fetch_sub(1) <= 0)
        return;
    t_Tracing = true;
    void* frames[24];
    const int depth = backtrace(frames, 24);
    static const char kLine[] = "--- allocation in a steady-state frame:\n";
    if (write(2, kLine, sizeof(kLine) - 1) < 0) {
    }
    backtrace_symbols_fd(frames, depth, 2);
    t_Tracing = false;
}
} // namespace

// GCC sees the replaced operators pair malloc with free across them and warns about a mismatch
// that is not there: both sides are ours.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    g_Allocations.fetch_add(1, std::memory_order_relaxed);
    TraceAllocation();
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
constexpr s32 kWidth = 1366, kHeight = 768, kSprites = 200;
constexpr int kRepetitions = 5, kFramesPerRepetition = 150, kWarmUpFrames = 60;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of the whole process, all threads, in milliseconds.
double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1000.0 +
           (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1000.0;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(std::ceil(p * double(values.size())) - 1));
    return values[index];
}

// What the device is asked per frame.
struct CDeviceCounts
{
    u64 draws = 0;
    u64 stateChanges = 0;
    u64 vertices = 0;
};
CDeviceCounts g_Counts;

UINT VerticesOf(D3DPRIMITIVETYPE type, UINT count)
{
    switch (type) {
    case D3DPT_TRIANGLELIST:
        return count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return count + 2;
    case D3DPT_LINELIST:
        return count * 2;
    case D3DPT_LINESTRIP:
        return count + 1;
    default:
        return count;
    }
}

// The OpenGL device with every call passed through and counted.
class CCountingDevice final : public IDirect3DDevice9
{
public:
    explicit CCountingDevice(IDirect3DDevice9* inner) : m_Inner(inner) {}
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG refs = --m_Refs;
        if (refs == 0) {
            m_Inner->Release();
            delete this;
        }
        return refs;
    }
    HRESULT TestCooperativeLevel() override { return m_Inner->TestCooperativeLevel(); }
    HRESULT Reset(D3DPRESENT_PARAMETERS* p) override { return m_Inner->Reset(p); }
    // Every frame is waited for, so that both sides of the comparison pay for their whole picture.
    HRESULT Present(const RECT* s, const RECT* d, HWND w, const RGNDATA* r) override
    {
        IDirect3DQuery9* query = nullptr;
        if (SUCCEEDED(m_Inner->CreateQuery(D3DQUERYTYPE_EVENT, &query)))
            query->Issue(D3DISSUE_END);
        const HRESULT hr = m_Inner->Present(s, d, w, r);
        if (query) {
            BYTE done = 0;
            while (query->GetData(&done, 1, D3DGETDATA_FLUSH) == S_FALSE)
                std::this_thread::yield();
            query->Release();
        }
        return hr;
    }
    HRESULT GetBackBuffer(UINT a, UINT b, D3DBACKBUFFER_TYPE t, IDirect3DSurface9** s) override
    {
        return m_Inner->GetBackBuffer(a, b, t, s);
    }
    HRESULT CreateTexture(UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t,
                          void** s) override
    {
        return m_Inner->CreateTexture(w, h, l, u, f, p, t, s);
    }
    HRESULT SetRenderTarget(DWORD i, IDirect3DSurface9* s) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetRenderTarget(i, s);
    }
    HRESULT GetRenderTarget(DWORD i, IDirect3DSurface9** s) override { return m_Inner->GetRenderTarget(i, s); }
    HRESULT BeginScene() override { return m_Inner->BeginScene(); }
    HRESULT EndScene() override { return m_Inner->EndScene(); }
    HRESULT Clear(DWORD c, const RECT* r, DWORD f, DWORD colour, float z, DWORD s) override
    {
        return m_Inner->Clear(c, r, f, colour, z, s);
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetRenderState(s, v);
    }
    HRESULT SetTexture(DWORD s, IDirect3DBaseTexture9* t) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetTexture(s, t);
    }
    HRESULT SetTextureStageState(DWORD s, D3DTEXTURESTAGESTATETYPE t, DWORD v) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetTextureStageState(s, t, v);
    }
    HRESULT SetSamplerState(DWORD s, D3DSAMPLERSTATETYPE t, DWORD v) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetSamplerState(s, t, v);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE t, UINT c, const void* v, UINT s) override
    {
        ++g_Counts.draws;
        g_Counts.vertices += VerticesOf(t, c);
        return m_Inner->DrawPrimitiveUP(t, c, v, s);
    }
    HRESULT SetFVF(DWORD f) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetFVF(f);
    }
    HRESULT CreatePixelShader(const DWORD* f, IDirect3DPixelShader9** s) override { return m_Inner->CreatePixelShader(f, s); }
    HRESULT SetPixelShader(IDirect3DPixelShader9* s) override
    {
        ++g_Counts.stateChanges;
        return m_Inner->SetPixelShader(s);
    }
    HRESULT CreateQuery(D3DQUERYTYPE t, IDirect3DQuery9** q) override { return m_Inner->CreateQuery(t, q); }

private:
    IDirect3DDevice9* m_Inner;
    ULONG m_Refs = 1;
};

class CCountingDirect3D final : public IDirect3D9
{
public:
    explicit CCountingDirect3D(IDirect3D9* inner) : m_Inner(inner) {}
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG refs = --m_Refs;
        if (refs == 0) {
            m_Inner->Release();
            delete this;
        }
        return refs;
    }
    UINT GetAdapterModeCount(UINT a, D3DFORMAT f) override { return m_Inner->GetAdapterModeCount(a, f); }
    HRESULT EnumAdapterModes(UINT a, D3DFORMAT f, UINT m, D3DDISPLAYMODE* d) override
    {
        return m_Inner->EnumAdapterModes(a, f, m, d);
    }
    HRESULT GetDeviceCaps(UINT a, D3DDEVTYPE t, D3DCAPS9* c) override { return m_Inner->GetDeviceCaps(a, t, c); }
    HRESULT CreateDevice(UINT a, D3DDEVTYPE t, HWND w, DWORD f, D3DPRESENT_PARAMETERS* p, IDirect3DDevice9** d) override
    {
        IDirect3DDevice9* inner = nullptr;
        const HRESULT hr = m_Inner->CreateDevice(a, t, w, f, p, &inner);
        if (SUCCEEDED(hr))
            *d = new CCountingDevice(inner);
        return hr;
    }

private:
    IDirect3D9* m_Inner;
    ULONG m_Refs = 1;
};

IDirect3D9* CreateCountingDirect3D(UINT)
{
    IDirect3D9* inner = lv::platform::CGlDirect3D::Create();
    return inner ? new CCountingDirect3D(inner) : nullptr;
}

// Where sprite i stands in frame f: a slow orbit around its home.
void SpritePosition(s32 i, u64 frame, float& x, float& y)
{
    const float angle = float(frame) * 0.02f + float(i);
    x = float((i * 97) % (kWidth - 64)) + 20.0f * std::cos(angle);
    y = float((i * 53) % (kHeight - 64)) + 20.0f * std::sin(angle);
}

// The scene on the framework: everything a steady frame needs is made before the first frame.
class CScene
{
public:
    bool Start(HWND window, std::string& failure)
    {
        lv::platform::SetDirect3DFactory(CreateCountingDirect3D);
        m_Host = std::make_unique<benchsupport::CBenchRendererHost>(kWidth, kHeight, window);
        m_Renderer = std::make_unique<lv::graphics::CRenderer>();
        m_Renderer->SetHost(m_Host.get());
        m_Renderer->SetSourceSize(kWidth, kHeight);
        if (!m_Renderer->SetMode(false, true, kWidth, kHeight))
            return Fail(failure, "no OpenGL device");
        m_Pool = std::make_unique<lv::mt::CThreadPool>(2);
        m_Pool->Start();

        lv::graphics::CTextureDeclarations& declarations = lv::graphics::CTextureDeclarations::Instance();
        if (!declarations.Load())
            return Fail(failure, "no texture declarations in game.pack");
        lv::graphics::CTextureManager::Instance().Init(&declarations);
        m_Background = lv::graphics::CTextureManager::Instance().GetImage("background");
        m_Sprite = lv::graphics::CTextureManager::Instance().GetImage("sprite");
        if (!m_Background || !m_Sprite)
            return Fail(failure, "the demo's images are not declared");

        m_Fonts = lv::graphics::CDeclarationSet::Create();
        m_Fonts->LoadFile("properties/fonts.xml", nullptr);
        lv::core::CFontManager::Instance()->LoadAll(*m_Fonts, nullptr);
        m_Small = lv::core::CFontManager::Instance()->FindFont("sans16");
        m_Large = lv::core::CFontManager::Instance()->FindFont("sans24");
        if (!m_Small || !m_Large)
            return Fail(failure, "the demo's fonts do not load");

        if (!lv::misc::anim::CParticleManager::Instance().Load())
            return Fail(failure, "no particle definitions");
        for (int i = 0; i < 3; ++i) {
            m_Particles.emplace_back(static_cast<lv::core::CTimer*>(nullptr));
            if (!m_Particles.back().Load("sparks"))
                return Fail(failure, "no particle definition \"sparks\"");
            m_Particles.back().SetEmitterPositionXY(300.0f + 380.0f * float(i), 600.0f);
        }

        m_Video = std::make_unique<lv::graphics::CWebMTranslucentVideo>(m_Pool.get());
        if (!m_Video->Open("videos/glow.webm", "videos/glow_alpha.webm"))
            return Fail(failure, "the demo's translucent video does not open");
        m_Video->SetLooping(true);

        m_Sounds = std::make_unique<lv::sound::CSoundDeclarations>();
        if (!m_Sounds->Load())
            return Fail(failure, "no sound declarations");
        lv::sound::CAudioManager& audio = lv::sound::GetAudioManager();
        audio.LoadSoundTypes(*m_Sounds);
        for (int i = 0; i < 8; ++i)
            audio.Play(i % 2 ? "tone_e" : "tone_a", -2.0f, 0.2f, -2, -1);
        return true;
    }

    // Only what SDL2's renderer draws too: the background and the sprites.
    void SpritesFrame(u64 frame)
    {
        lv::graphics::CRenderer& r = *m_Renderer;
        r.BeginFrame();
        r.DrawImage(m_Background, 0, 0, 0, CColor());
        for (s32 i = 0; i < kSprites; ++i) {
            float x = 0, y = 0;
            SpritePosition(i, frame, x, y);
            r.DrawImage(m_Sprite, x, y, 0, CColor());
        }
        r.EndFrame();
    }

    void Frame(u64 frame)
    {
        lv::core::CTimeSystem::Instance().Tick();
        lv::sound::GetAudioManager().Update();
        m_Video->Update();
        for (lv::misc::anim::CParticleSystem& particles : m_Particles)
            particles.Step(16);
        lv::graphics::CRenderer& r = *m_Renderer;
        r.BeginFrame();
        r.DrawImage(m_Background, 0, 0, 0, CColor());
        for (s32 i = 0; i < kSprites; ++i) {
            float x = 0, y = 0;
            SpritePosition(i, frame, x, y);
            r.DrawImage(m_Sprite, x, y, 0, CColor());
        }
        for (const lv::misc::anim::CParticleSystem& particles : m_Particles)
            particles.Draw(r);
        r.RenderText(m_Large, u"Demo Adventure", CIntRect(40, 30, 600, 40), 0, 0, CColor(), CColor(0u), CColor(),
                     CColor(0u), -1, -1);
        r.RenderText(m_Small,
                     u"Find the hidden objects in the scene before the candle burns down. "
                     u"Click an object to pick it up.",
                     CIntRect(40, 700, 700, 60), 0, 0, CColor(0xFFE0E0C0u), CColor(0u), CColor(), CColor(0u), -1,
                     -1);
        m_Video->Draw(r, 1100, 80, -1, -1, CColor());
        r.EndFrame();
    }

    void Stop()
    {
        lv::sound::GetAudioManager().StopAll(0);
        lv::sound::GetAudioManager().Update();
        if (m_Video)
            m_Video->Close();
        m_Video.reset();
        m_Particles.clear();
        m_Renderer.reset();
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::graphics::GetGraphicsDevice().Release(false);
        m_Pool.reset();
        lv::platform::SetDirect3DFactory(nullptr);
    }

private:
    static bool Fail(std::string& failure, const char* what)
    {
        failure = what;
        return false;
    }

    std::unique_ptr<benchsupport::CBenchRendererHost> m_Host;
    std::unique_ptr<lv::graphics::CRenderer> m_Renderer;
    std::unique_ptr<lv::mt::CThreadPool> m_Pool;
    lv::graphics::CImageHandle* m_Background = nullptr;
    lv::graphics::CImageHandle* m_Sprite = nullptr;
    std::unique_ptr<lv::graphics::CDeclarationSet> m_Fonts;
    const lv::graphics::CFont* m_Small = nullptr;
    const lv::graphics::CFont* m_Large = nullptr;
    std::vector<lv::misc::anim::CParticleSystem> m_Particles;
    std::unique_ptr<lv::graphics::CWebMTranslucentVideo> m_Video;
    std::unique_ptr<lv::sound::CSoundDeclarations> m_Sounds;
};

// The background and the sprites through SDL2's own renderer, in a window of its own.
class CSdlSprites
{
public:
    bool Start(const std::filesystem::path& content, std::string& failure)
    {
        m_Window = lv::platform::CreateSdlWindow("frame bench (SDL)", kWidth, kHeight, false);
        SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        m_Renderer = m_Window ? SDL_CreateRenderer(lv::platform::GetSdlWindow(m_Window), -1, SDL_RENDERER_ACCELERATED)
                              : nullptr;
        if (!m_Renderer) {
            failure = "no SDL renderer";
            return false;
        }
        m_Background = Load(content / "textures/background.png");
        m_Sprite = Load(content / "textures/sprite.png");
        if (!m_Background || !m_Sprite) {
            failure = "the demo's images do not decode";
            return false;
        }
        // The renderer draws every image with alpha blending, the opaque background too.
        SDL_SetTextureBlendMode(m_Background, SDL_BLENDMODE_BLEND);
        SDL_SetTextureBlendMode(m_Sprite, SDL_BLENDMODE_BLEND);
        return true;
    }

    void Frame(u64 frame)
    {
        SDL_SetRenderDrawColor(m_Renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_Renderer);
        SDL_RenderCopy(m_Renderer, m_Background, nullptr, nullptr);
        for (s32 i = 0; i < kSprites; ++i) {
            float x = 0, y = 0;
            SpritePosition(i, frame, x, y);
            const SDL_FRect to{x, y, 64, 64};
            SDL_RenderCopyF(m_Renderer, m_Sprite, nullptr, &to);
        }
        // Waits for the picture, as the device side waits for its frame's event query.
        Uint32 pixel = 0;
        const SDL_Rect one{0, 0, 1, 1};
        SDL_RenderReadPixels(m_Renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
        SDL_RenderPresent(m_Renderer);
    }

    void Stop()
    {
        if (m_Sprite)
            SDL_DestroyTexture(m_Sprite);
        if (m_Background)
            SDL_DestroyTexture(m_Background);
        if (m_Renderer)
            SDL_DestroyRenderer(m_Renderer);
        if (m_Window)
            lv::platform::DestroySdlWindow(m_Window);
    }

private:
    SDL_Texture* Load(const std::filesystem::path& file)
    {
        u32 width = 0, height = 0;
        std::vector<u32> pixels;
        if (!lv::content::DecodeImageDiskFile(file.string(), width, height, pixels))
            return nullptr;
        SDL_Texture* texture = SDL_CreateTexture(m_Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                                 int(width), int(height));
        if (texture)
            SDL_UpdateTexture(texture, nullptr, pixels.data(), int(width * 4));
        return texture;
    }

    HWND m_Window = nullptr;
    SDL_Renderer* m_Renderer = nullptr;
    SDL_Texture* m_Background = nullptr;
    SDL_Texture* m_Sprite = nullptr;
};

struct CRepetition
{
    double fps = 0;
    double cpuMsPerFrame = 0;
};

template <typename Draw> CRepetition Measure(Draw draw, u64& frame, std::vector<double>* frameMs)
{
    const double cpu = ProcessCpuMs();
    const Clock::time_point start = Clock::now();
    Clock::time_point last = start;
    for (int i = 0; i < kFramesPerRepetition; ++i) {
        draw(frame++);
        const Clock::time_point now = Clock::now();
        if (frameMs)
            frameMs->push_back(Milliseconds(now - last));
        last = now;
    }
    const double wall = Milliseconds(Clock::now() - start);
    return {1000.0 * kFramesPerRepetition / wall, (ProcessCpuMs() - cpu) / kFramesPerRepetition};
}

} // namespace

int main()
{
    const Clock::time_point started = Clock::now();
    // The program reads its content from its own folder, as the game does from its.
    const std::filesystem::path programFolder = GAME_PROGRAM_FOLDER;
    std::error_code ec;
    std::filesystem::current_path(programFolder, ec);
    if (ec || !std::filesystem::exists("game.pack")) {
        std::fprintf(stderr, "FrameBench: no built content in %s (build the demo_content target)\n",
                     programFolder.string().c_str());
        return 1;
    }
    HWND window = lv::platform::CreateSdlWindow("frame bench", kWidth, kHeight, false);
    CScene scene;
    std::string failure;
    if (!window || !scene.Start(window, failure)) {
        std::fprintf(stderr, "FrameBench: %s\n", window ? failure.c_str() : "no window");
        return 1;
    }
    u64 frame = 0;
    scene.Frame(frame++);
    const double startupMs = Milliseconds(Clock::now() - started);

    CSdlSprites sdl;
    if (!sdl.Start(GAME_DEMO_CONTENT_FOLDER, failure)) {
        std::fprintf(stderr, "FrameBench: %s\n", failure.c_str());
        return 1;
    }
    u64 sdlFrame = 0;
    for (int i = 0; i < kWarmUpFrames; ++i) {
        scene.Frame(frame++);
        sdl.Frame(sdlFrame++);
    }

    std::vector<double> frameMs;
    frameMs.reserve(size_t(kRepetitions) * kFramesPerRepetition);
    std::vector<double> sceneFps, sceneCpu, spritesFps, spritesCpu, sdlFps, sdlCpu;
    for (auto* values : {&sceneFps, &sceneCpu, &spritesFps, &spritesCpu, &sdlFps, &sdlCpu})
        values->reserve(kRepetitions);
    if (const char* trace = std::getenv("FRAMEBENCH_TRACE"))
        g_TraceLeft = std::max(1, std::atoi(trace));
    u64 allocations = 0, measured = 0;
    CDeviceCounts counts;
    for (int r = 0; r < kRepetitions; ++r) {
        const CDeviceCounts before = g_Counts;
        const u64 allocationsBefore = g_Allocations.load();
        const CRepetition s = Measure([&](u64 f) { scene.Frame(f); }, frame, &frameMs);
        allocations += g_Allocations.load() - allocationsBefore;
        counts.draws += g_Counts.draws - before.draws;
        counts.stateChanges += g_Counts.stateChanges - before.stateChanges;
        counts.vertices += g_Counts.vertices - before.vertices;
        measured += kFramesPerRepetition;
        sceneFps.push_back(s.fps);
        sceneCpu.push_back(s.cpuMsPerFrame);
        const CRepetition p = Measure([&](u64 f) { scene.SpritesFrame(f); }, frame, nullptr);
        spritesFps.push_back(p.fps);
        spritesCpu.push_back(p.cpuMsPerFrame);
        const CRepetition d = Measure([&](u64 f) { sdl.Frame(f); }, sdlFrame, nullptr);
        sdlFps.push_back(d.fps);
        sdlCpu.push_back(d.cpuMsPerFrame);
    }
    sdl.Stop();
    scene.Stop();
    lv::platform::DestroySdlWindow(window);

    const double perFrame = 1.0 / double(measured);
    std::printf("whole frame, %dx%d: background, %d sprites, 3 particle systems, 2 text blocks, translucent WebM, "
                "8 streaming voices\n",
                kWidth, kHeight, kSprites);
    std::printf("  start-up (main to first drawn frame): %.1f ms\n", startupMs);
    std::printf("  frame time p50 %.2f ms, p99 %.2f ms (%d repetitions of %d frames)\n", Percentile(frameMs, 0.5),
                Percentile(frameMs, 0.99), kRepetitions, kFramesPerRepetition);
    std::printf("  per frame: %.1f draw calls, %.1f state changes, %.1f vertices, %.2f heap allocations\n",
                double(counts.draws) * perFrame, double(counts.stateChanges) * perFrame,
                double(counts.vertices) * perFrame, double(allocations) * perFrame);
    const double fps = Median(sceneFps), cpu = Median(sceneCpu), peerFps = Median(sdlFps), peerCpu = Median(sdlCpu);
    std::printf("  whole scene on the device layer: %.1f fps, %.2f ms process CPU/frame (medians)\n", fps, cpu);
    std::printf("  background + %d sprites on SDL2's renderer: %.1f fps, %.2f ms process CPU/frame (medians)\n",
                kSprites, peerFps, peerCpu);
    const double spriteFps = Median(spritesFps), spriteCpu = Median(spritesCpu);
    std::printf("  background + %d sprites on the device layer: %.1f fps, %.2f ms process CPU/frame (medians)\n",
                kSprites, spriteFps, spriteCpu);
    std::printf("  ratio whole scene/SDL sprites: fps %.2f, CPU per frame %.2f\n", peerFps > 0 ? fps / peerFps : 0,
                peerCpu > 0 ? cpu / peerCpu : 0);
    std::printf("  ratio device sprites/SDL sprites: fps %.2f, CPU per frame %.2f\n",
                peerFps > 0 ? spriteFps / peerFps : 0, peerCpu > 0 ? spriteCpu / peerCpu : 0);
    if (allocations != 0)
        std::printf("  FAIL: steady-state frames allocated on the heap\n");
    return allocations == 0 ? 0 : 1;
}
