// The completion message of a hidden-object round with two rewards, drawn by the item list on the
// real OpenGL layer over the struck-through name list; compared with
// tests/game/play/golden/hog_completion_message.png (GAME_UPDATE_GOLDEN=1 writes it instead).
#include "HogTestSupport.h"
#include "support/GoldenImage.h"

#include "core/ContentTestSupport.h"
#include "graphics/TextureManager.h"
#include "gui/GlWindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr s32 kHogGoldenWidth = 1366, kHogGoldenHeight = 768;

class HogItemListGolden : public hogtest::HogFixture
{
};

TEST_F(HogItemListGolden, CompletionMessageWithTwoRewards)
{
    Start(hogtest::Area("hog1_cup", "a1", 100, 100, 40, "2101") + hogtest::Area("hog1_book", "a2", 300, 100, 40, "2102") +
              "<group id=\"prize\" guid=\"g1\" hint=\"2105\">" + hogtest::Image("__inv", "g2", "item_small", 0, 0) +
              "</group><group id=\"prize2\" guid=\"g3\" hint=\"2106\">" +
              hogtest::Image("__inv", "g4", "item_large", 0, 0) + "</group>",
          {{"index", "1"}, {"prev_scene", "hall"}, {"item1", "prize"}, {"item2", "prize2"}});
    game::CHogItemList& list = List();
    ASSERT_TRUE(Take(110, 110));
    ASSERT_TRUE(Take(310, 110));
    // Past the flights, sparks and smoke: only the list, its strikethroughs and the message.
    Frames(3, 500);
    ASSERT_TRUE(list.IsCompletionPending());

    guitest::CGlWindowHost host(kHogGoldenWidth, kHogGoldenHeight);
    ASSERT_TRUE(host.Open("hog completion test"));
    std::vector<u32> pixels;
    {
        const CWorkingFolder cwd(hudtest::HudFolder());
        lv::graphics::CRenderer renderer;
        ASSERT_TRUE(host.StartRenderer(renderer));
        ASSERT_TRUE(renderer.BeginFrame());
        renderer.Clear(CColor(0xFF203040u));
        list.Draw(renderer);
        ASSERT_NO_FATAL_FAILURE(guitest::ReadFrame(renderer, kHogGoldenWidth, kHogGoldenHeight, pixels));
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
    }
    host.Close();
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "hog_completion_message", kHogGoldenWidth,
                                   kHogGoldenHeight, pixels);
}

} // namespace
