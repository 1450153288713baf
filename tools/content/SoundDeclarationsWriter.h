#pragma once
// Compiles sounds.xml into the sound declaration image "sounds.bindump" with the game's own
// builder, so the game reads the compiled image exactly as it would have built it from the XML.
// Tests also add records directly to make images of their own.
#include "core/Types.h"
#include "sound/SoundDeclarationsBuilder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lv::content {

class CSoundDeclarationsWriter
{
public:
    // False, with a message, when the parser does not accept the document (the declarations
    // read before the failure are kept, as in the game).
    bool AddXml(const std::string& xml, std::string* error = nullptr);
    bool AddXmlFile(const std::filesystem::path& file, std::string* error = nullptr);
    // One declaration; the names get their hashes.
    void Add(sound::CSoundDeclarationRecord record);

    size_t GetCount() const { return m_Builder.GetCount(); }
    std::vector<u8> Build() const { return m_Builder.Build(); }
    bool WriteBindump(const std::filesystem::path& file, std::string* error = nullptr) const;

private:
    sound::CSoundDeclarationsBuilder m_Builder;
};

} // namespace lv::content
