#include "content/SoundDeclarationsWriter.h"

#include "content/PackWriter.h"

namespace lv::content {

bool CSoundDeclarationsWriter::AddXml(const std::string& xml, std::string* error)
{
    if (m_Builder.AddXml(xml.data(), xml.size()))
        return true;
    if (error)
        *error = "the XML document is not accepted (no prolog with \"xml\", or broken nesting)";
    return false;
}

bool CSoundDeclarationsWriter::AddXmlFile(const std::filesystem::path& file, std::string* error)
{
    std::vector<u8> bytes;
    if (!ReadDiskFile(file, bytes)) {
        if (error)
            *error = "cannot read " + file.string();
        return false;
    }
    return AddXml(std::string(bytes.begin(), bytes.end()), error);
}

void CSoundDeclarationsWriter::Add(sound::CSoundDeclarationRecord record)
{
    record.m_File.UpdateHash();
    record.m_Id.UpdateHash();
    record.m_Group.UpdateHash();
    m_Builder.Add(record);
}

bool CSoundDeclarationsWriter::WriteBindump(const std::filesystem::path& file, std::string* error) const
{
    if (WriteDiskFile(file, Build()))
        return true;
    if (error)
        *error = "cannot write " + file.string();
    return false;
}

} // namespace lv::content
