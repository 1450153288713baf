#include "LevelMediaTestSupport.h"

#include "game/play/LevelMusic.h"
#include "graphics/LogCapture.h"

#include <vector>

namespace {

using levelmediatest::LevelMediaFixture;

class LevelMusic : public LevelMediaFixture
{
protected:
    void ReleaseMedia() override { Music.reset(); }

    void SetUp() override
    {
        LevelMediaFixture::SetUp();
        Declare(R"(<sound id="m0" file="dummy.ogg" group="music"/><sound id="m1" file="dummy.ogg" group="music"/>
                   <sound id="m2" file="dummy.ogg" group="music"/><sound id="y0" file="dummy.ogg" group="music"/>)");
        Folder.Write("properties/tracks.xml", R"(<?xml version="1.0"?><tracks>
<level id="one"><track id="m0"/></level>
<level id="demo"><track id="m0"/><t id="m1"/><track id="m2"/></level>
<level id="other"><track id="y0"/></level></tracks>)");
        Music->SetRandomSource([this] { return Draw; });
    }

    void Frame()
    {
        Now += 16;
        Clock.Tick();
        Music->Update();
        Audio.Update();
    }
    // Ends the current track and plays on until the next one has started; its index.
    s32 NextTrack()
    {
        EndShot(Music->GetCurrentSoundId());
        Frame();
        return Music->GetCurrent();
    }
    bool CurrentPlays() const
    {
        const s32 id = Music->GetCurrentSoundId();
        return id > 0 && Audio.IsPlaying(id);
    }

    s32 Draw = 0;
    std::unique_ptr<game::CLevelMusic> Music = std::make_unique<game::CLevelMusic>();
};

TEST_F(LevelMusic, OneTrackPlaysAgainWhenItEnds)
{
    Folder.Write("properties/tracks.xml",
                 R"(<?xml version="1.0"?><tracks><level id="demo"><track id="m0"/></level></tracks>)");
    ASSERT_TRUE(Music->Load("properties/tracks.xml", Quest.get()));
    Draw = 7;
    Frame();
    ASSERT_TRUE(CurrentPlays());
    const s32 first = Music->GetCurrentSoundId();
    EXPECT_EQ(NextTrack(), 0);
    EXPECT_TRUE(CurrentPlays());
    EXPECT_NE(Music->GetCurrentSoundId(), first);
}

TEST_F(LevelMusic, ThreeTracksWithADrawOfOnePlayTheNextOneThenInListOrder)
{
    ASSERT_TRUE(Music->Load("properties/tracks.xml", Quest.get()));
    ASSERT_EQ(Music->GetTrackCount(), 3);
    EXPECT_STREQ(Music->GetTrackName(1).GetText(), "m1");
    Draw = 1;
    Frame();
    std::vector<s32> order{Music->GetCurrent()};
    for (int i = 0; i < 3; ++i)
        order.push_back(NextTrack());
    EXPECT_EQ(order, (std::vector<s32>{2, 0, 1, 2}));
    // A playing track is left alone.
    const s32 id = Music->GetCurrentSoundId();
    Frame();
    EXPECT_EQ(Music->GetCurrentSoundId(), id);
}

TEST_F(LevelMusic, StopEndsTheTrackAtOnceAndTheNextUpdateDrawsAnew)
{
    ASSERT_TRUE(Music->Load("properties/tracks.xml", Quest.get()));
    Draw = 1;
    Frame();
    const s32 id = Music->GetCurrentSoundId();
    ASSERT_TRUE(CurrentPlays());
    Music->Stop();
    EXPECT_EQ(Music->GetCurrent(), -1);
    EXPECT_FALSE(Music->IsStarted());
    Audio.Update();
    EXPECT_FALSE(Audio.IsPlaying(id));
    Draw = 2;
    Frame();
    EXPECT_EQ(Music->GetCurrent(), 0);
    EXPECT_TRUE(CurrentPlays());
}

TEST_F(LevelMusic, TwoLevelsLoadedInOneWindowGiveAPlaylistOfBoth)
{
    std::unique_ptr<qe::CQuest> other(qe::CQuestData::Instance().CreateQuest("other", nullptr, nullptr, &Clock));
    ASSERT_TRUE(other);
    ASSERT_TRUE(Music->Load("properties/tracks.xml", Quest.get()));
    ASSERT_TRUE(Music->Load("properties/tracks.xml", other.get()));
    ASSERT_EQ(Music->GetTrackCount(), 4);
    EXPECT_STREQ(Music->GetTrackName(0).GetText(), "m0");
    EXPECT_STREQ(Music->GetTrackName(3).GetText(), "y0");
    Draw = 2;
    Frame();
    EXPECT_EQ(Music->GetCurrent(), 3);
}

TEST_F(LevelMusic, AMissingLevelIsReportedAndKeepsThePlaylist)
{
    CScratchLogCapture log;
    Folder.Write("properties/tracks.xml", R"(<?xml version="1.0"?><tracks><level id="x"/></tracks>)");
    EXPECT_FALSE(Music->Load("properties/tracks.xml", Quest.get()));
    EXPECT_TRUE(log.Contains("Can't find level 'demo' in music tracks file")) << log.Text();
    EXPECT_FALSE(Music->IsLoaded());
    Frame();
    EXPECT_EQ(Music->GetCurrent(), -1);
}

TEST_F(LevelMusic, AnUndeclaredTrackCountsAsEndedAndTheNextOneStarts)
{
    Folder.Write("properties/tracks.xml",
                 R"(<?xml version="1.0"?><tracks><level id="demo"><t id="m0"/><t id="nothing"/></level></tracks>)");
    ASSERT_TRUE(Music->Load("properties/tracks.xml", Quest.get()));
    Draw = 0;
    Frame();
    EXPECT_EQ(Music->GetCurrent(), 1);
    EXPECT_FALSE(CurrentPlays());
    Frame();
    EXPECT_EQ(Music->GetCurrent(), 0);
    EXPECT_TRUE(CurrentPlays());
}

} // namespace
