#pragma once
// A hidden-object round over fixtures: a game window whose start scene "hog_room" holds the given
// objects and a "hog" minigame block with the given arguments, a scene "hall" to return to, the
// HUD's images and font, strings 2101.. for hint texts, and the list's sounds declared so that a
// test can see which were played.
#include "GameWindowTestSupport.h"
#include "game/hud/HudTestSupport.h"

#include "core/FileSystem.h"
#include "core/StringTable.h"
#include "game/minigames/GameMinigames.h"
#include "game/play/Hog.h"
#include "game/play/HogItemList.h"
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

namespace hogtest {

// An area with a square outline of side `side` whose top-left corner is (x, y).
inline std::string Area(const std::string& id, const std::string& guid, s32 x, s32 y, s32 side = 40,
                        const std::string& hint = "")
{
    const auto point = [](s32 px, s32 py) {
        return "<point offset=\"" + std::to_string(px) + " " + std::to_string(py) + "\"/>";
    };
    return "<area id=\"" + id + "\" guid=\"" + guid + "\" hint=\"" + hint + "\" offset=\"" +
           std::to_string(x + side / 2) + " " + std::to_string(y + side / 2) + "\" size=\"" + std::to_string(side) +
           " " + std::to_string(side) + "\">" + point(x, y) + point(x + side, y) + point(x + side, y + side) +
           point(x, y + side) + "</area>";
}

inline std::string Image(const std::string& id, const std::string& guid, const char* picture, s32 x, s32 y,
                         const std::string& hint = "")
{
    return "<image id=\"" + id + "\" guid=\"" + guid + "\" hint=\"" + hint + "\" image_id=\"" + picture +
           "\" offset=\"" + std::to_string(x) + " " + std::to_string(y) + "\" size=\"40 30\"/>";
}

using Arguments = std::vector<std::pair<std::string, std::string>>;

// With popup objects, a 400 x 300 scene "popup" holds them.
inline std::string HogQuestXml(const std::string& objects, const Arguments& arguments,
                               const std::string& popupObjects = "")
{
    std::string block = "<minigame_block guid=\"f1\" id=\"mg_hog\" minigame=\"hog\"><arguments>";
    for (const auto& [key, value] : arguments)
        block += "<argument key=\"" + key + "\" value=\"" + value + "\"/>";
    block += "</arguments></minigame_block>";
    return std::string(R"(<?xml version="1.0"?><quest_data><Structure><quest id="q0">
<scene id="hog_room" guid="11" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="hall" guid="12" size="1366 768" work_area="0 0 1366 768"/>)") +
           (popupObjects.empty() ? "" : R"(<scene id="popup" guid="13" flags="2" size="400 300" work_area="0 0 400 300"/>)") +
           R"(</quest></Structure>
<scene_content guid="11"><objects>)" +
           objects + "</objects><scripts>" + block + R"(</scripts></scene_content>
<scene_content guid="12"><objects/><scripts/></scene_content>)" +
           (popupObjects.empty() ? "" : "<scene_content guid=\"13\"><objects>" + popupObjects + "</objects></scene_content>") +
           "</quest_data>";
}

class HogFixture : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        hudtest::DeclareHudContent();
        Folder.Write("program/properties/strings.xml",
                     "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<strings>\n<s id=\"1\">OK</s>\n"
                     "<s id=\"453\">Well done</s>\n<s id=\"2101\">cup</s>\n<s id=\"2102\">book</s>\n"
                     "<s id=\"2103\">lamp</s>\n<s id=\"2104\">vase</s>\n<s id=\"2105\">key</s>\n"
                     "<s id=\"2106\">coin</s>\n</strings>\n");
        lv::core::CStringTable::Instance().Load(m_Files);
        std::string body, files;
        std::vector<std::string> names;
        for (const char* sound : {"gui_hog_list", "gui_add_to_inventory", "button_press", "gui_punishment",
                                  "gui_window_open_close", "gui_button_press"}) {
            body += std::string("<sound id=\"") + sound + "\" file=\"" + sound + ".ogg\"/>";
            names.push_back(std::string(sound) + ".ogg");
        }
        DeclareSounds(body, names);
        game::RegisterGameMinigames();
    }
    void TearDown() override
    {
        GameWindowFixture::TearDown();
        lv::core::CStringTable::Instance().Release();
        qe::CMinigameFactory::Instance().Unregister("hog");
    }

    // A window playing a round over these objects; the hog block has started.
    void Start(const std::string& objects, Arguments arguments = {}, const std::string& popupObjects = "")
    {
        if (arguments.empty())
            arguments = {{"index", "1"}, {"prev_scene", "hall"}};
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        const std::string xml = HogQuestXml(objects, arguments, popupObjects);
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        m_Scripts = std::make_unique<lv::core::CSettings>();
        ASSERT_TRUE(m_Scripts->LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(m_Scripts->GetFirstChild());
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Window->GetSceneStack().GetQuest()->RefreshScripts();
        Frames(40, 16);
        ASSERT_NE(Hog(), nullptr);
    }

    game::CHog* Hog()
    {
        game::CMinigameManager& host = Window->GetMinigameHost();
        for (s32 i = 0; i < host.GetLiveCount(); ++i)
            if (auto* hog = dynamic_cast<game::CHog*>(host.GetLive(i)))
                return hog;
        return nullptr;
    }
    game::CHogItemList& List() { return Hog()->GetItemList(); }
    qe::CScene* Scene(const char* name) { return Window->GetSceneStack().GetQuest()->FindScene(name); }
    qe::CSceneObject* Object(const char* name) { return Scene("hog_room")->FindObject(name); }
    // The sounds played so far, by their file names without ".ogg".
    std::vector<std::string> Played() const
    {
        std::vector<std::string> played;
        for (const auto& voice : Pool.m_Voices)
            played.push_back(voice->m_OpenedFile.substr(0, voice->m_OpenedFile.size() - 4));
        return played;
    }
    s32 CountPlayed(const std::string& name) const
    {
        s32 n = 0;
        for (const std::string& played : Played())
            n += played == name ? 1 : 0;
        return n;
    }
    bool Take(s32 x, s32 y) { return List().Click(CVector2(static_cast<float>(x), static_cast<float>(y)), false, nullptr); }

private:
    lv::core::CFileSystem m_Files{""};
    std::unique_ptr<lv::core::CSettings> m_Scripts;
};

} // namespace hogtest
