#include "anim/TextObject.h"

#include "anim/ClipItem.h"
#include "core/IntRect.h"
#include "core/Matrix3.h"
#include "core/Point2i.h"
#include "core/StringTable.h"
#include "graphics/Font.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/Renderer.h"
#include "graphics/TextRender.h"
#include "graphics/TextureManager.h"

#include <algorithm>
#include <cmath>

namespace lv::misc::anim {

namespace {

const CFixedString kNoTextResourceName;

// Bounds narrower than this have no scale to lay text out or to stretch it with.
constexpr float kMinTextExtent = 0.001f;

bool TextBoundsHaveExtent(const CFloatRect& rect)
{
    return std::fabs(rect.Width) > kMinTextExtent && std::fabs(rect.Height) > kMinTextExtent;
}

s32 RoundTextBound(float v)
{
    return static_cast<s32>(v > 0 ? v + 0.5f : v - 0.5f);
}

// One renderer for every measurement, made on first use.
graphics::CTextRender& MeasuringTextRender()
{
    static graphics::CTextRender render;
    return render;
}

CMatrix3 MultiplyTextMatrices(const CMatrix3& a, const CMatrix3& b)
{
    CMatrix3 out;
    a.Multiply(out, b);
    return out;
}

CMatrix3 TextScaleMatrix(float sx, float sy)
{
    CMatrix3 m;
    CMatrix3::MakeScale(m, sx, sy);
    return m;
}

CMatrix3 TextTranslationMatrix(float x, float y)
{
    CMatrix3 m;
    CMatrix3::MakeTranslation(m, x, y);
    return m;
}

} // namespace

void FitBoundingQuad(CBoundingQuad& quad, float sx, float sy, s32 flags)
{
    CVector2 uv;
    quad.ToUV(uv, quad.Position);
    CVector2* c = quad.Corners.Corners;
    const CVector2 extent(c[2].X - c[0].X, c[2].Y - c[0].Y);
    const CVector2 grown(extent.X * sx, extent.Y * sy);
    const CVector2 growth(grown.X - extent.X, grown.Y - extent.Y);
    if (flags & CTextObject::GrowRight) {
        c[2].X = c[1].X = c[0].X + grown.X;
    } else if (flags & CTextObject::GrowBothWays) {
        c[0].X = c[3].X = c[0].X - growth.X / 2;
        c[1].X = c[2].X = c[1].X + growth.X / 2;
    } else if (flags & CTextObject::GrowLeft) {
        c[0].X = c[3].X = c[1].X - grown.X;
    }
    if (flags & CTextObject::GrowDown) {
        c[2].Y = c[3].Y = c[0].Y + grown.Y;
    } else if (flags & CTextObject::GrowUpAndDown) {
        c[0].Y = c[1].Y = c[0].Y - growth.Y / 2;
        c[2].Y = c[3].Y = c[2].Y + growth.Y / 2;
    } else if (flags & CTextObject::GrowUp) {
        c[0].Y = c[1].Y = c[2].Y - grown.Y;
    }
    CVector2 p;
    quad.FromUV(p, uv);
    const CVector2 shift(quad.Position.X - p.X, quad.Position.Y - p.Y);
    for (int i = 0; i < 4; ++i)
        c[i] = CVector2(c[i].X + shift.X, c[i].Y + shift.Y);
    quad.Position = p;
}

void CTextObject::SetTextKey(const std::string& key)
{
    m_TextKey = key;
    core::CStringTable::Instance().ExpandReferencesA(m_Text, key);
    Relayout();
}

void CTextObject::SetText(const WString& text)
{
    m_TextKey.clear();
    WString expanded;
    core::CStringTable::Instance().ExpandReferences(expanded, text);
    m_Text = std::move(expanded);
    Relayout();
}

void CTextObject::SetFontByName(const char* name)
{
    if (graphics::CFont* font = core::CFontManager::Instance()->FindFont(name))
        m_Font = font;
}

const CFixedString& CTextObject::GetFontName() const
{
    return m_Font ? m_Font->name : kNoTextResourceName;
}

void CTextObject::SetBackgroundImageByName(const char* name)
{
    m_Background = name && *name ? graphics::CTextureManager::Instance().GetImage(name) : nullptr;
}

const CFixedString& CTextObject::GetBackgroundImageName() const
{
    if (m_Background && m_Background->GetInfo())
        return m_Background->GetInfo()->name;
    return kNoTextResourceName;
}

void CTextObject::SetBounds(const CFloatRect& bounds, bool adjust)
{
    if (adjust && TextBoundsHaveExtent(m_Bounds)) {
        const float sx = bounds.Width / m_Bounds.Width;
        const float sy = bounds.Height / m_Bounds.Height;
        FitBoundingQuad(m_Quad, sx, sy, m_TextFlags);
        MakeKeyPointsOwned();
        CClipKeyPoint* keys = GetOwnedKeyPoints();
        for (u32 i = 0, count = GetKeyPointCount(); i < count; ++i) {
            CBoundingQuad quad(keys[i].Position, keys[i].Corners, keys[i].Angle);
            FitBoundingQuad(quad, sx, sy, m_TextFlags);
            keys[i].Position = quad.Position;
            keys[i].Corners = quad.Corners;
            keys[i].Angle = quad.Angle;
        }
    }
    m_Bounds = bounds;
}

s32 CTextObject::GetRenderFlags() const
{
    return ((m_TextFlags & 0x3F) << 5) | ((m_TextFlags & WordWrap) ? 0x8 : 0);
}

void CTextObject::Relayout()
{
    if (!m_Font)
        return;
    const CIntRect box(RoundTextBound(m_Bounds.X), RoundTextBound(m_Bounds.Y), RoundTextBound(m_Bounds.Width),
                       RoundTextBound(m_Bounds.Height));
    const u32 flags = static_cast<u32>(GetRenderFlags());
    const u32 length = static_cast<u32>(m_Text.size());
    CPoint2i size;
    if (length != 0) {
        graphics::CTextRender& render = MeasuringTextRender();
        if (m_TextFlags & WordWrap) {
            CIntRect last;
            if (render.GetCharRect(m_Font, m_Text.c_str(), &box, flags, length, static_cast<s32>(length - 1), &last)) {
                size.X = box.Width;
                size.Y = last.Y + last.Height;
            }
        } else {
            render.MeasureText(m_Font, m_Text.c_str(), &box, flags, length, &size);
        }
    }
    const float width = static_cast<float>(std::max(size.X, box.Width));
    const float height = static_cast<float>(std::max(size.Y, box.Height));
    SetBounds(CFloatRect(0, 0, width, height), true);
}

void CTextObject::ResetGeometry()
{
    const CQuad& c = m_Quad.Corners;
    const float ex = c.Corners[2].X - c.Corners[0].X;
    const float ey = c.Corners[2].Y - c.Corners[0].Y;
    // A shape without extent on an axis has no ratio: that axis keeps its size.
    const float sx = std::fabs(ex) > kMinTextExtent ? m_Bounds.Width / ex : 1.0f;
    const float sy = std::fabs(ey) > kMinTextExtent ? m_Bounds.Height / ey : 1.0f;
    FitBoundingQuad(m_Quad, sx, sy, m_TextFlags);
}

void CTextObject::LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths)
{
    const CClipTextData& data = item.GetTextData();
    SetFontByName(data.Font.GetText());
    SetTextFlags(data.TextFlags);
    SetBounds(data.Bounds, true);
    SetBackgroundImageByName(data.Background.GetText());
    SetBackgroundColor(data.BackgroundColor);
    SetInsets(data.Insets);
    CClipObject::LoadFromDefinition(item, paths);
    SetTextKey(data.Text.GetText());
}

void CTextObject::Draw(graphics::CRenderer& renderer)
{
    // Bounds without extent have no scale to map text units onto the shape.
    if (!IsVisible() || !TextBoundsHaveExtent(m_Bounds))
        return;
    renderer.PushTransform();
    if (m_Additive) {
        renderer.PushBlendMode();
        renderer.SetBlendMode(3);
    }
    const CVector2* c = m_Quad.Corners.Corners;
    const CVector2 extent(c[2].X - c[0].X, c[2].Y - c[0].Y);
    CMatrix3 m = TextScaleMatrix(extent.X / m_Bounds.Width, extent.Y / m_Bounds.Height);
    if (m_FlipFlags & 1)
        m = MultiplyTextMatrices(MultiplyTextMatrices(m, TextScaleMatrix(-1, 1)), TextTranslationMatrix(extent.X, 0));
    if (m_FlipFlags & 2)
        m = MultiplyTextMatrices(MultiplyTextMatrices(m, TextScaleMatrix(1, -1)), TextTranslationMatrix(0, extent.Y));
    CMatrix3 turn;
    CMatrix3::MakeRotation(turn, m_Quad.Angle);
    m = MultiplyTextMatrices(MultiplyTextMatrices(MultiplyTextMatrices(m, TextTranslationMatrix(c[0].X, c[0].Y)), turn),
              TextTranslationMatrix(m_Quad.Position.X, m_Quad.Position.Y));
    renderer.MultiplyTransform(m);

    if (m_Background) {
        renderer.PushColor();
        CColor tint;
        renderer.GetColor().Modulated(tint, m_BackgroundColor);
        renderer.SetColor(tint);
        const CFloatRect frame(m_Bounds.X - m_Insets.X, m_Bounds.Y - m_Insets.Y,
                               m_Bounds.Width + m_Insets.X + m_Insets.Width,
                               m_Bounds.Height + m_Insets.Y + m_Insets.Height);
        renderer.DrawTiledFrameUv(m_Background, frame, m_Background->GetFirstFrameUv(), CColor());
        renderer.PopColor();
    }
    if (m_Font) {
        const CColor none(0u);
        renderer.RenderTextString(m_Font, m_Text, CIntRect(m_Bounds), GetRenderFlags(),
                                  static_cast<u32>(m_Text.size()), m_Color, none, none, none, -1, -1);
    }
    if (m_Additive)
        renderer.PopBlendMode();
    renderer.PopTransform();
}

} // namespace lv::misc::anim
