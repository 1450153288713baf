#include "HudTestSupport.h"
#include "game/hud/Hud.h"
#include "game/hud/HudCursorItem.h"
#include "graphics/Vertex.h"
#include "gui/RecordingRenderer.h"
#include "qe/SceneObject.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct SDrawBox
{
    float left, top, right, bottom;
};

std::vector<SDrawBox> DrawBoxes(const lv::platform::CRecordingLog& log)
{
    std::vector<SDrawBox> boxes;
    for (const auto& draw : log.Draws) {
        const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(draw.Vertices.data());
        const size_t n = draw.Vertices.size() / sizeof(lv::graphics::CVertex);
        if (n == 0)
            continue;
        SDrawBox box{v[0].x, v[0].y, v[0].x, v[0].y};
        for (size_t i = 1; i < n; ++i) {
            box.left = std::min(box.left, v[i].x);
            box.top = std::min(box.top, v[i].y);
            box.right = std::max(box.right, v[i].x);
            box.bottom = std::max(box.bottom, v[i].y);
        }
        boxes.push_back(box);
    }
    return boxes;
}

TEST(HudCursorItemDraw, RingAtThePointerAndThePictureScaledToFit)
{
    auto quest = hudtest::CreateHudQuest();
    ASSERT_NE(quest, nullptr);
    CRecordingRenderer recording;
    game::CHud::SetPointerPosition(CVector2(100, 100));
    struct SCase
    {
        const char* path;
        float width, height;
    };
    // Ring 100 x 100: the 200 x 100 picture shrinks to 70 x 35, the 40 x 30 one keeps its size.
    for (const SCase c : {SCase{"hall/coin", 70, 35}, SCase{"hall/key", 40, 30}}) {
        game::CHudCursorItem cursor;
        cursor.TakeObject(quest->FindObjectByPath(c.path), false);
        recording.Log->Draws.clear();
        cursor.Draw(*recording.Renderer);
        recording.Renderer->Flush();
        const std::vector<SDrawBox> boxes = DrawBoxes(*recording.Log);
        ASSERT_EQ(boxes.size(), 2u) << c.path;
        EXPECT_NEAR(boxes[0].left, 120, 1);
        EXPECT_NEAR(boxes[0].right, 220, 1);
        EXPECT_NEAR(boxes[1].right - boxes[1].left, c.width, 1) << c.path;
        EXPECT_NEAR(boxes[1].bottom - boxes[1].top, c.height, 1) << c.path;
        EXPECT_NEAR((boxes[1].left + boxes[1].right) / 2, 170, 1);
        EXPECT_NEAR((boxes[1].top + boxes[1].bottom) / 2, 170, 1);
    }
    // Nothing carried: nothing drawn.
    game::CHudCursorItem empty;
    recording.Log->Draws.clear();
    empty.Draw(*recording.Renderer);
    recording.Renderer->Flush();
    EXPECT_TRUE(recording.Log->Draws.empty());
}

} // namespace

namespace {

TEST(HudCursorItemDraw, TheHudDrawsTheCarriedItemOnlyInItsModes)
{
    auto quest = hudtest::CreateHudQuest();
    ASSERT_NE(quest, nullptr);
    CRecordingRenderer recording;
    game::CHud::SetPointerPosition(CVector2(100, 100));
    struct SCase
    {
        s32 mode;
        bool drawn;
    };
    for (const SCase c : {SCase{1, true}, SCase{3, true}, SCase{4, false}, SCase{5, false}, SCase{9, false}}) {
        game::CHud hud;
        hud.Attach(nullptr);
        hud.GetInventory().SetAvailable(false);
        if (c.mode != 1)
            hud.PushMode(c.mode);
        hud.GetCursorItem().TakeObject(quest->FindObjectByPath("hall/key"), false);
        recording.Log->Draws.clear();
        hud.Draw(*recording.Renderer);
        recording.Renderer->Flush();
        EXPECT_EQ(!recording.Log->Draws.empty(), c.drawn) << c.mode;
    }
}

} // namespace
