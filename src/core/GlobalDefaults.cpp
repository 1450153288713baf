#include "core/GlobalDefaults.h"

const CFixedString MainMenuMusicName("main_menu_music");
const CVector2 ShopBoxSize(400, 300);
const std::array<s32, 4> HogLayoutValues = {17, 18, 41, 33};
const CPoint2i HintButtonMargin(5, 5);
const std::array<s32, 4> HintButtonOffsets = {120, 135, 0, 0};
const CPoint2i HudHintMargin(5, 5);
const std::array<s32, 4> HudHintOffsets = {130, 170, 1, 1};
const std::array<s32, 4> BubbleInsets = {45, 12, 45, 37};
const std::array<s32, 4> BubbleSmallInsets = {25, 7, 25, 7};
const std::array<CFixedString, 5> BrushColorNames = {CFixedString("yellow"), CFixedString("green"),
                                                     CFixedString("blue"), CFixedString("purple"),
                                                     CFixedString("red")};
const CVector2 CursorTextOffset(9, 9);
const std::array<s32, 2> SplashLogoTiming = {1000, 200};
