// Hidden-object frames on the real OpenGL layer: the completion message of a round with two
// rewards, drawn by the item list over the struck-through name list, and a search with its popup
// open in its frame; compared with tests/game/play/golden/hog_*.png (GAME_UPDATE_GOLDEN=1 writes
// them instead).
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
protected:
    // Draws through `draw` on a window of the golden size, over a slate background.
    template <class TDraw>
    void DrawFrame(const char* title, TDraw draw, std::vector<u32>& pixels)
    {
        guitest::CGlWindowHost host(kHogGoldenWidth, kHogGoldenHeight);
        ASSERT_TRUE(host.Open(title));
        {
            const CWorkingFolder cwd(hudtest::HudFolder());
            lv::graphics::CRenderer renderer;
            ASSERT_TRUE(host.StartRenderer(renderer));
            ASSERT_TRUE(renderer.BeginFrame());
            renderer.Clear(CColor(0xFF203040u));
            draw(renderer);
            ASSERT_NO_FATAL_FAILURE(guitest::ReadFrame(renderer, kHogGoldenWidth, kHogGoldenHeight, pixels));
            lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
        }
        host.Close();
    }
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

    std::vector<u32> pixels;
    ASSERT_NO_FATAL_FAILURE(DrawFrame("hog completion test", [&](lv::graphics::CRenderer& r) { list.Draw(r); }, pixels));
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "hog_completion_message", kHogGoldenWidth,
                                   kHogGoldenHeight, pixels);
}

// The popup scene (a backdrop, a drawer and the key to find) in its frame with the close button
// hovered, over the panel whose list names the three main items and the key.
TEST_F(HogItemListGolden, APopupOpenInItsFrame)
{
    Start(hogtest::Area("hog1_cup", "a1", 100, 100, 40, "2101") + hogtest::Area("hog1_book", "a2", 300, 100, 40, "2102") +
              hogtest::Area("hog1_lamp", "a3", 500, 100, 40, "2103") + hogtest::Area("popup_zone", "a4", 700, 100, 100) +
              hogtest::Area("key", "a5", 900, 100),
          {{"index", "1"}, {"prev_scene", "hall"}, {"popup_area", "popup_zone"}, {"popup", "popup"}},
          R"(<image id="hog1_key" guid="e1" hint="2104" color="-1" image_id="item_small" offset="300 220" size="40 30"/>)"
          R"(<image id="drawer" guid="e2" color="-1" image_id="item_large" offset="130 90" size="200 100"/>)"
          R"(<image id="backdrop" guid="e3" color="-1" image_id="windows_window_standart" offset="200 150" size="400 300"/>)");
    game::CHog* hog = Hog();
    ASSERT_TRUE(hog->OnMouseDown(CPoint2i(750, 150)));
    ASSERT_TRUE(hog->IsPopupActive());
    const CIntRect close = hog->GetCloseRect();
    hog->OnMouseMove(CPoint2i(close.X + close.Width / 2, close.Y + close.Height / 2));
    ASSERT_EQ(hog->GetCloseState(), 1);
    Frame(16);

    std::vector<u32> pixels;
    ASSERT_NO_FATAL_FAILURE(DrawFrame("hog popup test", [&](lv::graphics::CRenderer& r) { hog->Draw(r); }, pixels));
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "hog_popup_open", kHogGoldenWidth,
                                   kHogGoldenHeight, pixels);
}

} // namespace
