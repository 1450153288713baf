#include "graphics/Flash.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestFlashModule.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Texture.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "sound/AudioManager.h"

using lv::graphics::CFlash;
using Calls = std::vector<std::string>;

namespace {

// Players draw into textures: a recording device stands behind them.
class FlashTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        lv::graphics::GetGraphicsDevice().Release(false);
        ASSERT_TRUE(lv::graphics::GetGraphicsDevice().CreateOrReset(nullptr, 0, 0, false));
    }
    void TearDown() override
    {
        lv::graphics::GetGraphicsDevice().Release(false);
        lv::platform::SetDirect3DFactory(nullptr);
    }

    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
};

std::string PauseCount(const CFlash& flash)
{
    return ToNarrow(flash.GetVariable(u"pause_count"));
}

TEST_F(FlashTest, WithoutAPlayerEveryCallIsHarmlessAndOnlyPausesAreCounted)
{
    CFlash flash(u"movies/intro.swf", 64, 32, "intro");
    EXPECT_FALSE(flash.LoadMovie(u"movies/intro.swf", 64, 32, "intro"));
    EXPECT_EQ(flash.GetMovieSize()->X, 0);
    EXPECT_EQ(flash.GetMovieSize()->Y, 0);
    EXPECT_EQ(flash.Render(true), nullptr);
    EXPECT_EQ(flash.Render(false), nullptr);
    EXPECT_EQ(flash.GetTotalFrames(), -1);
    EXPECT_EQ(flash.GetCurrentFrame(), -1);
    flash.SetVariable(u"pause_count", u"5");
    EXPECT_EQ(flash.GetVariable(u"pause_count"), u"");
    flash.SetQuality(2);
    flash.SetMuted(1);
    flash.Play();
    flash.Update();
    EXPECT_EQ(flash.GetState(), CFlash::kStopped);
    EXPECT_EQ(flash.GetSoundId(), -1); // no companion sound

    for (int i = 0; i < 2; ++i)
        CFlash::PauseAll(true);
    EXPECT_EQ(flash.GetPauseDepth(), 2);
    for (int i = 0; i < 3; ++i)
        CFlash::PauseAll(false);
    EXPECT_EQ(flash.GetPauseDepth(), 0);
    EXPECT_EQ(CFlash::GetPauseAllLevel(), 0);
    flash.Stop();
    flash.Resume();
    EXPECT_EQ(lv::graphics::GetFlashVersion(), 0.0f);
}

TEST_F(FlashTest, PauseAllNestsAndNeverGoesBelowZero)
{
    CFlash::PauseAll(false);
    EXPECT_EQ(CFlash::GetPauseAllLevel(), 0);
    CFlash::PauseAll(true);
    CFlash::PauseAll(true);
    CFlash::PauseAll(false);
    EXPECT_EQ(CFlash::GetPauseAllLevel(), 1);
    CFlash::PauseAll(false);
    CFlash::PauseAll(false);
    EXPECT_EQ(CFlash::GetPauseAllLevel(), 0);
}

TEST_F(FlashTest, ControlIsSetUpWindowlessAndTheMovieLoadsAbsolute)
{
    CTestFlashModule module;
    CFlash flash(u"movies/intro.swf", 64, 32, "intro");
    ASSERT_EQ(module.Controls.size(), 1u);
    CTestFlashControl& control = *module.Controls[0];
    EXPECT_TRUE(module.FromLibrary);
    const std::string absolute = (std::filesystem::current_path() / "movies/intro.swf").string();
    EXPECT_EQ(control.Calls, (Calls{"PutWMode(Transparent)", "PutScaleMode(2)", "InPlaceActivate",
                                    "PutMovie(" + absolute + ")", "Play", "SetObjectRects(0, 0, 64, 32)"}));
    EXPECT_EQ(flash.GetState(), CFlash::kPlaying);
    EXPECT_EQ(flash.GetMovieSize()->X, 64);
    EXPECT_EQ(flash.GetMovieSize()->Y, 32);

    lv::graphics::CImageHandle* image = flash.Render(false);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->GetTexture(), nullptr);
    EXPECT_EQ(image->GetWidth(), 64);
    EXPECT_EQ(image->GetHeight(), 32);
    control.Calls.clear();
    EXPECT_EQ(flash.Render(true), image);
    EXPECT_EQ(control.Calls, (Calls{"Draw"}));

    // A movie the player refuses leaves the previous one's image.
    EXPECT_FALSE(flash.LoadMovie(u"/movies/refused.swf", 16, 16, "other"));
    EXPECT_EQ(flash.Render(false), image);
    EXPECT_EQ(flash.GetMovieSize()->X, 64);

    control.Calls.clear();
    flash.SetQuality(0);
    flash.SetQuality(3);
    EXPECT_EQ(control.Calls, (Calls{"PutQuality2(Low)"}));
    EXPECT_FLOAT_EQ(lv::graphics::GetFlashVersion(), 11.0f);
    image->GetTexture()->ReleaseDeviceTexture();
}

TEST_F(FlashTest, EmptyPathShowsNothingUntilAMovieLoads)
{
    CTestFlashModule module;
    CFlash flash(u"", 0, 0, "");
    EXPECT_EQ(flash.Render(true), nullptr);
    EXPECT_EQ(flash.GetState(), CFlash::kStopped);
    ASSERT_TRUE(flash.LoadMovie(u"/abs/movie.swf", 8, 8, "movie"));
    EXPECT_EQ(module.Controls[0]->Movie, "/abs/movie.swf");
    ASSERT_NE(flash.Render(true), nullptr);
    flash.Render(false)->GetTexture()->ReleaseDeviceTexture();
}

TEST_F(FlashTest, TwoNestedPausesNeedTwoResumes)
{
    CTestFlashModule module;
    CFlash flash(u"/m.swf", 8, 8, "m");
    CTestFlashControl& control = *module.Controls[0];
    control.Calls.clear();
    std::vector<std::string> counts{PauseCount(flash)};
    std::vector<s32> states{flash.GetState()};
    for (bool pause : {true, true, false, false}) {
        CFlash::PauseAll(pause);
        counts.push_back(PauseCount(flash));
        states.push_back(flash.GetState());
    }
    EXPECT_EQ(counts, (std::vector<std::string>{"", "1", "2", "1", "0"}));
    EXPECT_EQ(states, (std::vector<s32>{CFlash::kPlaying, CFlash::kPaused, CFlash::kPaused, CFlash::kPaused,
                                        CFlash::kPlaying}));
    // The movie holds its frame once and plays on once.
    EXPECT_EQ(control.Calls, (Calls{"StopPlay", "Play"}));
    EXPECT_EQ(flash.GetPauseDepth(), 0);
    flash.Render(false)->GetTexture()->ReleaseDeviceTexture();
}

TEST_F(FlashTest, AfterTheLastFrameUpdateRewindsAndStops)
{
    CTestFlashModule module;
    CFlash flash(u"/m.swf", 8, 8, "m");
    CTestFlashControl& control = *module.Controls[0];
    control.Advance(4);
    flash.Update();
    EXPECT_EQ(flash.GetState(), CFlash::kPlaying);
    EXPECT_EQ(flash.GetCurrentFrame(), 4);
    EXPECT_EQ(flash.GetTotalFrames(), 10);
    control.Advance(20);
    EXPECT_EQ(flash.GetCurrentFrame(), 9);
    control.Calls.clear();
    flash.Update();
    EXPECT_EQ(flash.GetState(), CFlash::kStopped);
    EXPECT_EQ(flash.GetCurrentFrame(), 0);
    EXPECT_EQ(control.Calls, (Calls{"GotoFrame(0)", "StopPlay"}));
    // Stopped stays stopped; Play starts it again.
    flash.Update();
    flash.Stop();
    EXPECT_EQ(control.Calls.size(), 2u);
    flash.Play();
    EXPECT_EQ(flash.GetState(), CFlash::kPlaying);
    flash.Render(false)->GetTexture()->ReleaseDeviceTexture();
}

TEST_F(FlashTest, LastPlayerUnloadsThePlayerAndTheNextLoadsItAgain)
{
    CTestFlashModule module;
    {
        CFlash first(u"", 0, 0, "");
        CFlash second(u"", 0, 0, "");
        EXPECT_EQ(CFlash::GetPlayerCount(), 2u);
        EXPECT_EQ(module.Loads, 1);
        EXPECT_EQ(module.Controls.size(), 2u);
        EXPECT_EQ(module.Controls[0]->Calls.back(), "InPlaceActivate");
    }
    EXPECT_EQ(CFlash::GetPlayerCount(), 0u);
    EXPECT_EQ(module.Unloads, 1);
    EXPECT_FALSE(module.Loaded);
    EXPECT_TRUE(module.Controls.empty());
    {
        CFlash again(u"", 0, 0, "");
        EXPECT_EQ(module.Loads, 2);
        EXPECT_TRUE(module.Loaded);
    }
    EXPECT_EQ(module.Unloads, 2);
}

} // namespace

namespace {

TEST_F(FlashTest, PlayerMadeDuringAPauseNeverCountsBelowZero)
{
    CTestFlashModule module;
    CFlash::PauseAll(true);
    CFlash flash(u"/m.swf", 8, 8, "m");
    EXPECT_EQ(flash.GetState(), CFlash::kPlaying);
    CFlash::PauseAll(false);
    EXPECT_EQ(PauseCount(flash), "0");
    EXPECT_EQ(flash.GetState(), CFlash::kPlaying);
    // The next pause freezes the movie's own timers again.
    CFlash::PauseAll(true);
    EXPECT_EQ(PauseCount(flash), "1");
    CFlash::PauseAll(false);
    flash.Render(false)->GetTexture()->ReleaseDeviceTexture();
}

TEST_F(FlashTest, DestroyingAPlayingPlayerStopsItsMovieAndClosesTheControl)
{
    CTestFlashModule module;
    {
        CFlash flash(u"/m.swf", 8, 8, "m");
        module.Controls[0]->Calls.clear();
        flash.Render(false)->GetTexture()->ReleaseDeviceTexture();
    }
    EXPECT_EQ(module.DeletedCalls, (Calls{"GotoFrame(0)", "StopPlay", "Close"}));
}

} // namespace
