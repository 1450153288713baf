#include "graphics/TextRender.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/Log.h"
#include "core/Quad.h"
#include "core/TextConvert.h"
#include "core/TextScan.h"
#include "graphics/Font.h"
#include "graphics/ImageHandle.h"
#include "graphics/PixelShader.h"
#include "graphics/RenderBatch.h"
#include "graphics/RenderState.h"
#include "graphics/Renderer.h"
#include "graphics/Texture.h"
#include "graphics/Vertex.h"

namespace lv::graphics {

using lv::core::IsWideSpace;

namespace {

bool IsZero(const CColor* colour)
{
    return !colour || colour->ToArgb() == 0;
}

bool IsSelected(const CTextRender::WalkContext& c, s32 index)
{
    return c.selectionStart <= index && index <= c.selectionEnd;
}

u32 PackedColour(const CColor* colour, const CTextRender::WalkContext& c)
{
    CColor base = colour ? *colour : CColor();
    CColor withState, withFont;
    base.Modulated(withState, c.renderState->GetColor());
    withState.Modulated(withFont, c.font->colour);
    return withFont.ToArgb();
}

CQuad RectQuad(float x, float y, float w, float h)
{
    return CQuad(x, y, w, h);
}

} // namespace

// ---- modules ----------------------------------------------------------------------------------

class CTextRender::WalkModuleNormalRender final : public WalkModule
{
public:
    bool Begin(WalkContext& c) override
    {
        m_Vertices.clear();
        m_TextColour = PackedColour(c.textColour, c);
        m_SelectedColour = PackedColour(c.selectedTextColour, c);
        m_Texture = nullptr;
        if (c.font->image)
            if (CTexture* texture = c.font->image->GetTexture())
                m_Texture = texture->GetDeviceTexture();
        return true;
    }

    bool Line(WalkContext& c, s32, s32 y, s32 x, s32 width) override
    {
        if (!IsZero(c.backgroundColour))
            c.renderer->FillQuad(RectQuad(static_cast<float>(c.box->X + x), static_cast<float>(c.box->Y + y),
                                          static_cast<float>(width), c.cellHeight),
                                 *c.backgroundColour);
        return true;
    }

    bool Glyph(WalkContext& c, const GlyphInfo& info) override
    {
        if (!m_Texture)
            return true;
        if (m_Vertices.empty())
            m_Vertices.reserve(size_t(c.length) * 6);
        const FontGlyph& g = *info.glyph;
        const u32 colour = IsSelected(c, info.index) ? m_SelectedColour : m_TextColour;
        const float top = static_cast<float>(c.box->Y + info.y + g.topOffset);
        const float bottom = top + g.height;
        const float left = static_cast<float>(c.box->X + info.x - c.font->padLeft);
        const float right = left + g.width;
        const auto vertex = [colour](float x, float y, float u, float v) {
            CVertex out;
            out.x = x;
            out.y = y;
            out.diffuse = colour;
            out.u = u;
            out.v = v;
            return out;
        };
        m_Vertices.push_back(vertex(left, top, g.uLeft, g.vTop));
        m_Vertices.push_back(vertex(right, top, g.uRight, g.vTop));
        m_Vertices.push_back(vertex(left, bottom, g.uLeft, g.vBottom));
        m_Vertices.push_back(vertex(left, bottom, g.uLeft, g.vBottom));
        m_Vertices.push_back(vertex(right, top, g.uRight, g.vTop));
        m_Vertices.push_back(vertex(right, bottom, g.uRight, g.vBottom));
        return true;
    }

    bool End(WalkContext& c) override
    {
        CRenderBatch& batch = c.renderer->GetRenderBatch();
        batch.SetBlendMode(c.renderState->GetBlendMode());
        CPixelShader* shader = c.renderState->GetPixelShader();
        batch.SetPixelShader(shader ? shader->GetDeviceShader() : nullptr);
        CSink sink(batch, m_Texture);
        const bool skipClipping = c.renderer->IsClipDisabled();
        for (size_t i = 0; i + 6 <= m_Vertices.size(); i += 6) {
            CVertex work[6];
            std::copy_n(m_Vertices.data() + i, 6, work);
            c.renderState->TransformAndClip(work, 6, skipClipping, sink);
        }
        m_Vertices.clear();
        return true;
    }

private:
    class CSink final : public CVertexSink
    {
    public:
        CSink(CRenderBatch& batch, IDirect3DBaseTexture9* texture) : m_Batch(batch), m_Texture(texture) {}
        void Emit(const CVertex* vertices, u32 count) override
        {
            if (count < 3)
                return;
            m_Batch.SetTexture(0, m_Texture);
            m_Batch.AddPrimitives(D3DPT_TRIANGLELIST, vertices, count);
        }

    private:
        CRenderBatch& m_Batch;
        IDirect3DBaseTexture9* m_Texture;
    };

    std::vector<CVertex> m_Vertices;
    u32 m_TextColour = 0;
    u32 m_SelectedColour = 0;
    IDirect3DBaseTexture9* m_Texture = nullptr;
};

class CTextRender::WalkModuleSelectionRender final : public WalkModule
{
public:
    bool Begin(WalkContext&) override
    {
        m_Open = false;
        return true;
    }
    bool Line(WalkContext& c, s32, s32, s32, s32) override
    {
        Close(c);
        return true;
    }
    bool Glyph(WalkContext& c, const GlyphInfo& info) override
    {
        if (!IsSelected(c, info.index)) {
            Close(c);
            return true;
        }
        const float x = static_cast<float>(c.box->X + info.x);
        const float advance = info.glyph->advance;
        if (!m_Open) {
            m_Rect = CFloatRect(x, static_cast<float>(c.box->Y + info.y), advance, c.cellHeight);
            m_Open = true;
        } else {
            m_Rect.Width = x + advance - m_Rect.X;
        }
        return true;
    }
    bool End(WalkContext& c) override
    {
        Close(c);
        return true;
    }

private:
    void Close(WalkContext& c)
    {
        if (!m_Open)
            return;
        m_Open = false;
        c.renderer->FillQuad(RectQuad(m_Rect.X, m_Rect.Y, m_Rect.Width, m_Rect.Height), *c.selectionColour);
    }

    bool m_Open = false;
    CFloatRect m_Rect;
};

class CTextRender::WalkModuleCharPosCalculator final : public WalkModule
{
public:
    CIntRect* m_Out = nullptr;
    s32 m_Target = 0;

    bool Glyph(WalkContext& c, const GlyphInfo& info) override
    {
        *m_Out = CIntRect(c.box->X + info.x, c.box->Y + info.y, info.glyph->advance, c.font->pixelHeight);
        return static_cast<u32>(info.index) < static_cast<u32>(m_Target);
    }
};

class CTextRender::WalkModuleHitTester final : public WalkModule
{
public:
    float m_Best = 1000000.0f;
    bool m_Exact = false;
    s32* m_Index = nullptr;
    bool* m_LeftHalf = nullptr;
    bool* m_UpperHalf = nullptr;
    const CVector2* m_Point = nullptr;

    bool Glyph(WalkContext& c, const GlyphInfo& info) override
    {
        const CVector2& p = *m_Point;
        const float x = static_cast<float>(info.x), y = static_cast<float>(info.y);
        const float a = info.glyph->advance;
        const float half = static_cast<float>(info.glyph->advance / 2);
        const bool onLine = p.Y >= y && p.Y <= y + c.cellHeight;
        const bool inSpan = p.X >= x && p.X <= x + a;
        if (m_Exact) {
            if (inSpan && onLine) {
                Set(info, p.X < x + half, p.Y < y + c.cellHeight / 2);
                return false;
            }
            return true;
        }
        if (!onLine)
            return true;
        if (inSpan) {
            Set(info, p.X < x + half, p.Y < y + c.cellHeight / 2);
            return false;
        }
        const float d = std::fabs(p.X - (x + half));
        if (d < m_Best) {
            Set(info, p.X < x + half, p.Y < y + c.cellHeight / 2);
            m_Best = d;
        }
        return true;
    }

private:
    void Set(const GlyphInfo& info, bool left, bool upper)
    {
        if (m_LeftHalf)
            *m_LeftHalf = left;
        if (m_UpperHalf)
            *m_UpperHalf = upper;
        if (m_Index)
            *m_Index = info.index;
    }
};

namespace {

// A measured extent; damaged font metrics can take it past what an s32 holds.
s32 SaturatedS32(float v)
{
    if (!(v > -2147483648.0f))
        return v != v ? 0 : INT32_MIN;
    return v >= 2147483648.0f ? INT32_MAX : static_cast<s32>(v);
}

} // namespace

class CTextRender::WalkModuleTextSizeCalculator final : public WalkModule
{
public:
    CPoint2i* m_Out = nullptr;

    bool Line(WalkContext& c, s32, s32 y, s32, s32 width) override
    {
        m_Out->X = std::max(m_Out->X, width);
        m_Out->Y = std::max(m_Out->Y, SaturatedS32(static_cast<float>(y) + c.cellHeight));
        return true;
    }
};

class CTextRender::WalkModuleUnderlineRender final : public WalkModule
{
public:
    bool Line(WalkContext& c, s32, s32 y, s32 x, s32 width) override
    {
        const float left = static_cast<float>(c.box->X + x);
        const float lineY = static_cast<float>(c.box->Y + y + c.font->baseline + 8);
        c.renderer->DrawLine(CVector2(left, lineY), CVector2(left + static_cast<float>(width), lineY),
                             c.textColour ? *c.textColour : CColor());
        return true;
    }
};

class CTextRender::WalkModuleStrikethroughRender final : public WalkModule
{
public:
    bool Line(WalkContext& c, s32, s32 y, s32 x, s32 width) override
    {
        const float left = static_cast<float>(c.box->X + x);
        const float lineY = static_cast<float>(c.box->Y + y + c.font->baseline + c.font->baseline / 3);
        c.renderer->DrawLine(CVector2(left, lineY), CVector2(left + static_cast<float>(width + 30), lineY),
                             c.textColour ? *c.textColour : CColor());
        return true;
    }
};

// ---- text renderer ----------------------------------------------------------------------------

CTextRender::CTextRender()
    : m_Normal(new WalkModuleNormalRender), m_Selection(new WalkModuleSelectionRender),
      m_CharPos(new WalkModuleCharPosCalculator), m_HitTester(new WalkModuleHitTester),
      m_TextSize(new WalkModuleTextSizeCalculator), m_Underline(new WalkModuleUnderlineRender),
      m_Strikethrough(new WalkModuleStrikethroughRender)
{
}

CTextRender::~CTextRender() = default;

void CTextRender::AddModule(WalkModule* module)
{
    if (m_ActiveCount < kMaxModules)
        m_Active[m_ActiveCount++] = module;
}

void CTextRender::ClearModules()
{
    m_ActiveCount = 0;
}

bool CTextRender::CheckTextArgs(const WChar* text, u32& flags, u32& length)
{
    lv::core::CLog& log = lv::core::CLog::Instance();
    if (!text) {
        log.Print("graphics", 3, "CTextRender::RenderText - invalid string pointer");
        return false;
    }
    if (flags & kPlain)
        flags &= ~0xFE0u;
    const u32 h = flags & 0x8E0u;
    if (h & (h - 1)) {
        log.Print("graphics", 2, "Invalid horizontal text alignment");
        return false;
    }
    if (!h)
        flags |= kAlignLeft;
    const u32 v = flags & 0x700u;
    if (v & (v - 1)) {
        log.Print("graphics", 2, "Invalid vertical text alignment");
        return false;
    }
    if (!v)
        flags |= kAlignTop;
    if ((flags & kWordWrap) && (flags & (kNoWrap2 | kNoWrap4))) {
        log.Print("graphics", 2, "Invalid text wrapping flags");
        return false;
    }
    if (flags & kPlain)
        flags = (flags | kNoWrap2) & ~kWordWrap;
    if (length == 0)
        length = static_cast<u32>(WideLength(text));
    return true;
}

bool CTextRender::Begin(const CFont* font, const WChar* text, const CIntRect* box, u32& flags, u32& length)
{
    if (!CheckTextArgs(text, flags, length))
        return false;
    if (!font || !font->block || !box)
        return false;
    m_Context = WalkContext{};
    m_Context.font = font;
    m_Context.text = text;
    m_Context.length = length;
    m_Context.box = box;
    m_Context.flags = flags;
    m_Context.selectionStart = m_Context.selectionEnd = -1;
    ClearModules();
    return true;
}

s32 CTextRender::MeasureLine(u32 start, u32 end, u32 flags, s32& width, u32& consumed, s32& gaps) const
{
    const CFont& font = *m_Context.font;
    const WChar* text = m_Context.text;
    width = 0;
    gaps = 0;
    u16 previous = 0;
    for (u32 p = start;; ++p) {
        if (p == end) {
            ++gaps;
            consumed = p - start;
            return 2;
        }
        const u16 c = static_cast<u16>(text[p]);
        if (c == 10) {
            ++gaps;
            consumed = p + 1 - start;
            return 1;
        }
        if (const FontGlyph* g = font.FindGlyph(c)) {
            width += font.GetKerning(g, previous);
            width += g->advance + font.symbolGap;
            if (IsWideSpace(c))
                ++gaps;
            // Signed: a negative width (strong negative kerning) never overflows the box.
            if ((flags & kWordWrap) && width >= m_Context.box->Width) {
                u32 q = p;
                while (q > start && !IsWideSpace(text[q]))
                    --q;
                if (q == start)
                    q = p;
                s32 unusedGaps = 0;
                if (IsWideSpace(text[q])) {
                    MeasureLine(start, q, flags & ~kWordWrap, width, consumed, unusedGaps);
                    ++consumed; // the break space goes with the line
                } else {
                    MeasureLine(start, q + 1, flags & ~kWordWrap, width, consumed, unusedGaps);
                }
                return 1;
            }
        }
        previous = c;
    }
}

void CTextRender::Walk()
{
    WalkContext& c = m_Context;
    const CFont& font = *c.font;
    const CIntRect& box = *c.box;
    // In float: metrics of a damaged font image must not overflow the sum.
    c.cellHeight = static_cast<float>(font.pixelHeight) + static_cast<float>(font.padTop) +
                   static_cast<float>(font.padBottom);
    const auto finish = [this] {
        for (u32 m = 0; m < m_ActiveCount; ++m)
            m_Active[m]->End(m_Context);
    };
    for (u32 m = 0; m < m_ActiveCount; ++m)
        if (!m_Active[m]->Begin(c))
            return finish();

    const s32 lineStep = font.pixelHeight + font.lineGap;
    s32 y = 0;
    s32 width = 0, gaps = 0;
    u32 consumed = 0;
    if (c.flags & (kAlignMiddle | kAlignBottom)) {
        s32 lines = 1;
        for (u32 i = 0; MeasureLine(i, c.length, c.flags, width, consumed, gaps) != 2; i += consumed)
            ++lines;
        const s32 h = lineStep * lines;
        const s32 offset = (c.flags & kAlignMiddle) ? (box.Height - h) / 2 : box.Height - h;
        if (offset > 0)
            y += offset;
    }

    for (u32 i = 0, line = 0; i < c.length; ++line) {
        for (u32 m = 0; m < m_ActiveCount; ++m)
            if (!m_Active[m]->LineStart(c, static_cast<s32>(line), y))
                return finish();
        MeasureLine(i, c.length, c.flags, width, consumed, gaps);
        s32 extra = 0;
        if ((c.flags & kJustify) && gaps > 2)
            extra = std::max((box.Width - width) / (gaps - 1), 0);
        s32 x = 0;
        if (c.flags & (kAlignCenter | kAlignRight)) {
            const s32 offset = (c.flags & kAlignCenter) ? (box.Width - width) / 2 : box.Width - width;
            if (offset > 0)
                x += offset;
        }
        for (u32 m = 0; m < m_ActiveCount; ++m)
            if (!m_Active[m]->Line(c, static_cast<s32>(line), y, x, width))
                return finish();
        u16 previous = 0;
        for (u32 k = i; k < i + consumed; ++k) {
            const u16 ch = static_cast<u16>(c.text[k]);
            GlyphInfo info{ch, static_cast<s32>(k), x, y, nullptr};
            if (ch == 10) {
                info.glyph = font.GetGlyphOrEmpty(10);
                for (u32 m = 0; m < m_ActiveCount; ++m)
                    if (!m_Active[m]->Glyph(c, info))
                        return finish();
            } else if (const FontGlyph* g = font.FindGlyph(ch)) {
                // Pens never go left of the box, however strong a negative kerning is.
                x = std::max(x + font.GetKerning(g, previous), 0);
                info.x = x;
                info.glyph = g;
                for (u32 m = 0; m < m_ActiveCount; ++m)
                    if (!m_Active[m]->Glyph(c, info))
                        return finish();
                x += g->advance + font.symbolGap;
            }
            if (ch != 10 && (c.flags & kJustify) && IsWideSpace(ch))
                x += extra;
            previous = ch;
        }
        i += consumed;
        y += lineStep;
    }
    finish();
}

bool CTextRender::RenderText(CRenderer& renderer, CRenderState& state, const CFont* font, const WChar* text,
                             const CIntRect* box, u32 flags, u32 length, const CColor* textColour,
                             const CColor* backgroundColour, const CColor* selectedTextColour,
                             const CColor* selectionColour, s32 selectionStart, s32 selectionEnd)
{
    if (!Begin(font, text, box, flags, length))
        return false;
    m_Context.renderer = &renderer;
    m_Context.renderState = &state;
    m_Context.textColour = textColour;
    m_Context.backgroundColour = backgroundColour;
    m_Context.selectedTextColour = selectedTextColour;
    m_Context.selectionColour = selectionColour;
    m_Context.selectionStart = selectionStart;
    m_Context.selectionEnd = selectionEnd;
    if (!IsZero(selectionColour))
        AddModule(m_Selection.get());
    AddModule(m_Normal.get());
    if (flags & kUnderline)
        AddModule(m_Underline.get());
    if (flags & kStrikethrough)
        AddModule(m_Strikethrough.get());
    Walk();
    return true;
}

bool CTextRender::GetCharRect(const CFont* font, const WChar* text, const CIntRect* box, u32 flags,
                              u32 length, s32 index, CIntRect* out)
{
    if (!out || !Begin(font, text, box, flags, length))
        return false;
    if (length == 0) {
        *out = CIntRect(box->X, box->Y, 0, 0);
        return true;
    }
    if (index < 0 || static_cast<u32>(index) >= length)
        return false;
    *out = CIntRect();
    m_CharPos->m_Out = out;
    m_CharPos->m_Target = index;
    AddModule(m_CharPos.get());
    Walk();
    return !(*out == CIntRect());
}

bool CTextRender::HitTest(const CFont* font, const WChar* text, const CIntRect* box, u32 flags, u32 length,
                          const CVector2* point, bool exact, s32* index, bool* leftHalf, bool* upperHalf)
{
    if (!point || !Begin(font, text, box, flags, length))
        return false;
    if (index)
        *index = -1;
    m_HitTester->m_Best = 1000000.0f;
    m_HitTester->m_Exact = exact;
    m_HitTester->m_Index = index;
    m_HitTester->m_LeftHalf = leftHalf;
    m_HitTester->m_UpperHalf = upperHalf;
    m_HitTester->m_Point = point;
    AddModule(m_HitTester.get());
    Walk();
    return true;
}

bool CTextRender::MeasureText(const CFont* font, const WChar* text, const CIntRect* box, u32 flags,
                              u32 length, CPoint2i* size)
{
    flags |= kPlain;
    if (!size || !Begin(font, text, box, flags, length))
        return false;
    *size = CPoint2i(0, 0);
    m_TextSize->m_Out = size;
    AddModule(m_TextSize.get());
    Walk();
    return true;
}

} // namespace lv::graphics
