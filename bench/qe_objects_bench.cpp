// Scene objects of the quest engine: hit tests per second of an image through the precomputed
// alpha masks and through its pixel copy (with their ratio), of a 20-point area and of a clip
// tested on its pixels ("use_alpha"), and the CPU time of drawing 300 image objects per frame
// through the renderer onto the recording device.
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "content/ImageWriter.h"
#include "content/QuestDataWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "content/TexturesAlphaWriter.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "graphics/TexturesAlpha.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "qe/AreaObject.h"
#include "qe/ClipObject.h"
#include "qe/ImageObject.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <memory>
#include <system_error>
#include <string>
#include <vector>

using lv::content::CQuestDataWriter;
using lv::content::EQuestObjectKind;
using lv::content::SQuestObject;

namespace {

constexpr u32 kSide = 64;

// Opaque except for transparent 8 x 8 squares in a checker pattern.
u32 PicturePixel(u32 x, u32 y)
{
    return ((x / 8 + y / 8) % 2) ? 0x00000000u : 0xFF8080C0u;
}

// One 64 x 64 declared image "pic" with its pixel copy and alpha masks, a clip showing it, and a
// renderer over the recording device. Built once for the whole program, in a scratch folder
// that is its working folder.
class CObjectsWorld
{
public:
    CObjectsWorld()
    {
        m_Folder = std::filesystem::temp_directory_path() / ("qe_objects_bench_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(m_Folder / "gfx");
        static const CScratch scratch{m_Folder};
        std::filesystem::current_path(m_Folder);
        std::vector<u32> pixels(kSide * kSide);
        for (u32 y = 0; y < kSide; ++y)
            for (u32 x = 0; x < kSide; ++x)
                pixels[y * kSide + x] = PicturePixel(x, y);
        std::vector<u8> png;
        lv::content::EncodePngArgb(kSide, kSide, pixels, true, png);
        std::ofstream("gfx/pic.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations(
            "<?xml version=\"1.0\"?>\n<resources><surfaces>"
            "<surface path=\"gfx/pic.png\" width=\"64\" height=\"64\"/></surfaces>"
            "<group id=\"g\"><image id=\"pic\" path=\"gfx/pic.png\" cols=\"1\" rows=\"1\"/></group></resources>",
            blob);
        m_Declarations.LoadBlob(blob.data(), static_cast<u32>(blob.size()));
        lv::graphics::CTextureManager::Instance().Init(&m_Declarations);

        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1366;
        m_Log->WindowHeight = 768;
        lv::graphics::GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<lv::graphics::CRenderer>();
        m_Renderer->SetSourceSize(1366, 768);
        m_Renderer->SetMode(false, true, 1366, 768);

        lv::graphics::CImageHandle* image = lv::graphics::CTextureManager::Instance().GetImage("pic");
        image->EnsurePixelCopy();
        for (u32 y = 0; y < kSide; ++y)
            for (u32 x = 0; x < kSide; ++x)
                *image->GetPixelAddress(x, y, -1) = PicturePixel(x, y);

        lv::content::CTexturesAlphaWriter masks;
        masks.AddPixels("pic", kSide, kSide, pixels);
        m_Masks = masks.Build();

        lv::misc::anim::CClipsBuilder clips;
        const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                "<Clip id=\"show\" x=\"0\" y=\"0\" w=\"64\" h=\"64\">"
                                "<image id=\"a\" i_id=\"pic\" c=\"-1\" p=\"32 32\" "
                                "py=\"-32 -32 32 -32 32 32 -32 32\" vis=\"true\"/></Clip>";
        clips.AddXml(xml.data(), xml.size());
        m_Clips = clips.Build();
        lv::misc::anim::CClipManager::Instance().LoadImage(m_Clips.data(), static_cast<u32>(m_Clips.size()));
    }

    void UseMasks(bool use)
    {
        auto& alpha = lv::graphics::CTexturesAlpha::Instance();
        if (use)
            alpha.LoadData(m_Masks.data(), static_cast<u32>(m_Masks.size()));
        else
            alpha.Release();
    }

    // A record kept alive for the objects built on it.
    const u8* Record(const SQuestObject& o)
    {
        m_Records.push_back(CQuestDataWriter::BuildObjectRecord(o));
        return m_Records.back().data();
    }

    lv::graphics::CRenderer& Renderer() { return *m_Renderer; }
    lv::platform::CRecordingLog& Log() { return *m_Log; }

private:
    // The scratch folder goes when the program ends.
    struct CScratch
    {
        std::filesystem::path path;
        ~CScratch()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };

    std::filesystem::path m_Folder;
    lv::graphics::CTextureDeclarations m_Declarations;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<lv::graphics::CRenderer> m_Renderer;
    std::vector<u8> m_Masks;
    std::vector<u8> m_Clips;
    std::vector<std::vector<u8>> m_Records;
};

CObjectsWorld& World()
{
    // Never destroyed: the texture and clip managers keep pointers into it until the end.
    static CObjectsWorld* world = new CObjectsWorld;
    return *world;
}

SQuestObject Placed(EQuestObjectKind kind, const char* resource, float x, float y, float angle)
{
    SQuestObject o;
    o.kind = kind;
    // Built strings moved in: GCC 12 misreads assigning short literals here (-Wrestrict).
    o.id = std::string(1, 'o');
    o.resource = std::string(resource);
    o.color = {255, 255, 255, 255};
    o.offset[0] = x;
    o.offset[1] = y;
    o.size[0] = static_cast<float>(kSide);
    o.size[1] = static_cast<float>(kSide);
    o.angle = angle;
    return o;
}

// 256 points over the object's square around (200, 200) and a little beyond it.
std::vector<CVector2> Probes()
{
    std::vector<CVector2> points;
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 16; ++j)
            points.emplace_back(200.0f - 36 + 4.7f * static_cast<float>(i), 200.0f - 36 + 4.7f * static_cast<float>(j));
    return points;
}

template <class Object>
void RunHits(benchmark::State& state, Object& object)
{
    const std::vector<CVector2> points = Probes();
    size_t hits = 0;
    for (auto _ : state)
        for (const CVector2& p : points)
            hits += object.HitTest(p) ? 1 : 0;
    benchmark::DoNotOptimize(hits);
    state.SetItemsProcessed(static_cast<s64>(state.iterations() * points.size()));
    state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(state.iterations() * points.size());
}

void ImageHitThroughMasks(benchmark::State& state)
{
    World().UseMasks(true);
    qe::CImageObject image(nullptr);
    image.InitFromRecord(World().Record(Placed(EQuestObjectKind::Image, "pic", 200, 200, 0.3f)));
    RunHits(state, image);
    World().UseMasks(false);
}

void ImageHitThroughPixels(benchmark::State& state)
{
    World().UseMasks(false);
    qe::CImageObject image(nullptr);
    image.InitFromRecord(World().Record(Placed(EQuestObjectKind::Image, "pic", 200, 200, 0.3f)));
    RunHits(state, image);
}

void AreaHit20Points(benchmark::State& state)
{
    SQuestObject o = Placed(EQuestObjectKind::Area, "", 0, 0, 0);
    for (int i = 0; i < 20; ++i)
    {
        // A star: alternate radii, so the outline is concave.
        const float a = 6.2831853f * static_cast<float>(i) / 20.0f;
        const float r = (i % 2) ? 20.0f : 36.0f;
        o.points.emplace_back(200.0f + r * std::cos(a), 200.0f + r * std::sin(a));
    }
    qe::CAreaObject area(nullptr);
    area.InitFromRecord(World().Record(o));
    RunHits(state, area);
}

void ClipHitUseAlpha(benchmark::State& state)
{
    World().UseMasks(false);
    SQuestObject o = Placed(EQuestObjectKind::Clip, "show", 200, 200, 0.3f);
    o.useAlpha = true;
    qe::CClipObject clip(nullptr);
    clip.InitFromRecord(World().Record(o));
    RunHits(state, clip);
}

void RenderImageObjects(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<qe::CImageObject>> objects;
    for (int i = 0; i < count; ++i)
    {
        // Every third one turned, every fifth one mirrored: both take the matrix path.
        SQuestObject o = Placed(EQuestObjectKind::Image, "pic", static_cast<float>(40 + (i * 37) % 1280),
                                static_cast<float>(40 + (i * 53) % 700), (i % 3 == 0) ? 0.25f : 0.0f);
        o.flipH = i % 5 == 0;
        auto object = std::make_unique<qe::CImageObject>(nullptr);
        object->InitFromRecord(World().Record(o));
        if (i % 4 == 0)
            object->SetOpacity(0.5f);
        objects.push_back(std::move(object));
    }
    lv::graphics::CRenderer& renderer = World().Renderer();
    for (auto _ : state)
    {
        renderer.BeginFrame();
        for (auto& object : objects)
            object->Render(renderer);
        renderer.EndFrame();
        World().Log().Draws.clear();
        World().Log().Calls.clear();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(static_cast<s64>(state.iterations()) * count);
}

BENCHMARK(ImageHitThroughMasks);
BENCHMARK(ImageHitThroughPixels);
BENCHMARK(AreaHit20Points);
BENCHMARK(ClipHitUseAlpha);
BENCHMARK(RenderImageObjects)->Arg(300)->Unit(benchmark::kMicrosecond);

// Keeps the hit tests per second for the closing comparison.
class CHitRateReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const auto rate = run.counters.find("items_per_second");
            if (!run.error_occurred && rate != run.counters.end())
                m_Rates[run.benchmark_name()] = rate->second.value;
        }
    }
    void PrintComparison() const
    {
        const auto masks = m_Rates.find("ImageHitThroughMasks"), pixels = m_Rates.find("ImageHitThroughPixels");
        if (masks == m_Rates.end() || pixels == m_Rates.end() || pixels->second <= 0)
            return;
        std::printf("image hit tests: alpha masks %.3g/s, pixel copy %.3g/s | ratio masks/pixels %.2f\n",
                    masks->second, pixels->second, masks->second / pixels->second);
    }

private:
    std::map<std::string, double> m_Rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CHitRateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintComparison();
    benchmark::Shutdown();
    return 0;
}
