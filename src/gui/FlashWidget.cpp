#include "gui/FlashWidget.h"

#include "graphics/Renderer.h"
#include "graphics/ShortRect.h"

namespace lv::gui {

CFlashWidget::CFlashWidget() : CFlashWidget(u"", 0, 0, "", CFixedString(""), 0, 0) {}

CFlashWidget::CFlashWidget(const WChar* moviePath, s32 width, s32 height, const char* movieName,
                           const CFixedString& name, u32 layer, u32 eventMask)
    : CWidget(name, layer, eventMask), m_Player(u"", 0, 0, "")
{
    LoadMovie(moviePath, width, height, movieName);
}

CFlashWidget::~CFlashWidget() = default;

bool CFlashWidget::LoadMovie(const WChar* path, s32 width, s32 height, const char* name)
{
    const bool loaded = m_Player.LoadMovie(path, width, height, name);
    SetSize(static_cast<float>(width), static_cast<float>(height));
    return loaded;
}

void CFlashWidget::Update()
{
    CWidget::Update();
    m_Player.Update();
}

void CFlashWidget::Draw(lv::graphics::CRenderer& renderer)
{
    CWidget::Draw(renderer);
    const lv::graphics::CImageHandle* image = m_Player.Render(true);
    if (!image)
        return;
    const CPoint2i* movie = m_Player.GetMovieSize();
    const CVector2 size = GetSize();
    lv::graphics::CShortRect texels;
    texels.width = static_cast<s16>(movie->X);
    texels.height = static_cast<s16>(movie->Y);
    renderer.DrawImagePart(image, CFloatRect(0, 0, size.X, size.Y), texels, CColor(0xFFFFFFFFu));
}

} // namespace lv::gui
