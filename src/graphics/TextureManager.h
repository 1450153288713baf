#pragma once
// Owner of every texture of the program: one texture per declared surface and one image handle
// per declared image (made once from the texture declarations), run-time textures and render
// targets, the video-memory budget with least-recently-used eviction, preloading, and the device
// texture releases around a device loss.
#include <vector>

#include "core/FixedString.h"
#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::core {
class CTimeSystem;
} // namespace lv::core

namespace lv::graphics {

class CImageHandle;
class CTexture;
class CTextureDeclarations;
class CTextureFactory;
struct CSurfaceRecord;

class CTextureManager
{
public:
    static constexpr u32 kDefaultMemoryLimit = 0x8000000;
    static constexpr u32 kDefaultMemoryTarget = 0x6000000;

    // The process-wide manager, created on first use and never destroyed.
    static CTextureManager& Instance();

    // A manager of its own (tests); its textures go with it.
    CTextureManager();
    ~CTextureManager();
    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // Declared textures start without pixels and may be evicted when on (the default); set
    // before Init.
    void SetAllOnDemand(u8 onDemand) { m_OnDemand = onDemand; }
    u8 GetAllOnDemand() const { return m_OnDemand; }
    // The clock of use stamps and preloading (the process-wide time system when null).
    void SetTimeSystem(core::CTimeSystem* timeSystem) { m_TimeSystem = timeSystem; }

    // Once: one texture per declared surface, one image handle per declared image. Nothing
    // happens the second time or for a holder without a blob.
    void Init(CTextureDeclarations* declarations);
    bool IsInitialised() const { return m_Initialised != 0; }
    // The declared image; null for a null or empty name, before Init, or for an undeclared name.
    // The handle lives as long as the manager.
    CImageHandle* GetImage(const char* name);
    CImageHandle* GetImage(const CFixedString& name);
    u32 GetImageCount() const;

    // A run-time texture whose device texture is made at once; null when that fails.
    CTexture* CreateTexture(u32 width, u32 height);
    // The same as a render target (flag 0x08).
    CTexture* CreateRenderTarget(u32 width, u32 height);
    // A new texture of the same size holding the source's pixels; null on failure.
    CTexture* CloneTexture(CTexture* source);
    // The target becomes a copy of the source handle on a cloned texture.
    bool DuplicateImage(const CImageHandle* source, CImageHandle* target);

    void LoadSurfaceData(CTexture* texture);
    void ReleaseAllDeviceTextures();
    void ReleaseRenderTargets();
    // Evicts every reloadable texture that has a file to reload from.
    void EvictAll();
    // Loads again every texture whose pixels were not evicted.
    void RestoreAll();
    // Erases every texture nothing references.
    void CollectUnreferenced();
    CTexture* FindTextureByDeviceTexture(IDirect3DBaseTexture9* deviceTexture);

    // Queues the declared textures whose files lie under the prefix; UpdatePreload loads them,
    // at least one and about 10 ms' worth per call.
    void QueuePreload(const char* prefix);
    void UpdatePreload();
    u32 GetPreloadRemaining() const;

    // The budget: above the limit, reloadable textures are evicted from the oldest use on until
    // the total is at most the target.
    void AddUsedBytes(u32 bytes);
    void SubUsedBytes(u32 bytes) { m_UsedBytes -= bytes < m_UsedBytes ? bytes : m_UsedBytes; }
    u32 GetUsedBytes() const { return m_UsedBytes; }
    void SetMemoryLimit(u32 bytes) { m_MemoryLimit = bytes; }
    void SetMemoryTarget(u32 bytes) { m_MemoryTarget = bytes; }

    // The path of the texture's surface file ("" for run-time textures).
    const char* GetTexturePath(const CTexture* texture) const;
    const char* GetImageName(const CImageHandle* image) const;
    const CSurfaceRecord* GetSurfaceRecord(const CImageHandle* image) const;

    // Least-recently-used list: the oldest texture (follow GetNewer for the rest).
    CTexture* GetOldest() const { return m_Oldest; }
    // How many surface files were loaded into textures so far.
    u32 GetFileLoadCount() const { return m_FileLoads; }

    CTextureFactory& GetFactory() { return *m_Factory; }

private:
    friend class CTexture;

    CTexture* CreateRuntime(u32 width, u32 height, u8 flags);
    core::CTimeSystem& TimeSystem() const;
    // Moves the texture to the newest end when its stamp is not the current time.
    void Touch(CTexture* texture);
    void Unlink(CTexture* texture);
    void EvictToTarget();

    struct CPreloadQueue
    {
        u32 next = 0;
        std::vector<CTexture*> items;
    };

    CTextureFactory* m_Factory;
    u8 m_OnDemand = 1;
    u8 m_Initialised = 0;
    CTextureDeclarations* m_Declarations = nullptr;
    std::vector<CImageHandle> m_Images;
    CPreloadQueue* m_Preload = nullptr;
    u32 m_UsedBytes = 0;
    u32 m_MemoryLimit = kDefaultMemoryLimit;
    u32 m_MemoryTarget = kDefaultMemoryTarget;
    CTexture* m_Oldest = nullptr;
    CTexture* m_Newest = nullptr;
    core::CTimeSystem* m_TimeSystem = nullptr;
    u32 m_FileLoads = 0;
};

} // namespace lv::graphics
