#include "content/StringTableWriter.h"

#include "content/PackWriter.h"
#include "core/StringBlock.h"
#include "core/TextConvert.h"

namespace lv::content {

bool CStringTableWriter::AddUtf8(s32 id, const std::string& text)
{
    return m_Builder.Add(id, Utf8ToWide(text));
}

bool CStringTableWriter::AddXml(const std::string& xml, std::vector<s32>* duplicates, std::string* error)
{
    if (m_Builder.AddXml(xml.data(), xml.size(), duplicates))
        return true;
    if (error)
        *error = "the XML document is not accepted (no prolog with \"xml\", or broken nesting)";
    return false;
}

bool CStringTableWriter::AddXmlFile(const std::filesystem::path& file, std::vector<s32>* duplicates,
                                    std::string* error)
{
    std::vector<u8> bytes;
    if (!ReadDiskFile(file, bytes)) {
        if (error)
            *error = "cannot read " + file.string();
        return false;
    }
    return AddXml(std::string(bytes.begin(), bytes.end()), duplicates, error);
}

std::vector<u8> CStringTableWriter::BuildBindump() const
{
    return m_Builder.Build(core::StringBlockMagicBindump);
}

std::vector<u8> CStringTableWriter::BuildUtf16Image() const
{
    return m_Builder.Build(core::StringBlockMagicUtf16);
}

bool CStringTableWriter::WriteBindump(const std::filesystem::path& file, std::string* error) const
{
    if (WriteDiskFile(file, BuildBindump()))
        return true;
    if (error)
        *error = "cannot write " + file.string();
    return false;
}

} // namespace lv::content
