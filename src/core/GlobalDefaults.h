#pragma once
// Game-side constants shared by several windows and layouts. Nothing writes them after
// start-up.
#include "core/FixedString.h"
#include "core/Point2i.h"
#include "core/Vector2.h"

#include <array>

// The main menu's music: played by name and later stopped by name.
extern const CFixedString MainMenuMusicName;
// Size of the box the shop centres on the screen.
extern const CVector2 ShopBoxSize;
// The hidden-object scene's layout values.
extern const std::array<s32, 4> HogLayoutValues;
// The minigame hint button: margin subtracted from the screen size, and its layout offsets.
extern const CPoint2i HintButtonMargin;
extern const std::array<s32, 4> HintButtonOffsets;
// The HUD hint: margin added to its anchor point, and its layout offsets.
extern const CPoint2i HudHintMargin;
extern const std::array<s32, 4> HudHintOffsets;
// Frame insets of the speech bubble and of its small variant.
extern const std::array<s32, 4> BubbleInsets;
extern const std::array<s32, 4> BubbleSmallInsets;
// The colouring minigame's brush colours, in order.
extern const std::array<CFixedString, 5> BrushColorNames;
// Added to the cursor position for text shown at the cursor.
extern const CVector2 CursorTextOffset;
// The initial timing pair of each logo of the start-up splash.
extern const std::array<s32, 2> SplashLogoTiming;
