#pragma once
// The list of all textures; addresses stay valid while others are added or erased.
#include <list>

#include "core/Types.h"

namespace lv::graphics {

class CTexture;

class CTextureFactory
{
public:
    CTexture* Create(u16 width, u16 height, u8 flags);
    bool CreateDeviceTexture(CTexture* texture);
    // Makes sure the texture has a device texture and uploads its CPU copy when it has one.
    void PrepareSurface(CTexture* texture);

    template <class F> void ForEach(F&& f)
    {
        for (CTexture& t : m_Textures)
            f(t);
    }

private:
    std::list<CTexture> m_Textures;
};

} // namespace lv::graphics
