#include "graphics/FontManager.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/NamePool.h"
#include "graphics/FontBuilder.h"
#include "graphics/ImageHandle.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

namespace lv::core {

using lv::graphics::CFont;
using lv::graphics::FontHeader;

namespace {

constexpr const char* kFontChannel = "font";

lv::graphics::CImageHandle* DeclaredImage(void*, const char* name)
{
    return lv::graphics::CTextureManager::Instance().GetImage(name);
}

} // namespace

CFontManager* CFontManager::Instance()
{
    static CFontManager* s_Instance = new CFontManager(CFileSystem::Instance(), DeclaredImage, nullptr);
    return s_Instance;
}

CFontManager::CFontManager(CFileSystem& files, ImageLookup images, void* user)
    : m_Files(files), m_Images(images), m_ImagesUser(user)
{
}

CFontManager::~CFontManager()
{
    for (auto& [path, entry] : m_FileEntries) {
        if (entry.built || entry.copied)
            std::free(const_cast<FontHeader*>(entry.block));
        if (entry.file)
            m_Files.FreeFile(entry.file);
    }
}

bool CFontManager::RecreateResource(const FontDeclaration& declaration, CFont& font, void*)
{
    CreateResource(declaration, font);
    return true;
}

bool CFontManager::LoadBindump(const std::string& path)
{
    u32 size = 0;
    const u8* data = m_Files.LoadFile(path.c_str(), &size);
    if (!data)
        return false;
    // Blocks are read in place as 4-byte records: a file that does not start on such a boundary
    // (inside a pack) is read from an aligned copy.
    const void* block = data;
    bool copied = false;
    if (reinterpret_cast<uintptr_t>(data) % 4 != 0) {
        void* copy = std::malloc(size ? size : 1);
        if (copy) {
            std::memcpy(copy, data, size);
            block = copy;
            copied = true;
        }
    }
    if (!lv::graphics::IsValidFontBlock(block, size)) {
        ShowMessageBoxF("Error", "'%s' has wrong format version or is corrupted.", path.c_str());
        if (copied)
            std::free(const_cast<void*>(block));
        m_Files.FreeFile(data);
        return false;
    }
    CFileEntry entry;
    entry.block = static_cast<const FontHeader*>(block);
    entry.copied = copied;
    if (copied)
        m_Files.FreeFile(data);
    else
        entry.file = data;
    m_FileEntries[path.substr(0, path.size() - std::strlen(".bindump"))] = entry;
    return true;
}

bool CFontManager::CreateResource(const FontDeclaration& declaration, CFont& font)
{
    const CFixedString* id = declaration.GetName();
    const CFixedString* imageName = declaration.GetImage();
    font.name.AssignN(id->GetText(), id->GetLength());
    font.colour = declaration.GetColor();
    font.image = m_Images ? m_Images(m_ImagesUser, imageName->GetText()) : nullptr;
    if (!font.image) {
        CLog::Instance().Print(kFontChannel, 3, "Cannot find '%s' font's texture '%s'", id->GetText(),
                               imageName->GetText());
        return false;
    }

    const std::string& file = declaration.GetFile();
    const auto shared = m_FileEntries.find(file);
    if (shared != m_FileEntries.end()) {
        font.block = shared->second.block;
        font.CopyMetrics(*font.block);
        return true;
    }

    const std::string bindump = file + ".bindump";
    if (m_Files.FileExists(bindump.c_str()) && !m_Files.HasLocalizedFile(file.c_str()) &&
        LoadBindump(bindump))
        return CreateResource(declaration, font);

    u32 size = 0;
    const u8* xml = m_Files.LoadFile(file.c_str(), &size);
    if (!xml) {
        CLog::Instance().Print(kFontChannel, 3, "Cannot find '%s' font's properties file '%s'", id->GetText(),
                               file.c_str());
        return false;
    }
    lv::graphics::CFontBuilder builder;
    builder.Parse(reinterpret_cast<const char*>(xml), size);
    m_Files.FreeFile(xml);

    lv::graphics::CTexture* texture = font.image->GetTexture();
    if (!texture) {
        CLog::Instance().Print(kFontChannel, 3, "Font '%s' has no texture", font.name.GetText());
        return false;
    }
    builder.Finalize(texture->GetWidth(), texture->GetHeight());
    u32 blockSize = 0;
    u8* block = builder.Build(blockSize);
    if (!block)
        return false;
    CFileEntry entry;
    entry.built = true;
    entry.block = reinterpret_cast<const FontHeader*>(block);
    m_FileEntries[file] = entry;
    font.block = entry.block;
    font.CopyMetrics(*font.block);
    return true;
}

CFont* CFontManager::FindFont(const char* name)
{
    const CFixedString key(name);
    // Ids too long for a name were pooled cut (see Declaration::PoolName).
    const CFixedString* pooled =
        InternName(key.IsTruncated() ? CFixedString(name, CFixedString::kMaxLength) : key);
    const auto found = m_Resources.find(pooled);
    return found != m_Resources.end() ? &found->second : nullptr;
}

void CFontManager::SaveBindumps()
{
    for (const auto& [path, entry] : m_FileEntries) {
        if (!entry.built)
            continue;
        FILE* out = std::fopen((path + ".bindump").c_str(), "wb");
        if (!out)
            continue;
        std::fwrite(entry.block, 1, entry.block->size, out);
        std::fclose(out);
    }
}

} // namespace lv::core
