#include "game/play/MinigameTestSupport.h"
#include "graphics/LogCapture.h"

#include "content/SaveGameWriter.h"
#include "core/Checksum.h"
#include "game/hud/Hud.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/MinigameManager.h"
#include "game/play/SceneStack.h"
#include "platform/AtomicFile.h"
#include "platform/AtomicFileWriter.h"
#include "platform/ChildProcess.h"
#include "qe/ByteBuffer.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

using gamewindowtest::GameWindowFixture;
using lv::content::ESaveGameDamage;
using lv::content::SSaveGame;

namespace {

std::string ReadSaveText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteSaveBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

s32 SaveIntAt(const std::string& bytes, size_t at)
{
    return static_cast<s32>(lv::core::ReadU32(reinterpret_cast<const u8*>(bytes.data()) + at));
}

// What one save operation writes, as bytes.
template <typename TSave> std::string SaveSectionText(s32 room, TSave&& save)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(room);
    save(buffer);
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), static_cast<size_t>(buffer.GetLength()));
}

std::string SavedDemoQuestXml()
{
    return ReadSaveText(GAME_SOURCE_FOLDER "/demo/properties/quest.xml");
}

// A quest of one scene "CLOWN" (its start scene) and a hall.
std::string SavedClownQuestXml()
{
    return R"(<?xml version="1.0"?><quest_data><Structure><quest id="circus">
<scene id="CLOWN" guid="71" flags="1" size="1366 768" work_area="0 0 1366 768"/>
<scene id="hall" guid="72" size="1366 768" work_area="0 0 1366 768"/>
</quest></Structure><scene_content guid="71"><objects/></scene_content>
<scene_content guid="72"><objects/></scene_content></quest_data>)";
}

class SavedGame : public GameWindowFixture
{
protected:
    // The running window's state as the writer's sections.
    SSaveGame Sections()
    {
        SSaveGame save;
        qe::CQuest& quest = *Window->GetQuest();
        save.quest = quest.GetName().GetText();
        save.scene = Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText();
        save.tutorialStep = Window->GetTutorialStep();
        save.questState = SaveSectionText(quest.GetStateSize(), [&](qe::CByteBuffer& b) { quest.Save(b); });
        save.hudState = SaveSectionText(Window->GetHud().GetSaveSize(), [&](qe::CByteBuffer& b) { Window->GetHud().Save(b); });
        save.hostState = SaveSectionText(13204, [&](qe::CByteBuffer& b) { Window->GetMinigameHost().Save(b); });
        save.ambientState = SaveSectionText(25504, [&](qe::CByteBuffer& b) { Window->GetBackgroundSounds().Save(b); });
        save.hudSize = Window->GetHud().GetSaveSize();
        return save;
    }
    std::string Image() const
    {
        const qe::CByteBuffer& image = Window->GetSaveImage();
        return std::string(reinterpret_cast<const char*>(image.GetData()), static_cast<size_t>(image.GetCapacity()));
    }
    // A window in a game of the demo quest (or the given one).
    void StartDemo(const std::string& xml = SavedDemoQuestXml())
    {
        LoadQuests(xml);
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(false, false, false, false));
        Frame(16);
    }
    // A fresh window without a game, at tutorial step 5, loading the file.
    s32 LoadInFreshWindow(const std::string& path)
    {
        MakeWindow();
        Window->SetTutorialStep(5);
        return Window->LoadSaveFile(Utf8ToWide(path));
    }
};

TEST_F(SavedGame, TheImageHasItsLayoutChecksumAndZeroRestAndEachModeItsOwnFile)
{
    EXPECT_EQ(lv::core::Crc32("abc", 3), 0xCA6598D0u);
    StartDemo();
    Window->SetTutorialStep(4);
    ASSERT_TRUE(Window->SaveState());
    const SSaveGame sections = Sections();
    const std::string image = Image();
    const s32 q = Window->GetQuest()->GetStateSize();
    const s32 h = Window->GetHud().GetSaveSize();
    ASSERT_EQ(image.size(), static_cast<size_t>(216 + q + h + 13204 + 25504));
    EXPECT_EQ(SaveIntAt(image, 192), q);
    EXPECT_EQ(SaveIntAt(image, 196), h);
    EXPECT_EQ(SaveIntAt(image, 200), 13204);
    EXPECT_EQ(SaveIntAt(image, 204), 25504);
    EXPECT_EQ(SaveIntAt(image, 208), 4);
    // Byte for byte what the writer makes of the same sections, checksum and zero rest included
    // (names compared as text: a name's cached hash may or may not be there).
    const std::string written = lv::content::WriteSaveGame(sections);
    ASSERT_EQ(written.size(), image.size());
    EXPECT_STREQ(image.c_str() + 8, "demo");
    EXPECT_STREQ(image.c_str() + 96 + 8, "hall");
    const size_t checksum = lv::content::SaveGameChecksumOffset(sections);
    EXPECT_TRUE(image.compare(192, checksum - 192, written, 192, checksum - 192) == 0);
    EXPECT_TRUE(image.compare(checksum + 4, std::string::npos, written, checksum + 4) == 0);
    EXPECT_EQ(static_cast<u32>(SaveIntAt(image, checksum)), lv::core::Crc32(image.data(), checksum));
    EXPECT_EQ(image.find_first_not_of('\0', checksum + 4), std::string::npos);
    EXPECT_TRUE(game::CGameWindow::IsCompleteSaveImage(reinterpret_cast<const u8*>(image.data()), image.size()));

    Window->WriteSaveFile();
    EXPECT_TRUE(ReadSaveText(SavePathText()) == image);
    const std::string mainSave = ReadSaveText(SavePathText());
    // The other parts' quests are records 2 and 3.
    LoadQuests(gamewindowtest::QuestXml(4));
    for (const char* suffix : {"b", "c"})
    {
        MakeWindow();
        ASSERT_TRUE(Window->StartGame(true, std::string(suffix) == "c", false, false));
        Window->SetTutorialStep(2);
        ASSERT_TRUE(Window->SaveState());
        Window->WriteSaveFile();
        EXPECT_TRUE(ReadSaveText(SavePathText(suffix)) == Image()) << suffix;
        EXPECT_TRUE(ReadSaveText(SavePathText()) == mainSave) << suffix;
    }
}

TEST_F(SavedGame, TheLoadTableFromWriterMadeFiles)
{
    StartDemo();
    const SSaveGame good = Sections();
    const std::string path = SavePathText();
    struct SRow
    {
        const char* name;
        std::function<std::string()> bytes; // null: no file
        s32 expected;
    };
    const auto damaged = [&good](ESaveGameDamage damage) {
        return [&good, damage] { return lv::content::WriteDamagedSaveGame(good, damage); };
    };
    const auto changed = [&good](std::function<void(SSaveGame&)> change) {
        return [&good, change] {
            SSaveGame save = good;
            change(save);
            return lv::content::WriteSaveGame(save);
        };
    };
    const std::vector<SRow> rows = {
        {"missing", nullptr, 0},
        {"good", damaged(ESaveGameDamage::None), 2},
        {"211 bytes", damaged(ESaveGameDamage::HeaderOnly), 1},
        {"one byte short", damaged(ESaveGameDamage::OneByteShort), 1},
        {"one byte long", damaged(ESaveGameDamage::OneByteLong), 1},
        {"other H", changed([](SSaveGame& s) { s.hudSize += 4; }), 1},
        {"other M", changed([](SSaveGame& s) { s.hostSize += 4; }), 1},
        {"other A", changed([](SSaveGame& s) { s.ambientSize = 25500; }), 1},
        {"unknown quest", changed([](SSaveGame& s) { s.quest = "nobody"; }), 1},
        {"unknown scene", changed([](SSaveGame& s) { s.scene = "nowhere"; }), 1},
        {"other Q", changed([](SSaveGame& s) { s.questState += std::string(4, '\0'); }), 1},
        {"quest byte", damaged(ESaveGameDamage::QuestByte), 1},
        {"checksum byte", damaged(ESaveGameDamage::ChecksumByte), 1},
        {"rest byte", damaged(ESaveGameDamage::RestByte), 2},
        {"wrapping sizes", damaged(ESaveGameDamage::HugeSizes), 1},
        {"negative Q", damaged(ESaveGameDamage::NegativeSize), 1},
        {"garbage HUD", changed([](SSaveGame& s) { s.hudState = std::string(64, '\xFF'); }), 1},
        // The saved HUD mode 10 is pushed before the rest of the section turns out bad.
        {"HUD popup mode then garbage",
         changed([](SSaveGame& s) {
             s.hudState = s.hudState.substr(0, 8) + std::string(40, '\x7F');
             lv::core::WriteU32(reinterpret_cast<u8*>(s.hudState.data()), 10);
         }),
         1},
        {"garbage host", changed([](SSaveGame& s) { s.hostState = std::string("\x05\0\0\0", 4); }), 1},
        {"garbage ambient", changed([](SSaveGame& s) { s.ambientState = std::string("\x10\0\0\0", 4) + std::string(50, 'x'); }), 1},
    };
    for (const SRow& row : rows)
    {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(path);
        std::string bytes;
        if (row.bytes)
        {
            bytes = row.bytes();
            WriteSaveBytes(path, bytes);
        }
        CScratchLogCapture log;
        EXPECT_EQ(LoadInFreshWindow(path), row.expected);
        if (row.expected == 2)
        {
            ASSERT_NE(Window->GetQuest(), nullptr);
            EXPECT_EQ(Window->GetQuest()->GetName(), CFixedString(good.quest.c_str()));
            EXPECT_EQ(Window->GetTutorialStep(), good.tutorialStep);
            continue;
        }
        EXPECT_EQ(Window->GetQuest(), nullptr);
        EXPECT_FALSE(Window->IsStarted());
        EXPECT_EQ(Window->GetTutorialStep(), 5);
        EXPECT_EQ(Window->GetHud().GetModeDepth(), 1);
        EXPECT_EQ(Window->GetMinigameHost().GetLiveCount(), 0);
        if (row.expected == 1)
        {
            EXPECT_TRUE(log.Contains("saved game:")) << log.Text();
        }
    }
}

// Whether a previous save may become the backup: its declared sizes are added in 64 bits and
// a negative one refuses the file, so neither a wrapping sum nor a size below zero passes.
TEST_F(SavedGame, OnlyACompleteSaveCountsAsOneForTheBackup)
{
    StartDemo();
    const SSaveGame save = Sections();
    const struct
    {
        ESaveGameDamage damage;
        bool complete;
    } rows[] = {{ESaveGameDamage::None, true},           {ESaveGameDamage::RestByte, true},
                {ESaveGameDamage::HugeSizes, false},     {ESaveGameDamage::NegativeSize, false},
                {ESaveGameDamage::ChecksumByte, false},  {ESaveGameDamage::OneByteShort, false},
                {ESaveGameDamage::HeaderOnly, false}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(static_cast<int>(row.damage));
        const std::string bytes = lv::content::WriteDamagedSaveGame(save, row.damage);
        EXPECT_EQ(game::CGameWindow::IsCompleteSaveImage(reinterpret_cast<const u8*>(bytes.data()), bytes.size()),
                  row.complete);
    }
}

TEST_F(SavedGame, AfterALoadTheTutorialStepIsAdjustedAndTheButtonsPlaced)
{
    StartDemo();
    const std::string path = SavePathText();
    const struct
    {
        s32 saved, loaded;
    } steps[] = {{1, 2}, {3, 4}, {8, 9}, {7, 6}, {12, 9}, {13, 9}, {15, 9}, {16, 9}, {14, -1}, {5, 5}, {-1, -1}, {0, 0}};
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.saved);
        SSaveGame save = Sections();
        save.tutorialStep = step.saved;
        WriteSaveBytes(path, lv::content::WriteSaveGame(save));
        ASSERT_EQ(LoadInFreshWindow(path), 2);
        EXPECT_EQ(Window->GetTutorialStep(), step.loaded);
        EXPECT_EQ(Shown("skip_tutorial"), step.loaded >= 0);
        if (step.loaded >= 0)
        {
            EXPECT_EQ(Child("skip_tutorial")->GetPosition().X, 1366.0f - 120.0f);
        }
        EXPECT_FALSE(Shown("skip_btn"));
        EXPECT_FALSE(Shown("back_button"));
        EXPECT_STREQ(Window->GetSavedSceneName().GetText(), save.scene.c_str());
        EXPECT_TRUE(Window->IsStarted());
        EXPECT_FALSE(Window->IsSaveImageReady());
        EXPECT_EQ(Window->GetSaveImage().GetCapacity(), Window->GetSaveImageSize());
    }
    // Hard difficulty plays without the tutorial.
    game::CProfileManager::Instance()->GetCurrentValues()->Difficulty = 2;
    SSaveGame save = Sections();
    save.tutorialStep = 5;
    WriteSaveBytes(path, lv::content::WriteSaveGame(save));
    ASSERT_EQ(LoadInFreshWindow(path), 2);
    EXPECT_EQ(Window->GetTutorialStep(), -1);
    EXPECT_FALSE(Shown("skip_tutorial"));
}

TEST_F(SavedGame, ASaveIntoTheClownSceneComesBackInNormalHudModeAndTheSavedSceneIsMain)
{
    StartDemo(SavedClownQuestXml());
    ASSERT_STREQ(Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText(), "CLOWN");
    SSaveGame save = Sections();
    // Saved while the HUD showed the message popup (mode 10).
    lv::core::WriteU32(reinterpret_cast<u8*>(save.hudState.data()), 10);
    WriteSaveBytes(SavePathText(), lv::content::WriteSaveGame(save));
    ASSERT_EQ(LoadInFreshWindow(SavePathText()), 2);
    EXPECT_EQ(Window->GetHud().GetMode(), game::CHud::kModeNormal);
    EXPECT_EQ(Window->GetHud().GetModeDepth(), 3);
    EXPECT_STREQ(Window->GetSavedSceneName().GetText(), "CLOWN");

    save.scene = "hall";
    WriteSaveBytes(SavePathText(), lv::content::WriteSaveGame(save));
    ASSERT_EQ(LoadInFreshWindow(SavePathText()), 2);
    EXPECT_EQ(Window->GetHud().GetMode(), game::CHud::kModePopup);
    EXPECT_STREQ(Window->GetSceneStack().GetMainView()->GetScene()->GetName().GetText(), "hall");
    EXPECT_STREQ(Window->GetSavedSceneName().GetText(), "hall");
}

TEST_F(SavedGame, SaveStateRefusesWithoutAQuestWhilePausedAndAfterTheLevelEnded)
{
    MakeWindow();
    EXPECT_FALSE(Window->SaveState());
    EXPECT_FALSE(Window->IsSaveImageReady());

    Window->StartGame(false, false, false, false);
    Frame(16);
    ASSERT_TRUE(Window->SaveState());
    EXPECT_TRUE(Click(320, 120)); // the chest's block sleeps 20 s
    ASSERT_TRUE(Window->GetQuest()->IsScriptPaused());
    const std::string good = Image();
    Window->SetTutorialStep(3);
    EXPECT_FALSE(Window->SaveState());
    EXPECT_TRUE(Image() == good);
    Window->WriteSaveFile();
    EXPECT_TRUE(ReadSaveText(SavePathText()) == good);

    for (int i = 0; i < 300 && Window->GetQuest()->IsScriptPaused(); ++i)
        Frame(100);
    ASSERT_TRUE(Window->SaveState());
    const std::string last = Image();
    EXPECT_TRUE(last != good);
    Window->SetLevelCompleted();
    Window->SetTutorialStep(4);
    EXPECT_FALSE(Window->SaveState());
    EXPECT_TRUE(Image() == last);
}

TEST_F(SavedGame, ALevelStartWritesNothingUntilItsFirstImage)
{
    MakeWindow();
    Window->StartGame(false, false, false, false);
    ASSERT_TRUE(Window->SaveState());
    Window->WriteSaveFile();
    const std::string first = ReadSaveText(SavePathText());
    ASSERT_TRUE(Window->StartQuestByIndex(1));
    Window->WriteSaveFile();
    EXPECT_TRUE(ReadSaveText(SavePathText()) == first);
}

// A minigame whose state is as long as a test wants.
s32 g_FatBytes = 8;

class CFatMinigame : public game::CMinigame
{
public:
    void Load() override {}
    void SaveState(qe::CBinaryWriter& writer) override
    {
        for (s32 i = 0; i < g_FatBytes; ++i)
            writer.WriteByte(i);
    }
};

class SavedGameHost : public minigametest::MinigameFixture
{
protected:
    void SetUp() override
    {
        MinigameFixture::SetUp();
        qe::CMinigameFactory::Instance().Register("fat", [](const char*) -> qe::CMinigameBase* {
            return new CFatMinigame();
        });
        g_FatBytes = 8;
    }
};

TEST_F(SavedGameHost, AHostSectionOverItsRoomIsRefusedAndTheLastImageStays)
{
    Start(minigametest::Block("d1", "fat", {}));
    ASSERT_EQ(Host().GetLiveCount(), 1);
    ASSERT_TRUE(Window->SaveState());
    const qe::CByteBuffer& image = Window->GetSaveImage();
    const std::string good(reinterpret_cast<const char*>(image.GetData()), static_cast<size_t>(image.GetCapacity()));
    // Still fits the whole image, but not the host's 13204 bytes.
    g_FatBytes = 13204;
    CScratchLogCapture log;
    EXPECT_FALSE(Window->SaveState());
    EXPECT_TRUE(log.Contains("minigame host section does not fit")) << log.Text();
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(image.GetData()), static_cast<size_t>(image.GetCapacity())) == good);
    // Past the whole image: the stream's overflow.
    g_FatBytes = 60000;
    EXPECT_FALSE(Window->SaveState());
    g_FatBytes = 8;
    EXPECT_TRUE(Window->SaveState());
}

TEST_F(SavedGameHost, MinigameStatesComeBackThroughTheFile)
{
    Start(minigametest::Probe("d1", "a") + minigametest::Probe("d2", "b"));
    ASSERT_EQ(Host().GetLiveCount(), 2);
    Live(0)->State = 41;
    Live(1)->State = 42;
    ASSERT_TRUE(Window->SaveState());
    Window->WriteSaveFile();
    MakeWindow();
    ASSERT_EQ(Window->LoadProfileSave(), 2);
    ASSERT_EQ(Host().GetLiveCount(), 2);
    EXPECT_EQ(Live(0)->State, 41);
    EXPECT_EQ(Live(1)->State, 42);
}

class SavedGameWriting : public SavedGame
{
protected:
    void TearDown() override
    {
        lv::platform::SetAtomicWriteFailAfter(-1);
        lv::platform::SetAtomicWriteFault(lv::platform::EAtomicWriteFault::None);
        SavedGame::TearDown();
    }
    // A new image of a changed game.
    void Change(s32 step)
    {
        Window->SetTutorialStep(step);
        ASSERT_TRUE(Window->SaveState());
    }
};

TEST_F(SavedGameWriting, AFailingWriteLeavesTheSaveAndItsBackupAsTheyWere)
{
    StartDemo();
    Change(1);
    Window->WriteSaveFile();
    const std::string first = ReadSaveText(SavePathText());
    EXPECT_FALSE(std::filesystem::exists(SavePathText(".bp")));
    Change(2);
    Window->WriteSaveFile();
    const std::string second = ReadSaveText(SavePathText());
    ASSERT_TRUE(second != first);
    EXPECT_TRUE(ReadSaveText(SavePathText(".bp")) == first);

    const s64 size = Window->GetSaveImage().GetCapacity();
    const struct
    {
        const char* name;
        s64 failAfter;
        lv::platform::EAtomicWriteFault fault;
    } faults[] = {
        {"header", 100, lv::platform::EAtomicWriteFault::None},
        {"middle", size / 2, lv::platform::EAtomicWriteFault::None},
        {"fsync", -1, lv::platform::EAtomicWriteFault::Sync},
        {"rename", -1, lv::platform::EAtomicWriteFault::Rename},
    };
    for (const auto& fault : faults)
    {
        SCOPED_TRACE(fault.name);
        Change(3);
        lv::platform::SetAtomicWriteFailAfter(fault.failAfter);
        lv::platform::SetAtomicWriteFault(fault.fault);
        CScratchLogCapture log;
        Window->WriteSaveFile();
        EXPECT_TRUE(log.Contains("][3]: saved game:")) << log.Text();
        lv::platform::SetAtomicWriteFailAfter(-1);
        lv::platform::SetAtomicWriteFault(lv::platform::EAtomicWriteFault::None);
        EXPECT_TRUE(ReadSaveText(SavePathText()) == second);
        EXPECT_TRUE(ReadSaveText(SavePathText(".bp")) == first);
        // No temporary file is left behind.
        s32 files = 0;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(SavePathText()).parent_path()))
            files += entry.path().filename().string().rfind(".lvtmp", 0) == 0 ? 1 : 0;
        EXPECT_EQ(files, 0);
        MakeWindow();
        EXPECT_EQ(Window->LoadProfileSave(), 2);
        EXPECT_EQ(Window->GetTutorialStep(), 2);
    }
}

TEST_F(SavedGameWriting, ADamagedSaveNeverBecomesTheBackup)
{
    StartDemo();
    Change(1);
    Window->WriteSaveFile();
    Change(2);
    Window->WriteSaveFile();
    const std::string backup = ReadSaveText(SavePathText(".bp"));
    WriteSaveBytes(SavePathText(), "torn");
    Change(3);
    Window->WriteSaveFile();
    EXPECT_TRUE(ReadSaveText(SavePathText(".bp")) == backup);
    WriteSaveBytes(SavePathText(), "torn");
    EXPECT_FALSE(Window->BackupSaveFile());
    EXPECT_TRUE(ReadSaveText(SavePathText(".bp")) == backup);
    Change(4);
    Window->WriteSaveFile();
    EXPECT_TRUE(Window->BackupSaveFile());
    EXPECT_TRUE(ReadSaveText(SavePathText(".bp")) == ReadSaveText(SavePathText()));
}

TEST_F(SavedGameWriting, StartGameRestoresAGoodBackupAndGivesUpWhenBothAreDamaged)
{
    StartDemo();
    Change(1);
    Window->WriteSaveFile();
    Change(2);
    Window->WriteSaveFile();
    const std::string backup = ReadSaveText(SavePathText(".bp"));
    std::string torn = ReadSaveText(SavePathText());
    torn[300] ^= 1;
    WriteSaveBytes(SavePathText(), torn);

    MakeWindow();
    EXPECT_TRUE(Window->StartGame(false, false, false, false));
    EXPECT_EQ(Window->GetTutorialStep(), 2); // step 1 continues at 2
    EXPECT_TRUE(ReadSaveText(SavePathText()) == backup);

    game::SProfileValues* values = game::CProfileManager::Instance()->GetCurrentValues();
    for (u16& value : values->Achievements)
        value = 1001;
    WriteSaveBytes(SavePathText(), torn);
    WriteSaveBytes(SavePathText(".bp"), torn.substr(0, 500));
    MakeWindow();
    EXPECT_FALSE(Window->StartGame(false, false, false, false));
    for (u16 value : values->Achievements)
        EXPECT_EQ(value, 0);
}

struct SSaveLoop
{
    game::CGameWindow* window;
};

s32 WriteSavesForever(void* context)
{
    game::CGameWindow& window = *static_cast<SSaveLoop*>(context)->window;
    for (s32 i = 0;; ++i)
    {
        window.SetTutorialStep(i % 6);
        window.SaveState();
        window.WriteSaveFile();
    }
    return 0;
}

TEST_F(SavedGameWriting, AWriterKilledAtAnyMomentLeavesASaveOrABackupThatLoads)
{
    StartDemo();
    SSaveLoop loop{Window.get()};
    std::mt19937 random(42);
    const std::string path = SavePathText();
    for (s32 kill = 0; kill < 20; ++kill)
    {
        SCOPED_TRACE(kill);
        lv::platform::CChildProcess child;
        ASSERT_TRUE(child.Start(&WriteSavesForever, &loop));
        // The first kill waits for a first save; later ones strike at any point.
        for (s32 i = 0; i < 2000 && !std::filesystem::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<s32>(0, 30000)(random)));
        child.Kill();
        lv::platform::SChildExit exit;
        ASSERT_TRUE(child.Wait(10000, exit));
        EXPECT_TRUE(exit.Signalled);

        MakeWindow();
        const s32 result = Window->LoadProfileSave();
        if (result != 2)
        {
            EXPECT_EQ(Window->LoadSaveFile(Utf8ToWide(path + ".bp")), 2);
        }
        loop.window = Window.get();
        ASSERT_TRUE(Window->SaveState());
    }
}

} // namespace
