#pragma once
// A renderer over the recording device (800 x 600, one frame open) for widget drawing tests.
#include <gtest/gtest.h>

#include <memory>

#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "platform/d3d9/RecordingDirect3D.h"

class CRecordingRendererHost final : public lv::graphics::CRendererHost
{
public:
    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 800;
        h = 600;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

class CRecordingRenderer
{
public:
    CRecordingRenderer()
    {
        Log = lv::platform::InstallRecordingDirect3D();
        Log->WindowWidth = 800;
        Log->WindowHeight = 600;
        lv::graphics::GetGraphicsDevice().Release(false);
        Renderer = std::make_unique<lv::graphics::CRenderer>();
        Renderer->SetHost(&m_Host);
        Renderer->SetSourceSize(800, 600);
        EXPECT_TRUE(Renderer->SetMode(false, true, 800, 600));
        EXPECT_TRUE(Renderer->BeginFrame());
    }
    ~CRecordingRenderer()
    {
        Renderer.reset();
        lv::platform::SetDirect3DFactory(nullptr);
    }
    CRecordingRenderer(const CRecordingRenderer&) = delete;
    CRecordingRenderer& operator=(const CRecordingRenderer&) = delete;

    std::shared_ptr<lv::platform::CRecordingLog> Log;
    std::unique_ptr<lv::graphics::CRenderer> Renderer;

private:
    CRecordingRendererHost m_Host;
};
