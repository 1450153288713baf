#pragma once
// The declaration of one bitmap font: its id, the declared image that holds the glyphs, the
// font description file and the font's colour.
#include <string>

#include "core/Color.h"
#include "graphics/Declaration.h"

namespace lv::core {

class FontDeclaration final : public Declaration
{
public:
    FontDeclaration();
    FontDeclaration(const FontDeclaration&) = default;
    FontDeclaration& operator=(const FontDeclaration&) = default;

    // "id", "image", "file" (backslashes become '/'), "color" (a decimal 0xAARRGGBB that wraps
    // to 32 bits); names compare without regard to case over their own length, so a prefix of
    // a keyword selects it. Anything else is ignored.
    void SetAttribute(std::string_view name, std::string_view value) override;
    void Finish() override {}

    const CFixedString* GetImage() const { return m_Image; }
    const std::string& GetFile() const { return m_File; }
    const CColor& GetColor() const { return m_Color; }

    bool operator==(const FontDeclaration& other) const;

private:
    const CFixedString* m_Image;
    std::string m_File;
    CColor m_Color; // opaque white
};

// Case-insensitive match of an attribute name against a keyword over the name's own length.
bool AttributeSelects(std::string_view name, const char* keyword);

} // namespace lv::core
