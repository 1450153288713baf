#pragma once
// A recording device for texture tests, and the texels of a texture read straight from its
// device texture.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "graphics/GraphicsDevice.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/RecordingDirect3D.h"

class CRecordingDeviceScope
{
public:
    CRecordingDeviceScope()
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        lv::graphics::GetGraphicsDevice().Release(false);
        EXPECT_TRUE(lv::graphics::GetGraphicsDevice().CreateOrReset(nullptr, 0, 0, false));
    }
    ~CRecordingDeviceScope()
    {
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::graphics::GetGraphicsDevice().Release(false);
        lv::platform::SetDirect3DFactory(nullptr);
    }
    lv::platform::CRecordingLog& Log() { return *m_Log; }

private:
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
};

// The bytes of level 0, packed rows of width x bytesPerPixel; empty without a device texture.
inline std::vector<u8> DeviceTexels(lv::graphics::CTexture* texture, u32 bytesPerPixel)
{
    IDirect3DTexture9* device = texture->PeekDeviceTexture();
    std::vector<u8> out;
    D3DLOCKED_RECT locked = {};
    if (!device || device->LockRect(0, &locked, nullptr, 0) < 0)
        return out;
    const size_t row = static_cast<size_t>(texture->GetWidth()) * bytesPerPixel;
    for (u32 y = 0; y < texture->GetHeight(); ++y) {
        const u8* source = static_cast<const u8*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        out.insert(out.end(), source, source + row);
    }
    device->UnlockRect(0);
    return out;
}
