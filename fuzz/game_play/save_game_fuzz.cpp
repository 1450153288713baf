// Loads arbitrary bytes as a saved game of the demo quest into a fresh game window: every input
// must load (2) or be refused as missing (0) or damaged (1) without a crash or a read outside the
// file, and a refused file must leave the window as it was (no quest, the tutorial step kept).
// At start-up a valid save of the demo's first level, made by the saved-game writer from the
// running game's sections, goes into the first corpus folder given (when it is a folder).
#include "content/SaveGameWriter.h"
#include "core/Settings.h"
#include "core/TextConvert.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "gui/GuiServices.h"
#include "gui/WidgetFactory.h"
#include "qe/ByteBuffer.h"
#include "qe/CommandBase.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "qe/ScriptData.h"
#include "sound/AudioManager.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

namespace {

void Fail()
{
    __builtin_trap();
}

double g_SaveNow = 0.0;

template <typename TSave> std::string SaveSectionBytes(s32 room, TSave&& save)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(room);
    save(buffer);
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), static_cast<size_t>(buffer.GetLength()));
}

struct CSaveFuzzWorld
{
    CSaveFuzzWorld()
    {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("save_game_fuzz-" + std::to_string(random()));
        std::filesystem::create_directories(Folder);
        lv::gui::CWidgetFactory::RegisterWidgetTypes();
        if (!Gui.LoadXmlText(R"(<?xml version="1.0"?>
<root><GUI><window id="main_game_window">
<button_widget id="skip_tutorial" width="120" height="30"/><button_widget id="skip_btn" width="100" height="40"/>
<button_widget id="back_button" width="110" height="44"/></window></GUI><GUITemplates/></root>)"))
            Fail();
        lv::gui::CGuiServices& gui = lv::gui::CGuiServices::Instance();
        gui.Settings = [this] { return &Gui; };
        gui.Time = [this] { return Clock.GetTime(); };
        game::CGameWindow::SetClock(&Clock);
        game::CGameWindow::SetAudio(&Audio);
        game::CHud::SetClock(&Clock);
        qe::scripts::CCommandBase::SetTimeSystem(&Clock);

        std::ifstream in(GAME_SOURCE_FOLDER "/demo/properties/quest.xml", std::ios::binary);
        std::stringstream xml;
        xml << in.rdbuf();
        if (!qe::CQuestData::Instance().BuildFromXmlText(xml.str()) || !Quests.LoadXmlText(xml.str()))
            Fail();
        qe::CScriptData::Instance().Compile(Quests.GetFirstChild());
        Clock.Tick();
    }

    ~CSaveFuzzWorld()
    {
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    // A valid save of the demo's first level, from the writer.
    std::string MakeSeed()
    {
        game::CGameWindow::Ptr window(new game::CGameWindow());
        if (!window->StartQuestByIndex(0))
            Fail();
        qe::CQuest& quest = *window->GetQuest();
        lv::content::SSaveGame save;
        save.quest = quest.GetName().GetText();
        save.scene = window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText();
        save.tutorialStep = 3;
        save.questState = SaveSectionBytes(quest.GetStateSize(), [&](qe::CByteBuffer& b) { quest.Save(b); });
        save.hudState = SaveSectionBytes(window->GetHud().GetSaveSize(), [&](qe::CByteBuffer& b) { window->GetHud().Save(b); });
        save.hostState = SaveSectionBytes(13204, [&](qe::CByteBuffer& b) { window->GetMinigameHost().Save(b); });
        save.ambientState =
            SaveSectionBytes(25504, [&](qe::CByteBuffer& b) { window->GetBackgroundSounds().Save(b); });
        save.hudSize = window->GetHud().GetSaveSize();
        return lv::content::WriteSaveGame(save);
    }

    std::filesystem::path Folder;
    lv::core::CTimeSystem Clock{[] { return g_SaveNow; }};
    lv::sound::CAudioManager Audio{Clock, nullptr};
    lv::core::CSettings Gui;
    lv::core::CSettings Quests;
};

CSaveFuzzWorld& World()
{
    static CSaveFuzzWorld world;
    return world;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    CSaveFuzzWorld& world = World();
    for (int i = 1; i < *argc; ++i)
    {
        const std::string arg = (*argv)[i];
        if (arg.empty() || arg[0] == '-')
            continue;
        std::error_code error;
        if (std::filesystem::is_directory(arg, error))
        {
            const std::string seed = world.MakeSeed();
            std::ofstream(std::filesystem::path(arg) / "demo_valid_save", std::ios::binary)
                .write(seed.data(), static_cast<std::streamsize>(seed.size()));
        }
        break;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSaveFuzzWorld& world = World();
    const std::filesystem::path path = world.Folder / "input.save";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    game::CGameWindow::Ptr window(new game::CGameWindow());
    window->SetTutorialStep(5);
    const s32 result = window->LoadSaveFile(Utf8ToWide(path.string()));
    if (result < 0 || result > 2)
        Fail();
    if (result == 2 && window->GetQuest() == nullptr)
        Fail();
    if (result != 2 && (window->GetQuest() != nullptr || window->GetTutorialStep() != 5 ||
                        window->GetMinigameHost().GetLiveCount() != 0))
        Fail();
    if (result == 2)
    {
        // A loaded game builds its image again within the room the header declared.
        if (window->SaveState() && window->GetSaveImage().HasOverflowed())
            Fail();
    }
    return 0;
}
