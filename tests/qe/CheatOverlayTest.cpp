// The developer overlay: markers kept from the readiness reports, hover tooltips in
// "cheatfont", clicks that fire blocks, and the scene's pass-through while it is off.
#include "ScriptBlockFixture.h"
#include "graphics/FontTestSupport.h"
#include "graphics/TextRender.h"
#include "qe/CheatOverlay.h"
#include "qe/HintIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qetest;

namespace {

// A minigame whose developer marker sits on the object named by its "cheat" argument.
class CCheatGame : public qe::CMinigameBase
{
public:
    void Load() override {}
    qe::CSceneObject* GetHintObject(const char*) override { return nullptr; }
    void Skip() override
    {
        ++skips;
        Complete();
    }
    qe::CSceneObject* GetCheatObject() override
    {
        const char* name = FindParam("cheat");
        return name && GetScene() ? GetScene()->FindObject(name) : nullptr;
    }
    s32 skips = 0;
};

qe::CMinigameBase* MakeCheatGame(const char*)
{
    g_Minigames.push_back(std::make_unique<CCheatGame>());
    return g_Minigames.back().get();
}

const CCheat* MarkerOf(const CCheatOverlay::CMarkers& markers, const CBlockBase* block)
{
    for (const auto& marker : markers)
        if (marker->GetBlock() == block)
            return marker.get();
    return nullptr;
}

CPoint2i CentreOf(const CCheat* marker)
{
    return {marker->GetRect().X + 12, marker->GetRect().Y + 12};
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class CheatOverlayTest : public CBlockTestBase
{
protected:
    void SetUp() override
    {
        CBlockTestBase::SetUp();
        qe::CMinigameFactory::Instance().Register("cheater", MakeCheatGame);
        CCheatOverlay::SetFontManager(&m_Fonts.Manager());
    }
    void TearDown() override
    {
        CCheatOverlay::SetFontManager(nullptr);
        CBlockTestBase::TearDown();
    }
    // "cheatfont" from the test font (letters 5 wide, 10 high).
    void LoadCheatFont()
    {
        m_Fonts.Write("fonts/c.xml", TestFontXml());
        m_Fonts.Load("<?xml version=\"1.0\"?><fonts><font id=\"cheatfont\" image=\"fnt\" file=\"fonts\\c.xml\"/></fonts>");
        ASSERT_NE(m_Fonts.Manager().FindFont("cheatfont"), nullptr);
    }

    CFontFixture m_Fonts;
};

// Objects 20 apart: door at x 0, box 20, chest 40, lamp 60.
SBlockScene Spread(const char* name, u64 guid, std::vector<SScriptBlock> blocks)
{
    return SBlockScene{name, guid, std::move(blocks), {"door", "box", "chest", "lamp"}, true};
}

} // namespace

TEST_F(CheatOverlayTest, MarkersFollowReadinessAndSpreadOnASharedObject)
{
    SScriptBlock held = ScriptAction(1, "held", "box");
    held.correct = {SScriptCommand::Named("hold")};
    SScriptBlock later = ScriptAction(2, "later", "box", "key");
    later.conditionInputs = {1};
    CBlockQuest quest({Spread("s", 1, {held, later, ScriptDoor(3, "door to t", "door", "t"), ScriptAction(4, "lost", "nothing")}),
                       {"t", 2, {}}});
    CScratchLogCapture log;
    quest.Quest().UpdateScripts();
    const CCheatOverlay& overlay = quest.Set(0).GetCheatOverlay();
    EXPECT_FALSE(overlay.IsEnabled());
    const CCheat* first = MarkerOf(overlay.GetReadyMarkers(), quest.Get("held"));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsReady());
    const CVector2 box = quest.Object("box")->GetPosition();
    EXPECT_EQ(first->GetRect(), CIntRect(static_cast<s32>(box.X - 12), static_cast<s32>(box.Y - 12), 25, 25));
    // Not ready yet: reported at the refresh, red, and 27 to the left of the first.
    const CCheat* second = MarkerOf(overlay.GetOtherMarkers(), quest.Get("later"));
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->IsReady());
    EXPECT_EQ(second->GetRect(), CIntRect(first->GetRect().X - 27, first->GetRect().Y, 25, 25));
    // A door is ready.
    EXPECT_NE(MarkerOf(overlay.GetReadyMarkers(), quest.Get("door to t")), nullptr);
    // Without its object: reported, at the origin.
    const CCheat* lost = MarkerOf(overlay.GetReadyMarkers(), quest.Get("lost"));
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->GetRect(), CIntRect(0, 0, 25, 25));
    EXPECT_TRUE(log.Contains("CCheat ctr"));
    EXPECT_TRUE(log.Contains("Can't find scene object in block 'lost'!"));

    // Fired through its object: red while it runs and once it is done.
    EXPECT_TRUE(quest.Use("box"));
    EXPECT_EQ(MarkerOf(overlay.GetReadyMarkers(), quest.Get("held")), nullptr);
    EXPECT_NE(MarkerOf(overlay.GetOtherMarkers(), quest.Get("held")), nullptr);
    g_HoldRelease = true;
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Get<CActionBlock>("held")->IsDone());
    EXPECT_NE(MarkerOf(overlay.GetOtherMarkers(), quest.Get("held")), nullptr);
    // Its listener is ready now: white, one marker per block.
    EXPECT_NE(MarkerOf(overlay.GetReadyMarkers(), quest.Get("later")), nullptr);
    EXPECT_EQ(MarkerOf(overlay.GetOtherMarkers(), quest.Get("later")), nullptr);
    EXPECT_EQ(overlay.GetReadyMarkers().size() + overlay.GetOtherMarkers().size(), 4u);
}

TEST_F(CheatOverlayTest, ClickingMarkersFiresTheirBlocks)
{
    SScriptBlock waiting = ScriptAction(1, "waiting", "box");
    waiting.conditionInputs = {9};
    SScriptBlock game = ScriptBlock(EScriptBlockKind::Minigame, 2, "game");
    game.minigame = "cheater";
    game.arguments = {{"cheat", "lamp"}};
    SScriptBlock after = ScriptBlock(EScriptBlockKind::AutoAction, 3, "after");
    after.unblockInputs = {1};
    after.commands = ScriptRec("after");
    CBlockQuest quest({Spread("s", 1, {waiting, game, after, ScriptAction(9, "never", "chest", "nothing")})});
    quest.Quest().UpdateScripts();
    qe::CScene* scene = quest.Set(0).GetScene();
    const CCheatOverlay& overlay = quest.Set(0).GetCheatOverlay();
    const CCheat* red = MarkerOf(overlay.GetOtherMarkers(), quest.Get("waiting"));
    ASSERT_NE(red, nullptr);
    const CPoint2i redAt = CentreOf(red);

    // Off: the click is not the overlay's.
    EXPECT_FALSE(scene->HandleCheatClick(redAt));
    EXPECT_TRUE(g_BlockRuns.empty());

    quest.Quest().SetCheatMode(true);
    EXPECT_TRUE(overlay.IsEnabled());
    EXPECT_FALSE(scene->HandleCheatClick({90, 90}));
    EXPECT_TRUE(scene->HandleCheatClick(redAt));
    EXPECT_EQ(g_BlockRuns, (std::vector<std::string>{"waiting", "after"}));
    EXPECT_TRUE(quest.Get<CActionBlock>("waiting")->IsDone());

    // The minigame's marker, red, on the object it names: a click skips the minigame.
    const CCheat* puzzle = MarkerOf(overlay.GetOtherMarkers(), quest.Get("game"));
    ASSERT_NE(puzzle, nullptr);
    EXPECT_EQ(puzzle->GetObject(), quest.Object("lamp"));
    ASSERT_EQ(g_Minigames.size(), 1u);
    EXPECT_TRUE(scene->HandleCheatClick(CentreOf(puzzle)));
    EXPECT_EQ(static_cast<CCheatGame*>(g_Minigames[0].get())->skips, 1);
    EXPECT_EQ(quest.Get("game")->GetFlags() & CMinigameBlock::kCompleted, CMinigameBlock::kCompleted);
    quest.Quest().UpdateScripts();
    EXPECT_TRUE(quest.Get<CMinigameBlock>("game")->IsDone());
    EXPECT_EQ(MarkerOf(overlay.GetOtherMarkers(), quest.Get("game")), nullptr);

    quest.Quest().SetCheatMode(false);
    EXPECT_FALSE(overlay.IsEnabled());
}

TEST_F(CheatOverlayTest, ClickingAWhiteMarkerWithdrawsTheBlocksReadiness)
{
    CBlockQuest quest({Spread("s", 1, {ScriptAction(1, "ready", "box")})});
    quest.Quest().UpdateScripts();
    quest.Quest().SetCheatMode(true);
    const CCheatOverlay& overlay = quest.Set(0).GetCheatOverlay();
    const CCheat* white = MarkerOf(overlay.GetReadyMarkers(), quest.Get("ready"));
    ASSERT_NE(white, nullptr);
    EXPECT_TRUE(quest.Set(0).GetScene()->HandleCheatClick(CentreOf(white)));
    EXPECT_TRUE(quest.Get<CActionBlock>("ready")->IsDone());
    EXPECT_FALSE(IsActionReady(quest.Set(0), quest.Get("ready")));
    EXPECT_EQ(quest.Set(0).GetScene()->FindHint("", false), nullptr);
    EXPECT_NE(MarkerOf(overlay.GetOtherMarkers(), quest.Get("ready")), nullptr);
    EXPECT_TRUE(overlay.GetReadyMarkers().empty());
}

TEST_F(CheatOverlayTest, HoverPlacesTheTooltipAboveAndLeftWhereItFits)
{
    LoadCheatFont();
    // The door's block waits (a red marker, walked before the white ones).
    SScriptBlock waiting = ScriptAction(2, "de", "door");
    waiting.conditionInputs = {9};
    CBlockQuest quest({Spread("s", 1, {ScriptAction(1, "abc", "lamp"), waiting, ScriptAction(9, "never", "chest", "x")})});
    quest.Quest().UpdateScripts();
    qe::CScene* scene = quest.Set(0).GetScene();
    const CCheatOverlay& overlay = quest.Set(0).GetCheatOverlay();
    const CCheat* lamp = MarkerOf(overlay.GetReadyMarkers(), quest.Get("abc"));
    const CCheat* door = MarkerOf(overlay.GetOtherMarkers(), quest.Get("de"));
    ASSERT_TRUE(lamp && door);

    // Off: the pointer is classified as usual.
    EXPECT_FALSE(scene->UpdatePointer(CentreOf(lamp), ""));
    EXPECT_FALSE(lamp->IsHovered());
    EXPECT_EQ(scene->GetPointerResult(nullptr), CHintIndex::kPointerUse);

    quest.Quest().SetCheatMode(true);
    lv::graphics::CTextRender measure;
    const CIntRect box(0, 0, 1000, 100);
    CPoint2i size;
    ASSERT_TRUE(measure.MeasureText(m_Fonts.Manager().FindFont("cheatfont"), u"abc", &box, 0, 3, &size));
    ASSERT_GT(size.X, 0);
    // Far enough from the edges: moved by the text's size.
    const CPoint2i far(lamp->GetRect().X + 24, lamp->GetRect().Y + 24);
    ASSERT_GT(far.X, size.X);
    ASSERT_GT(far.Y, size.Y);
    EXPECT_TRUE(scene->UpdatePointer(far, ""));
    EXPECT_TRUE(lamp->IsHovered());
    EXPECT_EQ(lamp->GetTooltipPoint(), CPoint2i(far.X - size.X, far.Y - size.Y));
    // Near the top: only moved left.
    const CPoint2i top(far.X, size.Y);
    if (lamp->GetRect().Contains(top.X, top.Y))
    {
        EXPECT_TRUE(scene->UpdatePointer(top, ""));
        EXPECT_EQ(lamp->GetTooltipPoint(), CPoint2i(top.X - size.X, top.Y));
    }
    // Near the left edge (the door's marker sits at the origin's corner): not moved left.
    const CPoint2i left(door->GetRect().X + 1 > 0 ? door->GetRect().X + 1 : 0, door->GetRect().Y + 24);
    EXPECT_TRUE(scene->UpdatePointer(left, ""));
    EXPECT_TRUE(door->IsHovered());
    // The walk ended at the door: the lamp's tooltip is let go of all the same.
    EXPECT_FALSE(lamp->IsHovered());
    const s32 width = [&] {
        CPoint2i s;
        measure.MeasureText(m_Fonts.Manager().FindFont("cheatfont"), u"de", &box, 0, 2, &s);
        return s.X;
    }();
    EXPECT_EQ(door->GetTooltipPoint().X, left.X - width > 0 ? left.X - width : left.X);

    // Off every marker: nothing hovered, the pointer classified.
    EXPECT_FALSE(scene->UpdatePointer({45, 95}, ""));
    EXPECT_FALSE(door->IsHovered());
    EXPECT_EQ(scene->GetPointerResult(nullptr), CHintIndex::kPointerNothing);
}

TEST_F(CheatOverlayTest, WithoutCheatFontOneWarningAndMarkersStillWork)
{
    CBlockQuest quest({Spread("s", 1, {ScriptAction(1, "a", "box")})});
    quest.Quest().UpdateScripts();
    quest.Quest().SetCheatMode(true);
    qe::CScene* scene = quest.Set(0).GetScene();
    const CCheat* marker = MarkerOf(quest.Set(0).GetCheatOverlay().GetReadyMarkers(), quest.Get("a"));
    ASSERT_NE(marker, nullptr);
    CScratchLogCapture log;
    // No hover without the font: the pointer is classified instead.
    EXPECT_FALSE(scene->UpdatePointer(CentreOf(marker), ""));
    EXPECT_FALSE(scene->UpdatePointer(CentreOf(marker), ""));
    EXPECT_EQ(scene->GetPointerResult(nullptr), CHintIndex::kPointerUse);
    EXPECT_EQ(CountOf(log.Text(), "Font 'cheatfont' is not found. Cheat's tooltips are disabled."), 1u);
    EXPECT_TRUE(log.Contains("Warning"));
    EXPECT_TRUE(scene->HandleCheatClick(CentreOf(marker)));
    EXPECT_EQ(g_BlockRuns, std::vector<std::string>{"a"});
}
