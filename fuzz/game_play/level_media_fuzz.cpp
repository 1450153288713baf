// Loads the ambient sounds and the music playlist of a level from arbitrary text: the input is
// split at "\n--\n" into "properties/background_sounds.xml" and "properties/tracks.xml". Both
// load for the quest "demo", follow scene changes, switches, suspension and frames, and the
// ambient sounds' saved section must fit the room the saved game reserves and read back.
#include "core/TimeSystem.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "game/play/LevelMusic.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "sound/AudioManager.h"
#include "support/InFolder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>

namespace {

using fuzzsupport::CInFolder;

void Fail()
{
    __builtin_trap();
}

double g_Now = 0.0;

struct CFuzzWorld
{
    CFuzzWorld()
    {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("level_media_fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(Folder / "properties");
        const CInFolder inFolder(Folder);
        game::CGameWindow::SetAudio(&Audio);
        game::CGameWindow::SetClock(&Clock);
        const bool built = qe::CQuestData::Instance().BuildFromXmlText(
            R"(<?xml version="1.0"?><quest_data><Structure><quest id="demo">
<scene id="hall" guid="d1" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="closeup" guid="d2" size="1366 768" work_area="0 0 1366 768"/>
</quest></Structure><scene_content guid="d1"><objects/></scene_content>
<scene_content guid="d2"><objects/></scene_content></quest_data>)");
        Quest.reset(built ? qe::CQuestData::Instance().CreateQuest("demo", nullptr, nullptr, &Clock) : nullptr);
        if (!Quest)
            Fail();
    }

    ~CFuzzWorld()
    {
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    std::filesystem::path Folder;
    lv::core::CTimeSystem Clock{[] { return g_Now; }};
    // No voice pool: every play is refused, which the loaders must survive too.
    lv::sound::CAudioManager Audio{Clock, nullptr};
    std::unique_ptr<qe::CQuest> Quest;
};

void Frame(CFuzzWorld& world, game::CBackgroundSounds& sounds, game::CLevelMusic& music)
{
    g_Now += 100.0;
    world.Clock.Tick();
    sounds.Update();
    music.Update();
    world.Audio.Update();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CFuzzWorld world;
    const CInFolder inFolder(world.Folder);
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find("\n--\n");
    const std::string_view ambient = input.substr(0, split);
    const std::string_view tracks = split == std::string_view::npos ? std::string_view() : input.substr(split + 4);
    std::ofstream(world.Folder / "properties/background_sounds.xml", std::ios::binary)
        .write(ambient.data(), static_cast<std::streamsize>(ambient.size()));
    std::ofstream(world.Folder / "properties/tracks.xml", std::ios::binary)
        .write(tracks.data(), static_cast<std::streamsize>(tracks.size()));

    qe::CScene* hall = world.Quest->FindScene("hall");
    qe::CScene* closeup = world.Quest->FindScene("closeup");
    game::CBackgroundSounds sounds;
    game::CLevelMusic music;
    sounds.Load("properties/background_sounds.xml", world.Quest.get(), hall);
    music.Load("properties/tracks.xml", world.Quest.get());
    music.Load("properties/tracks.xml", world.Quest.get());
    if (sounds.GetSoundCount() > game::CBackgroundSounds::kMaxSounds)
        Fail();
    Frame(world, sounds, music);
    sounds.SetMiniscene(closeup);
    Frame(world, sounds, music);
    sounds.SetSuspended(true);
    sounds.SetSuspended(false);
    sounds.ClearMiniscene();
    music.Stop();
    Frame(world, sounds, music);
    const s32 current = music.GetCurrent();
    if (current < -1 || current >= music.GetTrackCount())
        Fail();

    qe::CByteBuffer buffer;
    buffer.Allocate(sounds.GetSaveSize());
    sounds.Save(buffer);
    if (buffer.HasOverflowed() || buffer.GetLength() != 4 + 100 * sounds.GetSoundCount())
        Fail();
    game::CBackgroundSounds restored;
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    if (!restored.LoadState(reader))
        Fail();
    restored.Load("properties/background_sounds.xml", world.Quest.get(), closeup);
    if (restored.GetSoundCount() != sounds.GetSoundCount())
        Fail();
    return 0;
}
