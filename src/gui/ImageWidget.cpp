#include "gui/ImageWidget.h"

#include "core/SettingsGroup.h"
#include "graphics/Renderer.h"

namespace lv::gui {

CImageWidget::CImageWidget() : CWidget(CFixedString(""), 0, 0)
{
    SetFlags(GetFlags() | Disabled);
}

CImageWidget::CImageWidget(const CFixedString& imageName, const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask), m_Sprite(imageName)
{
    SetFlags(GetFlags() | Disabled);
    TakeImageSize();
}

CImageWidget::CImageWidget(const lv::graphics::CSprite& sprite, const CFixedString& name, u32 layer,
                           u32 eventMask)
    : CWidget(name, layer, eventMask), m_Sprite(sprite)
{
    SetFlags(GetFlags() | Disabled);
    TakeImageSize();
}

CImageWidget::~CImageWidget() = default;

void CImageWidget::TakeImageSize()
{
    const CPoint2i size = m_Sprite.GetImageSize();
    SetSize(static_cast<float>(size.X), static_cast<float>(size.Y));
}

void CImageWidget::FitSprite()
{
    const CVector2 size = GetSize();
    m_Sprite.SetRect(CFloatRect(0, 0, size.X, size.Y));
}

void CImageWidget::SetSize(float width, float height)
{
    CWidget::SetSize(width, height);
    FitSprite();
}

void CImageWidget::SetImage(const CFixedString& imageName)
{
    m_Sprite.SetImageByName(imageName, true);
    FitSprite();
}

void CImageWidget::SetImage(const lv::graphics::CSprite& sprite)
{
    m_Sprite = sprite;
    FitSprite();
}

void CImageWidget::Draw(lv::graphics::CRenderer& renderer)
{
    m_Sprite.Draw(renderer);
    CWidget::Draw(renderer);
}

void CImageWidget::LoadFromTemplate(const lv::core::CSettingsGroup& node,
                                    const lv::core::CSettingsGroup& templates)
{
    CWidget::LoadFromTemplate(node, templates);
    if (node.HasAttribute("image"))
        m_Sprite.SetImageByName(CFixedString(node.GetAttribute("image").c_str()), true);
    CVector2 size = GetSize();
    const CPoint2i image = m_Sprite.GetImageSize();
    if (size.X == 0)
        size.X = static_cast<float>(image.X);
    if (size.Y == 0)
        size.Y = static_cast<float>(image.Y);
    SetSize(size.X, size.Y);
}

} // namespace lv::gui
