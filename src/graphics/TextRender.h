#pragma once
// Lays a UTF-16 string out in a box with a bitmap font and, in the same pass, draws it or answers
// a question about it (the rectangle of one character, the character under a point, the size of
// the text). One layout walk knows alignment, wrapping, kerning and advances; walk modules see
// it through five callbacks and each does one job. Not re-entrant: one walk at a time.
#include <memory>

#include "core/Color.h"
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "graphics/FontBlock.h"

namespace lv::graphics {

class CFont;
class CRenderer;
class CRenderState;

class CTextRender
{
public:
    // Layout flags. Exactly one horizontal (left, centre, right, justify) and one vertical (top,
    // middle, bottom) alignment hold after validation; left and top are the defaults.
    enum : u32
    {
        kPlain = 0x1,   // no alignment, no word wrap
        kNoWrap2 = 0x2, // alternatives to word wrap, laid out without wrapping
        kNoWrap4 = 0x4,
        kWordWrap = 0x8, // at the box width
        kAlignLeft = 0x20,
        kAlignCenter = 0x40,
        kAlignRight = 0x80,
        kJustify = 0x800,
        kAlignTop = 0x100,
        kAlignMiddle = 0x200,
        kAlignBottom = 0x400,
        kUnderline = 0x1000,
        kStrikethrough = 0x2000,
    };

    struct WalkContext
    {
        const CFont* font;
        const WChar* text;
        u32 length;
        const CIntRect* box;
        u32 flags;
        const CColor* textColour;
        const CColor* backgroundColour;
        const CColor* selectedTextColour;
        const CColor* selectionColour;
        s32 selectionStart, selectionEnd; // inclusive; -1, -1 selects nothing
        float cellHeight;                 // pixel height plus vertical padding
        CRenderer* renderer;
        CRenderState* renderState;
    };

    // Pen positions are relative to the box origin and never negative.
    struct GlyphInfo
    {
        u16 character;
        s32 index;
        s32 x;
        s32 y;
        const FontGlyph* glyph;
    };

    class WalkModule
    {
    public:
        virtual ~WalkModule() = default;
        // A false result from any but End stops the walk.
        virtual bool Begin(WalkContext&) { return true; }
        virtual bool LineStart(WalkContext&, s32 /*line*/, s32 /*y*/) { return true; }
        virtual bool Line(WalkContext&, s32 /*line*/, s32 /*y*/, s32 /*x*/, s32 /*width*/) { return true; }
        virtual bool Glyph(WalkContext&, const GlyphInfo&) { return true; }
        virtual bool End(WalkContext&) { return true; }
    };

    class WalkModuleNormalRender;
    class WalkModuleSelectionRender;
    class WalkModuleCharPosCalculator;
    class WalkModuleHitTester;
    class WalkModuleTextSizeCalculator;
    class WalkModuleUnderlineRender;
    class WalkModuleStrikethroughRender;

    CTextRender();
    ~CTextRender();
    CTextRender(const CTextRender&) = delete;
    CTextRender& operator=(const CTextRender&) = delete;

    // Draws: line backgrounds, selection, underline and strike lines as the walk reaches them,
    // the glyphs on top. A length of 0 means up to the terminating zero. Null colours count as
    // transparent (the text colour as white).
    bool RenderText(CRenderer& renderer, CRenderState& state, const CFont* font, const WChar* text,
                    const CIntRect* box, u32 flags, u32 length, const CColor* textColour,
                    const CColor* backgroundColour, const CColor* selectedTextColour,
                    const CColor* selectionColour, s32 selectionStart, s32 selectionEnd);
    // The rectangle of the character at the index, in the box's coordinates; the box corner for
    // an empty text; false for an index past the end.
    bool GetCharRect(const CFont* font, const WChar* text, const CIntRect* box, u32 flags, u32 length,
                     s32 index, CIntRect* out);
    // The character under a point relative to the box origin: in exact mode only a hit counts,
    // otherwise the nearest character of the point's line; -1 when none.
    bool HitTest(const CFont* font, const WChar* text, const CIntRect* box, u32 flags, u32 length,
                 const CVector2* point, bool exact, s32* index, bool* leftHalf, bool* upperHalf);
    // Width of the longest line and height of all lines, laid out plainly.
    bool MeasureText(const CFont* font, const WChar* text, const CIntRect* box, u32 flags, u32 length,
                     CPoint2i* size);

    // Validates and normalises the flags and resolves a length of 0.
    static bool CheckTextArgs(const WChar* text, u32& flags, u32& length);

    void AddModule(WalkModule* module);
    void ClearModules();

private:
    static constexpr u32 kMaxModules = 8;

    // One line from `start`: 1 at a line break (taken with the line) or a wrap, 2 at the end of
    // the text; its width, the units it takes and its word gaps.
    s32 MeasureLine(u32 start, u32 end, u32 flags, s32& width, u32& consumed, s32& gaps) const;
    void Walk();
    bool Begin(const CFont* font, const WChar* text, const CIntRect* box, u32& flags, u32& length);

    WalkContext m_Context{};
    WalkModule* m_Active[kMaxModules] = {};
    u32 m_ActiveCount = 0;
    std::unique_ptr<WalkModuleNormalRender> m_Normal;
    std::unique_ptr<WalkModuleSelectionRender> m_Selection;
    std::unique_ptr<WalkModuleCharPosCalculator> m_CharPos;
    std::unique_ptr<WalkModuleHitTester> m_HitTester;
    std::unique_ptr<WalkModuleTextSizeCalculator> m_TextSize;
    std::unique_ptr<WalkModuleUnderlineRender> m_Underline;
    std::unique_ptr<WalkModuleStrikethroughRender> m_Strikethrough;
};

} // namespace lv::graphics
