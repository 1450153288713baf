// The popup command lists of hidden-object searches and their runner.
#include "HogSearchTestSupport.h"

#include "game/play/HogPopupRunner.h"
#include "graphics/LogCapture.h"

namespace {

using game::CHogPopupCommands;
using game::CHogPopupRunner;

class HogPopupCommandsTest : public testing::Test
{
protected:
    void SetUp() override { m_Saved = std::filesystem::current_path(); }
    void TearDown() override { std::filesystem::current_path(m_Saved); }

    // Writes the file into a folder of its own and loads the level from there.
    bool Load(CHogPopupCommands& lists, const std::string& xml, const char* level)
    {
        m_Folder.Write("properties/hog_popup_commnds.xml", xml);
        std::filesystem::current_path(m_Folder.Path());
        const bool loaded = lists.LoadLevel("properties/hog_popup_commnds.xml", level);
        std::filesystem::current_path(m_Saved);
        return loaded;
    }

    CTempFolder m_Folder;
    std::filesystem::path m_Saved;
};

const char* const kTableXml = R"(<?xml version="1.0"?>
<root>
  <other id="demo"/>
  <level id="demo">
    <s id="room">
      <e id="lock" activate_object="key" hogID="2" sayID="15" take_object="t">
        <c id="show" arg1="door" arg2="true" arg3="300"/>
        <c id="sleep" arg1="abc"/>
      </e>
      <e id="lock" activate_object=""/>
      <e id="shelf" activate_object="" hogID="" sayID=""/>
    </s>
    <s id="room2"/>
  </level>
</root>
)";

TEST_F(HogPopupCommandsTest, TheFileTableReadsLevelScenesEntriesAndCommands)
{
    CHogPopupCommands lists;
    ASSERT_TRUE(Load(lists, kTableXml, "demo"));
    EXPECT_TRUE(lists.IsLoaded());
    EXPECT_EQ(lists.GetLevel(), "demo");
    ASSERT_EQ(lists.GetScenes().size(), 2u);
    const CHogPopupCommands::SScene& room = lists.GetScenes()[0];
    EXPECT_STREQ(room.Id.GetText(), "room");
    ASSERT_EQ(room.Entries.size(), 3u);
    const CHogPopupCommands::SEntry& lock = room.Entries[0];
    EXPECT_EQ(lock.Id, "lock");
    EXPECT_EQ(lock.ActivateObject, "key");
    EXPECT_EQ(lock.TakeObject, "t");
    EXPECT_EQ(lock.HogIndex, 2);
    EXPECT_EQ(lock.SayId, 15);
    ASSERT_EQ(lock.Commands.size(), 2u);
    EXPECT_EQ(lock.Commands[0].Id, "show");
    EXPECT_EQ(lock.Commands[0].Arg2, "true");
    EXPECT_EQ(lock.Commands[0].Arg3, "300");
    // A missing or empty "hogID" is 1, a missing or empty "sayID" -1.
    for (size_t i : {size_t{1}, size_t{2}})
    {
        EXPECT_EQ(room.Entries[i].HogIndex, 1) << i;
        EXPECT_EQ(room.Entries[i].SayId, -1) << i;
    }

    EXPECT_EQ(lists.FindScene("room2"), 1);
    EXPECT_EQ(lists.FindScene("ROOM"), -1);
    EXPECT_TRUE(lists.HasActivateEntries(0, 2));
    EXPECT_FALSE(lists.HasActivateEntries(0, 1));
    EXPECT_EQ(lists.FindEntry(0, 1, "lock", ""), 1);
    EXPECT_EQ(lists.FindEntry(0, 2, "lock", "key"), 0);
    EXPECT_EQ(lists.FindEntry(0, 2, "lock", "pin"), -1);
    std::string zone;
    EXPECT_EQ(lists.FindEntryByObject(0, 2, "key", zone), 0);
    EXPECT_EQ(zone, "lock");
    EXPECT_EQ(lists.FindEntryByObject(5, 2, "key", zone), -1);
}

TEST_F(HogPopupCommandsTest, AMissingLevelIsReportedAndTheListsStay)
{
    CHogPopupCommands lists;
    ASSERT_TRUE(Load(lists, kTableXml, "demo"));
    CScratchLogCapture log;
    EXPECT_FALSE(Load(lists, kTableXml, "other"));
    EXPECT_TRUE(log.Contains("Can't find level 'other' in hog commands file"));
    EXPECT_EQ(lists.GetLevel(), "demo");
    EXPECT_EQ(lists.GetScenes().size(), 2u);
    // Not a document at all: the same report.
    CHogPopupCommands fresh;
    EXPECT_FALSE(Load(fresh, "<level id=", "demo"));
    EXPECT_TRUE(log.Contains("Can't find level 'demo' in hog commands file"));
    EXPECT_FALSE(fresh.IsLoaded());
}

TEST_F(HogPopupCommandsTest, LoadingTheSameLevelTwiceReadsTheFileOnce)
{
    CHogPopupCommands lists;
    ASSERT_TRUE(Load(lists, kTableXml, "demo"));
    ASSERT_TRUE(Load(lists, "<root/>", "demo"));
    EXPECT_EQ(lists.GetParseCount(), 1);
    EXPECT_EQ(lists.GetScenes().size(), 2u);
}

// The runner on the fixture's popup scene, with lists of the test's own.
class HogPopupRunnerTest : public hogsearchtest::HogSearchFixture
{
protected:
    void Run(const std::string& commands, const char* zoneExtra = "")
    {
        ASSERT_NO_FATAL_FAILURE(Start({{"index", "1"}}));
        Popup = Scene("popup");
        const std::string xml = std::string(R"(<?xml version="1.0"?><r><level id="t"><s id="popup"><e id="drawer" )") +
                                zoneExtra + ">" + commands + "</e></s></level></r>";
        Folder.Write("program/properties/runner.xml", xml);
        ASSERT_TRUE(Lists.LoadLevel("properties/runner.xml", "t"));
        Runner.SetCommands(&Lists);
    }
    bool StartDrawer(const char* carried = "") { return Runner.StartEntry(Popup, 320, 30, "popup", 1, carried); }
    void Step(s32 ms)
    {
        Now += ms;
        Clock.Tick();
        Runner.Update();
    }

    CHogPopupCommands Lists;
    CHogPopupRunner Runner;
    qe::CScene* Popup = nullptr;
};

TEST_F(HogPopupRunnerTest, ASleepBetweenTwoWaitingShowsDelaysTheSecondAfterTheFirstFadedIn)
{
    ASSERT_NO_FATAL_FAILURE(Run(R"(<c id="show" arg1="lid" arg2="true" arg3="200"/><c id="sleep" arg1="500"/>)"
                                R"(<c id="show" arg1="lock" arg2="true"/>)"));
    qe::CSceneObject* lid = Object("popup", "lid");
    qe::CSceneObject* lock = Object("popup", "lock");
    lid->AddFlags(qe::CSceneObject::kHidden);
    lock->AddFlags(qe::CSceneObject::kHidden);
    ASSERT_TRUE(StartDrawer());
    EXPECT_TRUE(Runner.IsBusy());
    Step(100); // the first show starts
    EXPECT_FALSE(lid->HasFlags(qe::CSceneObject::kHidden));
    Step(100);
    EXPECT_FLOAT_EQ(lid->GetOpacity(), 0.5f);
    Step(100); // faded in; the sleep starts
    EXPECT_FLOAT_EQ(lid->GetOpacity(), -1.0f);
    s32 waited = 0;
    while (lock->HasFlags(qe::CSceneObject::kHidden) && waited < 2000)
    {
        Step(100);
        waited += 100;
    }
    EXPECT_EQ(waited, 500);
    Step(100);
    Step(100);
    EXPECT_FALSE(Runner.IsBusy());
}

TEST_F(HogPopupRunnerTest, ANonWaitingAnimationLetsTheNextCommandStartInTheSameFrame)
{
    ASSERT_NO_FATAL_FAILURE(Run(R"(<c id="play_anim" arg1="lid" arg2="false"/><c id="disable" arg1="lock"/>)"));
    ASSERT_TRUE(StartDrawer());
    Step(16);
    Step(16);
    EXPECT_TRUE(Object("popup", "lock")->HasFlags(qe::CSceneObject::kDisabled));
}

TEST_F(HogPopupRunnerTest, BadAndUnknownCommandsAreReportedAndTheRestRun)
{
    CScratchLogCapture log;
    ASSERT_NO_FATAL_FAILURE(Run(R"(<c id="hide" arg1=""/><c id="explode" arg1="lid"/><c id="remove" arg1="lid"/>)"
                                R"(<c id="enable" arg1="pin"/>)"));
    Object("popup", "pin")->AddFlags(qe::CSceneObject::kDisabled);
    ASSERT_TRUE(StartDrawer());
    EXPECT_EQ(Runner.GetQueue().size(), 2u);
    Step(16);
    Step(16);
    EXPECT_TRUE(log.Contains("Bad arg1 for command"));
    EXPECT_TRUE(log.Contains("Unknown command"));
    EXPECT_TRUE(Object("popup", "lid")->HasFlags(qe::CSceneObject::kRemoved));
    EXPECT_FALSE(Object("popup", "pin")->HasFlags(qe::CSceneObject::kDisabled));
    Step(16);
    EXPECT_FALSE(Runner.IsBusy());
}

TEST_F(HogPopupRunnerTest, AZoneNeedingAnObjectWithoutSpeechRunsItsEntryWithAnEmptyCursor)
{
    ASSERT_NO_FATAL_FAILURE(Run(R"(<c id="hide" arg1="lid"/>)", R"(activate_object="pin")"));
    // Not said, so the search offers no speech and the click starts the entry.
    EXPECT_FALSE(Runner.ZoneSpeechAt(Popup, 1, 320, 30, false));
    EXPECT_FALSE(Runner.IsPlainZoneAt(Popup, 1, 320, 30));
    ASSERT_TRUE(StartDrawer());
    for (s32 i = 0; i < 3; ++i)
        Step(16);
    EXPECT_TRUE(Object("popup", "lid")->HasFlags(qe::CSceneObject::kHidden));
    // With the activate object carried, the entry is found through it.
    EXPECT_TRUE(StartDrawer("pin"));
    EXPECT_FALSE(StartDrawer("key"));
    // A disabled zone takes nothing.
    Object("popup", "drawer")->AddFlags(qe::CSceneObject::kDisabled);
    EXPECT_FALSE(StartDrawer());
}

TEST_F(HogPopupRunnerTest, TheZoneQueriesAnswerForTheirHogIndex)
{
    ASSERT_NO_FATAL_FAILURE(Run(R"(<c id="hide" arg1="lid"/>)", R"(activate_object="pin" sayID="7")"));
    EXPECT_TRUE(Runner.HasActivateEntries("popup", 1));
    EXPECT_FALSE(Runner.HasActivateEntries("popup", 2));
    EXPECT_FALSE(Runner.HasActivateEntries("nowhere", 1));
    EXPECT_EQ(Runner.ZoneIds("popup", 1).size(), 1u);
    EXPECT_EQ(Runner.ActivateObjectAt(Popup, 220, 220, 1), Object("popup", "pin"));
    EXPECT_EQ(Runner.ActivateObjectAt(Popup, 220, 220, 2), nullptr);
    EXPECT_TRUE(Runner.ZoneSpeechAt(Popup, 1, 320, 30, false));
    qe::CSceneObject* activate = nullptr;
    EXPECT_EQ(Runner.HintPair(Popup, 1, activate), Object("popup", "drawer"));
    EXPECT_EQ(activate, Object("popup", "pin"));
    EXPECT_TRUE(Runner.HasEnabledZone(Popup, 1));
    Object("popup", "drawer")->AddFlags(qe::CSceneObject::kDisabled);
    EXPECT_FALSE(Runner.HasEnabledZone(Popup, 1));
}

} // namespace
