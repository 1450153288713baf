// Quest data: loading a generated quest of 100 scenes and 20,000 objects and creating the quest
// from the binary image and from the XML (the ratio of the two is printed as a counter), and one
// frame of Update + Draw of a 300-object scene on the recording device.
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "support/BenchRendererHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// `scenes` scenes of `perScene` objects: images, areas of eight points and groups of three
// images, with hints on every fifth.
std::string QuestXml(int scenes, int perScene)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<quest_data><Structure><quest id=\"main\">";
    for (int s = 0; s < scenes; ++s)
        xml += "<scene id=\"scene_" + std::to_string(s) + "\" guid=\"s" + std::to_string(s) + "\" flags=\"" +
               (s == 0 ? "1" : "0") + "\" size=\"1366 768\" work_area=\"171 0 1024 768\"/>";
    xml += "</quest></Structure>\n";
    int guid = 0;
    for (int s = 0; s < scenes; ++s)
    {
        xml += "<scene_content guid=\"s" + std::to_string(s) + "\"><objects>";
        int made = 0;
        while (made < perScene)
        {
            std::string id = "o";
            id += std::to_string(made);
            std::string g = "g";
            g += std::to_string(guid++);
            const std::string hint = made % 5 == 0 ? " hint=\"look here\"" : "";
            const std::string at = " offset=\"" + std::to_string(40 + made % 1280) + " " + std::to_string(40 + made % 700) +
                                   "\" size=\"40 20\"";
            switch (made % 10)
            {
            case 0:
                xml += "<area id=\"" + id + "\" guid=\"" + g + "\"" + hint + ">";
                for (int p = 0; p < 8; ++p)
                    xml += "<point offset=\"" + std::to_string(p * 10) + " " + std::to_string(p * 7) + "\"/>";
                xml += "</area>";
                ++made;
                break;
            case 1:
                xml += "<group id=\"" + id + "\" guid=\"" + g + "\">";
                for (int c = 0; c < 3; ++c)
                    xml += "<image id=\"c" + std::to_string(c) + "\" guid=\"" + g + "c" + std::to_string(c) +
                           "\" image_id=\"pic\"" + at + "/>";
                xml += "</group>";
                made += 4;
                break;
            default:
                xml += "<image id=\"" + id + "\" guid=\"" + g + "\" image_id=\"pic\" color=\"-1\"" + hint + at + "/>";
                ++made;
                break;
            }
        }
        xml += "</objects></scene_content>\n";
    }
    return xml + "</quest_data>\n";
}

struct SQuestInputs
{
    std::string xml;
    std::vector<u8> image;
};

const SQuestInputs& Inputs()
{
    static const SQuestInputs inputs = [] {
        SQuestInputs in;
        in.xml = QuestXml(100, 200);
        qe::CQuestData data;
        data.BuildFromXmlText(in.xml);
        in.image.assign(data.GetImage(), data.GetImage() + data.GetImageSize());
        return in;
    }();
    return inputs;
}

double LoadAndCreate(bool fromXml)
{
    const auto start = std::chrono::steady_clock::now();
    qe::CQuestData data;
    if (fromXml)
        data.BuildFromXmlText(Inputs().xml);
    else
        data.LoadImage(Inputs().image.data(), static_cast<u32>(Inputs().image.size()));
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    benchmark::DoNotOptimize(quest.get());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void QuestFromBinaryImage(benchmark::State& state)
{
    Inputs();
    for (auto _ : state)
        LoadAndCreate(false);
    state.counters["objects"] = 20000;
}
BENCHMARK(QuestFromBinaryImage)->Unit(benchmark::kMillisecond);

void QuestFromXml(benchmark::State& state)
{
    Inputs();
    for (auto _ : state)
        LoadAndCreate(true);
}
BENCHMARK(QuestFromXml)->Unit(benchmark::kMillisecond);

// Both paths in one run: the counter is how many times slower the XML path is.
void QuestXmlOverBinary(benchmark::State& state)
{
    Inputs();
    double binary = 0, xml = 0;
    for (auto _ : state)
    {
        binary += LoadAndCreate(false);
        xml += LoadAndCreate(true);
    }
    state.counters["xml_over_binary"] = binary > 0 ? xml / binary : 0;
}
BENCHMARK(QuestXmlOverBinary)->Unit(benchmark::kMillisecond)->Iterations(5);

// "pic", a 40 x 20 image, declared from a file in a folder of this run's own.
void DeclarePic()
{
    static bool done = [] {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("quest_data_bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(folder / "gfx");
        std::vector<u8> png;
        lv::content::EncodePngArgb(40, 20, std::vector<u32>(40 * 20, 0xFF808080u), false, png);
        std::ofstream(folder / "gfx/pic.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        const auto previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        std::vector<u8> blob;
        lv::content::CompileTextureDeclarations(
            "<?xml version=\"1.0\"?>\n<resources><surfaces><surface path=\"gfx/pic.png\" width=\"40\" height=\"20\"/>"
            "</surfaces><group id=\"g\"><image id=\"pic\" path=\"gfx/pic.png\" cols=\"1\" rows=\"1\"/></group></resources>",
            blob);
        std::filesystem::current_path(previous);
        auto* declarations = new lv::graphics::CTextureDeclarations();
        declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size()));
        lv::graphics::CTextureManager::Instance().Init(declarations);
        return true;
    }();
    (void)done;
}

void SceneUpdateAndDraw(benchmark::State& state)
{
    DeclarePic();
    auto log = lv::platform::InstallRecordingDirect3D();
    log->WindowWidth = 1366;
    log->WindowHeight = 768;
    lv::graphics::GetGraphicsDevice().Release(false);
    {
        benchsupport::CBenchRendererHost host(1366, 768);
        lv::graphics::CRenderer renderer;
        renderer.SetHost(&host);
        renderer.SetSourceSize(1366, 768);
        renderer.SetMode(false, true, 1366, 768);
        qe::CQuestData data;
        data.BuildFromXmlText(QuestXml(1, 300));
        std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
        qe::CSceneView view;
        view.SetFitMode(qe::CSceneView::kFitWorkArea);
        view.SetViewSize(1024, 768);
        view.SetScene(quest->GetScene(0));
        for (auto _ : state)
        {
            renderer.BeginFrame();
            view.Update();
            view.Render(renderer);
            renderer.EndFrame();
            log->Draws.clear();
            log->Take();
        }
        view.SetScene(nullptr);
        state.counters["objects"] = 300;
    }
    lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    lv::graphics::GetGraphicsDevice().Release(false);
    lv::platform::SetDirect3DFactory(nullptr);
}
BENCHMARK(SceneUpdateAndDraw)->Unit(benchmark::kMicrosecond);

} // namespace
