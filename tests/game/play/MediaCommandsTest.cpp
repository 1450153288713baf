// The media script commands in a game window: "play_anim_ex" on clips and videos with its second
// clip, skipping and modes, "sync_start", "play_sound_ex", "stop_sound", "stop_music",
// "clip_sound", "back_sound_enable" and "cut_scene".
#include "GameWindowTestSupport.h"

#include "anim/ClipManager.h"
#include "anim/ClipObject.h"
#include "anim/ClipsBuilder.h"
#include "content/QuestScriptWriter.h"
#include "content/WebMWriter.h"
#include "game/hud/HudInventory.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/CursorChoice.h"
#include "game/play/CutscenePlayer.h"
#include "game/play/GameCommands.h"
#include "game/play/LevelMusic.h"
#include "game/play/MediaCommands.h"
#include "graphics/LogCapture.h"
#include "graphics/Renderer.h"
#include "graphics/Video.h"
#include "qe/ClipObject.h"
#include "qe/CommandFactory.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/VideoObject.h"

#include <cstring>
#include <deque>

namespace {

using lv::content::SScriptArgument;
using lv::content::SScriptCommand;

const char kMediaClips[] = R"(<?xml version="1.0" encoding="utf-8"?>
<clips>
<Clip id="door_anim" w="64" h="64">
  <image id="leaf" i_id="door" p="0 0" vis="true"><kp t="0" p="0 0" itpl="true"/><kp t="2000" p="0 -40"/></image>
</Clip>
<Clip id="shadow_anim" w="64" h="64">
  <image id="shade" i_id="door" p="0 0" vis="true"><kp t="0" p="0 0" itpl="true"/><kp t="3000" p="10 0"/></image>
</Clip>
</clips>)";

std::string MediaQuestXml()
{
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="q0">
<scene id="hall" guid="01" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="room2" guid="02" size="1366 768" work_area="0 0 1366 768"/></quest></Structure>
<scene_content guid="01"><objects>
<clip id="door" guid="m1" clip_id="door_anim" offset="300 300" size="64 64" animation_flags="0"/>
<clip id="shadow" guid="m2" clip_id="shadow_anim" offset="400 300" size="64 64" object_flags="7" animation_flags="0"/>
<video id="tv" guid="m3" video_id="tv.webm" offset="600 300" size="64 48"/>
<video id="broken" guid="m4" video_id="missing.webm" offset="700 300" size="64 48"/>
<area id="box" guid="m5" offset="120 120" size="40 40"><point offset="100 100"/><point offset="140 100"/><point offset="140 140"/><point offset="100 140"/></area>
</objects><scripts/></scene_content><scene_content guid="02"><objects/><scripts/></scene_content></quest_data>)";
}

class MediaCommands : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        lv::misc::anim::CClipsBuilder builder;
        ASSERT_TRUE(builder.AddXml(kMediaClips, std::strlen(kMediaClips)));
        m_ClipImage = builder.Build();
        ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(m_ClipImage.data(),
                                                                        static_cast<u32>(m_ClipImage.size())));
        lv::content::CWebMWriterOptions options;
        options.width = 64;
        options.height = 48;
        lv::content::CWebMWriter writer(options);
        for (u32 k = 0; k < 10; ++k)
            ASSERT_TRUE(writer.AddFrame(lv::content::CYuvFrame(64, 48, static_cast<u8>(40 + 10 * k))));
        ASSERT_TRUE(writer.WriteFile(std::filesystem::current_path() / "tv.webm"));

        DeclareSounds(R"(<sound id="wind" file="s.ogg"/><sound id="voice" file="s.ogg"/>)"
                      R"(<sound id="m0" file="s.ogg"/><sound id="m1" file="s.ogg"/>)",
                      {"s.ogg"});
        Folder.Write("program/properties/background_sounds.xml",
                     R"(<?xml version="1.0"?><levels><level id="q0"><s id="wind" play_from_start="true">)"
                     R"(<scene id="hall" vol="1"/></s></level></levels>)");
        Folder.Write("program/properties/tracks.xml",
                     R"(<?xml version="1.0"?><tracks><level id="q0"><t id="m0"/><t id="m1"/></level></tracks>)");
        Folder.Write("program/properties/cutscenes.xml",
                     R"(<?xml version="1.0"?><cutscenes><cutscene id="intro"><video path="tv.webm"/></cutscene></cutscenes>)");
        LoadQuests(MediaQuestXml());
        game::RegisterGameCommands();
        MakeWindow();
        Window->StartGame(false, false, false, false);
        Window->GetLevelMusic().SetRandomSource([] { return 0; });
        Hall = Window->GetQuest()->FindScene("hall");
        ASSERT_NE(Hall, nullptr);
    }
    void TearDown() override
    {
        m_Commands.clear();
        Window.reset();
        lv::misc::anim::CClipManager::Instance().Release();
        GameWindowFixture::TearDown();
    }

    // A command of that name with its arguments, each named unless the name is given as "".
    std::unique_ptr<qe::scripts::CCommandBase> MakeNamed(const char* name, std::vector<SScriptArgument> arguments)
    {
        m_Commands.push_back(lv::content::CQuestScriptWriter::BuildCommand(SScriptCommand::Named(name, arguments)));
        return std::unique_ptr<qe::scripts::CCommandBase>(qe::scripts::CCommandFactory::Instance().Create(
            qe::scripts::CCommandRecord(m_Commands.back().data()), Hall, Window.get()));
    }
    std::unique_ptr<qe::scripts::CCommandBase> Make(const char* name, const std::vector<std::string>& values)
    {
        std::vector<SScriptArgument> arguments;
        for (size_t i = 0; i < values.size(); ++i)
            arguments.push_back({"a" + std::to_string(i + 1), values[i]});
        return MakeNamed(name, arguments);
    }
    game::CPlayAnimationCommandEx* Anim(const std::unique_ptr<qe::scripts::CCommandBase>& command)
    {
        return dynamic_cast<game::CPlayAnimationCommandEx*>(command.get());
    }
    // The clock moves and the command updates, without a frame of the window.
    void Step(qe::scripts::CCommandBase& command, s32 ms)
    {
        Now += ms;
        Clock.Tick();
        command.Update();
    }
    qe::CClipObject* ClipNamed(const char* name) { return static_cast<qe::CClipObject*>(Hall->FindObject(name)); }
    qe::CVideoObject* VideoNamed(const char* name) { return static_cast<qe::CVideoObject*>(Hall->FindObject(name)); }
    s32 ClipTime(const char* name)
    {
        return (*ClipNamed(name)->GetClip().GetObjectIterator())->GetCurrentTime();
    }
    game::CHudInventory& Inventory() { return Window->GetHud().GetInventory(); }
    bool Plays(s32 id) const { return id > 0 && Audio.IsPlaying(id); }
    // The playing instances of the sound, and the newest of them (0 when none).
    s32 PlayingOf(const char* name, s32* newest = nullptr) const
    {
        const lv::sound::CSoundType* type = Audio.FindSoundType(name);
        s32 count = 0;
        for (s32 id = 1; id < 1000; ++id)
            if (const lv::sound::CSound* sound = Audio.FindSound(id); sound && &sound->GetType() == type)
            {
                ++count;
                if (newest)
                    *newest = id;
            }
        return count;
    }

    qe::CScene* Hall = nullptr;

private:
    std::vector<u8> m_ClipImage;
    std::deque<std::vector<u8>> m_Commands;
};

TEST_F(MediaCommands, TheEightNamesMakeTheirCommands)
{
    EXPECT_NE(dynamic_cast<game::CPlayAnimationCommandEx*>(Make("play_anim_ex", {"door"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<game::CSyncAnimationCommand*>(Make("sync_start", {"voice", "tv"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<game::CPlaySoundExCommand*>(Make("play_sound_ex", {"", "voice"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<game::CStopSoundCommand*>(Make("stop_sound", {"", "voice"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<game::CStopMusicCommand*>(Make("stop_music", std::vector<std::string>{}).get()), nullptr);
    EXPECT_NE(dynamic_cast<game::CClipSoundCommand*>(Make("clip_sound", {"true", "door"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<game::CEnableBackgroundSoundCommand*>(Make("back_sound_enable", {"true", "wind"}).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<game::CCutSceneCommand*>(Make("cut_scene", {"x"}).get()), nullptr);
}

TEST_F(MediaCommands, PlayAnimExCountsAClipDownByTheFrameTimeAndShowsItsLastFrame)
{
    auto command = Make("play_anim_ex", {"door"});
    game::CPlayAnimationCommandEx* anim = Anim(command);
    ASSERT_NE(anim, nullptr);
    EXPECT_FALSE(command->IsFinished());
    EXPECT_EQ(anim->GetTimeLeft(), 2000);
    EXPECT_FALSE(game::IsAnimationSkipAllowed());
    EXPECT_EQ(anim->GetSecondClip(), nullptr);
    // The inventory is shut and the pointer wins while it runs.
    EXPECT_FALSE(Inventory().IsEnabled());
    EXPECT_EQ(Window->GetCursorChoice().GetMode(), 1);
    EXPECT_TRUE(Window->GetBackgroundSounds().IsActive("wind"));
    for (s32 left : {1300, 600})
    {
        Step(*command, 700);
        EXPECT_EQ(anim->GetTimeLeft(), left);
        EXPECT_FALSE(command->IsFinished());
    }
    Step(*command, 700);
    EXPECT_EQ(anim->GetTimeLeft(), 0);
    EXPECT_TRUE(command->IsFinished());
    EXPECT_EQ(ClipTime("door"), 2000);
    EXPECT_TRUE(Inventory().IsEnabled());
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kClosed);
    EXPECT_EQ(Window->GetCursorChoice().GetMode(), 0);
}

TEST_F(MediaCommands, PlayAnimExWithoutArgumentsOrObjectFinishesAtOnce)
{
    EXPECT_TRUE(Make("play_anim_ex", std::vector<std::string>{})->IsFinished());
    EXPECT_TRUE(Make("play_anim_ex", {"nothing"})->IsFinished());
    // An area is found but has nothing to play: it ends at its first update.
    auto area = Make("play_anim_ex", {"box"});
    EXPECT_FALSE(area->IsFinished());
    Step(*area, 16);
    EXPECT_TRUE(area->IsFinished());
}

TEST_F(MediaCommands, PlayAnimExOnAVideoWaitsForItsFirstTenMilliseconds)
{
    auto command = Make("play_anim_ex", {"hall/tv"});
    game::CPlayAnimationCommandEx* anim = Anim(command);
    qe::CVideoObject* tv = VideoNamed("tv");
    ASSERT_TRUE(tv->IsOpen());
    EXPECT_EQ(anim->GetTimeLeft(), 400);
    tv->GetVideo()->SetTimeSystem(&Clock);
    for (int i = 0; i < 30; ++i)
        Step(*command, 100);
    EXPECT_EQ(anim->GetTimeLeft(), 400);
    Now += 9;
    Clock.Tick();
    tv->Update();
    command->Update();
    EXPECT_EQ(anim->GetTimeLeft(), 400);
    Now += 1;
    Clock.Tick();
    tv->Update();
    ASSERT_EQ(tv->GetPlayPosition(), 10u);
    command->Update();
    EXPECT_EQ(anim->GetTimeLeft(), 399);
    Step(*command, 399);
    EXPECT_TRUE(command->IsFinished());
    // The video itself is neither stopped nor hidden.
    EXPECT_TRUE(tv->IsOpen());
    EXPECT_EQ(tv->GetFlags() & 2u, 0u);
}

TEST_F(MediaCommands, PlayAnimExOnAVideoThatDidNotOpenEndsAtItsFirstUpdate)
{
    CScratchLogCapture log;
    auto command = Make("play_anim_ex", {"broken"});
    EXPECT_FALSE(VideoNamed("broken")->IsOpen());
    EXPECT_EQ(Anim(command)->GetTimeLeft(), 0);
    EXPECT_FALSE(command->IsFinished());
    Step(*command, 16);
    EXPECT_TRUE(command->IsFinished());
}

TEST_F(MediaCommands, PlayAnimExSkippingNeedsANamedThirdArgument)
{
    struct CCase
    {
        const char* thirdName;
        const char* thirdValue;
        bool allowed;
    };
    for (const CCase& c : {CCase{"a3", "true", true}, CCase{"", "true", false}, CCase{"a3", "True", false},
                           CCase{"a3", "", false}})
    {
        auto command = MakeNamed("play_anim_ex", std::vector<SScriptArgument>{{"a1", "door"}, {"a2", ""}, {c.thirdName, c.thirdValue}});
        EXPECT_EQ(game::IsAnimationSkipAllowed(), c.allowed) << c.thirdName << " " << c.thirdValue;
        EXPECT_EQ(Anim(command)->GetSecondClip(), nullptr);
    }
}

TEST_F(MediaCommands, PressingSkipJumpsTheClipToItsEndAndFinishesInTheSameUpdate)
{
    auto command = MakeNamed("play_anim_ex", std::vector<SScriptArgument>{{"a1", "door"}, {"a2", ""}, {"a3", "true"}});
    ASSERT_TRUE(game::IsAnimationSkipAllowed());
    // The window's draw shows the button while skipping is allowed.
    lv::graphics::CRenderer renderer;
    Window->GetCutscenePlayer().ShowSkipButton(game::IsAnimationSkipAllowed() ? &renderer : nullptr);
    EXPECT_TRUE(Shown("skip_btn"));
    EXPECT_EQ(Child("skip_btn")->GetPosition().Y, 4.0f);
    Step(*command, 100);
    EXPECT_FALSE(command->IsFinished());
    Press("skip_btn");
    Step(*command, 100);
    EXPECT_TRUE(command->IsFinished());
    EXPECT_EQ(ClipTime("door"), 2000);
    EXPECT_FALSE(Window->IsSkipRequested());
    EXPECT_FALSE(game::IsAnimationSkipAllowed());
    EXPECT_EQ(Window->GetCursorChoice().GetMode(), 0);
    Window->GetCutscenePlayer().ShowSkipButton(nullptr);
    EXPECT_EQ(Child("skip_btn")->GetFlags() & 3u, 3u);
}

TEST_F(MediaCommands, PlayAnimExWithASecondClipFollowsTheElapsedTimeAndHidesItAtTheEnd)
{
    qe::CClipObject* shadow = ClipNamed("shadow");
    ASSERT_EQ(shadow->GetFlags() & 7u, 7u);
    // The scene has drawn the clip before (which readies it once).
    shadow->Update();
    auto command = Make("play_anim_ex", {"door", "shadow", ""});
    game::CPlayAnimationCommandEx* anim = Anim(command);
    ASSERT_EQ(anim->GetSecondClip(), shadow);
    EXPECT_EQ(shadow->GetFlags() & 7u, 0u);
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kUnavailable);
    Step(*command, 700);
    EXPECT_EQ(anim->GetSecondElapsed(), 700);
    EXPECT_EQ(ClipTime("shadow"), 700);
    Inventory().SetAvailable(true);
    Step(*command, 700);
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kUnavailable);
    EXPECT_EQ(ClipTime("shadow"), 1400);
    Step(*command, 700);
    ASSERT_TRUE(command->IsFinished());
    EXPECT_EQ(shadow->GetFlags() & 3u, 3u);
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kClosed);
    EXPECT_TRUE(Inventory().IsEnabled());

    // Two arguments never take a second clip.
    ClipNamed("shadow")->AddFlags(7);
    auto two = Make("play_anim_ex", {"door", "shadow"});
    EXPECT_EQ(Anim(two)->GetSecondClip(), nullptr);
    EXPECT_EQ(shadow->GetFlags() & 7u, 7u);
}

TEST_F(MediaCommands, PlayAnimExModesSilenceTheAmbientSoundsTheMusicOrBoth)
{
    game::CBackgroundSounds& ambient = Window->GetBackgroundSounds();
    game::CLevelMusic& music = Window->GetLevelMusic();
    struct CCase
    {
        const char* mode;
        bool suspends;
        bool stopsMusic;
    };
    for (const CCase& c : {CCase{"sound", true, false}, CCase{"music", false, true}, CCase{"all", true, true},
                           CCase{"other", false, false}})
    {
        Frame(16);
        ASSERT_TRUE(ambient.IsActive("wind"));
        const s32 track = music.GetCurrentSoundId();
        ASSERT_TRUE(Plays(track));
        auto command = Make("play_anim_ex", {"door", "", "", c.mode});
        EXPECT_EQ(!ambient.IsActive("wind"), c.suspends) << c.mode;
        Audio.Update();
        EXPECT_EQ(!Plays(track), c.stopsMusic) << c.mode;
        for (int i = 0; i < 3; ++i)
            Step(*command, 700);
        ASSERT_TRUE(command->IsFinished());
        Frame(16);
        EXPECT_TRUE(ambient.IsActive("wind")) << c.mode;
    }
}

TEST_F(MediaCommands, PlaySoundExVolumesIntervalsAndRestarts)
{
    struct CCase
    {
        const char* volume;
        float expected;
    };
    for (const CCase& c : {CCase{"150", 100.0f}, CCase{"-5", 100.0f}, CCase{"40", 40.0f}, CCase{"", 100.0f},
                           CCase{"0", 0.0f}, CCase{"99.5", 99.5f}})
    {
        EXPECT_TRUE(Make("play_sound_ex", {"", "voice", c.volume})->IsFinished());
        Audio.Update();
        // The one played before is stopped first.
        s32 newest = 0;
        EXPECT_EQ(PlayingOf("voice", &newest), 1) << c.volume;
        EXPECT_FLOAT_EQ(Audio.GetSoundVolume(newest), c.expected) << c.volume;
    }
    const lv::sound::CSoundType* voice = Audio.FindSoundType("voice");
    const float declared = voice->GetConcurrentPlayDelay();
    Make("play_sound_ex", {"0", "voice"});
    EXPECT_FLOAT_EQ(voice->GetConcurrentPlayDelay(), declared);
    Make("play_sound_ex", {"250", "voice"});
    EXPECT_FLOAT_EQ(voice->GetConcurrentPlayDelay(), 250.0f);
    Make("play_sound_ex", {"-3", "voice"});
    Make("play_sound_ex", {"", "voice"});
    EXPECT_FLOAT_EQ(voice->GetConcurrentPlayDelay(), 250.0f);
    // Wrong counts and an empty name play nothing.
    Audio.StopAll(0.0f);
    Audio.Update();
    Make("play_sound_ex", std::vector<std::string>{});
    Make("play_sound_ex", {"", "voice", "50", "x"});
    Make("play_sound_ex", {"", ""});
    Audio.Update();
    EXPECT_EQ(PlayingOf("voice"), 0);
}

TEST_F(MediaCommands, StopSoundFadesOrStopsAtOnce)
{
    const s32 faded = Audio.Play("voice");
    EXPECT_TRUE(Make("stop_sound", {"500", "voice"})->IsFinished());
    Frames(2, 200);
    EXPECT_TRUE(Plays(faded));
    Frames(2, 100);
    Audio.Update();
    EXPECT_FALSE(Plays(faded));

    const s32 cut = Audio.Play("voice");
    Make("stop_sound", {"", "voice"});
    Audio.Update();
    EXPECT_FALSE(Plays(cut));

    const s32 kept = Audio.Play("voice");
    Make("stop_sound", {"0", ""});
    Make("stop_sound", {"0", "voice", "x"});
    Audio.Update();
    EXPECT_TRUE(Plays(kept));
}

TEST_F(MediaCommands, SyncStartPlaysTheVideoAndItsSoundAndHandsThemToTheWindow)
{
    const s32 old = Audio.Play("voice");
    EXPECT_TRUE(Make("sync_start", {"voice", "tv"})->IsFinished());
    EXPECT_TRUE(VideoNamed("tv")->IsOpen());
    Audio.Update();
    EXPECT_FALSE(Plays(old));
    EXPECT_EQ(PlayingOf("voice"), 1);
    EXPECT_EQ(Window->GetSyncedAnimationCount(), 1u);
    // Another kind or a missing object does nothing.
    Make("sync_start", {"voice", "door"});
    Make("sync_start", {"voice", "nothing"});
    Make("sync_start", {"voice"});
    EXPECT_EQ(Window->GetSyncedAnimationCount(), 1u);
}

TEST_F(MediaCommands, ClipSoundMutesAndUnmutesAClip)
{
    qe::CClipObject* door = ClipNamed("door");
    Make("clip_sound", {"false", "door"});
    EXPECT_FALSE(door->IsSoundEnabled());
    EXPECT_TRUE(door->GetClip().IsSoundMuted());
    Make("clip_sound", {"true", "hall/door"});
    EXPECT_TRUE(door->IsSoundEnabled());
    EXPECT_FALSE(door->GetClip().IsSoundMuted());
    Make("clip_sound", {"false", "tv"});
    Make("clip_sound", {"false"});
    EXPECT_TRUE(door->IsSoundEnabled());
}

TEST_F(MediaCommands, BackSoundEnableSwitchesOneAmbientSound)
{
    game::CBackgroundSounds& ambient = Window->GetBackgroundSounds();
    ASSERT_TRUE(ambient.IsEnabled("wind"));
    Make("back_sound_enable", {"false", "wind"});
    EXPECT_FALSE(ambient.IsEnabled("wind"));
    EXPECT_FALSE(ambient.IsActive("wind"));
    Make("back_sound_enable", {"TRUE", "wind"});
    EXPECT_FALSE(ambient.IsEnabled("wind"));
    Make("back_sound_enable", {"true", "wind"});
    EXPECT_TRUE(ambient.IsEnabled("wind"));
    Make("back_sound_enable", {"true", "rain"});
    EXPECT_EQ(ambient.GetSoundCount(), 1);
}

TEST_F(MediaCommands, StopMusicEndsTheTrackAndTheNextFreeUpdateStartsOneAtRandom)
{
    game::CLevelMusic& music = Window->GetLevelMusic();
    Frame(16);
    const s32 track = music.GetCurrentSoundId();
    ASSERT_TRUE(Plays(track));
    EXPECT_TRUE(Make("stop_music", std::vector<std::string>{"ignored"})->IsFinished());
    Audio.Update();
    EXPECT_FALSE(Plays(track));
    EXPECT_EQ(music.GetCurrent(), -1);
    Frame(16);
    EXPECT_TRUE(Plays(music.GetCurrentSoundId()));
}

TEST_F(MediaCommands, CutSceneWaitsForTheCutsceneWithTheAmbientSoundsAndMenuButtonsOff)
{
    game::CBackgroundSounds& ambient = Window->GetBackgroundSounds();
    game::CLevelMusic& music = Window->GetLevelMusic();
    Frame(16);
    const s32 track = music.GetCurrentSoundId();
    auto command = Make("cut_scene", {"intro"});
    EXPECT_FALSE(command->IsFinished());
    EXPECT_TRUE(Window->IsCutscenePlaying());
    EXPECT_FALSE(ambient.IsActive("wind"));
    EXPECT_FALSE(Shown("menu_button"));
    // A playing track goes on, but none starts while the cutscene plays.
    Frame(100);
    EXPECT_TRUE(Plays(track));
    Window->StopMusic();
    Frame(100);
    command->Update();
    EXPECT_FALSE(command->IsFinished());
    EXPECT_EQ(music.GetCurrent(), -1);
    for (int i = 0; i < 10 && Window->IsCutscenePlaying(); ++i)
        Frame(100);
    ASSERT_FALSE(Window->IsCutscenePlaying());
    command->Update();
    EXPECT_TRUE(command->IsFinished());
    EXPECT_TRUE(Shown("menu_button"));
    Frame(16);
    EXPECT_TRUE(ambient.IsActive("wind"));
    EXPECT_TRUE(Plays(music.GetCurrentSoundId()));
}

TEST_F(MediaCommands, CutSceneWithAnUnknownIdEndsAtItsNextUpdate)
{
    CScratchLogCapture log;
    game::CBackgroundSounds& ambient = Window->GetBackgroundSounds();
    auto command = Make("cut_scene", {"x"});
    EXPECT_TRUE(log.Contains("Can't find 'x' cutscene in properties/cutscenes.xml.")) << log.Text();
    EXPECT_FALSE(command->IsFinished());
    EXPECT_FALSE(ambient.IsActive("wind"));
    EXPECT_FALSE(Shown("menu_button"));
    command->Update();
    EXPECT_TRUE(command->IsFinished());
    EXPECT_TRUE(Shown("menu_button"));
    Frame(16);
    EXPECT_TRUE(ambient.IsActive("wind"));
}

} // namespace
