#include "content/QuestDataWriter.h"
#include "qe/AreaObject.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lv::content;

namespace {

std::vector<u8> AreaRecord(std::vector<std::pair<float, float>> points, const char* hint = "")
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Area;
    o.id = "zone";
    o.hint = hint;
    o.offset[0] = 99; // the payload's own placement is not used
    o.points = std::move(points);
    return CQuestDataWriter::BuildObjectRecord(o);
}

} // namespace

TEST(AreaObject, HitTable)
{
    const std::vector<std::pair<float, float>> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    // A concave outline with a vertex at (5, 5) pointing inward and one at (10, 5) on the right.
    const std::vector<std::pair<float, float>> notch = {{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}};
    const std::vector<std::pair<float, float>> arrow = {{0, 0}, {10, 5}, {0, 10}};
    const struct
    {
        std::vector<std::pair<float, float>> points;
        CVector2 p;
        bool hit;
    } cases[] = {
        {square, {5, 5}, true},
        {square, {10, 5}, true},
        {square, {15, 5}, false},
        {square, {-1, 5}, false},
        {square, {5.7f, 5.9f}, true},
        {notch, {2, 8}, true},
        {notch, {5, 8}, false},
        {notch, {8, 8}, true},
        {notch, {2, 5}, true},  // level with the inward vertex: its neighbours lie on one side
        {arrow, {5, 5}, true},  // level with a tip whose neighbours lie on opposite sides
        {arrow, {-3, 5}, false},
        {arrow, {12, 5}, false},
        {{{0, 0}, {10, 0}}, {5, 0}, false},
        {{}, {0, 0}, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        const auto record = AreaRecord(cases[i].points, i % 2 ? "with a hint" : "");
        qe::CAreaObject area(nullptr);
        area.InitFromRecord(record.data());
        EXPECT_EQ(area.GetPointCount(), static_cast<s32>(cases[i].points.size())) << i;
        EXPECT_EQ(area.HitTest(cases[i].p), cases[i].hit) << i << " at " << cases[i].p.X << "," << cases[i].p.Y;
    }
}

TEST(AreaObject, PlacementComesFromThePoints)
{
    const auto record = AreaRecord({{0, 0}, {10, 0}, {10, 4}, {0, 4}});
    qe::CAreaObject area(nullptr);
    area.InitFromRecord(record.data());
    EXPECT_EQ(area.GetPosition().X, 5.0f);
    EXPECT_EQ(area.GetPosition().Y, 2.0f);
    EXPECT_EQ(area.GetSize().X, 10.0f);
    EXPECT_EQ(area.GetSize().Y, 4.0f);
    EXPECT_EQ(area.GetAngle(), 0.0f);
    EXPECT_EQ(area.GetType(), qe::CSceneObject::kTypeArea);
    std::unique_ptr<qe::CSceneObject> clone(area.Clone());
    EXPECT_TRUE(clone->HitTest({5, 2}));

    qe::CAreaObject placeholder(nullptr);
    EXPECT_FALSE(placeholder.HitTest({0, 0}));
    EXPECT_EQ(placeholder.GetPosition().X, 0.0f);
    EXPECT_EQ(placeholder.GetSize().Y, 0.0f);
    EXPECT_EQ(placeholder.GetPointCount(), 0);
}
