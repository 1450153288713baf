#pragma once
// Compiles strings.xml into the binary string table "strings.bindump", with the same XML rules
// as the game's own loader (the same builder does both), so the game reads the compiled table
// exactly as it would have built it from the XML.
#include "core/StringBlockBuilder.h"
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lv::content {

class CStringTableWriter
{
public:
    // Adds one string; false when the id is already present (the first text is kept).
    bool Add(s32 id, const WString& text) { return m_Builder.Add(id, text); }
    bool AddUtf8(s32 id, const std::string& text);
    // Adds the strings of a strings.xml document; ids met again are listed in `duplicates`.
    // False, with a message, when the document is not accepted by the parser.
    bool AddXml(const std::string& xml, std::vector<s32>* duplicates = nullptr, std::string* error = nullptr);
    bool AddXmlFile(const std::filesystem::path& file, std::vector<s32>* duplicates = nullptr,
                    std::string* error = nullptr);

    size_t GetCount() const { return m_Builder.GetCount(); }
    // The "strings.bindump" image (magic "S16" 0x01).
    std::vector<u8> BuildBindump() const;
    // The same block as the game builds from XML (magic "S16L", as "strings.xml.bin_utf16le").
    std::vector<u8> BuildUtf16Image() const;
    bool WriteBindump(const std::filesystem::path& file, std::string* error = nullptr) const;

private:
    core::CStringBlockBuilder m_Builder;
};

} // namespace lv::content
