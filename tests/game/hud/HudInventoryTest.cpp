#include "HudClock.h"
#include "HudTestSupport.h"
#include "game/hud/Hud.h"
#include "game/play/SceneStack.h"
#include "graphics/LogCapture.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/SceneObject.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class HudInventoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Quest = hudtest::CreateHudQuest();
        ASSERT_NE(m_Quest, nullptr);
        m_Stack.SetQuest(m_Quest.get(), nullptr);
        m_Stack.OpenScene("hall");
        m_Hud = std::make_unique<game::CHud>();
        m_Hud->Attach(&m_Stack);
        m_Hud->Layout();
    }
    qe::CSceneObject* Object(const std::string& path) const { return m_Quest->FindObjectByPath(path.c_str()); }
    game::CHudInventory& Inventory() { return m_Hud->GetInventory(); }
    // Opens the panel and lets it finish sliding.
    void OpenPanel()
    {
        Inventory().Open(false);
        m_Clock.Advance(300);
        Inventory().Update();
        ASSERT_EQ(Inventory().GetState(), game::CHudInventory::kOpen);
    }
    // The centre of the k-th drawable cell.
    CVector2 CellPoint(s32 k)
    {
        const CVector2 origin = Inventory().GetOrigin();
        return CVector2(origin.X - 245 + static_cast<float>(k * 90) + Inventory().GetScrollOffset() + 45,
                        origin.Y - 25 + 45);
    }

    hudtest::CHudClock m_Clock;
    std::unique_ptr<qe::CQuest> m_Quest;
    game::CSceneStack m_Stack;
    std::unique_ptr<game::CHud> m_Hud;
};

TEST_F(HudInventoryTest, ItemsArePackedAndAFullInventoryRefusesMore)
{
    CScratchLogCapture log;
    for (int i = 1; i <= 20; ++i)
        Inventory().AddItem(Object("hall/" + std::to_string(1000 + i)), false);
    EXPECT_EQ(Inventory().GetItemCount(), 20u);
    Inventory().AddItem(Object("hall/key"), false);
    EXPECT_EQ(Inventory().GetItemCount(), 20u);
    EXPECT_TRUE(log.Contains("No free cells left in inventory."));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Inventory().GetObjectAt(i), Object("hall/" + std::to_string(1001 + i)));

    // Removing the first moves the rest left and leaves cell 19 empty.
    EXPECT_TRUE(Inventory().RemoveItem(Object("hall/1001")));
    EXPECT_EQ(Inventory().GetItemCount(), 19u);
    EXPECT_EQ(Inventory().GetObjectAt(0), Object("hall/1002"));
    EXPECT_EQ(Inventory().GetObjectAt(18), Object("hall/1020"));
    EXPECT_EQ(Inventory().GetObjectAt(19), nullptr);
    EXPECT_FALSE(Inventory().RemoveItem(Object("hall/key")));
}

TEST_F(HudInventoryTest, GroupsShowTheirInventoryChild)
{
    CScratchLogCapture log;
    Inventory().AddItem(Object("hall/box"), false);
    EXPECT_EQ(Inventory().GetCellAt(0)->Shown, Object("hall/box")->FindChild(CFixedString("__inv")));
    EXPECT_EQ(Inventory().GetInventoryImage(Object("hall/key")), Object("hall/key"));
    EXPECT_EQ(Inventory().GetInventoryImage(Object("hall/empty")), nullptr);
    EXPECT_TRUE(log.Contains("__inv state is not found in group 'empty'."));
}

TEST_F(HudInventoryTest, CompositePartsShareACellUntilTheHeartIsWhole)
{
    for (int part = 1; part <= 3; ++part) {
        Inventory().AddItem(Object("hall/Part_" + std::to_string(part)), false);
        ASSERT_EQ(Inventory().GetItemCount(), 1u);
        EXPECT_EQ(Inventory().GetCellAt(0)->Kind, game::CHudInventory::kKindComposite);
        EXPECT_EQ(Inventory().GetCellAt(0)->Count, part);
    }
    Inventory().AddItem(Object("hall/Part_4"), false);
    EXPECT_EQ(Inventory().GetItemCount(), 1u);
    EXPECT_EQ(Inventory().GetCellAt(0)->Kind, game::CHudInventory::kKindOrdinary);
    EXPECT_EQ(Inventory().GetObjectAt(0), Object("heart/Details"));
}

TEST_F(HudInventoryTest, ClickingAnIncompleteCompositeOnlySpeaks)
{
    Inventory().AddItem(Object("hall/Part_1"), false);
    OpenPanel();
    EXPECT_TRUE(Inventory().OnClick(CellPoint(0)));
    EXPECT_TRUE(m_Hud->GetCursorItem().IsEmpty());
    EXPECT_TRUE(m_Hud->GetSpeechBubble().IsActive());
}

TEST_F(HudInventoryTest, ClickTakesTheItemAndASecondClickPutsItBack)
{
    Inventory().AddItem(Object("hall/key"), false);
    Inventory().AddItem(Object("hall/bag"), false);
    // Closed: clicks take nothing.
    EXPECT_FALSE(Inventory().OnClick(CellPoint(1)));
    OpenPanel();
    EXPECT_FALSE(Inventory().OnClick(CellPoint(2)));
    EXPECT_TRUE(Inventory().OnClick(CellPoint(1)));
    game::CHudCursorItem& cursor = m_Hud->GetCursorItem();
    EXPECT_EQ(cursor.GetObject(), Object("hall/bag"));
    // A group goes onto the cursor with its inventory picture, its source stays visible.
    EXPECT_EQ(cursor.GetShownObject(), Object("hall/bag")->FindChild(CFixedString("__inv")));
    EXPECT_FALSE(Object("hall/bag")->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_TRUE(Inventory().IsCarrying());
    EXPECT_TRUE(Inventory().OnClick(CellPoint(0)));
    EXPECT_TRUE(cursor.IsEmpty());
}

TEST_F(HudInventoryTest, RemovingTheCarriedItemDropsIt)
{
    Inventory().AddItem(Object("hall/key"), false);
    OpenPanel();
    Inventory().OnClick(CellPoint(0));
    ASSERT_FALSE(m_Hud->GetCursorItem().IsEmpty());
    EXPECT_TRUE(Inventory().RemoveItem(Object("hall/key")));
    EXPECT_TRUE(m_Hud->GetCursorItem().IsEmpty());
}

TEST_F(HudInventoryTest, FlyingItemsAreNotClickableUntilTheyLand)
{
    Inventory().AddItem(Object("hall/key"), false);
    Inventory().AddItem(Object("hall/coin"), true);
    EXPECT_TRUE(Inventory().GetCellAt(1)->InFlight);
    OpenPanel();
    // The flying item's cell is skipped: nothing sits in the second drawable place.
    EXPECT_FALSE(Inventory().OnClick(CellPoint(1)));
    Inventory().LandFlyingItems();
    EXPECT_FALSE(Inventory().GetCellAt(1)->InFlight);
    EXPECT_TRUE(Inventory().OnClick(CellPoint(1)));
    EXPECT_EQ(m_Hud->GetCursorItem().GetObject(), Object("hall/coin"));
}

TEST_F(HudInventoryTest, FlightsLandAtTheirCell)
{
    Inventory().AddItem(Object("hall/coin"), true);
    ASSERT_TRUE(Inventory().GetCellAt(0)->InFlight);
    // At most 70 pixels a frame (700 per second, frames capped at 100 ms).
    for (int frame = 0; frame < 30 && Inventory().GetCellAt(0)->InFlight; ++frame) {
        m_Clock.Advance(250);
        Inventory().Update();
    }
    EXPECT_FALSE(Inventory().GetCellAt(0)->InFlight);
}

TEST_F(HudInventoryTest, FiveItemsNeverScrollSixFollowThePointer)
{
    for (int i = 1; i <= 5; ++i)
        Inventory().AddItem(Object("hall/" + std::to_string(1000 + i)), false);
    OpenPanel();
    const float base = Inventory().GetBasePosition().X;
    Inventory().OnMouseMove(CVector2(base + 245, 700));
    m_Clock.Advance(16);
    Inventory().Update();
    EXPECT_EQ(Inventory().GetScrollOffset(), 0.0f);

    Inventory().AddItem(Object("hall/1006"), false);
    struct SCase
    {
        float dx, offset;
    };
    // (d - 245) * (6 * 90 - 490) / 490 with d = base - pointer clamped to 245.
    for (const SCase c : {SCase{-300, 0}, SCase{0, -25}, SCase{245, -50}, SCase{400, -50}}) {
        Inventory().OnMouseMove(CVector2(base + c.dx, 700));
        m_Clock.Advance(16);
        Inventory().Update();
        EXPECT_FLOAT_EQ(Inventory().GetScrollOffset(), c.offset) << c.dx;
    }
}

TEST_F(HudInventoryTest, PanelOpensUnderThePointerAndClosesAfterTheDelay)
{
    const CVector2 base = Inventory().GetBasePosition();
    // The closed strip starts 30 pixels above the bottom of the screen.
    EXPECT_FALSE(Inventory().OnMouseMove(CVector2(base.X, 730)));
    EXPECT_TRUE(Inventory().OnMouseMove(CVector2(base.X, 760)));
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kOpening);
    m_Clock.Advance(300);
    Inventory().Update();
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kOpen);
    EXPECT_FALSE(Inventory().OnMouseMove(CVector2(base.X, 100)));
    m_Clock.Advance(199);
    Inventory().Update();
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kOpen);
    m_Clock.Advance(1);
    Inventory().Update();
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kClosing);

    // Pinned: no close delay.
    Inventory().Open(true);
    m_Clock.Advance(300);
    Inventory().Update();
    EXPECT_FALSE(Inventory().OnMouseMove(CVector2(base.X, 100)));
    m_Clock.Advance(1000);
    Inventory().Update();
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kOpen);
}

TEST_F(HudInventoryTest, UnavailablePanelTakesNoInput)
{
    Inventory().AddItem(Object("hall/key"), false);
    OpenPanel();
    Inventory().SetAvailable(false);
    EXPECT_FALSE(Inventory().OnClick(CellPoint(0)));
    EXPECT_FALSE(Inventory().OnMouseMove(CellPoint(0)));
    Inventory().SetAvailable(true);
    EXPECT_EQ(Inventory().GetState(), game::CHudInventory::kClosed);
    OpenPanel();
    Inventory().SetEnabled(false);
    EXPECT_FALSE(Inventory().OnClick(CellPoint(0)));
}

TEST_F(HudInventoryTest, LoadFailsForTooManyItemsOrAMissingObject)
{
    const auto piece = [](s32 count, const char* path) {
        auto buffer = std::make_unique<qe::CByteBuffer>();
        buffer->Allocate(game::CHudInventory::kSaveSize);
        buffer->WriteInt32(0);
        buffer->WriteNameString(CFixedString(""));
        buffer->WriteNameString(CFixedString(""));
        buffer->WriteInt32(-1);
        buffer->WriteInt32(0);
        buffer->WriteInt32(0);
        buffer->WriteInt32(-1);
        buffer->WriteInt32(count);
        for (s32 i = 0; i < std::min(count, 20); ++i) {
            buffer->WriteNameString(CFixedString(path));
            buffer->WriteInt32(0);
            buffer->WriteInt32(0);
        }
        return buffer;
    };
    struct SCase
    {
        s32 count;
        const char* path;
        bool loads;
    };
    for (const SCase c : {SCase{1, "hall/key", true}, SCase{21, "hall/key", false}, SCase{1, "hall/gone", false},
                          SCase{1, "nowhere", false}}) {
        const auto buffer = piece(c.count, c.path);
        qe::CBinaryReader reader(buffer->GetData(), buffer->GetLength());
        EXPECT_EQ(Inventory().Load(reader, *m_Quest), c.loads) << c.count << c.path;
    }
    EXPECT_EQ(Inventory().GetItemCount(), 1u);
}

} // namespace
