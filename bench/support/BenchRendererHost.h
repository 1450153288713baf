#pragma once
// The renderer's host in the benchmarks: a fixed client size, the window the benchmark made (none
// where it draws through a recording device) and screen-mode requests that always succeed.
#include "graphics/RendererHost.h"

namespace benchsupport {

class CBenchRendererHost final : public lv::graphics::CRendererHost
{
public:
    CBenchRendererHost(s32 width, s32 height, HWND window = nullptr)
        : Window(window), m_Width(width), m_Height(height), m_DesktopWidth(width), m_DesktopHeight(height)
    {
    }

    // A desktop larger than the client, as a windowed game has.
    void SetDesktopSize(s32 width, s32 height) { m_DesktopWidth = width, m_DesktopHeight = height; }

    HWND GetWindowHandle() override { return Window; }
    void GetClientSize(s32& w, s32& h) override { w = m_Width, h = m_Height; }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        w = m_DesktopWidth, h = m_DesktopHeight;
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { w = m_Width, h = m_Height; }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}

    HWND Window;

private:
    s32 m_Width, m_Height, m_DesktopWidth, m_DesktopHeight;
};

} // namespace benchsupport
