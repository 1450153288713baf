#include "support/RecordingSystemIntegration.h"

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
