#pragma once
// One sprite stretched over the widget's rectangle: pictures in templates, window and tool-tip
// backgrounds. It takes no input.
#include "graphics/Sprite.h"
#include "gui/Widget.h"

namespace lv::gui {

class CImageWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CImageWidget>;

    // No image; what the factory makes before loading a template.
    CImageWidget();
    // Binds the image declared under imageName and takes its size.
    CImageWidget(const CFixedString& imageName, const CFixedString& name, u32 layer, u32 eventMask);
    CImageWidget(const lv::graphics::CSprite& sprite, const CFixedString& name, u32 layer, u32 eventMask);
    ~CImageWidget() override;

    void SetSize(float width, float height) override;
    // The base's loading, then "image" and the size, a missing width or height taken from the image.
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    void Draw(lv::graphics::CRenderer& renderer) override;

    // Rebinds with a full reset of the sprite's transform, colour, rectangle and flags.
    void SetImage(const CFixedString& imageName);
    void SetImage(const lv::graphics::CSprite& sprite);
    lv::graphics::CSprite& GetImage() { return m_Sprite; }

private:
    void TakeImageSize();
    // Stretches the sprite over (0, 0, width, height).
    void FitSprite();

    lv::graphics::CSprite m_Sprite;
};

} // namespace lv::gui
