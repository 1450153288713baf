// The hidden-object search in the game application on the built demo content (game.pack beside
// the program, real OpenGL offscreen under SDL_VIDEODRIVER=offscreen, sound on
// ALSOFT_DRIVERS=null), over a quest made here from the demo's images:
// - a round's frame: 20 items on the panel's list, five of them just taken, so that five sparks
//   fly and the smoke runs through every measured frame (time tick, window update, begin frame,
//   window draw, end frame; the game clock steps 16 ms a frame and the round is rebuilt, untimed,
//   before the sparks land);
// - mouse moves over the open popup, whose scene holds 20 zones of the popup commands (half of
//   them waiting for an object, with speech), the pointer sweeping across all of them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "anim/ParticleManager.h"
#include "content/ParticleImageWriter.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/GameApplication.h"
#include "game/play/GameWindow.h"
#include "game/play/Hog.h"
#include "game/play/HogItemList.h"
#include "game/play/HogPopupCommands.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "graphics/Renderer.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/ScriptData.h"

namespace {

constexpr s32 kItems = 20, kZones = 20, kTakes = 5, kFrameMs = 16;
// Rebuilt before the sparks (1000 ms) land.
constexpr s32 kFramesPerRound = 50;

const char* const kItemImages[4] = {"hog_cup", "hog_book", "lamp", "key"};
// Twenty string ids of the demo, so that every item has a row of its own text.
const int kHintIds[kItems] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 272, 453, 2101};

CPoint2i ItemPoint(s32 i) { return CPoint2i(150 + (i % 5) * 260, 110 + (i / 5) * 120); }

std::string Square(const std::string& id, const std::string& guid, s32 x, s32 y, s32 s)
{
    auto n = [](s32 v) { return std::to_string(v); };
    return "<area id=\"" + id + "\" guid=\"" + guid + "\" offset=\"" + n(x + s / 2) + " " + n(y + s / 2) + "\" size=\"" +
           n(s) + " " + n(s) + "\"><point offset=\"" + n(x) + " " + n(y) + "\"/><point offset=\"" + n(x + s) + " " +
           n(y) + "\"/><point offset=\"" + n(x + s) + " " + n(y + s) + "\"/><point offset=\"" + n(x) + " " +
           n(y + s) + "\"/></area>";
}

std::string BenchQuestXml()
{
    std::string items;
    for (s32 i = 0; i < kItems; ++i) {
        const CPoint2i p = ItemPoint(i);
        items += "<image id=\"hog1_item" + std::to_string(i) + "\" guid=\"i" + std::to_string(i) + "\" hint=\"" +
                 std::to_string(kHintIds[i]) + "\" color=\"-1\" image_id=\"" + kItemImages[i % 4] + "\" offset=\"" +
                 std::to_string(p.X) + " " + std::to_string(p.Y) + "\" size=\"64 48\"/>";
    }
    std::string zones;
    for (s32 i = 0; i < kZones; ++i)
        zones += Square("zone" + std::to_string(i), "z" + std::to_string(i), 10 + (i % 5) * 78, 10 + (i / 5) * 70, 60);
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="bench">
<scene id="hog_room" guid="s1" flags="1" size="1366 768" work_area="171 0 1024 768"/>
<scene id="hall" guid="s2" size="1366 768" work_area="171 0 1024 768"/>
<scene id="popup" guid="s3" flags="2" size="400 300" work_area="0 0 400 300"/>
</quest></Structure>
<scene_content guid="s1"><objects>)" +
           items + Square("popup_zone", "p1", 1200, 500, 80) +
           R"(<image id="clutter" guid="c1" color="-1" image_id="hog_clutter" offset="880 520" size="220 140"/>
<image id="background" guid="b1" color="-1" image_id="hog_room_bg" offset="683 384" size="1366 768"/>
</objects><scripts><minigame_block guid="g1" id="search" minigame="hog"><arguments>
<argument key="index" value="1"/><argument key="prev_scene" value="hall"/>
<argument key="popup_area" value="popup_zone"/><argument key="popup" value="popup"/>
</arguments></minigame_block></scripts></scene_content>
<scene_content guid="s2"><objects/><scripts/></scene_content>
<scene_content guid="s3"><objects>)" +
           zones + R"(<image id="backdrop" guid="d1" color="-1" image_id="hall_bg" offset="200 150" size="400 300"/>
</objects><scripts/></scene_content></quest_data>)";
}

// Half of the zones wait for an object and have speech, half run their list on a plain click.
std::string PopupCommandsXml()
{
    std::string entries;
    for (s32 i = 0; i < kZones; ++i) {
        const std::string zone = "zone" + std::to_string(i);
        if (i % 2)
            entries += "<zone id=\"" + zone + "\" activate_object=\"tool" + std::to_string(i) +
                       "\" hogID=\"1\" sayID=\"453\"><c id=\"hide\" arg1=\"" + zone + "\"/></zone>";
        else
            entries += "<zone id=\"" + zone + "\" activate_object=\"\" hogID=\"1\"><c id=\"disable\" arg1=\"" + zone +
                       "\"/></zone>";
    }
    return "<?xml version=\"1.0\"?><hog_commands><level id=\"bench\"><scene id=\"popup\">" + entries +
           "</scene></level></hog_commands>";
}

// The take effects of the search: five sparks and a one-shot smoke, on the demo's spark texture.
bool LoadTakeEffects()
{
    lv::content::CParticleImageWriter writer;
    const std::string xml =
        R"(<?xml version="1.0"?><fx>
<particle id="hog_take_sparks" tex_id="spark" emission="60" life_time_min="300" life_time_max="600"
 max_life_particles="64" size="8 8 4 0 0" start_color="-1" mid_color="-8323200" end_color="0" var_color="0"
 base_var_color="0" direction="-1.57" spread="6.28" start_speed_min="20" start_speed_max="60" flags="2048"/>
<particle id="02_05_lamp_explosion_smoke copy" tex_id="spark" emission="80" system_life_time="300"
 life_time_min="800" life_time_max="1600" max_life_particles="128" size="12 24 40 0 0" start_color="-2139062144"
 mid_color="1082163328" end_color="0" var_color="0" base_var_color="0" direction="-1.57" spread="1.2"
 start_speed_min="10" start_speed_max="40"/>
</fx>)";
    if (!writer.AddXml(xml))
        return false;
    const std::vector<u8> block = writer.Build();
    return lv::misc::anim::CParticleManager::Instance().LoadImage(block.data(), static_cast<u32>(block.size()));
}

// The game application with a window playing the bench quest, its search running in "hog_room".
class CHogBenchGame
{
public:
    static CHogBenchGame& Instance()
    {
        static CHogBenchGame game;
        return game;
    }

    bool IsReady() const { return m_Ready; }
    game::CHog* Hog() { return m_Hog; }

    void Frame()
    {
        m_Now += kFrameMs;
        m_Clock.Tick();
        m_Window->Update();
        lv::graphics::CRenderer& renderer = m_Application->GetRenderer();
        if (renderer.BeginFrame()) {
            m_Window->Draw(renderer);
            renderer.EndFrame();
        }
    }

    // The round from the start, then five items taken at once.
    void NewRound()
    {
        qe::CScene* scene = m_Window->GetQuest()->FindScene("hog_room");
        for (s32 i = 0; i < kItems; ++i)
            if (qe::CSceneObject* item = scene->FindObject(("hog1_item" + std::to_string(i)).c_str()))
                item->SetFlags(0);
        m_Hog->ClosePopup();
        m_Hog->Load();
        for (s32 i = 0; i < kTakes; ++i) {
            const CPoint2i p = ItemPoint(i * 3);
            m_Hog->ClickAt(p.X, p.Y, false);
        }
    }

private:
    CHogBenchGame()
    {
        const std::filesystem::path program = GAME_PROGRAM_FOLDER;
        std::error_code ec;
        std::filesystem::current_path(program, ec);
        if (ec || !std::filesystem::exists("game.pack")) {
            std::fprintf(stderr, "hog_bench: no built content in %s (build the demo_content target)\n",
                         program.string().c_str());
            return;
        }
        lv::core::SetQuietMessageBoxes(true);
        game::CGameWindow::SetClock(&m_Clock);
        game::CHud::SetClock(&m_Clock);
        m_Application = std::make_unique<game::CGameApplication>();
        if (!m_Application->Init()) {
            std::fprintf(stderr, "hog_bench: the game application did not start\n");
            return;
        }
        if (!LoadTakeEffects()) {
            std::fprintf(stderr, "hog_bench: the take effects did not load\n");
            return;
        }
        const std::string xml = BenchQuestXml();
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        if (!qe::CQuestData::Instance().BuildFromXmlText(xml) || !m_Scripts.LoadXmlText(xml)) {
            std::fprintf(stderr, "hog_bench: the bench quest did not build\n");
            return;
        }
        qe::CScriptData::Instance().Compile(m_Scripts.GetFirstChild());
        m_CommandsFile = std::filesystem::temp_directory_path() / "hog_bench_popup_commands.xml";
        std::ofstream(m_CommandsFile) << PopupCommandsXml();

        m_Clock.Tick();
        m_Window.reset(new game::CGameWindow());
        if (!m_Window->StartGame(false, false, false, false) || !m_Window->GetQuest()) {
            std::fprintf(stderr, "hog_bench: the bench quest did not start\n");
            return;
        }
        m_Application->SetRootWidget(m_Window);
        m_Window->GetSceneStack().GetQuest()->RefreshScripts();
        if (!m_Window->GetHogPopupCommands().LoadLevel(m_CommandsFile.string().c_str(), "bench")) {
            std::fprintf(stderr, "hog_bench: the popup commands did not load\n");
            return;
        }
        for (int i = 0; i < 40; ++i)
            Frame();
        game::CMinigameManager& host = m_Window->GetMinigameHost();
        for (s32 i = 0; i < host.GetLiveCount() && !m_Hog; ++i)
            m_Hog = dynamic_cast<game::CHog*>(host.GetLive(i));
        if (!m_Hog || m_Hog->GetItemList().GetTotal() != kItems) {
            std::fprintf(stderr, "hog_bench: the search did not start with %d items\n", kItems);
            return;
        }
        m_Ready = true;
    }
    ~CHogBenchGame()
    {
        m_Window.reset();
        m_Application.reset();
        game::CGameWindow::SetClock(nullptr);
        game::CHud::SetClock(nullptr);
        std::error_code ignored;
        std::filesystem::remove(m_CommandsFile, ignored);
    }

    double m_Now = 0.0;
    lv::core::CTimeSystem m_Clock{[this] { return m_Now; }};
    std::unique_ptr<game::CGameApplication> m_Application;
    game::CGameWindow::Ptr m_Window;
    lv::core::CSettings m_Scripts;
    std::filesystem::path m_CommandsFile;
    game::CHog* m_Hog = nullptr;
    bool m_Ready = false;
};

void BM_HogRoundFrame(benchmark::State& state)
{
    CHogBenchGame& game = CHogBenchGame::Instance();
    if (!game.IsReady()) {
        state.SkipWithError("the bench game did not start");
        return;
    }
    game.NewRound();
    s32 frames = 0;
    s32 sparks = 0;
    for (auto _ : state) {
        if (frames == kFramesPerRound) {
            state.PauseTiming();
            game.NewRound();
            frames = 0;
            state.ResumeTiming();
        }
        game.Frame();
        ++frames;
    }
    const game::CHogItemList& list = game.Hog()->GetItemList();
    for (s32 i = 0; i < game::CHogItemList::kSparkCount; ++i)
        sparks += list.GetSparkEntry(i) >= 0 ? 1 : 0;
    state.counters["items"] = list.GetTotal();
    state.counters["sparks_at_end"] = sparks;
    state.counters["smoke_at_end"] = list.IsSmokeRunning() ? 1 : 0;
}
BENCHMARK(BM_HogRoundFrame)->Unit(benchmark::kMillisecond);

void BM_HogPopupMouseMove(benchmark::State& state)
{
    CHogBenchGame& game = CHogBenchGame::Instance();
    if (!game.IsReady()) {
        state.SkipWithError("the bench game did not start");
        return;
    }
    game::CHog* hog = game.Hog();
    hog->ClosePopup();
    hog->Load();
    hog->OpenPopup();
    if (!hog->IsPopupActive()) {
        state.SkipWithError("the popup did not open");
        return;
    }
    const CPoint2i origin = hog->GetPopupOrigin();
    // A sweep over the popup: every 7th pixel of its 400 x 300 scene, row by row.
    std::vector<CPoint2i> points;
    for (s32 y = 0; y < 300; y += 7)
        for (s32 x = 0; x < 400; x += 7)
            points.emplace_back(origin.X + x, origin.Y + y);
    size_t next = 0;
    s64 taken = 0;
    for (auto _ : state) {
        taken += hog->OnMouseMove(points[next]) ? 1 : 0;
        next = next + 1 == points.size() ? 0 : next + 1;
    }
    state.counters["zones"] = kZones;
    state.counters["taken_share"] = static_cast<double>(taken) / static_cast<double>(state.iterations());
    hog->ClosePopup();
}
BENCHMARK(BM_HogPopupMouseMove);

} // namespace
