#pragma once
// A game window playing a quest made for the game's script commands, with the commands
// registered; commands are built from records made by the script writer and run in the hall.
#include "game/play/GameWindowTestSupport.h"

#include "content/QuestScriptWriter.h"
#include "game/play/GameCommands.h"
#include "qe/CommandFactory.h"
#include "qe/CommandRecord.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"
#include "game/play/SceneStack.h"

#include <memory>
#include <string>
#include <vector>

namespace gamecommandtest {

inline std::string Area(const std::string& id, const std::string& guid, s32 x, s32 y)
{
    const auto point = [](s32 px, s32 py) {
        return "<point offset=\"" + std::to_string(px) + " " + std::to_string(py) + "\"/>";
    };
    return "<area id=\"" + id + "\" guid=\"" + guid + "\" offset=\"" + std::to_string(x) + " " + std::to_string(y) +
           "\" size=\"40 40\">" + point(x - 20, y - 20) + point(x + 20, y - 20) + point(x + 20, y + 20) +
           point(x - 20, y + 20) + "</area>";
}

inline std::string Image(const std::string& id, const std::string& guid, s32 x, s32 y)
{
    return "<image id=\"" + id + "\" guid=\"" + guid + "\" image_id=\"lamp\" offset=\"" + std::to_string(x) + " " +
           std::to_string(y) + "\" size=\"10 10\"/>";
}

// Three records "q0" .. "q2" with the scenes "hall" (start) and "room2". The hall of "q0" holds an
// area "box" whose action block runs `boxCommands`, an object whose whole name is "g.c" beside
// a group "g" with a child "c", the groups "pair" (pictures "__inv" and "outline") and "half"
// (only "__inv"), and an image "pic".
inline std::string CommandQuestXml(const std::string& boxCommands = "<hide a1=\"pic\"/>")
{
    std::string structure, content;
    for (int i = 0; i < 3; ++i) {
        const std::string q = std::to_string(i);
        structure += "<quest id=\"q" + q + "\"><scene id=\"hall\" guid=\"" + q +
                     "1\" flags=\"1\" size=\"1366 768\" work_area=\"0 0 1366 768\"/><scene id=\"room2\" guid=\"" + q +
                     "2\" size=\"1366 768\" work_area=\"0 0 1366 768\"/></quest>";
        content += "<scene_content guid=\"" + q + "1\"><objects>";
        if (i == 0) {
            content += Area("box", "b1", 120, 120) + Area("g.c", "b2", 400, 120);
            content += "<group id=\"g\" guid=\"b3\">" + Area("c", "b4", 500, 120) + "</group>";
            content += "<group id=\"pair\" guid=\"b5\">" + Image("__inv", "b6", 600, 300) +
                       Image("outline", "b7", 600, 300) + "</group>";
            content += "<group id=\"half\" guid=\"b8\">" + Image("__inv", "b9", 700, 300) + "</group>";
            content += Image("pic", "ba", 800, 300);
        }
        content += "</objects><scripts>";
        if (i == 0)
            content += "<action_block guid=\"c1\" id=\"use box\" object=\"box\" active_object=\"\"><correct_commands>" +
                       boxCommands + "</correct_commands></action_block>";
        content += "</scripts></scene_content><scene_content guid=\"" + q + "2\"><objects>" +
                   Area("far", "f" + q, 300, 300) + "</objects></scene_content>";
    }
    return "<?xml version=\"1.0\"?><quest_data><Structure>" + structure + "</Structure>" + content + "</quest_data>";
}

inline lv::content::SScriptCommand Named(const char* name, const std::vector<std::string>& values)
{
    std::vector<lv::content::SScriptArgument> arguments;
    for (size_t i = 0; i < values.size(); ++i)
        arguments.push_back({"a" + std::to_string(i + 1), values[i]});
    return lv::content::SScriptCommand::Named(name, arguments);
}

class GameCommandFixture : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        // The fixture's own settings already hold its first quest: these scripts get their own.
        const std::string xml = CommandQuestXml(BoxCommands());
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        lv::core::CSettings scripts;
        ASSERT_TRUE(scripts.LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(scripts.GetFirstChild());
        game::RegisterGameCommands();
        MakeWindow();
        Window->StartGame(false, false, false, false);
        Frame(16);
    }

    virtual std::string BoxCommands() const { return "<hide a1=\"pic\"/>"; }

    qe::CScene* Hall() const { return Window->GetQuest()->FindScene("hall"); }
    qe::CSceneObject* Object(const char* path) const { return Window->GetQuest()->FindObjectByPath(path); }
    qe::CSceneObject* Child(const char* group, const char* child) const
    {
        return Object(group)->FindChild(CFixedString(child));
    }
    const char* MainScene() const
    {
        qe::CScene* scene = Window->GetSceneStack().GetMainView()->GetScene();
        return scene ? scene->GetName().GetText() : "";
    }

    // The command built in the hall by the game's registry, as a sequence would build it.
    std::unique_ptr<qe::scripts::CCommandBase> Make(const lv::content::SScriptCommand& command)
    {
        m_Records.push_back(lv::content::CQuestScriptWriter::BuildCommand(command));
        return std::unique_ptr<qe::scripts::CCommandBase>(qe::scripts::CCommandFactory::Instance().Create(
            qe::scripts::CCommandRecord(m_Records.back().data()), Hall(), Window.get()));
    }
    // Runs a command that must finish in its constructor.
    void Run(const char* name, const std::vector<std::string>& values)
    {
        const std::unique_ptr<qe::scripts::CCommandBase> command = Make(Named(name, values));
        ASSERT_NE(command, nullptr) << name;
        EXPECT_TRUE(command->IsFinished()) << name;
    }

private:
    std::vector<std::vector<u8>> m_Records;
};

} // namespace gamecommandtest
