// The per-frame step of a level's ambient sounds at the most a level may hold (255), all listed
// for the current scene: once with every shot playing, once with every shot waiting its pause.
#include "core/TimeSystem.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "sound/AudioManager.h"
#include "sound/RecordingVoicePool.h"
#include "sound/SoundDeclarations.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

class CAmbientWorld
{
public:
    explicit CAmbientWorld(bool waiting)
    {
        std::random_device random;
        std::string folder("level_media_bench-");
        folder.append(std::to_string(random()));
        m_Folder = std::filesystem::temp_directory_path() / folder;
        std::filesystem::create_directories(m_Folder / "properties");
        m_Previous = std::filesystem::current_path();
        std::filesystem::current_path(m_Folder);
        std::ofstream(m_Folder / "a.ogg") << "dummy";
        std::string declarations = "<?xml version=\"1.0\"?><sounds>";
        std::string level = "<?xml version=\"1.0\"?><levels><level id=\"demo\">";
        for (int i = 0; i < game::CBackgroundSounds::kMaxSounds; ++i)
        {
            // Appended piece by piece: gcc 12 warns falsely on chained string sums here.
            std::string name("s");
            name.append(std::to_string(i));
            declarations.append("<sound id=\"").append(name).append("\" file=\"a.ogg\"/>");
            level.append("<s id=\"").append(name).append("\" start_delay=\"");
            level.append(waiting ? "1000000000" : "0");
            level.append("\" min_delay=\"5000\" max_delay=\"9000\" play_from_start=\"true\">");
            level.append("<scene id=\"hall\" vol=\"1\"/></s>");
        }
        std::ofstream(m_Folder / "properties/sounds.xml") << declarations << "</sounds>";
        std::ofstream(m_Folder / "properties/background_sounds.xml") << level << "</level></levels>";
        lv::sound::CSoundDeclarations sounds;
        sounds.Load();
        m_Pool.m_Capacity = 1000;
        m_Audio.LoadSoundTypes(sounds);
        game::CGameWindow::SetAudio(&m_Audio);
        game::CGameWindow::SetClock(&m_Clock);
        qe::CQuestData::Instance().BuildFromXmlText(
            R"(<?xml version="1.0"?><quest_data><Structure><quest id="demo">
<scene id="hall" guid="d1" flags="1" size="1366 768" work_area="0 0 1366 768"/></quest></Structure>
<scene_content guid="d1"><objects/></scene_content></quest_data>)");
        m_Quest.reset(qe::CQuestData::Instance().CreateQuest("demo", nullptr, nullptr, &m_Clock));
        m_Sounds = std::make_unique<game::CBackgroundSounds>();
        m_Sounds->Load("properties/background_sounds.xml", m_Quest.get(), m_Quest->FindScene("hall"));
        m_Now += 16.0;
        m_Clock.Tick();
    }
    ~CAmbientWorld()
    {
        m_Sounds.reset();
        m_Quest.reset();
        qe::CQuestData::Instance().Clear();
        game::CGameWindow::SetAudio(nullptr);
        game::CGameWindow::SetClock(nullptr);
        std::filesystem::current_path(m_Previous);
        std::error_code error;
        std::filesystem::remove_all(m_Folder, error);
    }

    game::CBackgroundSounds& Sounds() { return *m_Sounds; }

private:
    std::filesystem::path m_Folder;
    std::filesystem::path m_Previous;
    double m_Now = 1000.0;
    lv::core::CTimeSystem m_Clock{[this] { return m_Now; }};
    CRecordingVoicePool m_Pool;
    lv::sound::CAudioManager m_Audio{m_Clock, &m_Pool};
    std::unique_ptr<qe::CQuest> m_Quest;
    std::unique_ptr<game::CBackgroundSounds> m_Sounds;
};

void BM_AmbientUpdate255Playing(benchmark::State& state)
{
    CAmbientWorld world(false);
    for (auto _ : state)
        world.Sounds().Update();
    state.counters["sounds"] = world.Sounds().GetSoundCount();
}
BENCHMARK(BM_AmbientUpdate255Playing);

void BM_AmbientUpdate255Waiting(benchmark::State& state)
{
    CAmbientWorld world(true);
    for (auto _ : state)
        world.Sounds().Update();
    state.counters["sounds"] = world.Sounds().GetSoundCount();
}
BENCHMARK(BM_AmbientUpdate255Waiting);

} // namespace
