#include "graphics/FontDeclaration.h"

#include <cstring>

#include "core/Log.h"
#include "core/NamePool.h"
#include "core/TextScan.h"

namespace lv::core {

namespace {
constexpr const char* kDeclarationChannel = "resdecl";

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

const CFixedString* EmptyName()
{
    static const CFixedString* s_Empty = InternName(CFixedString());
    return s_Empty;
}
} // namespace

Declaration::Declaration() : m_Name(EmptyName()) {}

const CFixedString* Declaration::PoolName(std::string_view text, const char* channel)
{
    const CFixedString name(text.data(), text.size());
    if (name.IsTruncated())
        CLog::Instance().Print(channel, 2, "Name \"%.*s\" is too long, cut to %u characters",
                               static_cast<int>(text.size()), text.data(),
                               static_cast<unsigned>(CFixedString::kMaxLength));
    // A cut record never equals anything: pool the cut text as an ordinary name instead.
    return InternName(name.IsTruncated() ? CFixedString(text.data(), CFixedString::kMaxLength) : name);
}

bool AttributeSelects(std::string_view name, const char* keyword)
{
    const size_t n = std::strlen(keyword);
    if (name.size() > n)
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (Lower(name[i]) != Lower(keyword[i]))
            return false;
    return true;
}

FontDeclaration::FontDeclaration() : m_Image(EmptyName()) {}

void FontDeclaration::SetAttribute(std::string_view name, std::string_view value)
{
    if (AttributeSelects(name, "id")) {
        m_Name = PoolName(value, kDeclarationChannel);
    } else if (AttributeSelects(name, "image")) {
        m_Image = PoolName(value, kDeclarationChannel);
    } else if (AttributeSelects(name, "file")) {
        m_File.assign(value);
        for (char& c : m_File)
            if (c == '\\')
                c = '/';
    } else if (AttributeSelects(name, "color")) {
        m_Color = CColor(static_cast<u32>(ScanInt(value)));
    }
}

bool FontDeclaration::operator==(const FontDeclaration& other) const
{
    return m_Name == other.m_Name && m_Image == other.m_Image && m_File == other.m_File &&
           m_Color.ToArgb() == other.m_Color.ToArgb();
}

} // namespace lv::core
