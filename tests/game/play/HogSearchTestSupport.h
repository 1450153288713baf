#pragma once
// Hidden-object searches in a game window over fixtures made at test time: quest "q0" starts in
// "hog_room" (items as areas, a popup area, a mirror object), "hall" is where a search returns,
// and "popup" is a 400 x 300 popup scene with an item and a few mechanism zones. Areas do not
// move, so the popup's item area lies where the popup shows it on a 1366 layout (its origin is
// (483, 184)). Every sound the
// search plays is declared with a file of its own name, so a voice's file tells which played.
#include "GameWindowTestSupport.h"

#include "game/play/Hog.h"
#include "game/play/HogItemList.h"
#include "game/play/HogPopupCommands.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "qe/MinigameFactory.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"

#include <string>
#include <utility>
#include <vector>

namespace hogsearchtest {

// A square area from (x, y) of side s, in its scene's coordinates.
inline std::string Area(const std::string& id, const std::string& guid, s32 x, s32 y, s32 s = 40,
                        const std::string& extra = "")
{
    auto n = [](s32 v) { return std::to_string(v); };
    return "<area id=\"" + id + "\" guid=\"" + guid + "\" " + extra + " offset=\"" + n(x + s / 2) + " " + n(y + s / 2) +
           "\" size=\"" + n(s) + " " + n(s) + "\"><point offset=\"" + n(x) + " " + n(y) + "\"/><point offset=\"" +
           n(x + s) + " " + n(y) + "\"/><point offset=\"" + n(x + s) + " " + n(y + s) + "\"/><point offset=\"" + n(x) +
           " " + n(y + s) + "\"/></area>";
}

using Arguments = std::vector<std::pair<std::string, std::string>>;

inline std::string HogQuestXml(const Arguments& arguments, const std::string& extraObjects = "",
                               const std::string& extraScripts = "")
{
    std::string block = R"(<minigame_block guid="f1" id="search" minigame="hog"><arguments>)";
    for (const auto& [key, value] : arguments)
        block += "<argument key=\"" + key + "\" value=\"" + value + "\"/>";
    block += "</arguments></minigame_block>";
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="q0">
<scene id="hog_room" guid="21" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="hall" guid="22" size="1366 768" work_area="0 0 1366 768"/>
<scene id="popup" guid="23" flags="2" size="400 300" work_area="0 0 400 300"/>
</quest></Structure>
<scene_content guid="21"><objects>)" +
           Area("hog1_cup", "a1", 100, 100, 40, "hint=\"2101\"") + Area("hog1_book", "a2", 300, 100, 40, "hint=\"2102\"") +
           Area("hog1_lamp", "a3", 500, 100, 40, "hint=\"2103\"") + Area("popup_zone", "a4", 700, 100, 100) +
           Area("key", "a5", 900, 100) + extraObjects + "</objects><scripts>" + block + extraScripts +
           R"(</scripts></scene_content>
<scene_content guid="22"><objects/></scene_content>
<scene_content guid="23"><objects>)" +
           Area("hog1_key", "e1", 493, 194, 40, "hint=\"2104\"") + Area("lock", "e2", 100, 100, 50) +
           Area("pin", "e3", 200, 200) + Area("drawer", "e4", 300, 10, 50) + Area("lid", "e5", 300, 200, 50) +
           R"(</objects></scene_content></quest_data>)";
}

// The popup command lists of the fixture's popup scene.
inline const char* PopupCommandsXml()
{
    return R"(<?xml version="1.0"?>
<hog_commands>
  <level id="q0">
    <scene id="popup">
      <zone id="lock" activate_object="pin" hogID="1" sayID="77" take_object="x">
        <c id="hide" arg1="lid"/>
      </zone>
      <zone id="drawer" activate_object="" hogID="">
        <c id="disable" arg1="drawer"/>
      </zone>
    </scene>
  </level>
</hog_commands>
)";
}

inline const std::vector<std::string>& HogSounds()
{
    static const std::vector<std::string> sounds = {"gui_window_open_close", "gui_button_press", "gui_hog_list",
                                                    "gui_add_to_inventory", "button_press", "gui_punishment"};
    return sounds;
}

class HogSearchFixture : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        qe::CMinigameFactory::Instance().Register("hog", [](const char*) -> qe::CMinigameBase* { return new game::CHog(); });
    }
    void TearDown() override
    {
        qe::CMinigameFactory::Instance().Unregister("hog");
        game::CHud::SetFallbackScreenSize(1366, 768);
        GameWindowFixture::TearDown();
    }

    // A window playing the fixture quest, past its opening, with the search of these arguments
    // running in its start scene.
    void Start(const Arguments& arguments, s32 layoutWidth = 1366, const std::string& extraObjects = "",
               const std::string& extraScripts = "")
    {
        game::CHud::SetFallbackScreenSize(layoutWidth, 768);
        std::string body;
        std::vector<std::string> files;
        for (const std::string& sound : HogSounds())
        {
            body += "<sound id=\"" + sound + "\" file=\"" + sound + ".ogg\"/>";
            files.push_back(sound + ".ogg");
        }
        DeclareSounds(body, files);
        Folder.Write("program/properties/hog_popup_commnds.xml", PopupCommandsXml());
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        // The fixture's own settings already hold its default quest: compile from fresh ones.
        const std::string xml = HogQuestXml(arguments, extraObjects, extraScripts);
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        m_Scripts = std::make_unique<lv::core::CSettings>();
        ASSERT_TRUE(m_Scripts->LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(m_Scripts->GetFirstChild());
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Window->GetSceneStack().GetQuest()->RefreshScripts();
        Frames(40, 16);
        ASSERT_EQ(Window->GetMinigameHost().GetLiveCount(), 1);
        Hog = dynamic_cast<game::CHog*>(Window->GetMinigameHost().GetLive(0));
        ASSERT_NE(Hog, nullptr);
    }

    qe::CScene* Scene(const char* name) { return Window->GetSceneStack().GetQuest()->FindScene(name); }
    qe::CSceneObject* Object(const char* scene, const char* name) { return Scene(scene)->FindObject(name); }
    const char* TopSceneName()
    {
        qe::CSceneView* view = Window->GetSceneStack().GetTopView();
        return view && view->GetScene() ? view->GetScene()->GetName().GetText() : "";
    }
    // The sounds played so far, in order.
    std::vector<std::string> Played()
    {
        std::vector<std::string> names;
        for (const auto& voice : Pool.m_Voices)
        {
            std::string file = voice->m_OpenedFile;
            const size_t slash = file.find_last_of('/');
            if (slash != std::string::npos)
                file = file.substr(slash + 1);
            if (file.size() > 4)
                file.resize(file.size() - 4);
            names.push_back(file);
        }
        return names;
    }
    bool WasPlayed(const std::string& sound)
    {
        for (const std::string& name : Played())
            if (name == sound)
                return true;
        return false;
    }

    game::CHog* Hog = nullptr;

private:
    std::unique_ptr<lv::core::CSettings> m_Scripts;
};

} // namespace hogsearchtest
