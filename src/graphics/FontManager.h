#pragma once
// Builds one bitmap font per font declaration and finds fonts by name. A font's glyphs come
// from its description file: the precompiled block beside it (the file's name plus ".bindump")
// when there is a sound one and no language copy of the description, else the description
// compiled. Fonts declared on the same file share one block.
#include <map>
#include <string>

#include "graphics/Font.h"
#include "graphics/FontDeclaration.h"
#include "graphics/ResourceManager.h"

namespace lv::graphics {
class CImageHandle;
}

namespace lv::core {

class CFileSystem;

class CFontManager : public CResourceManager<lv::graphics::CFont, FontDeclaration>
{
public:
    // Finds a declared image by name; null when there is none.
    using ImageLookup = lv::graphics::CImageHandle* (*)(void* user, const char* name);

    // The process-wide manager over the file system and the texture manager's images; created on
    // first use, never destroyed.
    static CFontManager* Instance();

    CFontManager(CFileSystem& files, ImageLookup images, void* user);
    // Frees the blocks and files of this manager (the process-wide one lives on).
    ~CFontManager() override;
    CFontManager(const CFontManager&) = delete;
    CFontManager& operator=(const CFontManager&) = delete;

    bool CreateResource(const FontDeclaration& declaration, lv::graphics::CFont& font) override;
    bool RecreateResource(const FontDeclaration& declaration, lv::graphics::CFont& font,
                          void* extra) override;

    // The font of that name; null when there is none. Stays valid while the font is loaded.
    lv::graphics::CFont* FindFont(const char* name);

    // Writes every block compiled from XML beside its description ("<file>.bindump"); files that
    // cannot be written are skipped.
    void SaveBindumps();

private:
    struct CFileEntry
    {
        bool built = false; // compiled here (malloc'd)
        const lv::graphics::FontHeader* block = nullptr;
        const void* file = nullptr; // the loaded ".bindump", when read in place
        bool copied = false;        // a malloc'd aligned copy of a loaded file
    };

    bool LoadBindump(const std::string& path);

    CFileSystem& m_Files;
    ImageLookup m_Images;
    void* m_ImagesUser;
    std::map<std::string, CFileEntry> m_FileEntries;
};

} // namespace lv::core
