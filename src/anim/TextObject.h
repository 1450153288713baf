#pragma once
// The clip object that shows text in a bitmap font, laid out in a box of its own (the bounds)
// and stretched onto the object's four-cornered shape, optionally over a nine-slice background.
// The text comes from the definition ("$12" stands for string 12 of the string table) or from
// game code; when it outgrows its bounds the shape and every key frame grow with it, anchored
// on the side the text flags choose. The box never shrinks.
#include "anim/BoundingQuad.h"
#include "anim/ClipObject.h"
#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/Types.h"

#include <string>

namespace lv::graphics {
class CFont;
class CImageHandle;
} // namespace lv::graphics

namespace lv::misc::anim {

// Resizes the quad's corners by (sx, sy) about the anchor the flags name (0x40 / 0x80 / 0x100:
// left edge, centre, right edge stays; 0x200 / 0x400 / 0x800 the same vertically) and keeps
// the position at the same relative place in the shape.
void FitBoundingQuad(CBoundingQuad& quad, float sx, float sy, s32 flags);

class CTextObject : public CClipObject
{
public:
    enum : s32
    {
        AlignLeft = 0x1,
        AlignCenter = 0x2,
        AlignRight = 0x4,
        AlignTop = 0x8,
        AlignMiddle = 0x10,
        AlignBottom = 0x20,
        GrowRight = 0x40, // the left edge stays
        GrowBothWays = 0x80,
        GrowLeft = 0x100,
        GrowDown = 0x200, // the top edge stays
        GrowUpAndDown = 0x400,
        GrowUp = 0x800,
        WordWrap = 0x1000,
        DefaultFlags = 0x1492,
    };

    CTextObject() = default;
    CTextObject(const CTextObject& other) = default;

    // `key` with its "$<id>" references replaced by strings of the string table.
    void SetTextKey(const std::string& key);
    // Shown as given (references replaced); the text key becomes empty.
    void SetText(const WString& text);
    const WString& GetText() const { return m_Text; }
    const std::string& GetTextKey() const { return m_TextKey; }

    void SetFont(graphics::CFont* font) { m_Font = font; }
    // An unknown name leaves the font unchanged.
    void SetFontByName(const char* name);
    graphics::CFont* GetFont() const { return m_Font; }
    const CFixedString& GetFontName() const;
    void SetBackgroundImage(graphics::CImageHandle* image) { m_Background = image; }
    // Null for an unknown name.
    void SetBackgroundImageByName(const char* name);
    graphics::CImageHandle* GetBackgroundImage() const { return m_Background; }
    const CFixedString& GetBackgroundImageName() const;
    void SetBackgroundColor(const CColor& color) { m_BackgroundColor = color; }
    const CColor& GetBackgroundColor() const { return m_BackgroundColor; }
    // Left, top, right and bottom in the rectangle's four fields.
    void SetInsets(const CFloatRect& insets) { m_Insets = insets; }
    const CFloatRect& GetInsets() const { return m_Insets; }
    const CFloatRect& GetBounds() const { return m_Bounds; }
    // With `adjust` the shape and the key frames are resized by the change of the bounds.
    void SetBounds(const CFloatRect& bounds, bool adjust);
    void SetTextFlags(s32 flags) { m_TextFlags = flags; }
    s32 GetTextFlags() const { return m_TextFlags; }
    void AddTextFlags(s32 bits) { m_TextFlags |= bits; }
    void RemoveTextFlags(s32 bits) { m_TextFlags &= ~bits; }
    // The text renderer's layout flags for the text flags.
    s32 GetRenderFlags() const;
    // Measures the text and grows the bounds (and shape) to hold it; nothing without a font.
    void Relayout();

    void Draw(graphics::CRenderer& renderer) override;
    CVector2 GetPosition() const override { return m_Quad.Position; }
    void DoSetPosition(const CVector2& position) override { m_Quad.Position = position; }
    CQuad GetCorners() const override { return m_Quad.Corners; }
    void SetCorners(const CQuad& corners) override { m_Quad.Corners = corners; }
    float GetAngle() const override { return m_Quad.Angle; }
    void SetAngle(float angle) override { m_Quad.Angle = angle; }
    CColor GetColor() const override { return m_Color; }
    void SetColor(const CColor& color) override { m_Color = color; }
    bool IsAdditiveBlend() const override { return m_Additive != 0; }
    void SetAdditiveBlend(bool additive) override { m_Additive = additive; }
    s32 GetFlipFlags() const override { return m_FlipFlags; }
    void SetFlipFlags(s32 flags) override { m_FlipFlags = flags; }
    s32 GetEmitFlags() const override { return 0; }
    void SetEmitFlags(s32) override {}
    // The shape takes the size of the bounds.
    void ResetGeometry() override;
    CBoundingQuad GetQuad() const override { return m_Quad; }
    void LoadFromDefinition(const CClipItem& item, LoadPathHelper* paths) override;
    const char* GetTypeName() const override { return "text"; }
    CClipObject* Clone() const override { return new CTextObject(*this); }

private:
    CBoundingQuad m_Quad;
    CColor m_Color;
    u8 m_Additive = 0;
    s32 m_FlipFlags = 0;
    graphics::CFont* m_Font = nullptr; // not owned
    std::string m_TextKey;
    WString m_Text;
    s32 m_TextFlags = DefaultFlags;
    CFloatRect m_Bounds;
    CFloatRect m_Insets{5, 5, 5, 5};
    graphics::CImageHandle* m_Background = nullptr; // not owned
    CColor m_BackgroundColor;
};

} // namespace lv::misc::anim
