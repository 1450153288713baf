#pragma once
// Minigames for the host's tests: "probe" records what the host asks of it in a shared event
// list and can run a hook from its mouse-down; "plain" overrides nothing but Load. The fixture
// quest has a start scene "hall" (objects "lamp" and "lamp2"), "room2" and a miniscene
// "closeup", each with the minigame blocks a test asks for.
#include "GameWindowTestSupport.h"

#include "game/play/GameWindow.h"
#include "game/play/Minigame.h"
#include "game/play/MinigameHintFeedback.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/MinigameFactory.h"
#include "qe/Quest.h"
#include "qe/SceneView.h"

#include <functional>
#include <string>
#include <vector>

namespace minigametest {

inline std::vector<std::string> g_Events;
inline s32 g_Alive = 0;
// Runs from a probe's OnMouseDown; its answer is the probe's.
inline std::function<bool(game::CMinigame&)> g_OnDown;

class CProbeMinigame : public game::CMinigame
{
public:
    CProbeMinigame() { ++g_Alive; }
    ~CProbeMinigame() override { --g_Alive; }

    void Load() override
    {
        const char* tag = FindParam("tag");
        Tag = tag ? tag : "";
        ReadHintArguments(&Feedback);
    }
    void Activate(qe::CSceneView*) override
    {
        m_Active = true;
        g_Events.push_back("act:" + Tag);
    }
    void Deactivate() override
    {
        m_Active = false;
        g_Events.push_back("deact:" + Tag);
    }
    void Update() override { g_Events.push_back("upd:" + Tag); }
    void Layout() override { g_Events.push_back("layout:" + Tag); }
    bool OnMouseDown(const CPoint2i&) override
    {
        g_Events.push_back("down:" + Tag);
        return g_OnDown ? g_OnDown(*this) : false;
    }
    void SaveState(qe::CBinaryWriter& writer) override { writer.WriteInt32(State); }
    bool LoadState(qe::CBinaryReader& reader) override
    {
        State = reader.ReadInt32();
        return State >= 0;
    }

    std::string Tag;
    s32 State = 0;
    game::MinigameHintFeedback Feedback;
};

class CPlainMinigame : public game::CMinigame
{
public:
    CPlainMinigame() { ++g_Alive; }
    ~CPlainMinigame() override { --g_Alive; }
    void Load() override { ReadHintArguments(&Feedback); }
    game::MinigameHintFeedback Feedback;
};

inline qe::CMinigameBase* MakeProbe(const char*)
{
    return new CProbeMinigame();
}
inline qe::CMinigameBase* MakePlain(const char*)
{
    return new CPlainMinigame();
}

// A minigame block; arguments are key/value pairs.
inline std::string Block(const std::string& guid, const char* minigame,
                         const std::vector<std::pair<std::string, std::string>>& arguments)
{
    std::string xml = "<minigame_block guid=\"" + guid + "\" id=\"mg_" + guid + "\" minigame=\"" + minigame + "\"><arguments>";
    for (const auto& [key, value] : arguments)
        xml += "<argument key=\"" + key + "\" value=\"" + value + "\"/>";
    return xml + "</arguments></minigame_block>";
}
// A probe block tagged with its name.
inline std::string Probe(const std::string& guid, const std::string& tag)
{
    return Block(guid, "probe", {{"tag", tag}});
}

inline std::string MinigameQuestXml(const std::string& hall, const std::string& room2 = "",
                                    const std::string& closeup = "")
{
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="q0">
<scene id="hall" guid="11" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="room2" guid="12" size="1366 768" work_area="0 0 1366 768"/>
<scene id="closeup" guid="13" flags="2" size="600 400" work_area="0 0 600 400"/>
</quest></Structure>
<scene_content guid="11"><objects>
<image id="lamp" guid="b2" image_id="lamp" offset="500 300" size="10 10"/>
<image id="lamp2" guid="b3" image_id="lamp" offset="600 300" size="10 10"/>
</objects><scripts>)" +
           hall + R"(</scripts></scene_content>
<scene_content guid="12"><objects/><scripts>)" +
           room2 + R"(</scripts></scene_content>
<scene_content guid="13"><objects/><scripts>)" +
           closeup + "</scripts></scene_content></quest_data>";
}

class MinigameFixture : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        qe::CMinigameFactory::Instance().Register("probe", MakeProbe);
        qe::CMinigameFactory::Instance().Register("plain", MakePlain);
        g_Events.clear();
        g_OnDown = nullptr;
    }
    void TearDown() override
    {
        ReleaseViews();
        GameWindowFixture::TearDown();
        qe::CMinigameFactory::Instance().Unregister("probe");
        qe::CMinigameFactory::Instance().Unregister("plain");
        g_OnDown = nullptr;
        EXPECT_EQ(g_Alive, 0);
    }

    // A window playing the fixture quest with these blocks, its scripts run once.
    void Start(const std::string& hall, const std::string& room2 = "", const std::string& closeup = "")
    {
        qe::CQuestData::Instance().Clear();
        qe::CScriptData::Instance().Release();
        // The fixture's own settings already hold its default quest: compile from fresh ones.
        const std::string xml = MinigameQuestXml(hall, room2, closeup);
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
        m_Scripts = std::make_unique<lv::core::CSettings>();
        ASSERT_TRUE(m_Scripts->LoadXmlText(xml));
        qe::CScriptData::Instance().Compile(m_Scripts->GetFirstChild());
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Window->GetSceneStack().GetQuest()->RefreshScripts();
        // Past the level's opening transition: every later frame runs the host.
        Frames(40, 16);
    }

    game::CMinigameManager& Host() { return Window->GetMinigameHost(); }
    qe::CScene* Scene(const char* name) { return Window->GetSceneStack().GetQuest()->FindScene(name); }
    // A view of that scene, as a miniscene or another location would be shown.
    qe::CSceneView& ViewOf(const char* name)
    {
        m_Views.push_back(std::make_unique<qe::CSceneView>());
        m_Views.back()->SetScene(Scene(name));
        return *m_Views.back();
    }
    qe::CSceneView& MainView() { return *Window->GetSceneStack().GetMainView(); }
    CProbeMinigame* Live(s32 index) { return dynamic_cast<CProbeMinigame*>(Host().GetLive(index)); }
    std::vector<std::string> ActiveTags()
    {
        std::vector<std::string> tags;
        for (s32 i = 0; i < Host().GetActiveCount(); ++i)
            tags.push_back(dynamic_cast<CProbeMinigame*>(Host().GetActive(i))->Tag);
        return tags;
    }
    std::vector<std::string> LiveTags()
    {
        std::vector<std::string> tags;
        for (s32 i = 0; i < Host().GetLiveCount(); ++i)
            tags.push_back(Live(i)->Tag);
        return tags;
    }

    void ReleaseViews()
    {
        for (auto& view : m_Views)
            view->SetScene(nullptr);
        m_Views.clear();
    }

private:
    std::unique_ptr<lv::core::CSettings> m_Scripts;
    std::vector<std::unique_ptr<qe::CSceneView>> m_Views;
};

} // namespace minigametest
