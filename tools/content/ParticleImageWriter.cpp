#include "content/ParticleImageWriter.h"

#include "content/PackWriter.h"

namespace lv::content {

bool CParticleImageWriter::AddXml(const std::string& xml, std::string* error)
{
    if (m_Builder.AddXml(xml.data(), xml.size()))
        return true;
    if (error)
        *error = "the XML document is not accepted (no prolog with \"xml\", or broken nesting)";
    return false;
}

bool CParticleImageWriter::AddXmlFile(const std::filesystem::path& file, std::string* error)
{
    std::vector<u8> bytes;
    if (!ReadDiskFile(file, bytes)) {
        if (error)
            *error = "cannot read " + file.string();
        return false;
    }
    return AddXml(std::string(bytes.begin(), bytes.end()), error);
}

bool CParticleImageWriter::WriteFile(const std::filesystem::path& file, std::string* error) const
{
    if (WriteDiskFile(file, Build()))
        return true;
    if (error)
        *error = "cannot write " + file.string();
    return false;
}

} // namespace lv::content
