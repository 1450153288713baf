// The saved game's price on the main thread: SaveState (the image built) plus WriteSaveFile (a
// temporary file beside the save, fsync, the previous save checked and copied to ".bp" the same
// way, the rename and the folder's fsync), for the demo quest and for a generated quest of 100
// scenes and 20,000 objects. In the same run the same bytes are written plainly (fopen, fwrite,
// fclose: no temporary file, no fsync), and the ratio is the price of durability. Prints the
// median and p99 of each; the goal is under one 16 ms frame with the fsync. The files go to a
// folder in the system's temporary folder, so the disk under it decides the fsync's cost.
#include "core/Settings.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "gui/GuiServices.h"
#include "gui/WidgetFactory.h"
#include "qe/ByteBuffer.h"
#include "qe/CommandBase.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"
#include "sound/AudioManager.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

double g_SaveBenchNow = 0.0;

std::string SaveBenchDemoXml()
{
    std::ifstream in(GAME_SOURCE_FOLDER "/demo/properties/quest.xml", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// 100 scenes of 200 area objects each, the first scene the start scene.
std::string SaveBenchBigXml()
{
    std::string structure = "<quest id=\"big\">";
    std::string content;
    for (int s = 0; s < 100; ++s)
    {
        const std::string id = std::to_string(s);
        structure += "<scene id=\"scene" + id + "\" guid=\"5" + id + "\" flags=\"" + (s == 0 ? "1" : "0") +
                     "\" size=\"1366 768\" work_area=\"0 0 1366 768\"/>";
        content += "<scene_content guid=\"5" + id + "\"><objects>";
        for (int o = 0; o < 200; ++o)
        {
            const std::string x = std::to_string(10 + (o % 20) * 60), y = std::to_string(10 + (o / 20) * 60);
            content += "<area id=\"a" + std::to_string(o) + "\" guid=\"" + id + "0" + std::to_string(o) + "\" offset=\"" +
                       x + " " + y + "\" size=\"40 40\"><point offset=\"0 0\"/><point offset=\"40 0\"/><point offset=\"40 40\"/></area>";
        }
        content += "</objects></scene_content>";
    }
    structure += "</quest>";
    return "<?xml version=\"1.0\"?><quest_data><Structure>" + structure + "</Structure>" + content + "</quest_data>";
}

struct CSaveBenchWorld
{
    explicit CSaveBenchWorld(const std::string& questXml)
    {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("save_game_bench-" + std::to_string(random()));
        std::filesystem::create_directories(Folder / "saves");
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        Gui.LoadXmlText(R"(<?xml version="1.0"?><root><GUI><window id="main_game_window"/></GUI><GUITemplates/></root>)");
        lv::gui::CGuiServices& gui = lv::gui::CGuiServices::Instance();
        gui.Settings = [this] { return &Gui; };
        gui.Time = [this] { return Clock.GetTime(); };
        game::CGameWindow::SetClock(&Clock);
        game::CGameWindow::SetAudio(&Audio);
        game::CHud::SetClock(&Clock);
        qe::scripts::CCommandBase::SetTimeSystem(&Clock);
        game::CProfileManager::DestroyInstance();
        game::CProfileManager* profiles = game::CProfileManager::CreateInstance(
            game::CProfileManager::Folder(Utf8ToWide((Folder / "saves").string()).c_str()));
        profiles->SetCurrentProfile(profiles->AddProfile(u"Bench"));
        Ok = qe::CQuestData::Instance().BuildFromXmlText(questXml) && Quests.LoadXmlText(questXml);
        if (Ok)
            qe::CScriptData::Instance().Compile(Quests.GetFirstChild());
        Clock.Tick();
        Window.reset(new game::CGameWindow());
        Ok = Ok && Window->StartQuestByIndex(0);
    }
    ~CSaveBenchWorld()
    {
        Window.reset();
        game::CProfileManager::DestroyInstance();
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    std::filesystem::path Folder;
    lv::core::CTimeSystem Clock{[] { return g_SaveBenchNow; }};
    lv::sound::CAudioManager Audio{Clock, nullptr};
    lv::core::CSettings Gui;
    lv::core::CSettings Quests;
    game::CGameWindow::Ptr Window;
    bool Ok = false;
};

double SaveBenchPercentile(std::vector<double> samples, double p)
{
    std::sort(samples.begin(), samples.end());
    const size_t at = std::min(samples.size() - 1, static_cast<size_t>(p * static_cast<double>(samples.size())));
    return samples[at];
}

double SaveBenchMsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void RunSaveBench(benchmark::State& state, const char* name, const std::string& questXml)
{
    CSaveBenchWorld world(questXml);
    if (!world.Ok)
    {
        state.SkipWithError("the quest did not start");
        return;
    }
    game::CGameWindow& window = *world.Window;
    constexpr int kRounds = 100;
    std::vector<double> durable, plain;
    const std::string plainPath = (world.Folder / "plain.save").string();
    for (auto _ : state)
    {
        for (int i = 0; i < kRounds; ++i)
        {
            window.SetTutorialStep(i % 5);
            auto start = std::chrono::steady_clock::now();
            if (!window.SaveState())
                state.SkipWithError("SaveState refused");
            window.WriteSaveFile();
            durable.push_back(SaveBenchMsSince(start));

            const qe::CByteBuffer& image = window.GetSaveImage();
            start = std::chrono::steady_clock::now();
            if (FILE* file = std::fopen(plainPath.c_str(), "wb"))
            {
                std::fwrite(image.GetData(), 1, static_cast<size_t>(image.GetCapacity()), file);
                std::fclose(file);
            }
            plain.push_back(SaveBenchMsSince(start));
        }
    }
    const double durable50 = SaveBenchPercentile(durable, 0.5), durable99 = SaveBenchPercentile(durable, 0.99);
    const double plain50 = SaveBenchPercentile(plain, 0.5), plain99 = SaveBenchPercentile(plain, 0.99);
    state.counters["bytes"] = window.GetSaveImage().GetCapacity();
    state.counters["durable_p50_ms"] = durable50;
    state.counters["durable_p99_ms"] = durable99;
    state.counters["plain_p50_ms"] = plain50;
    state.counters["plain_p99_ms"] = plain99;
    state.counters["ratio_p50"] = plain50 > 0 ? durable50 / plain50 : 0;
    std::printf("%s: %d-byte save: SaveState + WriteSaveFile median %.3f ms, p99 %.3f ms; plain write median "
                "%.3f ms, p99 %.3f ms; durability costs x%.1f at the median (goal: under 16 ms)\n",
                name, window.GetSaveImage().GetCapacity(), durable50, durable99, plain50, plain99,
                plain50 > 0 ? durable50 / plain50 : 0.0);
}

void BM_SaveDemo(benchmark::State& state)
{
    RunSaveBench(state, "demo", SaveBenchDemoXml());
}
BENCHMARK(BM_SaveDemo)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SaveHundredScenesTwentyThousandObjects(benchmark::State& state)
{
    RunSaveBench(state, "100 scenes, 20000 objects", SaveBenchBigXml());
}
BENCHMARK(BM_SaveHundredScenesTwentyThousandObjects)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
