#include "HudClock.h"
#include "HudTestSupport.h"
#include "game/hud/Hud.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/SceneObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class HudTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Quest = hudtest::CreateHudQuest();
        ASSERT_NE(m_Quest, nullptr);
        m_Hud = std::make_unique<game::CHud>();
        m_Hud->Attach(nullptr);
        m_Hud->Layout();
    }
    qe::CSceneObject* Object(const char* path) const { return m_Quest->FindObjectByPath(path); }

    hudtest::CHudClock m_Clock;
    std::unique_ptr<qe::CQuest> m_Quest;
    std::unique_ptr<game::CHud> m_Hud;
};

TEST_F(HudTest, ModeStackStartsAtOneAndIgnoresRepeatedPushes)
{
    EXPECT_EQ(m_Hud->GetMode(), 1);
    EXPECT_EQ(m_Hud->GetModeDepth(), 1);
    m_Hud->PushMode(1);
    EXPECT_EQ(m_Hud->GetModeDepth(), 1);
    m_Hud->PushMode(4);
    m_Hud->PushMode(4);
    EXPECT_EQ(m_Hud->GetMode(), 4);
    EXPECT_EQ(m_Hud->GetModeDepth(), 2);
    m_Hud->PopMode();
    EXPECT_EQ(m_Hud->GetMode(), 1);
    // No pop below the base entry.
    m_Hud->PopMode();
    EXPECT_EQ(m_Hud->GetMode(), 1);
    EXPECT_EQ(m_Hud->GetModeDepth(), 1);
}

TEST_F(HudTest, ModeStackHoldsElevenEntries)
{
    for (s32 i = 0; i < 15; ++i)
        m_Hud->PushMode(i % 2 ? 2 : 3);
    EXPECT_EQ(m_Hud->GetModeDepth(), 11);
    const s32 top = m_Hud->GetMode();
    m_Hud->PushMode(top == 2 ? 3 : 2);
    EXPECT_EQ(m_Hud->GetModeDepth(), 11);
    EXPECT_EQ(m_Hud->GetMode(), top);
}

TEST_F(HudTest, ClickRoutingByMode)
{
    struct SCase
    {
        s32 mode;
        bool blocked;
        bool click;
        bool move;
    };
    const SCase cases[] = {
        {1, false, false, false}, {2, false, false, false}, {3, false, false, false}, {3, true, true, false},
        {4, false, true, true},   {5, false, true, true},   {9, false, false, false}, {10, false, true, false},
    };
    for (const SCase& c : cases) {
        game::CHud hud;
        hud.Attach(nullptr);
        if (c.mode != 1)
            hud.PushMode(c.mode);
        hud.SetInputBlocked(c.blocked);
        // A point over nothing the HUD shows.
        EXPECT_EQ(hud.OnClick(CVector2(683, 300)), c.click) << c.mode;
        EXPECT_EQ(hud.OnMouseMove(CVector2(683, 300)), c.move) << c.mode;
        EXPECT_FALSE(hud.OnMouseUp(CVector2(683, 300)));
    }
}

TEST_F(HudTest, TopViewChangeHidesTheSpeechBubble)
{
    m_Hud->GetSpeechBubble().Say(u"hello", true);
    m_Hud->OnTopViewChanged(nullptr);
    EXPECT_FALSE(m_Hud->GetSpeechBubble().IsActive());
}

TEST_F(HudTest, SpeechBubbleRunsInEveryMode)
{
    for (const s32 mode : {1, 3, 4, 5, 9, 10}) {
        game::CHud hud;
        hud.Attach(nullptr);
        if (mode != 1)
            hud.PushMode(mode);
        hud.GetSpeechBubble().Say(u"hello", false);
        m_Clock.Advance(5000);
        hud.Update();
        EXPECT_FALSE(hud.GetSpeechBubble().IsActive()) << mode;
    }
}

TEST_F(HudTest, SaveSizeIsTheInventoryReservationPlusFour)
{
    EXPECT_EQ(m_Hud->GetSaveSize(), 4 + 10224);
}

TEST_F(HudTest, AFullInventoryOfInteractiveItemsFitsTheReservation)
{
    for (int i = 1; i <= 20; ++i)
        m_Hud->GetInventory().AddInteractiveItem(Object(("hall/" + std::to_string(1000 + i)).c_str()),
                                                 CFixedString("a_scene_with_a_long_name"));
    ASSERT_EQ(m_Hud->GetInventory().GetItemCount(), 20u);
    qe::CByteBuffer buffer;
    buffer.Allocate(m_Hud->GetSaveSize());
    m_Hud->Save(buffer);
    EXPECT_FALSE(buffer.HasOverflowed());
    EXPECT_LE(buffer.GetLength(), m_Hud->GetSaveSize());
    game::CHud loaded;
    loaded.Attach(nullptr);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    ASSERT_TRUE(loaded.Load(reader, *m_Quest));
    EXPECT_EQ(loaded.GetInventory().GetCellAt(19)->Kind, game::CHudInventory::kKindInteractive);
    EXPECT_STREQ(loaded.GetInventory().GetCellAt(19)->Name.GetText(), "a_scene_with_a_long_name");
}

TEST_F(HudTest, SaveAndLoadKeepTheItemsAndOnlyModeTen)
{
    for (const s32 mode : {1, 4, 10}) {
        game::CHud hud;
        hud.Attach(nullptr);
        hud.GetInventory().AddItem(Object("hall/key"), false);
        hud.GetInventory().AddItem(Object("hall/box"), false);
        if (mode != 1)
            hud.PushMode(mode);
        qe::CByteBuffer buffer;
        buffer.Allocate(hud.GetSaveSize());
        hud.Save(buffer);
        ASSERT_FALSE(buffer.HasOverflowed());

        game::CHud loaded;
        loaded.Attach(nullptr);
        loaded.ResetForLevel();
        qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
        ASSERT_TRUE(loaded.Load(reader, *m_Quest));
        EXPECT_EQ(reader.GetRemaining(), 0);
        EXPECT_EQ(loaded.GetMode(), mode == 10 ? 10 : 1);
        ASSERT_EQ(loaded.GetInventory().GetItemCount(), 2u);
        EXPECT_EQ(loaded.GetInventory().GetObjectAt(0), Object("hall/key"));
        EXPECT_EQ(loaded.GetInventory().GetObjectAt(1), Object("hall/box"));
    }
}

TEST_F(HudTest, LoadRestoresThePopupOfAFinishedSearch)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(m_Hud->GetSaveSize());
    buffer.WriteInt32(10);
    buffer.WriteInt32(0xABCD);
    buffer.WriteInt32(0);
    buffer.WriteNameString(CFixedString("hall/box"));
    buffer.WriteNameString(CFixedString("heart"));
    buffer.WriteInt32(-1);
    buffer.WriteInt32(0);
    buffer.WriteInt32(0);
    buffer.WriteInt32(-1);
    buffer.WriteInt32(0);
    buffer.WriteInt32(0xABCD);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    ASSERT_TRUE(m_Hud->Load(reader, *m_Quest));
    EXPECT_EQ(m_Hud->GetMode(), 10);
    EXPECT_STREQ(m_Hud->GetPendingScene().GetText(), "heart");
    EXPECT_NE(m_Hud->GetMessagePopup().GetIcon(), nullptr);
    EXPECT_STREQ(m_Hud->GetInventory().GetFinishedObjectPath().GetText(), "hall/box");

    // Every click is taken in mode 10; over the popup's button it ends the search.
    EXPECT_TRUE(m_Hud->OnClick(CVector2(630, 460)));
    EXPECT_FALSE(m_Hud->GetInventory().GetFinishedObjectPath().IsEmpty());
    EXPECT_TRUE(m_Hud->OnMouseMove(CVector2(630, 460)));
    m_Hud->GetInventory().SetEnabled(false);
    m_Hud->GetInventory().SetAvailable(false);
    EXPECT_TRUE(m_Hud->OnClick(CVector2(630, 460)));
    EXPECT_TRUE(m_Hud->GetInventory().GetFinishedObjectPath().IsEmpty());
    EXPECT_TRUE(m_Hud->GetInventory().GetFinishedScene().IsEmpty());
    EXPECT_TRUE(m_Hud->GetInventory().IsEnabled());
    EXPECT_EQ(m_Hud->GetInventory().GetState(), game::CHudInventory::kClosed);
}

TEST_F(HudTest, LoadFailsWhenThePieceDoesNotFit)
{
    game::CHud hud;
    hud.Attach(nullptr);
    hud.GetInventory().AddItem(Object("hall/key"), false);
    qe::CByteBuffer buffer;
    buffer.Allocate(hud.GetSaveSize());
    hud.Save(buffer);
    std::vector<u8> bytes(buffer.GetData(), buffer.GetData() + buffer.GetLength());
    // Truncated anywhere: refused.
    for (const size_t size : {size_t(0), size_t(6), size_t(100), bytes.size() - 1}) {
        qe::CBinaryReader reader(bytes.data(), static_cast<s32>(size));
        EXPECT_FALSE(m_Hud->Load(reader, *m_Quest)) << size;
    }
    // An item whose path finds no object.
    const size_t path = 4 + 4 + 4 + 96 + 96 + 4 * 5;
    bytes[path + 8] = 'X';
    qe::CBinaryReader reader(bytes.data(), static_cast<s32>(bytes.size()));
    EXPECT_FALSE(m_Hud->Load(reader, *m_Quest));
}

} // namespace
