#include "content/QuestDataWriter.h"
#include "graphics/Renderer.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lv::content;

namespace {

// The smallest concrete object: records the colour it is drawn with.
class CTestObject : public qe::CSceneObject
{
public:
    using CSceneObject::CSceneObject;
    void Update() override {}
    bool HitTest(const CVector2&) override { return false; }
    s32 GetType() const override { return kTypeImage; }
    CSceneObject* Clone() const override { return new CTestObject(*this); }
    void SetPosition(const CVector2&) override {}
    CVector2 GetPosition() const override { return {}; }
    CVector2 GetSize() const override { return {}; }
    void SetSize(const CVector2&) override {}
    float GetAngle() const override { return 0; }
    void SetAngle(float) override {}
    void Draw(lv::graphics::CRenderer& renderer) override
    {
        m_Drawn = renderer.GetColor();
        ++m_Draws;
    }

    CColor m_Drawn;
    int m_Draws = 0;
};

std::vector<u8> Record(const char* id, s32 flags, u64 guid, const char* hint = "")
{
    SQuestObject o;
    o.id = id;
    o.flags = flags;
    o.guid = guid;
    o.hint = hint;
    return CQuestDataWriter::BuildObjectRecord(o);
}

} // namespace

TEST(SceneObject, RecordGivesNameGuidHintFlagsAndPath)
{
    qe::CQuest quest("main");
    qe::CScene scene(&quest, "hall");
    CTestObject object(&scene);
    EXPECT_EQ(object.GetFlags(), 0);
    EXPECT_EQ(object.GetDepth(), 0.0f);
    EXPECT_EQ(object.GetOpacity(), -1.0f);
    EXPECT_TRUE(object.GetName().IsEmpty());
    EXPECT_STREQ(object.GetHintText(), "");
    EXPECT_EQ(object.GetGuid(), 0u);

    const auto record = Record("door", 0x70003, 0x1122334455667788ull, "open me");
    object.SetRecord(record.data());
    EXPECT_EQ(object.GetFlags(), 3);
    EXPECT_STREQ(object.GetNameCStr(), "door");
    EXPECT_STREQ(object.GetHintText(), "open me");
    EXPECT_EQ(object.GetGuid(), 0x1122334455667788ull);
    CFixedString path;
    object.GetPath(path);
    EXPECT_STREQ(path.GetText(), "hall/door");

    const auto noHint = Record("a", 0, 1);
    object.SetRecord(noHint.data());
    EXPECT_EQ(object.GetHintText(), nullptr);

    std::unique_ptr<qe::CSceneObject> clone(object.Clone());
    EXPECT_EQ(clone->GetRecord(), noHint.data());
}

TEST(SceneObject, FlagOperations)
{
    CTestObject object(nullptr);
    object.SetFlags(1);
    EXPECT_TRUE(object.HasFlags(3));
    EXPECT_TRUE(object.IsDrawable());
    EXPECT_FALSE(object.IsClickable());
    for (u16 f : {2, 4})
    {
        object.SetFlags(f);
        EXPECT_TRUE(object.HasFlags(3) == (f == 2));
        EXPECT_FALSE(object.IsDrawable());
        EXPECT_FALSE(object.IsClickable());
    }
    object.SetFlags(0);
    EXPECT_TRUE(object.IsClickable());
    object.ToggleFlags(5);
    EXPECT_EQ(object.GetFlags(), 5);
    object.ToggleFlags(1);
    EXPECT_EQ(object.GetFlags(), 4);
    object.AddFlags(0x8000);
    object.RemoveFlags(4);
    EXPECT_EQ(object.GetFlags(), 0x8000);
}

TEST(SceneObject, RenderAppliesTheOpacityOverride)
{
    lv::graphics::CRenderer renderer;
    CColor current = CColor::CColorArgb(200, 255, 255, 255);
    renderer.SetColor(current);
    CTestObject object(nullptr);
    const struct
    {
        float opacity;
        s16 alpha;
    } cases[] = {{-1, 200}, {-2, 200}, {0.5f, static_cast<s16>(127 * 200 / 255)}, {0, 0}, {1, 200}};
    for (const auto& c : cases)
    {
        object.SetOpacity(c.opacity);
        object.Render(renderer);
        EXPECT_EQ(object.m_Drawn.A, c.alpha) << c.opacity;
        EXPECT_EQ(object.m_Drawn.R, 255) << c.opacity;
        EXPECT_EQ(renderer.GetColor(), current) << c.opacity;
    }
}

TEST(SceneObject, StateIsGuidAndFlags)
{
    const auto record = Record("door", 0, 42);
    CTestObject object(nullptr);
    object.SetRecord(record.data());
    object.SetFlags(0x8002);
    qe::CByteBuffer buffer;
    buffer.Allocate(qe::CSceneObject::kStateSize);
    object.Save(buffer);
    EXPECT_EQ(buffer.GetLength(), 12);
    EXPECT_FALSE(buffer.HasOverflowed());

    object.SetFlags(0);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(object.Load(reader));
    EXPECT_EQ(object.GetFlags(), 0x8002);

    const auto other = Record("door", 0, 43);
    CTestObject stranger(nullptr);
    stranger.SetRecord(other.data());
    stranger.SetFlags(7);
    qe::CBinaryReader again(buffer.GetData(), buffer.GetLength());
    EXPECT_FALSE(stranger.Load(again));
    EXPECT_EQ(stranger.GetFlags(), 7);

    qe::CBinaryReader shortState(buffer.GetData(), 10);
    EXPECT_FALSE(object.Load(shortState));
}

TEST(SceneObject, LocalPointTable)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        CVector2 point, size;
        float angle;
        s32 w, h;
        bool inside;
        CVector2 local;
    } cases[] = {
        // Centre (0,0), 10 x 10: (1,0) lies at local (6,5) when the turn is ignored.
        {{1, 0}, {10, 10}, 0.005f, 10, 10, true, {6, 5}},
        {{1, 0}, {10, 10}, 0.008f, 10, 10, true, {6, 5}},
        {{0, 4.9f}, {10, 10}, 1.5707964f, 10, 10, true, {9.9f, 5}},
        {{1, 0}, {20, 20}, 0, 10, 10, true, {5.5f, 5}},
        {{6, 0}, {10, 10}, 0, 10, 10, false, {}},
        {{-5, -5}, {10, 10}, 0, 10, 10, true, {0, 0}},
        {{0, 0}, {0, 10}, 0, 10, 10, false, {}},
        {{0, 0}, {10, 0}, 0, 10, 10, false, {}},
        {{0, 0}, {10, 10}, 0, 0, 10, false, {}},
        {{inf, 0}, {10, 10}, 0, 10, 10, false, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        const auto& c = cases[i];
        CVector2 local(-1, -1);
        EXPECT_EQ(qe::CSceneObject::GetLocalPoint(c.point, CVector2(0, 0), c.size, c.angle, c.w, c.h, local), c.inside)
            << i;
        if (c.inside)
        {
            EXPECT_NEAR(local.X, c.local.X, 1e-3) << i;
            EXPECT_NEAR(local.Y, c.local.Y, 1e-3) << i;
        }
    }
    // 0.01 rad is applied: a point near a corner moves measurably.
    CVector2 a, b;
    ASSERT_TRUE(qe::CSceneObject::GetLocalPoint({4, 4}, {0, 0}, {10, 10}, 0.0f, 10, 10, a));
    ASSERT_TRUE(qe::CSceneObject::GetLocalPoint({4, 4}, {0, 0}, {10, 10}, 0.01f, 10, 10, b));
    EXPECT_GT(std::fabs(a.X - b.X), 0.03f);
}
