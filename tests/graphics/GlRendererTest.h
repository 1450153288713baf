#pragma once
// A renderer on the real OpenGL device layer in a hidden window, drawing in design coordinates
// equal to back-buffer pixels, with frame read-back and golden-image comparison.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/SdlWindow.h"
#include "support/GoldenImage.h"

class CGlRendererTest : public testing::Test, public lv::graphics::CRendererHost
{
protected:
    static constexpr s32 kWidth = 128;
    static constexpr s32 kHeight = 64;

    void SetUp() override
    {
        m_Window = lv::platform::CreateSdlWindow("renderer test", kWidth, kHeight, false);
        ASSERT_NE(m_Window, nullptr);
        lv::platform::SetDirect3DFactory(nullptr);
        lv::graphics::GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<lv::graphics::CRenderer>();
        m_Renderer->SetHost(this);
        m_Renderer->SetPreserveAspectRatio(true);
        m_Renderer->SetSourceSize(kWidth, kHeight);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, kWidth, kHeight));
        ASSERT_NE(lv::graphics::GetGraphicsDevice().GetDevice(), nullptr);
    }
    void TearDown() override
    {
        m_Renderer.reset();
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::graphics::GetGraphicsDevice().Release(false);
        lv::platform::DestroySdlWindow(m_Window);
    }

    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = kWidth;
        h = kHeight;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}

    // A run-time texture filled by pixel(x, y) (0xAARRGGBB).
    template <typename F>
    static lv::graphics::CTexture* MakeTexture(u32 w, u32 h, F pixel)
    {
        lv::graphics::CTexture* t = lv::graphics::CTextureManager::Instance().CreateTexture(w, h);
        if (!t)
            return nullptr;
        std::vector<u32> pixels(w * h);
        for (u32 y = 0; y < h; ++y)
            for (u32 x = 0; x < w; ++x)
                pixels[y * w + x] = pixel(x, y);
        t->UploadArgb(pixels.data());
        return t;
    }

    // The back buffer of the frame being drawn (flushed first), opaque, rows top first.
    std::vector<u32> ReadFrame()
    {
        m_Renderer->Flush();
        u32* read = nullptr;
        u32 w = 0, h = 0;
        std::vector<u32> pixels;
        if (!m_Renderer->ReadPixels(read, w, h, CIntRect()) || w != u32(kWidth) || h != u32(kHeight)) {
            ADD_FAILURE() << "no frame read back";
            std::free(read);
            return pixels;
        }
        pixels.assign(read, read + w * h);
        std::free(read);
        for (u32& p : pixels)
            p |= 0xFF000000u;
        return pixels;
    }
    static u32 At(const std::vector<u32>& frame, s32 x, s32 y) { return frame.at(size_t(y) * kWidth + x); }

    // Compares with tests/graphics/golden/<name>.png; GAME_UPDATE_GOLDEN=1 writes it instead.
    static void ExpectGolden(const std::string& name, const std::vector<u32>& pixels)
    {
        testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), name, kWidth, kHeight, pixels);
    }

    HWND m_Window = nullptr;
    std::unique_ptr<lv::graphics::CRenderer> m_Renderer;
};
