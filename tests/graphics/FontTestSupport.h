#pragma once
// Fonts for tests: font XML made up in the test, compiled by the font manager over a temporary
// working folder, with the glyph image on a texture of the test's own.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "core/FileSystem.h"
#include "core/TempFolder.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

// A font whose letters a-z and A-Z all have the advance 5 (images 6 x 10, one per 8 pixels of a
// 512 x 16 texture), space 4, symbol gap 1, line gap 2, pixel height 10 and no padding, plus
// `extra` elements (pairs, other chars).
inline std::string TestFontXml(const std::string& extra = "", const std::string& fontAttributes = "")
{
    std::string xml = "<?xml version=\"1.0\"?>\n<Font Version=\"2\" Padding=\"0 0 0 0\" PixHeight=\"10\" "
                      "Baseline=\"2\" Space=\"4\" SymbolGap=\"1\" LineGap=\"2\" " +
                      fontAttributes + ">\n";
    int i = 0;
    for (const char* range : {"az", "AZ"})
        for (char c = range[0]; c <= range[1]; ++c, ++i)
            xml += "<Char Code=\"" + std::string(1, c) + "\" Rect=\"" + std::to_string(i * 8) + " 0 " +
                   std::to_string(i * 8 + 6) + " 10\" Width=\"5\" TopOffset=\"0\"/>\n";
    return xml + extra + "</Font>\n";
}

// Makes the folder the working folder while it lives.
class CFontWorkingFolder
{
public:
    explicit CFontWorkingFolder(const std::filesystem::path& folder)
        : m_Previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~CFontWorkingFolder() { std::filesystem::current_path(m_Previous); }

private:
    std::filesystem::path m_Previous;
};

// A temporary working folder with a file system (language "de" when asked), a 512 x 16 image
// named "fnt" and a font manager over both.
class CFontFixture
{
public:
    explicit CFontFixture(const char* language = "", lv::graphics::CTexture* texture = nullptr)
        : m_Cwd(m_Folder.Path()), m_Files(language), m_OwnTexture(&lv::graphics::CTextureManager::Instance(), 512, 16, 0)
    {
        m_Image.BindTexture(texture ? texture : &m_OwnTexture);
        m_Manager = std::make_unique<lv::core::CFontManager>(m_Files, &CFontFixture::Lookup, this);
    }
    ~CFontFixture()
    {
        m_Manager.reset();
        m_Image.Release();
    }

    void Write(const std::string& name, const std::string& bytes) { m_Folder.Write(name, bytes); }
    std::string Read(const std::string& name) const { return m_Folder.Read(name); }

    // Declares the fonts of the fonts.xml text and loads them; returns the number declared.
    int Load(const std::string& fontsXml)
    {
        auto set = lv::graphics::CDeclarationSet::Create();
        set->LoadXml(fontsXml.data(), fontsXml.size(), nullptr);
        int counter = 0;
        m_Manager->LoadAll(*set, &counter);
        return counter;
    }
    // One font "f" on the image "fnt" with the file "fonts/f.xml".
    lv::graphics::CFont* LoadOne(const std::string& fontXml)
    {
        Write("fonts/f.xml", fontXml);
        Load("<?xml version=\"1.0\"?><fonts><font id=\"f\" image=\"fnt\" file=\"fonts\\f.xml\"/></fonts>");
        return m_Manager->FindFont("f");
    }

    lv::core::CFontManager& Manager() { return *m_Manager; }
    lv::graphics::CImageHandle& Image() { return m_Image; }

private:
    static lv::graphics::CImageHandle* Lookup(void* user, const char* name)
    {
        return std::strcmp(name, "fnt") == 0 ? &static_cast<CFontFixture*>(user)->m_Image : nullptr;
    }

    CTempFolder m_Folder;
    CFontWorkingFolder m_Cwd;
    lv::core::CFileSystem m_Files;
    lv::graphics::CTexture m_OwnTexture;
    lv::graphics::CImageHandle m_Image;
    std::unique_ptr<lv::core::CFontManager> m_Manager;
};
