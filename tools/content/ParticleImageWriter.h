#pragma once
// Compiles particle XML into the particle definitions image "particles.bindump", through the
// same builder as the game's own XML path, so the game reads the compiled image exactly as it
// would have built it from the XML.
#include "anim/ParticlesBuilder.h"
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lv::content {

class CParticleImageWriter
{
public:
    // Adds the definitions of one XML document. False, with a message, when the document is not
    // accepted by the parser (definitions read before that point are kept).
    bool AddXml(const std::string& xml, std::string* error = nullptr);
    bool AddXmlFile(const std::filesystem::path& file, std::string* error = nullptr);

    size_t GetCount() const { return m_Builder.GetCount(); }
    std::vector<u8> Build() const { return m_Builder.Build(); }
    bool WriteFile(const std::filesystem::path& file, std::string* error = nullptr) const;

private:
    misc::anim::CParticlesBuilder m_Builder;
};

} // namespace lv::content
