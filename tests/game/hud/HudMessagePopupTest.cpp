#include "HudTestSupport.h"
#include "game/hud/Hud.h"
#include "game/hud/HudMessagePopup.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"
#include "gui/RecordingRenderer.h"

#include <gtest/gtest.h>

namespace {

class HudMessagePopupTest : public ::testing::Test
{
protected:
    void SetUp() override { hudtest::DeclareHudContent(); }
    void TearDown() override { game::CHud::SetFallbackScreenSize(1366, 768); }
};

TEST_F(HudMessagePopupTest, LoadPlacesWindowAndButtonOnTheScreen)
{
    struct SCase
    {
        s32 width, height;
        CVector2 corner;
        CIntRect button;
    };
    // Window 400 x 300, button frames 120 x 40.
    const SCase cases[] = {
        {1366, 768, CVector2(483, 196), CIntRect(623, 454, 120, 40)},
        {1024, 768, CVector2(312, 196), CIntRect(452, 454, 120, 40)},
    };
    for (const SCase& c : cases) {
        game::CHud::SetFallbackScreenSize(c.width, c.height);
        game::CHudMessagePopup popup;
        CVector2 corner;
        popup.Load(corner);
        EXPECT_EQ(corner.X, c.corner.X);
        EXPECT_EQ(corner.Y, c.corner.Y);
        EXPECT_EQ(popup.GetButtonRect(), c.button);
        EXPECT_FALSE(popup.IsButtonHovered());
    }
}

TEST_F(HudMessagePopupTest, HoverShiftsThePointByHalfTheMissingWidth)
{
    game::CHud::SetFallbackScreenSize(1024, 768);
    game::CHudMessagePopup popup;
    CVector2 corner;
    popup.Load(corner);
    // Button at x 452..571 on a 1024 source; points are shifted left by 171.
    lv::gui::CCursorManager::Instance().SetCursor(100);
    EXPECT_FALSE(popup.OnMouseMove(CVector2(460, 460), true));
    EXPECT_TRUE(popup.OnMouseMove(CVector2(460 + 171, 460), true));
    EXPECT_TRUE(popup.IsButtonHovered());
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), 101);
    EXPECT_FALSE(popup.OnMouseMove(CVector2(452 + 171 + 120, 460), true));
    EXPECT_FALSE(popup.IsButtonHovered());
    // Disabled: never hovered, even over the button.
    EXPECT_FALSE(popup.OnMouseMove(CVector2(460 + 171, 460), false));
    EXPECT_FALSE(popup.IsButtonHovered());
}

TEST_F(HudMessagePopupTest, AlphaZeroDrawsOnlyTheOpaqueIcon)
{
    CRecordingRenderer recording;
    game::CHudMessagePopup popup;
    CVector2 corner;
    popup.Load(corner);
    popup.SetIcon(lv::graphics::CTextureManager::Instance().GetImage("item_small"));
    recording.Log->Draws.clear();
    popup.Draw(*recording.Renderer, 0);
    recording.Renderer->Flush();
    const size_t iconOnly = recording.Log->Draws.size();
    EXPECT_GE(iconOnly, 1u);

    recording.Log->Draws.clear();
    popup.SetIcon(nullptr);
    popup.Draw(*recording.Renderer, 0);
    recording.Renderer->Flush();
    EXPECT_EQ(recording.Log->Draws.size(), 0u);

    recording.Log->Draws.clear();
    popup.Draw(*recording.Renderer, 255);
    recording.Renderer->Flush();
    EXPECT_GT(recording.Log->Draws.size(), 0u);
}

} // namespace
