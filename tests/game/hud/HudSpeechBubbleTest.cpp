#include "HudClock.h"
#include "HudTestSupport.h"
#include "game/hud/HudSpeechBubble.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Letters(size_t count)
{
    std::u16string text;
    for (size_t i = 0; i < count; ++i)
        text.push_back(i % 6 == 5 ? u' ' : u'a');
    return text;
}

class HudSpeechBubbleTest : public ::testing::Test
{
protected:
    void SetUp() override { hudtest::DeclareHudContent(); }
    hudtest::CHudClock m_Clock;
};

TEST_F(HudSpeechBubbleTest, BannerTimeGrowsWithTheText)
{
    struct SCase
    {
        size_t length;
        bool untimed;
        s32 time;
    };
    const SCase cases[] = {{40, false, 5000}, {100, false, 5000}, {150, false, 7500}, {150, true, 0}};
    game::CHudSpeechBubble bubble;
    for (const SCase& c : cases) {
        bubble.Say(Letters(c.length).c_str(), c.untimed);
        EXPECT_EQ(bubble.GetRemainingTime(), c.time) << c.length;
        EXPECT_TRUE(bubble.IsActive());
        EXPECT_FALSE(bubble.IsAnchored());
    }
}

TEST_F(HudSpeechBubbleTest, BannerIsCentredAtTheTopAndWidensForTallText)
{
    game::CHudSpeechBubble bubble;
    bubble.Say(u"a short line", false);
    EXPECT_EQ(bubble.GetTextRect().X, (1366 - 700) / 2);
    EXPECT_EQ(bubble.GetTextRect().Y, 12);
    EXPECT_EQ(bubble.GetTextRect().Width, 700);
    const s32 h = bubble.GetTextRect().Height;
    EXPECT_GT(h, 0);
    // The banner image is 120 high; its bottom lies 37 below the text.
    EXPECT_EQ(bubble.GetFrameRect(), CIntRect((1366 - 700) / 2 - 45, 12 + h + 37 - 120, 790, 120));

    // Seven lines of 12-pixel text need more than 70 pixels.
    bubble.Say(u"a\nb\nc\nd\ne\nf\ng", false);
    EXPECT_EQ(bubble.GetTextRect().Width, 900);
    EXPECT_EQ(bubble.GetTextRect().X, (1366 - 900) / 2);
}

TEST_F(HudSpeechBubbleTest, TimedBannerHidesWhenItsTimeRunsOut)
{
    game::CHudSpeechBubble bubble;
    bubble.Say(u"hello", false);
    m_Clock.Advance(4999);
    bubble.Update();
    EXPECT_TRUE(bubble.IsActive());
    m_Clock.Advance(1);
    bubble.Update();
    EXPECT_FALSE(bubble.IsActive());
    EXPECT_TRUE(bubble.GetText().IsEmpty());
}

TEST_F(HudSpeechBubbleTest, AnchoredBubblePointsAtTheSceneAndKeepsTheRemainingTime)
{
    game::CHudSpeechBubble bubble;
    bubble.SayAt(u"look", 400, 300);
    EXPECT_TRUE(bubble.IsAnchored());
    EXPECT_EQ(bubble.GetRemainingTime(), 0);
    // Arrow 20 x 30 with its bottom-left corner on the anchor (no scene stack: scene = screen).
    EXPECT_EQ(bubble.GetArrowRect(), CIntRect(400, 270, 20, 30));
    // The text needs less than the frame image's 50 - 14 pixels: the frame keeps its height.
    EXPECT_EQ(bubble.GetTextRect(), CIntRect(425, 270 - 36 - 7, 300, 36));
    EXPECT_EQ(bubble.GetFrameRect(), CIntRect(400, 270 - 36 - 14, 350, 50));
    m_Clock.Advance(100000);
    bubble.Update();
    EXPECT_TRUE(bubble.IsActive());

    // Shown after a timed banner it keeps the banner's time and goes with it.
    bubble.Say(u"banner", false);
    bubble.SayAt(u"look", 400, 300);
    EXPECT_EQ(bubble.GetRemainingTime(), 5000);
    m_Clock.Advance(5000);
    bubble.Update();
    EXPECT_FALSE(bubble.IsActive());
}

TEST_F(HudSpeechBubbleTest, HideClearsTextAndTime)
{
    game::CHudSpeechBubble bubble;
    bubble.Say(u"hello", false);
    bubble.Hide();
    EXPECT_FALSE(bubble.IsActive());
    EXPECT_EQ(bubble.GetRemainingTime(), 0);
    EXPECT_FALSE(bubble.OnClick(CVector2(683, 30)));
    EXPECT_FALSE(bubble.OnMouseMove(CVector2(683, 30)));
}

} // namespace
