#include "GameWindowTestSupport.h"

#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "game/hud/Hud.h"
#include "game/play/MinigameFullScrBtn.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"

#include <fstream>

namespace {

// "windows_button_minigame" 400 x 40 (frames of 100) and "windows_button" 480 x 40, declared
// once per process.
void DeclareButtonImages()
{
    static const CTempFolder folder;
    static const bool declared = [] {
        std::filesystem::create_directories(folder.Path() / "gfx");
        std::string surfaces, group;
        for (const auto& [name, width] : {std::pair<const char*, u32>{"windows_button_minigame", 400},
                                          std::pair<const char*, u32>{"windows_button", 480}})
        {
            std::vector<u32> pixels(width * 40, 0xFF4080FFu);
            std::vector<u8> png;
            EXPECT_TRUE(lv::content::EncodePngArgb(width, 40, pixels, true, png));
            const std::string path = std::string("gfx/") + name + ".png";
            std::ofstream(folder.Path() / path, std::ios::binary)
                .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
            surfaces += "<surface path=\"" + path + "\" width=\"" + std::to_string(width) + "\" height=\"40\"/>";
            group += std::string("<image id=\"") + name + "\" path=\"" + path + "\" cols=\"1\" rows=\"1\"/>";
        }
        const CWorkingFolder cwd(folder.Path());
        std::vector<u8> blob;
        EXPECT_TRUE(lv::content::CompileTextureDeclarations("<?xml version=\"1.0\"?>\n<resources><surfaces>" +
                                                                surfaces + "</surfaces><group id=\"buttons\">" +
                                                                group + "</group></resources>",
                                                            blob));
        auto* declarations = new lv::graphics::CTextureDeclarations();
        EXPECT_TRUE(declarations->LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        lv::graphics::CTextureManager::Instance().Init(declarations);
        return true;
    }();
    (void)declared;
}

class MinigameFullScrBtn : public gamewindowtest::GameWindowFixture
{
protected:
    void SetUp() override
    {
        GameWindowFixture::SetUp();
        DeclareButtonImages();
    }
    void TearDown() override
    {
        game::CHud::SetFallbackScreenSize(1366, 768);
        GameWindowFixture::TearDown();
    }
    // A window in that game mode on a layout of that width.
    void Layout(bool bonus, s32 width)
    {
        game::CHud::SetFallbackScreenSize(width, 768);
        ASSERT_EQ(game::CHud::GetScreenSize().X, width);
        MakeWindow();
        if (bonus)
        {
            ASSERT_TRUE(Window->StartGame(true, true, false, false));
        }
        ASSERT_EQ(Window->GetGameMode() == 3, bonus);
    }

    game::CMinigameFullScrBtn Button;
};

} // namespace

TEST_F(MinigameFullScrBtn, PlacesItselfByLayoutWidthAndGameMode)
{
    struct SCase
    {
        bool bonus;
        s32 width;
        s32 x, y;
    };
    for (const SCase& c : {SCase{false, 1366, 1291, 588}, SCase{false, 1365, 1365 - 270, 768 - 30},
                           SCase{true, 1366, 1266, 738}, SCase{true, 1200, 1100, 738}})
    {
        SCOPED_TRACE(c.width);
        Layout(c.bonus, c.width);
        Button.Init("windows_button_minigame", "font_16", 500, 1291.0f, 588.0f);
        EXPECT_EQ(Button.GetPosition().X, static_cast<float>(c.x));
        EXPECT_EQ(Button.GetPosition().Y, static_cast<float>(c.y));
        EXPECT_EQ(Button.GetRect().X, c.x - 50);
        EXPECT_EQ(Button.GetRect().Y, c.y - 20);
        EXPECT_EQ(Button.GetRect().Width, 100);
        EXPECT_EQ(Button.GetRect().Height, 40);
        EXPECT_EQ(Button.GetExtrasRect().X, c.width - 100 + 10);
        EXPECT_EQ(Button.GetExtrasRect().Y, 6);
    }
    // The 1291 centre covers x 1241 to 1340.
    Layout(false, 1366);
    Button.Init("windows_button_minigame", "font_16", 500, 1291.0f, 588.0f);
    EXPECT_TRUE(Button.OnClick(CPoint2i(1241, 570)));
    EXPECT_TRUE(Button.OnClick(CPoint2i(1340, 607)));
    EXPECT_FALSE(Button.OnClick(CPoint2i(1240, 570)));
    EXPECT_FALSE(Button.OnClick(CPoint2i(1341, 570)));
    Button.SetPosition(CVector2(200.7f, 100.2f));
    EXPECT_EQ(Button.GetRect().X, 150);
    EXPECT_EQ(Button.GetRect().Y, 80);
}

TEST_F(MinigameFullScrBtn, TheSecondButtonEndsTheLevelOnlyInTheBonusMode)
{
    Layout(false, 1366);
    Button.Init("windows_button_minigame", "font_16", 500, 1291.0f, 588.0f);
    const CPoint2i corner(1366 - 50, 20);
    EXPECT_FALSE(Button.OnMouseMove(corner));
    EXPECT_EQ(Button.GetExtrasHovered(), 0);
    EXPECT_FALSE(Button.OnClick(corner));
    EXPECT_FALSE(Window->IsLevelCompleted());

    Layout(true, 1366);
    Button.Init("windows_button_minigame", "font_16", 500, 1291.0f, 588.0f);
    lv::gui::CCursorManager::Instance().SetCursor(100);
    EXPECT_TRUE(Button.OnMouseMove(corner));
    EXPECT_EQ(Button.GetExtrasHovered(), 1);
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), 101);
    EXPECT_FALSE(Button.OnClick(corner));
    EXPECT_TRUE(Window->IsLevelCompleted());
}

TEST_F(MinigameFullScrBtn, HoverSelectsTheHandAndActivationSwitchesTheHudMode)
{
    Layout(false, 1366);
    Button.Init("windows_button_minigame", "font_16", 500, 1291.0f, 588.0f);
    EXPECT_TRUE(Button.IsIdle());
    lv::gui::CCursorManager::Instance().SetCursor(100);
    EXPECT_TRUE(Button.OnMouseMove(CPoint2i(1291, 588)));
    EXPECT_EQ(Button.GetHovered(), 1);
    EXPECT_FALSE(Button.IsIdle());
    EXPECT_EQ(lv::gui::CCursorManager::Instance().GetCursor(), 101);
    EXPECT_FALSE(Button.OnMouseMove(CPoint2i(10, 10)));
    EXPECT_EQ(Button.GetHovered(), 0);
    EXPECT_TRUE(Button.IsIdle());

    const s32 before = Window->GetHud().GetMode();
    Button.Activate();
    EXPECT_EQ(Window->GetHud().GetMode(), game::CHud::kModeMinigame);
    Button.Deactivate();
    EXPECT_EQ(Window->GetHud().GetMode(), before);
}

TEST_F(MinigameFullScrBtn, WithoutAnImageNothingIsPlacedOrMoved)
{
    Layout(false, 1366);
    Button.Init("no_such_image", "font_16", 500, 1291.0f, 588.0f);
    Button.SetPosition(CVector2(10.0f, 10.0f));
    EXPECT_EQ(Button.GetRect().Width, 0);
    EXPECT_EQ(Button.GetRect().X, 1291);
}
