#pragma once
// Widgets drawn on the real OpenGL layer: a hidden window of a fixed size as the renderer's host,
// a renderer on it in design pixels equal to window pixels, and the frame read back.
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "platform/SdlWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace guitest {

class CGlWindowHost final : public lv::graphics::CRendererHost
{
public:
    CGlWindowHost(s32 width, s32 height) : m_Width(width), m_Height(height) {}
    ~CGlWindowHost() { Close(); }

    // Opens the hidden window; the graphics device starts anew on it.
    bool Open(const char* title)
    {
        m_Window = lv::platform::CreateSdlWindow(title, m_Width, m_Height, false);
        if (!m_Window)
            return false;
        lv::platform::SetDirect3DFactory(nullptr);
        lv::graphics::GetGraphicsDevice().Release(false);
        return true;
    }
    // Releases the device and closes the window (after the renderer and its textures are gone).
    void Close()
    {
        if (!m_Window)
            return;
        lv::graphics::GetGraphicsDevice().Release(false);
        lv::platform::DestroySdlWindow(m_Window);
        m_Window = nullptr;
    }
    bool StartRenderer(lv::graphics::CRenderer& renderer)
    {
        renderer.SetHost(this);
        renderer.SetSourceSize(m_Width, m_Height);
        return renderer.SetMode(false, true, m_Width, m_Height);
    }

    HWND GetWindowHandle() override { return m_Window; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = m_Width;
        h = m_Height;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}

private:
    s32 m_Width;
    s32 m_Height;
    HWND m_Window = nullptr;
};

// Flushes the frame drawn so far, reads the whole back buffer of width x height and ends the frame.
inline void ReadFrame(lv::graphics::CRenderer& renderer, s32 width, s32 height, std::vector<u32>& pixels)
{
    renderer.Flush();
    u32* read = nullptr;
    u32 w = 0, h = 0;
    ASSERT_TRUE(renderer.ReadPixels(read, w, h, CIntRect()));
    pixels.assign(read, read + w * h);
    std::free(read);
    renderer.EndFrame();
    ASSERT_EQ(w, u32(width));
    ASSERT_EQ(h, u32(height));
}

} // namespace guitest
