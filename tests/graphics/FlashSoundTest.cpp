// The companion sound of a Flash movie, on the process's audio manager.
#include "graphics/Flash.h"

#include <gtest/gtest.h>

#include "TestFlashModule.h"
#include "content/OggVorbisWriter.h"
#include "core/ContentTestSupport.h"
#include "core/TempFolder.h"
#include "sound/AudioManager.h"
#include "sound/Sound.h"
#include "sound/SoundDeclarations.h"

using lv::graphics::CFlash;

namespace {

TEST(FlashSound, CompanionSoundPlaysPausesMutesAndStopsWithTheMovie)
{
    lv::sound::CAudioManager& audio = lv::sound::GetAudioManager();
    if (!audio.IsOpen())
        GTEST_SKIP() << "no sound device";
    CTempFolder folder;
    CWorkingFolder cwd(folder.Path());
    const std::vector<u8> tone = lv::content::EncodeOggVorbis(lv::content::MakeTone(1, 22050, 1.0, 440.0, 0.5f));
    ASSERT_FALSE(tone.empty());
    WriteBytes(folder, "intro.ogg", tone);
    folder.Write("properties/sounds.xml", "<?xml version=\"1.0\"?>\n<sounds>\n"
                                          "<sound id=\"intro_movie\" file=\"intro.ogg\" volume=\"80\"/>\n</sounds>\n");
    {
        lv::sound::CSoundDeclarations declarations;
        ASSERT_TRUE(declarations.LoadXml("properties/sounds.xml"));
        audio.LoadSoundTypes(declarations);
    }
    ASSERT_TRUE(audio.HasSound("intro_movie"));

    CTestFlashModule module;
    CFlash flash(u"/intro.swf", 0, 0, "intro_movie");
    const s32 id = flash.GetSoundId();
    ASSERT_GT(id, 0);
    ASSERT_TRUE(audio.IsPlaying(id));
    EXPECT_FLOAT_EQ(audio.GetSoundVolume(id), 80.0f);

    flash.Pause();
    ASSERT_NE(audio.FindSound(id), nullptr);
    EXPECT_TRUE(audio.FindSound(id)->IsPaused());
    flash.Resume();
    EXPECT_FALSE(audio.FindSound(id)->IsPaused());

    flash.SetMuted(1);
    EXPECT_FLOAT_EQ(audio.GetSoundVolume(id), 0.0f);
    flash.SetMuted(0);
    EXPECT_FLOAT_EQ(audio.GetSoundVolume(id), 80.0f);

    // The end of the movie stops its sound.
    module.Controls[0]->Advance(100);
    flash.Update();
    audio.Update();
    EXPECT_FALSE(audio.IsPlaying(id));

    // A movie whose name declares no sound plays silently.
    CFlash silent(u"/other.swf", 0, 0, "no_such_sound");
    EXPECT_EQ(silent.GetSoundId(), 0);
    silent.SetMuted(1);
    silent.Pause();
    silent.Resume();

    // A player that goes while its movie plays takes its sound with it.
    s32 orphan = 0;
    {
        CFlash playing(u"/intro.swf", 0, 0, "intro_movie");
        orphan = playing.GetSoundId();
        ASSERT_GT(orphan, 0);
    }
    audio.Update();
    EXPECT_FALSE(audio.IsPlaying(orphan));
}

} // namespace
