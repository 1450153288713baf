#pragma once
// Shared set-up of the video tests: a renderer on the recording device (so frame textures exist
// and draws are recorded), a hand-driven game clock, and helpers over converted frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/TimeSystem.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Texture.h"
#include "graphics/Vertex.h"
#include "graphics/YuvConvert.h"
#include "platform/d3d9/RecordingDirect3D.h"

class CVideoTestHost final : public lv::graphics::CRendererHost
{
public:
    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override { w = 1024, h = 768; }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        w = 1920, h = 1080;
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { w = 1024, h = 768; }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

class VideoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1024;
        m_Log->WindowHeight = 768;
        lv::graphics::GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<lv::graphics::CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1024, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1024, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        m_Time.Tick();
    }
    void TearDown() override
    {
        m_Renderer.reset();
        lv::platform::SetDirect3DFactory(nullptr);
    }

    // One game frame of the given length.
    void Advance(s32 ms)
    {
        m_Now += ms;
        m_Time.Tick();
    }
    // The vertices drawn since the last call.
    std::vector<lv::graphics::CVertex> Drawn()
    {
        m_Renderer->Flush();
        std::vector<lv::graphics::CVertex> out;
        for (const auto& d : m_Log->Draws) {
            const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(d.Vertices.data());
            out.insert(out.end(), v, v + d.Vertices.size() / sizeof(lv::graphics::CVertex));
        }
        m_Log->Draws.clear();
        return out;
    }
    // The pixels last uploaded to the texture (0xAARRGGBB), read back from the device.
    static std::vector<u32> Uploaded(lv::graphics::CTexture* texture)
    {
        std::vector<u32> out;
        IDirect3DTexture9* device = texture ? texture->PeekDeviceTexture() : nullptr;
        D3DLOCKED_RECT locked = {};
        if (!device || device->LockRect(0, &locked, nullptr, 0) != D3D_OK)
            return out;
        for (u32 y = 0; y < texture->GetHeight(); ++y) {
            const auto* row = reinterpret_cast<const u32*>(static_cast<const u8*>(locked.pBits) + y * locked.Pitch);
            out.insert(out.end(), row, row + texture->GetWidth());
        }
        device->UnlockRect(0);
        return out;
    }

    double m_Now = 1000.0;
    lv::core::CTimeSystem m_Time{[this] { return m_Now; }};
    CVideoTestHost m_Host;
    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<lv::graphics::CRenderer> m_Renderer;
};

// The grey level the converter gives a luma value with neutral chroma.
inline int GreyOf(u8 luma)
{
    u8 pixel[4] = {};
    const u8 chroma = 128;
    lv::graphics::CYuvPicture p;
    p.width = p.height = 1;
    p.y = &luma;
    p.u = p.v = &chroma;
    lv::graphics::YuvToRgbaOpaque(pixel, p);
    return pixel[2];
}
