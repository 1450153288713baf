#pragma once
// The ambient sounds and the level music of a quest "demo" (scenes "hall", "room2", "closeup")
// and a quest "other" on a hand-moved clock and an audio manager over a recording voice pool, in a working folder
// of their own where the tests write "properties/*.xml".
#include "core/ContentTestSupport.h"
#include "core/TempFolder.h"
#include "core/TimeSystem.h"
#include "game/play/GameWindow.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "sound/AudioManager.h"
#include "sound/RecordingVoicePool.h"
#include "sound/SoundDeclarations.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace levelmediatest {

inline std::string DemoQuestXml()
{
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="demo">
<scene id="hall" guid="d1" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="room2" guid="d2" size="1366 768" work_area="0 0 1366 768"/>
<scene id="closeup" guid="d3" size="1366 768" work_area="0 0 1366 768"/>
</quest><quest id="other"><scene id="yard" guid="e1" flags="1" size="1366 768" work_area="0 0 1366 768"/>
</quest></Structure>
<scene_content guid="d1"><objects/></scene_content><scene_content guid="d2"><objects/></scene_content>
<scene_content guid="d3"><objects/></scene_content><scene_content guid="e1"><objects/></scene_content></quest_data>)";
}

class LevelMediaFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        game::CGameWindow::SetAudio(&Audio);
        game::CGameWindow::SetClock(&Clock);
        ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(DemoQuestXml()));
        Quest.reset(qe::CQuestData::Instance().CreateQuest("demo", nullptr, nullptr, &Clock));
        ASSERT_TRUE(Quest);
        // Absorbs the clock's starting offset, so each later frame moves it by its own length.
        Now += 20.0;
        Clock.Tick();
    }

    void TearDown() override
    {
        ReleaseMedia();
        Quest.reset();
        qe::CQuestData::Instance().Clear();
        game::CGameWindow::SetAudio(nullptr);
        game::CGameWindow::SetClock(nullptr);
    }

    // The media objects go before the audio manager and the quest they use.
    virtual void ReleaseMedia() {}

    // Declares sounds named in the list, each as a looping or single-shot sound on a dummy file.
    void Declare(const std::string& body)
    {
        Folder.Write("dummy.ogg", "dummy");
        Folder.Write("properties/sounds.xml", "<?xml version=\"1.0\"?>\n<sounds>" + body + "</sounds>\n");
        lv::sound::CSoundDeclarations declarations;
        ASSERT_TRUE(declarations.Load());
        Audio.LoadSoundTypes(declarations);
    }

    qe::CScene* Scene(const char* name) { return Quest->FindScene(name); }

    // Ends the instance's shot as its voice reaching the end of the file would, and lets the
    // manager stop and drop it (without a frame of the clock).
    void EndShot(s32 id)
    {
        const lv::sound::CSound* sound = Audio.FindSound(id);
        ASSERT_NE(sound, nullptr);
        static_cast<CRecordingVoice*>(sound->GetVoice())->End();
        Audio.Update();
        Audio.Update();
        ASSERT_FALSE(Audio.IsPlaying(id));
    }

    CTempFolder Folder;
    CWorkingFolder Cwd{Folder.Path()};
    double Now = 1000.0;
    lv::core::CTimeSystem Clock{[this] { return Now; }};
    CRecordingVoicePool Pool;
    lv::sound::CAudioManager Audio{Clock, &Pool};
    std::unique_ptr<qe::CQuest> Quest;
};

} // namespace levelmediatest
