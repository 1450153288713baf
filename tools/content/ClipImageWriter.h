#pragma once
// Compiles clip XML into the clip definitions image "clips.bindump", through the same builder
// as the game's own XML path, so the game reads the compiled image exactly as it would have
// built it from the XML.
#include "anim/ClipsBuilder.h"
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lv::content {

class CClipImageWriter
{
public:
    // Adds the clips of one XML document; a clip defined again replaces the earlier one. False,
    // with a message, when the document is not accepted by the parser.
    bool AddXml(const std::string& xml, std::string* error = nullptr);
    bool AddXmlFile(const std::filesystem::path& file, std::string* error = nullptr);

    size_t GetCount() const { return m_Builder.GetCount(); }
    std::vector<u8> Build() const { return m_Builder.Build(); }
    bool WriteFile(const std::filesystem::path& file, std::string* error = nullptr) const;

private:
    misc::anim::CClipsBuilder m_Builder;
};

} // namespace lv::content
