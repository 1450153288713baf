#pragma once
// The list of all textures of one manager; addresses stay valid while others are added or erased.
#include <list>

#include "core/Types.h"

namespace lv::graphics {

class CTexture;
class CTextureManager;

class CTextureFactory
{
public:
    explicit CTextureFactory(CTextureManager* manager) : m_Manager(manager) {}

    // A new texture (format 1, no references, no file).
    CTexture* Create(u16 width, u16 height, u8 flags);
    bool CreateDeviceTexture(CTexture* texture);
    // Makes sure the texture has a device texture and uploads its CPU copy when it has one; false
    // when the device texture cannot be made.
    bool PrepareSurface(CTexture* texture);
    // Box-filters the source into the target, which must already hold a CPU copy of its own size;
    // the target gets a device texture of that size (render-target flag taken from the source).
    // False when the target has no copy or a side is 0.
    bool Resize(CTexture* source, CTexture* target);
    // The first texture whose declaration path is the text, or null.
    CTexture* FindByPath(const char* path);
    // Erases every texture the predicate selects.
    template <class F> void EraseIf(F&& f) { m_Textures.remove_if(f); }
    size_t GetCount() const { return m_Textures.size(); }

    template <class F> void ForEach(F&& f)
    {
        for (CTexture& t : m_Textures)
            f(t);
    }

private:
    CTextureManager* m_Manager;
    std::list<CTexture> m_Textures;
};

} // namespace lv::graphics
