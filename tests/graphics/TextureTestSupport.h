#pragma once
// A recording device for texture tests, and the texels of a texture read straight from its
// device texture.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "core/TempFolder.h"
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

// Makes the folder the working folder (where the file system finds loose files) while it lives.
class CContentFolder
{
public:
    CContentFolder() : m_Previous(std::filesystem::current_path()) { std::filesystem::current_path(m_Tmp.Path()); }
    ~CContentFolder() { std::filesystem::current_path(m_Previous); }
    const CTempFolder& Tmp() const { return m_Tmp; }
    void Write(const std::string& name, const std::vector<u8>& bytes) const
    {
        m_Tmp.Write(name, std::string(bytes.begin(), bytes.end()));
    }

private:
    CTempFolder m_Tmp;
    std::filesystem::path m_Previous;
};

inline size_t CountOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
