#include "WidgetTestSupport.h"
#include "graphics/LogCapture.h"
#include "support/RecordingSystemIntegration.h"

#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"

#include "gui/CursorManager.h"

#include <gtest/gtest.h>

using lv::gui::CCursorManager;

TEST(CursorManager, UpdateAppliesTheCurrentSystemCursor)
{
    CRecordingSystemIntegration platform;
    auto& cursors = CCursorManager::Instance();
    cursors.SetHidden(false);
    cursors.SetCursor(CCursorManager::kHand);
    cursors.Update();
    EXPECT_EQ(platform.CursorSpec.CursorId, IDC_HAND);
    EXPECT_TRUE(platform.CursorShown);
    // An id without a cursor keeps what was shown.
    cursors.SetCursor(12345);
    platform.Calls.clear();
    cursors.Update();
    EXPECT_TRUE(platform.Calls.empty());
    cursors.SetCursor(CCursorManager::kText);
    cursors.SetHidden(true);
    cursors.Update();
    EXPECT_EQ(platform.Calls, std::vector<std::string>{"ShowSystemCursor 0"});
    cursors.SetHidden(false);
    cursors.SetCursor(CCursorManager::kPointer);
}

TEST(CursorManager, MouseMovesResetToThePointerExceptHourglassOrHidden)
{
    auto& cursors = CCursorManager::Instance();
    cursors.SetHidden(false);
    cursors.SetCursor(CCursorManager::kHand);
    cursors.SetMousePosition(CPoint2i(3, 4));
    EXPECT_EQ(cursors.GetCursor(), CCursorManager::kPointer);
    EXPECT_EQ(cursors.GetMousePosition(), CPoint2i(3, 4));
    cursors.SetCursor(CCursorManager::kHourglass);
    cursors.SetMousePosition(CPoint2i(5, 6));
    EXPECT_EQ(cursors.GetCursor(), CCursorManager::kHourglass);
    cursors.SetCursor(CCursorManager::kText);
    cursors.SetHidden(true);
    cursors.SetMousePosition(CPoint2i(7, 8));
    EXPECT_EQ(cursors.GetCursor(), CCursorManager::kText);
    EXPECT_EQ(cursors.GetMousePosition(), CPoint2i(7, 8));
    cursors.SetHidden(false);
    cursors.SetCursor(CCursorManager::kPointer);
}

namespace {

using lv::gui::CCustomCursor;
using lv::gui::CCustomCursorList;

// A letterboxed picture: design 400 x 150 at scale 2 in an 800 x 600 client area, so the picture
// lies at (0, 150, 800, 300) with bars above and below.
class CursorDrawing : public testing::Test, public lv::graphics::CRendererHost
{
protected:
    void SetUp() override
    {
        guitest::DeclareGuiTestImages();
        Log = lv::platform::InstallRecordingDirect3D();
        Log->WindowWidth = 800;
        Log->WindowHeight = 600;
        lv::graphics::GetGraphicsDevice().Release(false);
        Renderer = std::make_unique<lv::graphics::CRenderer>();
        Renderer->SetHost(this);
        Renderer->SetPreserveAspectRatio(true);
        Renderer->SetSourceSize(400, 150);
        ASSERT_TRUE(Renderer->SetMode(false, true, 800, 600));
        ASSERT_TRUE(Renderer->BeginFrame());
        Platform.ClientOrigin = CPoint2i(100, 50);
    }
    void TearDown() override
    {
        auto& cursors = CCursorManager::Instance();
        cursors.SetCustomCursors(false);
        cursors.SetHidden(false);
        cursors.SetCursor(CCursorManager::kPointer);
        Renderer.reset();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 800;
        h = 600;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}

    // The client-area rectangle the manager's drawing covered (empty when nothing was drawn).
    CFloatRect DrawAt(s32 clientX, s32 clientY)
    {
        Platform.CursorPos = CPoint2i(clientX + 100, clientY + 50);
        Log->Draws.clear();
        CCursorManager::Instance().Draw(*Renderer);
        Renderer->Flush();
        return DrawnBounds(*Log);
    }

    CRecordingSystemIntegration Platform;
    std::shared_ptr<lv::platform::CRecordingLog> Log;
    std::unique_ptr<lv::graphics::CRenderer> Renderer;
};

} // namespace

TEST(CustomCursorList, FillsFromSlotZeroAndRefusesTheThirtyThird)
{
    auto list = std::make_unique<CCustomCursorList>();
    EXPECT_TRUE(list->IsEmpty());
    EXPECT_EQ(list->GetLastIndex(), -1);
    EXPECT_EQ(list->GetCount(), 0);
    CCustomCursor cursor;
    EXPECT_EQ(cursor.Id, -1);
    EXPECT_EQ(cursor.SystemCursor.CursorId, u32(IDC_ARROW));
    for (s32 i = 0; i < CCustomCursorList::kCapacity; ++i) {
        cursor.Id = i;
        EXPECT_TRUE(list->Add(cursor));
        EXPECT_EQ(list->GetLastIndex(), i);
    }
    EXPECT_EQ(list->Get(0).Id, 0);
    CScratchLogCapture log;
    cursor.Id = 77;
    EXPECT_FALSE(list->Add(cursor));
    EXPECT_EQ(list->GetCount(), 32);
    EXPECT_EQ(list->Get(31).Id, 31);
    EXPECT_TRUE(log.Contains("[2]: cursor list full (32 cursors): cursor 77 not added")) << log.Text();
}

TEST(CursorManager, StandardCursorsUseTheSystemCursors)
{
    CRecordingSystemIntegration platform;
    guitest::DeclareGuiTestImages();
    auto& cursors = CCursorManager::Instance();
    const struct
    {
        s32 id;
        const char* image;
        u32 system;
    } table[] = {{100, "gui_cursors_pointer", IDC_ARROW},
                 {101, "gui_cursors_hand", IDC_HAND},
                 {102, "gui_cursors_text", IDC_IBEAM},
                 {103, "gui_cursors_hourglass", IDC_WAIT}};
    for (const auto& row : table) {
        const CCustomCursor* cursor = cursors.FindCursor(row.id);
        ASSERT_NE(cursor, nullptr);
        EXPECT_STREQ(cursor->PointerImage.GetText(), row.image);
        EXPECT_EQ(cursor->SystemCursor.CursorId, row.system);
        EXPECT_EQ(cursor->Loaded, 1);
        cursors.SetCursor(row.id);
        cursors.Update();
        EXPECT_EQ(platform.CursorSpec.CursorId, row.system);
    }
    // Images bound when declared: the pointer is centred on the mouse point.
    const CCustomCursor* hand = cursors.FindCursor(101);
    ASSERT_NE(hand->PointerSprite.GetImage(), nullptr);
    EXPECT_EQ(hand->PointerSprite.GetTransform().M20, -10);
    EXPECT_EQ(hand->PointerSprite.GetTransform().M21, -12);
    EXPECT_EQ(cursors.FindCursor(102)->PointerSprite.GetImage(), nullptr);
    cursors.SetCursor(CCursorManager::kPointer);
}

TEST_F(CursorDrawing, CustomModeDrawsTheImageCentredOnTheSystemCursor)
{
    auto& cursors = CCursorManager::Instance();
    cursors.SetCustomCursors(true);
    cursors.SetCursor(CCursorManager::kHand);
    cursors.Update();
    EXPECT_EQ(cursors.GetSoftwareCursor(), &cursors.FindCursor(CCursorManager::kHand)->PointerSprite);
    EXPECT_FALSE(Platform.CursorShown);
    // 20 x 24 design units at scale 2, centred on the point.
    EXPECT_EQ(DrawAt(400, 300), CFloatRect(380, 276, 40, 48));
    // An id without cursor keeps the hand.
    cursors.SetCursor(999);
    cursors.Update();
    EXPECT_EQ(DrawAt(400, 300), CFloatRect(380, 276, 40, 48));
    // In a window nothing is drawn over the bars; hidden draws nothing either.
    EXPECT_EQ(DrawAt(400, 100), CFloatRect());
    cursors.SetHidden(true);
    EXPECT_EQ(DrawAt(400, 300), CFloatRect());
}

TEST_F(CursorDrawing, FullScreenCustomCursorIsClampedToThePicture)
{
    ASSERT_TRUE(Renderer->SetMode(true, true, 800, 600));
    ASSERT_TRUE(Renderer->IsFullscreen());
    ASSERT_TRUE(Renderer->BeginFrame());
    auto& cursors = CCursorManager::Instance();
    cursors.SetCustomCursors(true);
    cursors.SetCursor(CCursorManager::kHand);
    cursors.Update();
    EXPECT_EQ(DrawAt(400, 100), CFloatRect(380, 150 - 24, 40, 48));
}

TEST_F(CursorDrawing, SystemModeIconShowsWhileTheCursorIsHidden)
{
    auto& cursors = CCursorManager::Instance();
    CCustomCursorList game;
    CCustomCursor cursor;
    cursor.Id = 0;
    cursor.IconImage = CFixedString("cursor_icon");
    cursor.SystemCursor.CursorId = IDC_HAND;
    game.Add(cursor);
    cursors.AddCursors(game);
    EXPECT_EQ(cursors.GetCursors().GetCount(), 5);
    EXPECT_EQ(cursors.FindCursor(0)->Loaded, 1);
    cursors.SetCursor(0);
    cursors.SetHidden(true);
    // Hidden: a move does not reset the id.
    cursors.SetMousePosition(CPoint2i(50, 60));
    EXPECT_EQ(cursors.GetCursor(), 0);
    Platform.Calls.clear();
    cursors.Update();
    EXPECT_EQ(Platform.Calls, std::vector<std::string>{"ShowSystemCursor 0"});
    // The icon (8 x 8) at the mouse position + (9, 9), in design units at scale 2.
    EXPECT_EQ(DrawAt(0, 0), CFloatRect(118, 150 + 138, 16, 16));
    // A standard cursor has no icon.
    cursors.SetHidden(false);
    cursors.SetCursor(CCursorManager::kPointer);
    cursors.Update();
    EXPECT_TRUE(Platform.CursorShown);
    EXPECT_EQ(DrawAt(0, 0), CFloatRect());
}
