#pragma once
// One text in one font inside the widget's rectangle: aligned, optionally wrapped and
// underlined, scaled by a font scale, with string references expanded.
#include "core/IntRect.h"
#include "core/LocalizedText.h"
#include "gui/Widget.h"

namespace lv::graphics {
class CFont;
}

namespace lv::gui {

class CLabelWidget : public CWidget
{
public:
    using Ptr = boost::intrusive_ptr<CLabelWidget>;

    CLabelWidget();
    CLabelWidget(const lv::graphics::CFont* font, WStringView text, const CFixedString& name, u32 layer,
                 u32 eventMask);
    ~CLabelWidget() override;

    CVector2 GetPreferredSize() const override;
    void LoadFromTemplate(const lv::core::CSettingsGroup& node,
                          const lv::core::CSettingsGroup& templates) override;
    void Draw(lv::graphics::CRenderer& renderer) override;
    void Update() override;

    void SetText(WStringView text);
    // The displayed text, with string references replaced.
    const WString& GetText() const { return m_Text.GetText(); }
    // Sets the size to the text's natural size; without shrink, never below the current size.
    void FitSize(bool shrink);
    // Each axis -1, 0 or 1 (left/top, centre, right/bottom); other values leave the axis unset.
    void SetAlignment(s32 horizontal, s32 vertical);
    void SetMultiLine(bool multiLine) { m_MultiLine = multiLine ? 1 : 0; }
    void SetUnderline(bool underline) { m_Underline = underline ? 1 : 0; }
    void SetBackgroundColor(const CColor& color) { m_BackgroundColor = color; }
    const CColor& GetBackgroundColor() const { return m_BackgroundColor; }
    void SetFontScale(float scale);
    float GetFontScale() const { return m_FontScale; }
    void SetFont(const lv::graphics::CFont* font) { m_Font = font; }
    const lv::graphics::CFont* GetFont() const { return m_Font; }
    s32 GetTextFlags() const { return m_TextFlags; }
    void SetTextFlags(s32 flags) { m_TextFlags = flags; }

private:
    // The layout rectangle in local, unscaled coordinates.
    CIntRect TextRect() const;
    s32 DrawFlags() const;

    lv::core::CLocalizedText m_Text;
    const lv::graphics::CFont* m_Font = nullptr;
    // None unless a template asks for one.
    CColor m_BackgroundColor{0u};
    s32 m_TextFlags = 0;
    float m_FontScale = 1.0f;
    u8 m_MultiLine = 0;
    u8 m_Underline = 0;
};

} // namespace lv::gui
