#include "HudTestSupport.h"
#include "game/hud/HudCursorItem.h"
#include "game/hud/HudInventory.h"
#include "graphics/LogCapture.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"

#include <gtest/gtest.h>

namespace {

class HudCursorItemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Quest = hudtest::CreateHudQuest();
        ASSERT_NE(m_Quest, nullptr);
    }
    qe::CSceneObject* Object(const char* path) const { return m_Quest->FindObjectByPath(path); }

    std::unique_ptr<qe::CQuest> m_Quest;
};

TEST_F(HudCursorItemTest, TakeHidesTheSourceAndReleaseShowsIt)
{
    game::CHudCursorItem cursor;
    qe::CSceneObject* key = Object("hall/key");
    EXPECT_TRUE(cursor.IsEmpty());
    EXPECT_TRUE(cursor.GetObjectName().IsEmpty());
    cursor.TakeObject(key, true);
    EXPECT_EQ(cursor.GetObject(), key);
    EXPECT_TRUE(key->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_STREQ(cursor.GetObjectName().GetText(), "hall/key");
    cursor.Release();
    EXPECT_TRUE(cursor.IsEmpty());
    EXPECT_FALSE(key->HasFlags(qe::CSceneObject::kHidden));
}

TEST_F(HudCursorItemTest, TakingAnotherObjectReleasesTheFirstAndDelaysTheInventory)
{
    game::CHudInventory inventory;
    game::CHudCursorItem cursor;
    cursor.SetInventory(&inventory);
    qe::CSceneObject* key = Object("hall/key");
    cursor.TakeObject(key, true);
    cursor.TakeObject(Object("hall/coin"), false);
    EXPECT_FALSE(key->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(cursor.GetObject(), Object("hall/coin"));
    EXPECT_EQ(inventory.GetInputDelay(), 100);
}

TEST_F(HudCursorItemTest, GroupsShowTheirCursorOrInventoryChild)
{
    game::CHudCursorItem cursor;
    qe::CSceneObject* bag = Object("hall/bag");
    cursor.TakeObject(bag, false);
    EXPECT_EQ(cursor.GetObject(), bag);
    EXPECT_EQ(cursor.GetShownObject(), bag->FindChild(CFixedString("__cursor")));
    qe::CSceneObject* box = Object("hall/box");
    cursor.TakeObject(box, false);
    EXPECT_EQ(cursor.GetShownObject(), box->FindChild(CFixedString("__inv")));
}

TEST_F(HudCursorItemTest, GroupWithoutPictureIsRefusedAndKeepsWhatIsCarried)
{
    CScratchLogCapture log;
    game::CHudCursorItem cursor;
    cursor.TakeObject(Object("hall/key"), true);
    cursor.TakeObject(Object("hall/empty"), false);
    EXPECT_TRUE(log.Contains("Group 'empty' doesn't contain __inv child."));
    EXPECT_EQ(cursor.GetObject(), Object("hall/key"));
    EXPECT_TRUE(Object("hall/key")->HasFlags(qe::CSceneObject::kHidden));
}

TEST_F(HudCursorItemTest, DropIfHoldingClearsWithoutShowingTheSource)
{
    game::CHudInventory inventory;
    game::CHudCursorItem cursor;
    cursor.SetInventory(&inventory);
    qe::CSceneObject* key = Object("hall/key");
    cursor.TakeObject(key, true);
    EXPECT_FALSE(cursor.DropIfHolding(Object("hall/coin")));
    EXPECT_TRUE(cursor.DropIfHolding(key));
    EXPECT_TRUE(cursor.IsEmpty());
    EXPECT_TRUE(key->HasFlags(qe::CSceneObject::kHidden));
    EXPECT_EQ(inventory.GetInputDelay(), 0);
}

TEST_F(HudCursorItemTest, RingCentreFollowsThePointerWithItsOffset)
{
    game::CHudCursorItem cursor;
    const CVector2 centre = cursor.GetRingCentre(CVector2(10, 20));
    EXPECT_EQ(centre.X, 80);
    EXPECT_EQ(centre.Y, 90);
}

TEST_F(HudCursorItemTest, SavesOnlyHiddenSourcesAndLoadsThemVisible)
{
    struct SCase
    {
        bool hide;
        const char* saved;
    };
    for (const SCase c : {SCase{true, "hall/key"}, SCase{false, ""}}) {
        game::CHudCursorItem cursor;
        cursor.TakeObject(Object("hall/key"), c.hide);
        qe::CByteBuffer buffer;
        buffer.Allocate(cursor.GetSaveSize());
        cursor.Save(buffer);
        ASSERT_EQ(buffer.GetLength(), 192);
        cursor.Release();

        qe::CBinaryReader peek(buffer.GetData(), buffer.GetLength());
        EXPECT_STREQ(peek.ReadNameString().GetText(), c.saved);

        Object("hall/key")->AddFlags(qe::CSceneObject::kHidden);
        game::CHudCursorItem loaded;
        qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
        EXPECT_TRUE(loaded.Load(reader, *m_Quest));
        EXPECT_TRUE(loaded.IsEmpty());
        EXPECT_EQ(Object("hall/key")->HasFlags(qe::CSceneObject::kHidden), !c.hide);
        Object("hall/key")->RemoveFlags(qe::CSceneObject::kHidden);
    }
}

TEST_F(HudCursorItemTest, LoadFailsForAMissingObject)
{
    qe::CByteBuffer buffer;
    buffer.Allocate(192);
    buffer.WriteNameString(CFixedString("hall/gone"));
    buffer.WriteNameString(CFixedString(""));
    game::CHudCursorItem cursor;
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_FALSE(cursor.Load(reader, *m_Quest));
    qe::CBinaryReader truncated(buffer.GetData(), 100);
    EXPECT_FALSE(cursor.Load(truncated, *m_Quest));
}

} // namespace
