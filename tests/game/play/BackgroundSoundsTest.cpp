#include "LevelMediaTestSupport.h"

#include "game/play/BackgroundSounds.h"
#include "graphics/LogCapture.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"

namespace {

using levelmediatest::LevelMediaFixture;

class BackgroundSounds : public LevelMediaFixture
{
protected:
    void ReleaseMedia() override { Sounds.reset(); }

    // Writes the level "demo" with the given sound elements and loads it for the scene.
    void LoadLevel(const std::string& sounds, const char* scene = "hall")
    {
        Folder.Write("properties/background_sounds.xml",
                     "<?xml version=\"1.0\"?><levels><level id=\"other\"><s id=\"wind\" play_from_start=\"true\">"
                     "<scene id=\"hall\" vol=\"1\"/></s></level><level id=\"demo\">" +
                         sounds + "</level></levels>");
        Sounds->Load("properties/background_sounds.xml", Quest.get(), Scene(scene));
    }

    void Frame(s32 ms)
    {
        Now += ms;
        Clock.Tick();
        Sounds->Update();
        Audio.Update();
    }
    void Frames(s32 count, s32 ms)
    {
        for (s32 i = 0; i < count; ++i)
            Frame(ms);
    }
    bool Playing(const char* name) const
    {
        const s32 id = Sounds->GetSoundId(name);
        return id != 0 && Audio.IsPlaying(id);
    }
    float Volume(const char* name) const { return Audio.GetSoundVolume(Sounds->GetSoundId(name)); }

    std::unique_ptr<game::CBackgroundSounds> Sounds = std::make_unique<game::CBackgroundSounds>();
};

TEST_F(BackgroundSounds, ALoopListedForTheOpeningSceneStartsWithinTheLoad)
{
    Declare(R"(<sound id="wind" file="dummy.ogg"/><sound id="drip" file="dummy.ogg"/>)");
    LoadLevel(R"(<s id="wind" play_from_start="true"><scene id="hall" vol="0.5"/></s>
                 <s id="drip" play_from_start="false"><scene id="hall" vol="1"/></s>)");
    ASSERT_EQ(Sounds->GetSoundCount(), 2);
    EXPECT_TRUE(Playing("wind"));
    EXPECT_FLOAT_EQ(Volume("wind"), 50.0f);
    EXPECT_EQ(Audio.GetSoundRepeat(Sounds->GetSoundId("wind")), -1);
    EXPECT_FALSE(Sounds->IsActive("drip"));
    EXPECT_EQ(Sounds->GetSoundId("drip"), 0);
}

TEST_F(BackgroundSounds, AShotOfEqualDelaysWaitsExactlyThatFrameTimeAfterEachShot)
{
    Declare(R"(<sound id="bird" file="dummy.ogg"/>)");
    LoadLevel(R"(<s id="bird" min_delay="5000" max_delay="5000" play_from_start="true"><scene id="hall" vol="1"/></s>)");
    for (int shot = 0; shot < 2; ++shot)
    {
        ASSERT_TRUE(Playing("bird"));
        EXPECT_EQ(Audio.GetSoundRepeat(Sounds->GetSoundId("bird")), 1);
        EndShot(Sounds->GetSoundId("bird"));
        Frame(16); // the shot is seen to have ended: 5000 ms from here
        EXPECT_EQ(Sounds->GetCountdown("bird"), 5000);
        Frames(49, 100);
        EXPECT_EQ(Sounds->GetSoundId("bird"), 0);
        Frame(100);
    }
    EXPECT_TRUE(Playing("bird"));
}

TEST_F(BackgroundSounds, AShotOfSwappedDelaysWaitsFromMinWithinTheSpan)
{
    Declare(R"(<sound id="bird" file="dummy.ogg"/>)");
    const struct
    {
        s32 Random;
        s32 Wait;
    } cases[] = {{0, 2000}, {999, 2999}, {1000, 2000}, {32767, 2767}};
    for (const auto& c : cases)
    {
        Sounds->SetRandomSource([&c] { return c.Random; });
        LoadLevel(R"(<s id="bird" min_delay="2000" max_delay="1000" play_from_start="true"><scene id="hall" vol="1"/></s>)");
        ASSERT_TRUE(Playing("bird"));
        EndShot(Sounds->GetSoundId("bird"));
        Frame(16);
        EXPECT_EQ(Sounds->GetCountdown("bird"), c.Wait) << c.Random;
    }
}

TEST_F(BackgroundSounds, AMinisceneWithVolumeZeroSilencesAndClosingRestartsAfterTheStartDelay)
{
    Declare(R"(<sound id="wind" file="dummy.ogg"/>)");
    LoadLevel(R"(<s id="wind" start_delay="300" play_from_start="true"><scene id="hall" vol="1"/><scene id="closeup" vol="0"/></s>)");
    EXPECT_EQ(Sounds->GetCountdown("wind"), 300);
    Frames(3, 100);
    ASSERT_TRUE(Playing("wind"));
    const s32 first = Sounds->GetSoundId("wind");
    Sounds->SetMiniscene(Scene("closeup"));
    EXPECT_FALSE(Sounds->IsActive("wind"));
    EXPECT_EQ(Sounds->GetSoundId("wind"), 0);
    Audio.Update();
    EXPECT_FALSE(Audio.IsPlaying(first));
    Sounds->ClearMiniscene(Scene("closeup"));
    EXPECT_TRUE(Sounds->IsActive("wind"));
    EXPECT_EQ(Sounds->GetCountdown("wind"), 300);
    Frames(2, 100);
    EXPECT_EQ(Sounds->GetSoundId("wind"), 0);
    Frame(100);
    EXPECT_TRUE(Playing("wind"));
}

TEST_F(BackgroundSounds, AMinisceneVolumeAppliesAtOnceAndClosingRestoresTheMainScenes)
{
    Declare(R"(<sound id="wind" file="dummy.ogg"/><sound id="clock" file="dummy.ogg"/>)");
    LoadLevel(R"(<s id="wind" play_from_start="true"><scene id="hall" vol="1"/><scene id="closeup" vol="0.3"/></s>
                 <s id="clock" play_from_start="true"><scene id="closeup" vol="0.8"/></s>)");
    const s32 id = Sounds->GetSoundId("wind");
    EXPECT_FALSE(Sounds->IsActive("clock"));
    Sounds->SetMiniscene(Scene("closeup"));
    EXPECT_EQ(Sounds->GetSoundId("wind"), id);
    EXPECT_FLOAT_EQ(Audio.GetSoundVolume(id), 30.0f);
    EXPECT_TRUE(Playing("clock"));
    EXPECT_FLOAT_EQ(Volume("clock"), 80.0f);
    Sounds->ClearMiniscene();
    EXPECT_EQ(Sounds->GetSoundId("wind"), id);
    EXPECT_FLOAT_EQ(Audio.GetSoundVolume(id), 100.0f);
    EXPECT_FALSE(Sounds->IsActive("clock"));
    // A new main scene that does not list it silences it.
    Sounds->SetMainScene(Scene("room2"));
    EXPECT_FALSE(Sounds->IsActive("wind"));
}

TEST_F(BackgroundSounds, SuspendingSilencesTheCurrentScenesAndResumingWaitsTheStartDelays)
{
    Declare(R"(<sound id="wind" file="dummy.ogg"/><sound id="drip" file="dummy.ogg"/>)");
    LoadLevel(R"(<s id="wind" start_delay="200" play_from_start="true"><scene id="hall" vol="1"/></s>
                 <s id="drip" play_from_start="true"><scene id="hall" vol="1"/></s>)");
    Frames(2, 100);
    ASSERT_TRUE(Playing("wind"));
    ASSERT_TRUE(Playing("drip"));
    Sounds->SetSuspended(true);
    EXPECT_FALSE(Sounds->IsActive("wind"));
    EXPECT_FALSE(Sounds->IsActive("drip"));
    Frames(5, 100);
    EXPECT_EQ(Sounds->GetSoundId("wind"), 0);
    Sounds->SetSuspended(false);
    EXPECT_TRUE(Playing("drip"));
    EXPECT_EQ(Sounds->GetSoundId("wind"), 0);
    Frames(2, 100);
    EXPECT_TRUE(Playing("wind"));
}

TEST_F(BackgroundSounds, EnableAndDisableSwitchTheFirstSoundOfThatName)
{
    Declare(R"(<sound id="wind" file="dummy.ogg"/>)");
    LoadLevel(R"(<s id="wind" play_from_start="false"><scene id="hall" vol="1"/></s>)");
    EXPECT_FALSE(Sounds->IsActive("wind"));
    EXPECT_TRUE(Sounds->Enable("wind"));
    EXPECT_TRUE(Playing("wind"));
    EXPECT_TRUE(Sounds->Disable("wind"));
    EXPECT_FALSE(Sounds->IsActive("wind"));
    EXPECT_FALSE(Sounds->Enable("nothing"));
    EXPECT_FALSE(Sounds->Disable("nothing"));
}

TEST_F(BackgroundSounds, ASoundDisabledBeforeSavingStaysDisabledAfterLoadStateAndTheNextLoad)
{
    Declare(R"(<sound id="wind" file="dummy.ogg"/><sound id="drip" file="dummy.ogg"/><sound id="bird" file="dummy.ogg"/>)");
    const std::string level = R"(<s id="wind" play_from_start="true"><scene id="hall" vol="1"/></s>
        <s id="drip" play_from_start="true"><scene id="hall" vol="1"/></s>
        <s id="bird" play_from_start="false"><scene id="hall" vol="1"/></s>)";
    LoadLevel(level);
    ASSERT_TRUE(Sounds->Disable("wind"));
    ASSERT_TRUE(Sounds->Enable("bird"));
    qe::CByteBuffer buffer;
    buffer.Allocate(Sounds->GetSaveSize());
    Sounds->Save(buffer);
    EXPECT_EQ(buffer.GetLength(), 304);
    EXPECT_EQ(Sounds->GetSaveSize(), 25504);

    Sounds = std::make_unique<game::CBackgroundSounds>();
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(Sounds->LoadState(reader));
    LoadLevel(level);
    EXPECT_FALSE(Sounds->IsEnabled("wind"));
    EXPECT_FALSE(Sounds->IsActive("wind"));
    EXPECT_TRUE(Playing("drip"));
    EXPECT_TRUE(Playing("bird"));
    // The saved states hold for every later load too.
    LoadLevel(level, "room2");
    LoadLevel(level);
    EXPECT_FALSE(Sounds->IsEnabled("wind"));
    EXPECT_TRUE(Sounds->IsEnabled("bird"));
}

TEST_F(BackgroundSounds, AMissingLevelIsReportedAndLeavesNoSounds)
{
    CScratchLogCapture log;
    Folder.Write("properties/background_sounds.xml", R"(<?xml version="1.0"?><levels><level id="other"/></levels>)");
    EXPECT_FALSE(Sounds->Load("properties/background_sounds.xml", Quest.get(), Scene("hall")));
    EXPECT_EQ(Sounds->GetSoundCount(), 0);
    EXPECT_TRUE(log.Contains("Can't find level 'demo' in background_sounds.xml")) << log.Text();
}

TEST_F(BackgroundSounds, ALevelOfMoreThan255SoundsLoadsTheFirst255AndLogsTheRest)
{
    CScratchLogCapture log;
    Declare(R"(<sound id="wind" file="dummy.ogg"/>)");
    std::string level;
    for (int i = 0; i < 300; ++i)
        level += "<s id=\"s" + std::to_string(i) + "\"><scene id=\"room2\" vol=\"1\"/></s>";
    LoadLevel(level);
    EXPECT_EQ(Sounds->GetSoundCount(), 255);
    EXPECT_FALSE(Sounds->Enable("s255"));
    EXPECT_TRUE(Sounds->Enable("s254"));
    EXPECT_TRUE(log.Contains("[game][3]: Level 'demo'")) << log.Text();
    // The whole section fits the room the saved game reserves.
    qe::CByteBuffer buffer;
    buffer.Allocate(Sounds->GetSaveSize());
    Sounds->Save(buffer);
    EXPECT_FALSE(buffer.HasOverflowed());
    EXPECT_EQ(buffer.GetLength(), 25504);
}

TEST_F(BackgroundSounds, AnUndeclaredSoundStaysActiveAndIsTriedAgainEveryUpdate)
{
    LoadLevel(R"(<s id="ghost" play_from_start="true"><scene id="hall" vol="1"/></s>)");
    EXPECT_TRUE(Sounds->IsActive("ghost"));
    EXPECT_EQ(Sounds->GetSoundId("ghost"), 0);
    Declare(R"(<sound id="ghost" file="dummy.ogg"/>)");
    Frame(16);
    EXPECT_TRUE(Playing("ghost"));
}

} // namespace
