#pragma once
// One cursor of the cursor manager: its id, the image drawn in its place in custom mode, the icon
// drawn beside the system cursor in system mode, and the system cursor itself. The sprites are
// bound once, when the manager loads its resources.
#include "core/FixedString.h"
#include "core/SystemCursorSpec.h"
#include "core/Types.h"
#include "graphics/Sprite.h"

namespace lv::gui {

class CCustomCursor
{
public:
    s32 Id = -1;
    CFixedString PointerImage;
    CFixedString IconImage;
    CSystemCursorSpec SystemCursor;
    u8 Loaded = 0;
    // Centred on the mouse point through its transform.
    lv::graphics::CSprite PointerSprite;
    // Drawn from its top-left corner.
    lv::graphics::CSprite IconSprite;

    // Binds both sprites to their images (a missing image leaves a sprite without one) and
    // marks the record loaded.
    void Load();
};

} // namespace lv::gui
