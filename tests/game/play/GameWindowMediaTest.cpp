#include "GameWindowTestSupport.h"

#include "game/play/BackgroundSounds.h"
#include "game/play/LevelMusic.h"
#include "game/play/SceneStack.h"
#include "graphics/LogCapture.h"

namespace {

class GameWindowMedia : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        DeclareSounds(R"(<sound id="wind" file="wind.ogg"/><sound id="m0" file="m.ogg"/><sound id="m1" file="m.ogg"/>)",
                      {"wind.ogg", "m.ogg"});
        Folder.Write("program/properties/background_sounds.xml",
                     R"(<?xml version="1.0"?><levels><level id="q0"><s id="wind" play_from_start="true">)"
                     R"(<scene id="hall" vol="0.5"/></s></level></levels>)");
        Folder.Write("program/properties/tracks.xml",
                     R"(<?xml version="1.0"?><tracks><level id="q0"><t id="m0"/><t id="m1"/></level></tracks>)");
    }
    bool Plays(s32 id) const { return id > 0 && Audio.IsPlaying(id); }
};

TEST_F(GameWindowMedia, AStartedLevelPlaysItsAmbientSoundsAndTheSceneStackMovesThem)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    game::CBackgroundSounds& sounds = Window->GetBackgroundSounds();
    ASSERT_EQ(sounds.GetSoundCount(), 1);
    EXPECT_TRUE(Plays(sounds.GetSoundId("wind")));
    EXPECT_FLOAT_EQ(Audio.GetSoundVolume(sounds.GetSoundId("wind")), 50.0f);
    Window->GetSceneStack().ShowScene(Window->GetQuest()->FindScene("room2"));
    EXPECT_FALSE(sounds.IsActive("wind"));
}

TEST_F(GameWindowMedia, StopMusicEndsTheTrackAndANewOneStartsOnlyWhenTheScriptsRun)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    game::CLevelMusic& music = Window->GetLevelMusic();
    s32 draw = 0;
    music.SetRandomSource([&draw] { return draw; });
    Frame(16);
    ASSERT_EQ(music.GetCurrent(), 1);
    const s32 first = music.GetCurrentSoundId();
    EXPECT_TRUE(Plays(first));

    EXPECT_TRUE(Click(320, 120)); // the chest's block sleeps 20 s
    ASSERT_TRUE(Window->GetQuest()->IsScriptPaused());
    Window->StopMusic();
    Frame(16);
    EXPECT_FALSE(Audio.IsPlaying(first));
    draw = 1;
    Frames(100, 100);
    EXPECT_EQ(music.GetCurrent(), -1);
    for (int i = 0; i < 150 && Window->GetQuest()->IsScriptPaused(); ++i)
        Frame(100);
    ASSERT_FALSE(Window->GetQuest()->IsScriptPaused());
    Frame(16);
    EXPECT_EQ(music.GetCurrent(), 0);
    EXPECT_TRUE(Plays(music.GetCurrentSoundId()));
}

TEST_F(GameWindowMedia, MissingLevelsAreReported)
{
    CScratchLogCapture log;
    Folder.Write("program/properties/background_sounds.xml", R"(<?xml version="1.0"?><levels/>)");
    Folder.Write("program/properties/tracks.xml", R"(<?xml version="1.0"?><tracks/>)");
    MakeWindow();
    Window->StartGame(false, false, false, false);
    EXPECT_TRUE(log.Contains("Can't find level 'q0' in background_sounds.xml")) << log.Text();
    EXPECT_TRUE(log.Contains("Can't find level 'q0' in music tracks file")) << log.Text();
}

} // namespace
