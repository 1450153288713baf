// The cutscene player of a game window on WebM parts written at test time: parts and their
// skipping, the skip area and its cursor, opaque and translucent players, sounds, the reports of
// broken definitions, and the save at every end.
#include "GameWindowTestSupport.h"

#include "content/WebMWriter.h"
#include "game/play/CutscenePlayer.h"
#include "graphics/LogCapture.h"
#include "graphics/Video.h"
#include "gui/CursorManager.h"

namespace {

class CutscenePlayer : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        DeclareSounds(R"(<sound id="voice" file="voice.ogg"/>)", {"voice.ogg"});
        // Ten frames of 40 ms: 400 ms a part.
        WriteVideo("a.webm", 40);
        WriteVideo("b.webm", 90);
        WriteVideo("c.webm", 140);
        WriteVideo("c_alpha.webm", 200);
    }

    static void WriteVideo(const std::string& name, u8 luma)
    {
        lv::content::CWebMWriterOptions options;
        options.width = 64;
        options.height = 48;
        lv::content::CWebMWriter writer(options);
        for (u32 k = 0; k < 10; ++k)
            ASSERT_TRUE(writer.AddFrame(lv::content::CYuvFrame(64, 48, luma)));
        ASSERT_TRUE(writer.WriteFile(std::filesystem::current_path() / name));
    }

    // The definitions must be there before the window (and its player) is made.
    void Cutscenes(const std::string& body)
    {
        Folder.Write("program/properties/cutscenes.xml", "<?xml version=\"1.0\"?><cutscenes>" + body + "</cutscenes>");
    }
    game::CCutscenePlayer& Start()
    {
        MakeWindow();
        Window->StartGame(false, false, false, false);
        return Window->GetCutscenePlayer();
    }
    // Frames of 100 ms until the part changes or the cutscene ends (at most 20).
    void PlayOutPart(game::CCutscenePlayer& player)
    {
        const s32 part = player.GetCurrentPart();
        for (int i = 0; i < 20 && player.GetCurrentPart() == part; ++i)
            Frame(100);
    }
    CPoint2i InSkipArea(s32 dx, s32 dy) const
    {
        const CIntRect& area = Window->GetCutscenePlayer().GetSkipArea();
        return CPoint2i(area.X + dx, area.Y + dy);
    }
};

TEST_F(CutscenePlayer, TheSkipAreaIsTheTopRightCorner)
{
    Cutscenes("");
    game::CCutscenePlayer& player = Start();
    const s32 width = game::CHud::GetScreenSize().X;
    EXPECT_EQ(player.GetSkipArea(), CIntRect(width - 260, 4, 260, 60));
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(player.OnClick(InSkipArea(1, 1)));
    EXPECT_FALSE(player.OnMouseMove(InSkipArea(1, 1)));
}

TEST_F(CutscenePlayer, OnlyTheSkippablePartEndsOnAClickInTheSkipAreaAndEveryClickIsConsumed)
{
    Cutscenes(R"(<cutscene id="intro"><video path="a.webm"/><note/><video path="b.webm" enable_skip="true"/>)"
              R"(<video path="c.webm"/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    const s32 saves = Window->GetSaveRequestCount();
    ASSERT_TRUE(player.Play("intro"));
    EXPECT_EQ(player.GetPartCount(), 3);
    EXPECT_EQ(player.GetCurrentPart(), 0);
    EXPECT_TRUE(Click(InSkipArea(0, 0).X, InSkipArea(0, 0).Y));
    EXPECT_EQ(player.GetCurrentPart(), 0);
    EXPECT_TRUE(Click(20, 300));

    PlayOutPart(player);
    ASSERT_EQ(player.GetCurrentPart(), 1);
    EXPECT_TRUE(player.IsCurrentPartSkippable());
    // Just outside the area: consumed, nothing else.
    EXPECT_TRUE(Click(InSkipArea(-1, 0).X, InSkipArea(-1, 0).Y));
    EXPECT_TRUE(Click(InSkipArea(0, 60).X, InSkipArea(0, 60).Y));
    EXPECT_EQ(player.GetCurrentPart(), 1);
    EXPECT_TRUE(Click(InSkipArea(259, 59).X, InSkipArea(259, 59).Y));
    EXPECT_EQ(player.GetCurrentPart(), 2);
    EXPECT_EQ(player.GetCurrentVideo().GetPosition(), 0u);

    EXPECT_TRUE(Click(InSkipArea(10, 10).X, InSkipArea(10, 10).Y));
    EXPECT_EQ(player.GetCurrentPart(), 2);
    EXPECT_EQ(Window->GetSaveRequestCount(), saves);
    PlayOutPart(player);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(player.GetCurrentPart(), -1);
    EXPECT_EQ(player.GetPartCount(), 0);
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
}

TEST_F(CutscenePlayer, SkippingTheLastPartEndsTheCutsceneAndSaves)
{
    Cutscenes(R"(<cutscene id="end"><video path="a.webm" enable_skip="true"/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    const s32 saves = Window->GetSaveRequestCount();
    ASSERT_TRUE(player.Play("end"));
    EXPECT_TRUE(player.OnClick(InSkipArea(5, 5)));
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_FALSE(Window->IsCutscenePlaying());
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
    // Playing again while one plays stops (and saves) first.
    ASSERT_TRUE(player.Play("end"));
    ASSERT_TRUE(player.Play("end"));
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 2);
}

TEST_F(CutscenePlayer, TheHandShowsOnlyOverTheSkipAreaOfSkippableParts)
{
    Cutscenes(R"(<cutscene id="intro"><video path="a.webm"/><video path="b.webm" enable_skip="true"/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    lv::gui::CCursorManager& cursors = lv::gui::CCursorManager::Instance();
    ASSERT_TRUE(player.Play("intro"));
    EXPECT_TRUE(Window->OnMouseMove(InSkipArea(5, 5), 0, 0));
    EXPECT_EQ(cursors.GetCursor(), 100);
    PlayOutPart(player);
    ASSERT_EQ(player.GetCurrentPart(), 1);
    struct CCase
    {
        s32 dx, dy, cursor;
    };
    for (const CCase& c : {CCase{0, 0, 101}, CCase{259, 59, 101}, CCase{-1, 5, 100}, CCase{5, 60, 100},
                           CCase{5, -1, 100}, CCase{120, 30, 101}})
    {
        EXPECT_TRUE(Window->OnMouseMove(InSkipArea(c.dx, c.dy), 0, 0));
        EXPECT_EQ(cursors.GetCursor(), c.cursor) << c.dx << ", " << c.dy;
    }
}

TEST_F(CutscenePlayer, APartWithAnAlphaVideoPlaysInTheTranslucentPlayer)
{
    Cutscenes(R"(<cutscene id="mix"><video path="a.webm" path_alpha=""/><video path="c.webm" path_alpha="c_alpha.webm"/>)"
              R"(<video path="b.webm"/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    ASSERT_TRUE(player.Play("mix"));
    EXPECT_FALSE(player.IsTranslucent());
    EXPECT_EQ(player.GetCurrentVideo().GetDuration(), 400);
    PlayOutPart(player);
    ASSERT_EQ(player.GetCurrentPart(), 1);
    EXPECT_TRUE(player.IsTranslucent());
    EXPECT_EQ(player.GetCurrentVideo().GetDuration(), 400);
    Frame(100);
    EXPECT_EQ(player.GetCurrentVideo().GetPosition(), 100u);
    PlayOutPart(player);
    ASSERT_EQ(player.GetCurrentPart(), 2);
    EXPECT_FALSE(player.IsTranslucent());
}

TEST_F(CutscenePlayer, APartPlaysItsSoundUntilItEndsAndAnEmptySoundPlaysNothing)
{
    Cutscenes(R"(<cutscene id="talk"><video path="a.webm" sound="voice"/><video path="b.webm" sound=""/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    CScratchLogCapture log;
    ASSERT_TRUE(player.Play("talk"));
    const s32 voice = player.GetSoundId();
    EXPECT_TRUE(voice > 0 && Audio.IsPlaying(voice));
    PlayOutPart(player);
    ASSERT_EQ(player.GetCurrentPart(), 1);
    EXPECT_FALSE(Audio.IsPlaying(voice));
    EXPECT_EQ(player.GetSoundId(), 0);
    EXPECT_EQ(Audio.GetPlayingCount(), 0);
    EXPECT_FALSE(log.Contains("Error")) << log.Text();
}

TEST_F(CutscenePlayer, BrokenDefinitionsAreReported)
{
    Cutscenes(R"(<cutscene id="empty"><sound path="a.webm"/></cutscene>)"
              R"(<cutscene id="lost"><video path="v.webm"/><video path="c.webm" path_alpha="gone.webm"/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    CScratchLogCapture log;
    EXPECT_FALSE(player.Play("x"));
    EXPECT_TRUE(log.Contains("Can't find 'x' cutscene in properties/cutscenes.xml.")) << log.Text();
    EXPECT_FALSE(player.Play("empty"));
    EXPECT_TRUE(log.Contains("Cutscene 'empty' contains no video definitions. See properties\\cutscenes.xml."))
        << log.Text();
    EXPECT_FALSE(player.IsPlaying());

    // A part whose video is missing still starts and ends at the next update.
    const s32 saves = Window->GetSaveRequestCount();
    ASSERT_TRUE(player.Play("lost"));
    EXPECT_TRUE(log.Contains("Can't load video 'v.webm'.")) << log.Text();
    EXPECT_TRUE(player.IsPlaying());
    Frame(16);
    EXPECT_EQ(player.GetCurrentPart(), 1);
    EXPECT_TRUE(log.Contains("Can't load video with alpha video: 'c.webm' mask: 'gone.webm'.")) << log.Text();
    Frame(16);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(Window->GetSaveRequestCount(), saves + 1);
}

TEST_F(CutscenePlayer, AMissingDefinitionsFileReportsEveryCutsceneMissing)
{
    game::CCutscenePlayer& player = Start();
    CScratchLogCapture log;
    EXPECT_FALSE(player.Play("intro"));
    EXPECT_TRUE(log.Contains("Can't find 'intro' cutscene in properties/cutscenes.xml.")) << log.Text();
}

TEST_F(CutscenePlayer, MoreThanSevenPartsPlayTheFirstSevenWithAReport)
{
    std::string parts;
    for (int i = 0; i < 8; ++i)
        parts += i == 7 ? R"(<video path="c.webm" sound="voice"/>)" : R"(<video path="a.webm"/>)";
    Cutscenes(R"(<cutscene id="long">)" + parts + "</cutscene>");
    game::CCutscenePlayer& player = Start();
    CScratchLogCapture log;
    ASSERT_TRUE(player.Play("long"));
    EXPECT_TRUE(log.Contains("Cutscene 'long' has more than 7 video parts.")) << log.Text();
    EXPECT_EQ(player.GetPartCount(), game::CCutscenePlayer::kMaxParts);
    s32 seen = 1;
    while (player.IsPlaying() && seen < 20)
    {
        PlayOutPart(player);
        ++seen;
    }
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(seen, 8);
    // The eighth part's sound never played.
    EXPECT_EQ(Audio.GetPlayingCount(), 0);
}

TEST_F(CutscenePlayer, TheGameWindowRoutesClicksToTheCutsceneAndStopsItOnRequest)
{
    Cutscenes(R"(<cutscene id="intro"><video path="a.webm"/></cutscene>)");
    game::CCutscenePlayer& player = Start();
    Window->PlayCutscene("intro");
    ASSERT_TRUE(Window->IsCutscenePlaying());
    // The chest's block would pause the scripts: the cutscene takes the click instead.
    EXPECT_TRUE(Click(320, 120));
    EXPECT_FALSE(Window->GetQuest()->IsScriptPaused());
    const s32 stops = player.GetStopCount();
    player.Stop();
    EXPECT_EQ(player.GetStopCount(), stops + 1);
    EXPECT_FALSE(Window->IsCutscenePlaying());
}

} // namespace
