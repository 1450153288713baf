#include "MinigameTestSupport.h"

#include "game/hud/Hud.h"
#include "game/hud/HudSpeechBubble.h"
#include "qe/ByteBuffer.h"
#include "qe/Scene.h"

using namespace minigametest;

namespace {

class MinigameBase : public MinigameFixture
{
};

} // namespace

TEST_F(MinigameBase, OneThatOverridesNothingTakesEveryMouseEventAndSavesNothing)
{
    Start(Block("d1", "plain", {}));
    ASSERT_EQ(Host().GetLiveCount(), 1);
    game::CMinigame* minigame = Host().GetLive(0);
    EXPECT_FALSE(minigame->IsActive());
    EXPECT_TRUE(minigame->OnMouseDown(CPoint2i(1, 2)));
    EXPECT_TRUE(minigame->OnMouseUp(CPoint2i(1, 2)));
    EXPECT_TRUE(minigame->OnMouseMove(CPoint2i(1, 2)));
    EXPECT_EQ(minigame->GetHintObject(""), nullptr);

    qe::CByteBuffer buffer;
    buffer.Allocate(16);
    minigame->SaveState(buffer);
    EXPECT_EQ(buffer.GetLength(), 0);
    const u8 bytes[4] = {7, 0, 0, 0};
    qe::CBinaryReader reader(bytes, 4);
    EXPECT_TRUE(minigame->LoadState(reader));
    EXPECT_EQ(reader.ReadInt32(), 7);
}

TEST_F(MinigameBase, ArgumentsMatchBySubstringAndTheLaterKeyWins)
{
    Start(Block("d1", "plain", {{"hint_obj", "lamp"}, {"my_hint_obj_2", "lamp2"}, {"feedback", "abc"}}) +
          Block("d2", "plain", {{"hint_obj", "lamp2"}, {"the_hint_obj", "nothing"}, {"feedback_id", "42"}}));
    ASSERT_EQ(Host().GetLiveCount(), 2);
    auto* first = dynamic_cast<CPlainMinigame*>(Host().GetLive(0));
    auto* second = dynamic_cast<CPlainMinigame*>(Host().GetLive(1));
    EXPECT_EQ(first->GetStoredHintObject(), Scene("hall")->FindObject("lamp2"));
    EXPECT_NE(first->GetStoredHintObject(), nullptr);
    EXPECT_EQ(first->Feedback.GetTextId(), 0);
    EXPECT_EQ(second->GetStoredHintObject(), nullptr);
    EXPECT_EQ(second->Feedback.GetTextId(), 42);
}

TEST_F(MinigameBase, TheFeedbackCornerShowsThenHidesTheSpeechBubble)
{
    Start("");
    game::MinigameHintFeedback feedback;
    const CPoint2i screen = game::CHud::GetScreenSize();
    const s32 w = screen.X;
    const s32 h = screen.Y;
    EXPECT_EQ(feedback.GetRect().X, w - 130);
    EXPECT_EQ(feedback.GetRect().Y, h - 150);
    EXPECT_EQ(feedback.GetRect().Width, 130);
    EXPECT_EQ(feedback.GetRect().Height, 150);
    // No text: the corner does not react.
    EXPECT_FALSE(feedback.OnClick(CPoint2i(w - 130, h - 150)));

    feedback.SetTextId(0);
    game::CHudSpeechBubble& bubble = Window->GetHud().GetSpeechBubble();
    EXPECT_FALSE(feedback.OnClick(CPoint2i(w, h - 10)));
    EXPECT_FALSE(feedback.OnClick(CPoint2i(w - 10, h)));
    EXPECT_FALSE(feedback.OnClick(CPoint2i(w - 131, h - 10)));
    EXPECT_FALSE(bubble.IsActive());
    EXPECT_TRUE(feedback.OnClick(CPoint2i(w - 130, h - 150)));
    EXPECT_TRUE(bubble.IsActive());
    EXPECT_TRUE(feedback.OnClick(CPoint2i(w - 1, h - 1)));
    EXPECT_FALSE(bubble.IsActive());
}
