#include "graphics/TextureManager.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/TimeSystem.h"
#include "graphics/ImageFiles.h"
#include "graphics/ImageHandle.h"
#include "graphics/ImageInfo.h"
#include "graphics/PvrContainer.h"
#include "graphics/Texture.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureFactory.h"

namespace lv::graphics {

namespace {
constexpr const char* kChannel = "texman";
// Preloading stops once this much raw time has passed in one call.
constexpr double kPreloadBudgetMs = 10.0;
} // namespace

CTextureManager& CTextureManager::Instance()
{
    // Never destroyed: textures may still be released during process exit.
    static CTextureManager* const s_Manager = new CTextureManager;
    return *s_Manager;
}

CTextureManager::CTextureManager() : m_Factory(new CTextureFactory(this)) {}

CTextureManager::~CTextureManager()
{
    delete m_Preload;
    m_Images.clear();
    delete m_Factory;
}

core::CTimeSystem& CTextureManager::TimeSystem() const
{
    return m_TimeSystem ? *m_TimeSystem : core::CTimeSystem::Instance();
}

void CTextureManager::Init(CTextureDeclarations* declarations)
{
    if (m_Initialised || !declarations || !declarations->GetBlob())
        return;
    m_Declarations = declarations;
    m_Initialised = 1;
    const double start = TimeSystem().GetRawTimeMs();

    const u32 surfaceCount = declarations->GetSurfaceCount();
    const CSurfaceRecord* surfaces = declarations->GetSurfaces();
    std::vector<CTexture*> textures(surfaceCount);
    std::vector<bool> probed(surfaceCount, false);
    core::CFileSystem& files = core::CFileSystem::Instance();
    for (u32 i = 0; i < surfaceCount; ++i) {
        const CSurfaceRecord& record = surfaces[i];
        const u8 flags = static_cast<u8>((record.flags & 0xFF) | (m_OnDemand ? 6 : 0));
        u32 width = record.width, height = record.height;
        u8 format = record.format;
        const char* path = record.path.GetText();
        if (files.HasLocalizedFile(path) || (record.flags & CSurfaceRecord::kSizeFromFile)) {
            probed[i] = true;
            width = height = 0;
            if (std::strstr(path, ".pvr")) {
                ReadPvrHeader(path, &width, &height, &format);
            } else {
                s32 w = 0, h = 0;
                misc::imagelib::ReadImageFileSize(path, &w, &h);
                width = static_cast<u32>(w);
                height = static_cast<u32>(h);
                format = 1;
            }
        }
        CTexture* texture = m_Factory->Create(static_cast<u16>(width), static_cast<u16>(height), flags);
        texture->SetFormat(format);
        texture->SetDeclaration(&record);
        textures[i] = texture;
    }

    const u32 imageCount = declarations->GetImageCount();
    const CImageIndexEntry* index = declarations->GetIndex();
    m_Images.resize(imageCount);
    for (u32 j = 0; j < imageCount; ++j) {
        const CImageInfo* info = declarations->GetInfo(index[j]);
        const u32 surface = CTextureDeclarations::SurfaceNumber(info->surfaceOffset);
        CTexture* texture = textures[surface];
        CImageHandle& handle = m_Images[j];
        if (probed[surface] || (texture->GetFlags() & CTexture::kSizeFromFile)) {
            handle.BindTexture(texture);
            if (!handle.m_Info)
                continue;
            handle.m_Info->name.AssignN(index[j].id.GetText(), index[j].id.GetLength());
            if (std::strstr(surfaces[surface].path.GetText(), "_2!")) {
                handle.m_Info->frameWidth = static_cast<u16>(texture->GetWidth() >> 1);
                handle.m_Info->frameHeight = static_cast<u16>(texture->GetHeight() >> 1);
            }
        } else {
            handle.SetTexture(texture);
            // Shared: the block belongs to the declarations and is only ever read.
            handle.m_Info = const_cast<CImageInfo*>(info);
        }
    }
    core::CLog::Instance().Print(kChannel, 0, "Texture information created in %dms",
                                 static_cast<s32>(TimeSystem().GetRawTimeMs() - start));
}

CImageHandle* CTextureManager::GetImage(const char* name)
{
    if (!name || !*name)
        return nullptr;
    return GetImage(CFixedString(name));
}

CImageHandle* CTextureManager::GetImage(const CFixedString& name)
{
    if (name.IsEmpty() || !m_Initialised || !m_Declarations)
        return nullptr;
    const CImageIndexEntry* entry = m_Declarations->FindEntry(name);
    if (!entry)
        return nullptr;
    const size_t position = static_cast<size_t>(entry - m_Declarations->GetIndex());
    return position < m_Images.size() ? &m_Images[position] : nullptr;
}

u32 CTextureManager::GetImageCount() const
{
    return static_cast<u32>(m_Images.size());
}

CTexture* CTextureManager::CreateRuntime(u32 width, u32 height, u8 flags)
{
    CTexture* texture = m_Factory->Create(static_cast<u16>(width), static_cast<u16>(height), flags);
    if (!m_Factory->CreateDeviceTexture(texture))
        return nullptr;
    return texture;
}

CTexture* CTextureManager::CreateTexture(u32 width, u32 height)
{
    return CreateRuntime(width, height, 0);
}

CTexture* CTextureManager::CreateRenderTarget(u32 width, u32 height)
{
    return CreateRuntime(width, height, CTexture::kRenderTarget);
}

CTexture* CTextureManager::CloneTexture(CTexture* source)
{
    if (!source)
        return nullptr;
    CTexture* target = m_Factory->Create(source->GetWidth(), source->GetHeight(),
                                         source->GetFlags() & CTexture::kRenderTarget);
    if (!m_Factory->CreateDeviceTexture(target)) {
        m_Factory->EraseIf([target](const CTexture& t) { return &t == target; });
        return nullptr;
    }
    const size_t bytes = static_cast<size_t>(source->GetWidth()) * source->GetHeight() * 4;
    const bool targetHadCopy = target->GetPixelCopy() != nullptr;
    if (!targetHadCopy)
        target->AllocPixelCopy();
    if (source->GetPixelCopy()) {
        if (target->GetPixelCopy())
            std::memcpy(target->GetPixelCopy(), source->GetPixelCopy(), bytes);
    } else {
        source->AllocPixelCopy();
        source->ReadBack();
        if (target->GetPixelCopy() && source->GetPixelCopy())
            std::memcpy(target->GetPixelCopy(), source->GetPixelCopy(), bytes);
        source->FreePixelCopy();
    }
    target->UploadPixelCopy();
    if (!targetHadCopy)
        target->FreePixelCopy();
    return target;
}

bool CTextureManager::DuplicateImage(const CImageHandle* source, CImageHandle* target)
{
    if (!source || !target || !source->GetTexture())
        return false;
    target->Assign(*source);
    CTexture* clone = CloneTexture(source->GetTexture());
    if (!clone)
        return false;
    target->SetTexture(clone);
    return true;
}

void CTextureManager::LoadSurfaceData(CTexture* texture)
{
    if (!m_Factory->PrepareSurface(texture))
        return; // logged; the next use tries again
    if (texture->GetPixelCopy() || !texture->HasFile())
        return;
    const char* path = texture->m_Declaration->path.GetText();
    ++m_FileLoads;
    if (std::strstr(path, ".pvr")) {
        if (!LoadPvrIntoTexture(path, texture))
            core::CLog::Instance().Print(kChannel, 3, "Cannot load surface data with pvrimagecontainer: \"%s\"", path);
        return;
    }
    misc::imagelib::CImageBuffer buffer;
    if (!misc::imagelib::DecodeImageFile(path, buffer) || buffer.width != texture->GetWidth() ||
        buffer.height != texture->GetHeight() || texture->GetFormat() != 1 ||
        !texture->UploadArgb(reinterpret_cast<const u32*>(buffer.pixels)))
        core::CLog::Instance().Print(kChannel, 3, "Cannot load surface data with imagelib: \"%s\"", path);
}

void CTextureManager::ReleaseAllDeviceTextures()
{
    m_Factory->ForEach([](CTexture& t) { t.ReleaseDeviceTexture(); });
}

void CTextureManager::ReleaseRenderTargets()
{
    m_Factory->ForEach([](CTexture& t) {
        if (t.GetFlags() & CTexture::kRenderTarget)
            t.ReleaseDeviceTexture();
    });
}

void CTextureManager::EvictAll()
{
    m_Factory->ForEach([](CTexture& t) {
        if ((t.GetFlags() & CTexture::kReloadable) && t.HasFile())
            t.Evict();
    });
}

void CTextureManager::RestoreAll()
{
    m_Factory->ForEach([](CTexture& t) {
        if (!(t.GetFlags() & CTexture::kPixelsNotLoaded) && !t.PeekDeviceTexture())
            t.GetDeviceTexture();
    });
}

void CTextureManager::CollectUnreferenced()
{
    if (m_Preload) {
        delete m_Preload; // it may name textures about to go
        m_Preload = nullptr;
    }
    m_Factory->EraseIf([](const CTexture& t) { return t.GetRefCount() <= 0; });
}

CTexture* CTextureManager::FindTextureByDeviceTexture(IDirect3DBaseTexture9* deviceTexture)
{
    CTexture* found = nullptr;
    m_Factory->ForEach([&](CTexture& t) {
        if (!found && deviceTexture &&
            static_cast<IDirect3DBaseTexture9*>(t.PeekDeviceTexture()) == deviceTexture)
            found = &t;
    });
    return found;
}

void CTextureManager::QueuePreload(const char* prefix)
{
    delete m_Preload;
    m_Preload = nullptr;
    auto* queue = new CPreloadQueue;
    struct CContext
    {
        CTextureManager* manager;
        CPreloadQueue* queue;
    } context{this, queue};
    core::CFileSystem::Instance().EnumerateFiles(
        prefix ? prefix : "",
        [](void* user, const char* name) {
            auto* c = static_cast<CContext*>(user);
            if (CTexture* texture = c->manager->m_Factory->FindByPath(name))
                c->queue->items.push_back(texture);
        },
        &context);
    if (queue->items.empty())
        delete queue;
    else
        m_Preload = queue;
}

void CTextureManager::UpdatePreload()
{
    if (!m_Preload)
        return;
    const double start = TimeSystem().GetRawTimeMs();
    do {
        m_Preload->items[m_Preload->next++]->GetDeviceTexture();
    } while (m_Preload->next < m_Preload->items.size() && TimeSystem().GetRawTimeMs() - start < kPreloadBudgetMs);
    if (m_Preload->next >= m_Preload->items.size()) {
        delete m_Preload;
        m_Preload = nullptr;
    }
}

u32 CTextureManager::GetPreloadRemaining() const
{
    return m_Preload ? static_cast<u32>(m_Preload->items.size() - m_Preload->next) : 0;
}

void CTextureManager::AddUsedBytes(u32 bytes)
{
    m_UsedBytes += bytes;
    if (m_UsedBytes > m_MemoryLimit)
        EvictToTarget();
}

void CTextureManager::EvictToTarget()
{
    CTexture* texture = m_Oldest;
    while (texture && m_UsedBytes > m_MemoryTarget) {
        CTexture* next = texture->m_Next;
        // Run-time textures have no file to come back from: never evicted.
        if ((texture->GetFlags() & CTexture::kReloadable) && texture->HasFile())
            texture->Evict();
        texture = next;
    }
}

void CTextureManager::Touch(CTexture* texture)
{
    const u32 now = static_cast<u32>(TimeSystem().GetTime());
    if (texture->m_InList && texture->m_UseStamp == now)
        return;
    texture->m_UseStamp = now;
    if (texture->m_InList && texture == m_Newest)
        return;
    Unlink(texture);
    texture->m_Prev = m_Newest;
    texture->m_Next = nullptr;
    if (m_Newest)
        m_Newest->m_Next = texture;
    else
        m_Oldest = texture;
    m_Newest = texture;
    texture->m_InList = true;
}

void CTextureManager::Unlink(CTexture* texture)
{
    if (!texture->m_InList)
        return;
    if (texture->m_Prev)
        texture->m_Prev->m_Next = texture->m_Next;
    else
        m_Oldest = texture->m_Next;
    if (texture->m_Next)
        texture->m_Next->m_Prev = texture->m_Prev;
    else
        m_Newest = texture->m_Prev;
    texture->m_Next = texture->m_Prev = nullptr;
    texture->m_InList = false;
}

const char* CTextureManager::GetTexturePath(const CTexture* texture) const
{
    return texture ? texture->GetDeclaration()->path.GetText() : "";
}

const char* CTextureManager::GetImageName(const CImageHandle* image) const
{
    return image && image->GetInfo() ? image->GetInfo()->name.GetText() : "";
}

const CSurfaceRecord* CTextureManager::GetSurfaceRecord(const CImageHandle* image) const
{
    return image && image->GetTexture() ? image->GetTexture()->GetDeclaration() : nullptr;
}

} // namespace lv::graphics
