// Clip definitions and key frames: finding a clip by name in the sorted index, building the
// definitions image from XML (the path taken when no precompiled image ships), and one frame of
// key-frame evaluation of a looping object.
// Then whole frames: a clip of 200 looping images with key frames and sound points (the audio
// manager on OpenAL's null device) updated and drawn through the renderer on the OpenGL device
// layer, against the same 200 textured quads drawn by SDL2's renderer (SDL_RenderGeometry) in
// the same run; the ratio of the times per frame is printed at the end.
#include "anim/Clip.h"
#include "anim/ClipHeader.h"
#include "anim/ClipManager.h"
#include "anim/ClipObject.h"
#include "anim/ClipsBuilder.h"
#include "content/OggVorbisWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/TimeSystem.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Texture.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/SdlQuadRenderer.h"
#include "platform/SdlWindow.h"
#include "platform/d3d9/d3d9.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"
#include "support/BenchRendererHost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace lv::misc::anim;

namespace {

// `count` clips of one image each with ten interpolated key points and a sound point.
std::string ClipsXml(int count)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    for (int i = 0; i < count; ++i) {
        xml += "<Clip id=\"clip_" + std::to_string(i) + "\" w=\"100\" h=\"100\"><image id=\"img\" i_id=\"pic\" "
               "vis=\"true\" at=\"1\">";
        for (int k = 0; k < 10; ++k)
            xml += "<kp t=\"" + std::to_string(k * 100) + "\" p=\"" + std::to_string(k) +
                   " 0\" py=\"-5 -5 5 -5 5 5 -5 5\" c=\"-1\" itpl=\"true\"/>";
        xml += "<sd k=\"0\" id=\"\"/></image></Clip>\n";
    }
    return xml;
}

std::vector<u8> BuildImage(int count)
{
    const std::string xml = ClipsXml(count);
    CClipsBuilder builder;
    builder.AddXml(xml.data(), xml.size());
    return builder.Build();
}

class CPlainObject final : public CClipObject
{
public:
    void Draw(lv::graphics::CRenderer&) override {}
    CVector2 GetPosition() const override { return m_Position; }
    void SetCorners(const CQuad& corners) override { m_Corners = corners; }
    CQuad GetCorners() const override { return m_Corners; }
    void ResetGeometry() override {}
    void SetAngle(float angle) override { m_Angle = angle; }
    float GetAngle() const override { return m_Angle; }
    void SetColor(const CColor& color) override { m_Color = color; }
    CColor GetColor() const override { return m_Color; }
    void SetAdditiveBlend(bool) override {}
    bool IsAdditiveBlend() const override { return false; }
    s32 GetFlipFlags() const override { return 0; }
    void SetFlipFlags(s32) override {}
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    const char* GetTypeName() const override { return "plain"; }
    CClipObject* Clone() const override { return new CPlainObject(*this); }
    void DoSetPosition(const CVector2& position) override { m_Position = position; }

private:
    CVector2 m_Position;
    CQuad m_Corners;
    float m_Angle = 0;
    CColor m_Color;
};

void BM_FindClip(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::vector<u8> image = BuildImage(count);
    CClipManager clips;
    clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    std::vector<std::string> names;
    for (int i = 0; i < count; i += 7)
        names.push_back("clip_" + std::to_string(i));
    size_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(clips.FindClip(names[n++ % names.size()].c_str()));
}
BENCHMARK(BM_FindClip)->Arg(100)->Arg(2000);

void BM_BuildFromXml(benchmark::State& state)
{
    const std::string xml = ClipsXml(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CClipsBuilder builder;
        builder.AddXml(xml.data(), xml.size());
        benchmark::DoNotOptimize(builder.Build());
    }
    state.SetBytesProcessed(static_cast<s64>(state.iterations() * xml.size()));
}
BENCHMARK(BM_BuildFromXml)->Arg(200)->Unit(benchmark::kMillisecond);

// One 16 ms frame of a looping object with ten key points.
void BM_KeyFrameStep(benchmark::State& state)
{
    const std::vector<u8> image = BuildImage(1);
    CClipManager clips;
    clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    CPlainObject object;
    object.LoadFromDefinition(*clips.FindClip("clip_0")->GetFirstItem(), nullptr);
    const CClipTransform identity;
    object.SetTimeKeepEvents(0, true, identity);
    object.Play();
    s32 clock = 0;
    for (auto _ : state) {
        clock += 16;
        object.SetTimeKeepEvents(clock, false, identity);
        object.ApplyKeyFrame(identity);
    }
    benchmark::DoNotOptimize(object.GetPosition());
}
BENCHMARK(BM_KeyFrameStep);


// ---- Whole frames of 200 clip objects against SDL_RenderGeometry ----

constexpr s32 kFrameWidth = 1366, kFrameHeight = 768, kFieldObjects = 200, kSide = 64;

// 200 looping images crossing the screen through ten key points each, a sound point at the start
// of every pass.
std::string FieldXml()
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Clip id=\"field\" w=\"1366\" h=\"768\">";
    for (int i = 0; i < kFieldObjects; ++i) {
        xml += "<image id=\"o" + std::to_string(i) + "\" i_id=\"tile\" vis=\"true\" at=\"1\">";
        for (int k = 0; k < 10; ++k) {
            const int x = (i * 37 + k * 90) % (kFrameWidth - kSide) + kSide / 2;
            const int y = (i * 53 + k * 40) % (kFrameHeight - kSide) + kSide / 2;
            xml += "<kp t=\"" + std::to_string(k * 100 + (k == 9 ? 100 : 0)) + "\" p=\"" + std::to_string(x) + " " +
                   std::to_string(y) + "\" py=\"-32 -32 32 -32 32 32 -32 32\" a=\"" + std::to_string(k * 0.1) +
                   "\" c=\"-1056964609\" itpl=\"true\"/>";
        }
        xml += "<sd k=\"0\" id=\"tick\"/></image>";
    }
    return xml + "</Clip>\n";
}

std::vector<u32> TileTexels()
{
    std::vector<u32> texels(kSide * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            texels[y * kSide + x] = (u32(x * 4) << 24) | (u32(y * 4) << 16) | 0x8000u | u32(255 - x * 4);
    return texels;
}

// Everything the clip frames need, made once: a working folder with the sound file and the
// declarations, the sound types, the image "tile" and the clip definitions.
struct CFieldWorld
{
    std::vector<u8> clipsImage;
    std::unique_ptr<lv::graphics::CTextureDeclarations> textures;
    std::unique_ptr<lv::sound::CAudioManager> audio;

    static CFieldWorld& Get()
    {
        static CFieldWorld world;
        return world;
    }

private:
    CFieldWorld()
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        const auto folder = std::filesystem::temp_directory_path() / ("clip_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder / "properties");
        std::filesystem::current_path(folder);
        const std::vector<u8> tick = lv::content::EncodeOggVorbis(lv::content::MakeTone(2, 44100, 0.2, 880.0, 0.3f));
        std::ofstream("tick.ogg", std::ios::binary)
            .write(reinterpret_cast<const char*>(tick.data()), static_cast<std::streamsize>(tick.size()));
        std::ofstream("properties/sounds.xml") << "<?xml version=\"1.0\"?>\n<sounds><sound id=\"tick\" file=\"tick.ogg\"/></sounds>\n";
        lv::sound::CSoundDeclarations sounds;
        sounds.Load();
        audio = std::make_unique<lv::sound::CAudioManager>();
        audio->LoadSoundTypes(sounds);
        CClipObject::SetAudioManager(audio.get());

        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations(
            "<?xml version=\"1.0\"?>\n<resources><surfaces><surface path=\"tile.png\" width=\"64\" height=\"64\"/>"
            "</surfaces><group id=\"g\"><image id=\"tile\" path=\"tile.png\" cols=\"1\" rows=\"1\"/></group></resources>",
            blob);
        textures = std::make_unique<lv::graphics::CTextureDeclarations>();
        textures->LoadBlob(blob.data(), static_cast<u32>(blob.size()));
        lv::graphics::CTextureManager::Instance().Init(textures.get());

        const std::string xml = FieldXml();
        CClipsBuilder builder;
        builder.AddXml(xml.data(), xml.size());
        clipsImage = builder.Build();
        CClipManager::Instance().LoadImage(clipsImage.data(), static_cast<u32>(clipsImage.size()));
    }
};

std::map<std::string, double> g_FrameMs; // real ms per frame by benchmark

void BM_ClipFrame200(benchmark::State& state)
{
    CFieldWorld& world = CFieldWorld::Get();
    benchsupport::CBenchRendererHost host(kFrameWidth, kFrameHeight);
    host.Window = lv::platform::CreateSdlWindow("clip bench", kFrameWidth, kFrameHeight, false);
    lv::platform::SetDirect3DFactory(nullptr);
    lv::graphics::GetGraphicsDevice().Release(false);
    auto renderer = std::make_unique<lv::graphics::CRenderer>();
    renderer->SetHost(&host);
    renderer->SetSourceSize(kFrameWidth, kFrameHeight);
    if (!host.Window || !renderer->SetMode(false, true, kFrameWidth, kFrameHeight)) {
        state.SkipWithError("no OpenGL device");
        return;
    }
    // The tile's pixels as a run-time texture of the declared size.
    lv::graphics::CImageHandle* tile = lv::graphics::CTextureManager::Instance().GetImage("tile");
    lv::graphics::CTexture* texture = lv::graphics::CTextureManager::Instance().CreateTexture(kSide, kSide);
    if (!tile || !texture) {
        state.SkipWithError("no tile image");
        return;
    }
    const std::vector<u32> texels = TileTexels();
    texture->UploadArgb(texels.data());
    tile->SetTexture(texture);

    CClip clip;
    clip.Load("field", true);
    clip.SetPosition(CVector2(kFrameWidth / 2.0f, kFrameHeight / 2.0f));
    lv::core::CTimeSystem& time = lv::core::CTimeSystem::Instance();
    for (auto _ : state) {
        time.Tick();
        world.audio->Update();
        clip.Update();
        renderer->BeginFrame();
        renderer->Clear(CColor(0xFF000000u));
        clip.Draw(*renderer);
        renderer->EndFrame();
        // Waits for the picture, as the SDL side does.
        if (IDirect3DDevice9* device = lv::graphics::GetGraphicsDevice().GetDevice()) {
            IDirect3DQuery9* query = nullptr;
            if (device->CreateQuery(D3DQUERYTYPE_EVENT, &query) == D3D_OK && query) {
                query->Issue(D3DISSUE_END);
                BYTE done = 0;
                while (query->GetData(&done, 1, D3DGETDATA_FLUSH) == S_FALSE)
                    std::this_thread::yield();
                query->Release();
            }
        }
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["sounds"] = world.audio->GetPlayingCount();
    clip.Clear();
    renderer.reset();
    lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    lv::graphics::GetGraphicsDevice().Release(false);
    lv::platform::DestroySdlWindow(host.Window);
}
BENCHMARK(BM_ClipFrame200)->UseRealTime()->Unit(benchmark::kMillisecond);

// The quads of one frame of the field at its first key points, drawn by SDL2.
void BM_SdlRenderGeometry200(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    struct Vertex
    {
        float X, Y, Z, Rhw;
        u32 Diffuse, Specular;
        float U, V;
    };
    std::vector<Vertex> vertices;
    for (int i = 0; i < kFieldObjects; ++i) {
        const float x = float((i * 37) % (kFrameWidth - kSide)) - 0.5f, y = float((i * 53) % (kFrameHeight - kSide)) - 0.5f;
        const u32 colour = 0xC0FFFFFFu;
        const Vertex a{x, y, 0, 1, colour, 0, 0, 0}, b{x + kSide, y, 0, 1, colour, 0, 1, 0};
        const Vertex c{x + kSide, y + kSide, 0, 1, colour, 0, 1, 1}, d{x, y + kSide, 0, 1, colour, 0, 0, 1};
        vertices.insert(vertices.end(), {a, b, c, a, c, d});
    }
    HWND window = lv::platform::CreateSdlWindow("sdl bench", kFrameWidth, kFrameHeight, false);
    std::unique_ptr<lv::platform::CSdlQuadRenderer> renderer = window ? lv::platform::CSdlQuadRenderer::Create(window) : nullptr;
    const std::vector<u32> texels = TileTexels();
    const std::vector<DWORD> pixels(texels.begin(), texels.end());
    if (!renderer || !renderer->SetTexture(pixels.data(), kSide, kSide)) {
        state.SkipWithError("no SDL renderer");
        lv::platform::DestroySdlWindow(window);
        return;
    }
    state.SetLabel(renderer->GetName());
    for (auto _ : state) {
        renderer->Clear(0xFF000000);
        renderer->DrawTriangles(vertices.data(), static_cast<int>(vertices.size()));
        renderer->Finish();
        renderer->Present();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    renderer.reset();
    lv::platform::DestroySdlWindow(window);
}
BENCHMARK(BM_SdlRenderGeometry200)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps each run's real time per frame for the closing comparison.
class CClipBenchReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                g_FrameMs[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CClipBenchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto clip = g_FrameMs.find("BM_ClipFrame200/real_time");
    const auto sdl = g_FrameMs.find("BM_SdlRenderGeometry200/real_time");
    if (clip != g_FrameMs.end() && sdl != g_FrameMs.end())
        std::printf("200 clip objects: update + draw %.3f ms/frame | SDL_RenderGeometry %.3f ms/frame | "
                    "ratio clip/SDL %.2f\n",
                    clip->second, sdl->second, clip->second / sdl->second);
    benchmark::Shutdown();
    return 0;
}
