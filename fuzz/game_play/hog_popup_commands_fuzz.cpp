// Loads "properties/hog_popup_commnds.xml" from arbitrary text for the level "demo", asks the
// lookups about every record and runs every entry of the scene "popup" on a small popup scene
// until its list ends.
#include "core/TimeSystem.h"
#include "game/play/GameWindow.h"
#include "game/play/HogPopupCommands.h"
#include "game/play/HogPopupRunner.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

void Fail()
{
    __builtin_trap();
}

double g_Now = 0.0;

class CHogFuzzFolder
{
public:
    explicit CHogFuzzFolder(const std::filesystem::path& folder) : m_Previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CHogFuzzFolder()
    {
        std::error_code error;
        std::filesystem::current_path(m_Previous, error);
    }

private:
    std::filesystem::path m_Previous;
};

struct CHogFuzzWorld
{
    CHogFuzzWorld()
    {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("hog_popup_commands_fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(Folder / "properties");
        game::CGameWindow::SetClock(&Clock);
        const bool built = qe::CQuestData::Instance().BuildFromXmlText(
            R"(<?xml version="1.0"?><quest_data><Structure><quest id="demo">
<scene id="popup" guid="d1" flags="1" size="400 300" work_area="0 0 400 300"/>
</quest></Structure><scene_content guid="d1"><objects>
<area id="lock" guid="a1" offset="20 20" size="40 40"><point offset="0 0"/><point offset="40 0"/><point offset="40 40"/><point offset="0 40"/></area>
<area id="drawer" guid="a2" offset="20 20" size="40 40"><point offset="0 0"/><point offset="40 0"/><point offset="40 40"/><point offset="0 40"/></area>
<area id="pin" guid="a3" offset="20 20" size="40 40"><point offset="0 0"/><point offset="40 0"/><point offset="40 40"/><point offset="0 40"/></area>
<area id="lid" guid="a4" offset="20 20" size="40 40"><point offset="0 0"/><point offset="40 0"/><point offset="40 40"/><point offset="0 40"/></area>
</objects></scene_content></quest_data>)");
        Quest.reset(built ? qe::CQuestData::Instance().CreateQuest("demo", nullptr, nullptr, &Clock) : nullptr);
        if (!Quest)
            Fail();
    }
    ~CHogFuzzWorld()
    {
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    std::filesystem::path Folder;
    lv::core::CTimeSystem Clock{[] { return g_Now; }};
    std::unique_ptr<qe::CQuest> Quest;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CHogFuzzWorld world;
    const CHogFuzzFolder inFolder(world.Folder);
    std::ofstream(world.Folder / "properties/hog_popup_commnds.xml", std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    game::CHogPopupCommands lists;
    const bool loaded = lists.Load("properties/hog_popup_commnds.xml", world.Quest.get());
    if (loaded != lists.IsLoaded())
        Fail();
    // The same level again keeps loaded lists without reading the file (a failed load tries again).
    lists.Load("properties/hog_popup_commnds.xml", world.Quest.get());
    if (loaded && lists.GetParseCount() != 1)
        Fail();

    const auto& scenes = lists.GetScenes();
    for (size_t s = 0; s < scenes.size(); ++s)
    {
        const s32 index = static_cast<s32>(s);
        if (lists.FindScene(scenes[s].Id.GetText()) > index)
            Fail();
        for (const auto& entry : scenes[s].Entries)
        {
            std::string zone;
            lists.HasActivateEntries(index, entry.HogIndex);
            // Names with odd characters may not find their own entry back; only safety counts.
            lists.FindEntry(index, entry.HogIndex, entry.Id.c_str(), entry.ActivateObject.c_str());
            lists.FindEntryByObject(index, entry.HogIndex, entry.ActivateObject.c_str(), zone);
        }
    }

    qe::CScene* popup = world.Quest->FindScene("popup");
    for (qe::CSceneObject* object : popup->GetObjects())
    {
        object->SetFlags(0);
        object->SetOpacity(-1.0f);
    }
    game::CHogPopupRunner runner;
    runner.SetCommands(&lists);
    for (s32 hog = 0; hog < 3; ++hog)
    {
        runner.HasActivateEntries("popup", hog);
        runner.ZoneIds("popup", hog);
        runner.ActivateObjectAt(popup, 20, 20, hog);
        runner.IsPlainZoneAt(popup, 20, 20, hog);
        runner.ZoneSpeechAt(popup, hog, 20, 20, false);
        qe::CSceneObject* activate = nullptr;
        runner.HintPair(popup, hog, activate);
        runner.HasEnabledZone(popup, hog);
        for (const char* carried : {"", "pin"})
        {
            if (!runner.StartEntry(popup, 20, 20, "popup", hog, carried))
                continue;
            // Sleeps and fades are capped by the frame: a list of n commands ends in bounded frames.
            for (s32 frame = 0; frame < 400 && runner.IsBusy(); ++frame)
            {
                g_Now += 100.0;
                world.Clock.Tick();
                runner.Update();
            }
        }
    }
    game::CHogPopupRunner::DropActivateCache();
    return 0;
}
