#include "gui/CustomCursor.h"

#include "core/Matrix3.h"
#include "graphics/ImageHandle.h"
#include "graphics/TextureManager.h"

namespace lv::gui {

void CCustomCursor::Load()
{
    lv::graphics::CTextureManager& textures = lv::graphics::CTextureManager::Instance();
    if (lv::graphics::CImageHandle* pointer = textures.GetImage(PointerImage)) {
        PointerSprite = lv::graphics::CSprite(pointer);
        CMatrix3 centre;
        CMatrix3::MakeTranslation(centre, -static_cast<float>(pointer->GetWidth()) / 2,
                                  -static_cast<float>(pointer->GetHeight()) / 2);
        PointerSprite.SetTransform(centre);
    }
    IconSprite = lv::graphics::CSprite(textures.GetImage(IconImage));
    Loaded = 1;
}

} // namespace lv::gui
