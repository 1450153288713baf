// A scene of everything the renderer draws with (gradients, point and linear sampling, the three
// blend modes, a render target, lines), compared with an image checked by eye once. Run with
// GAME_UPDATE_GOLDEN=1 to write the image anew after a deliberate change.
#include "GlTestDevice.h"
#include "support/GoldenImage.h"

#include <cstdlib>
#include <filesystem>

namespace lv::platform::test {
namespace {

using GoldenImageTest = GlDeviceTest;

TEST_F(GoldenImageTest, DeviceScene)
{
    const DWORD W = 0xFFFFFFFF, K = 0xFF202020;
    const DWORD checker[16] = {W, K, W, K, K, W, K, W, W, K, W, K, K, W, K, W};
    IDirect3DTexture9* checkerTexture = MakeTexture(4, 4, D3DFMT_A8R8G8B8, checker, sizeof(checker));
    const WORD ramp[4] = {0xF00F, 0xF0F0, 0xFF00, 0x8FFF}; // A4R4G4B4: blue, green, red, half-white
    IDirect3DTexture9* rampTexture = MakeTexture(2, 2, D3DFMT_A4R4G4B4, ramp, sizeof(ramp));
    IDirect3DTexture9* target = MakeRenderTarget(16, 16);
    IDirect3DSurface9* targetSurface = nullptr;
    target->GetSurfaceLevel(0, &targetSurface);
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);

    m_Device->BeginScene();
    // Render target: a diagonal gradient.
    m_Device->SetRenderTarget(0, targetSurface);
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
    std::vector<Vertex> gradient = Quad(-0.5f, -0.5f, 15.5f, 15.5f, 0xFFFF8000);
    gradient[2].Diffuse = gradient[4].Diffuse = 0xFF0080FF;
    Draw(gradient);
    m_Device->SetRenderTarget(0, backBuffer);
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF304050, 0, 0);
    // Untextured gradient band.
    std::vector<Vertex> band = Quad(1.5f, 1.5f, 62.5f, 9.5f, 0xFFFF0000);
    band[1].Diffuse = band[2].Diffuse = band[4].Diffuse = 0xFF00FF00;
    Draw(band);
    // Checker 4x4 magnified by 6 with point sampling, then the ramp stretched with linear sampling.
    m_Device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    m_Device->SetTexture(0, checkerTexture);
    Draw(Quad(1.5f, 11.5f, 25.5f, 35.5f, 0xFFFFFFFF));
    m_Device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_Device->SetTexture(0, rampTexture);
    Draw(Quad(27.5f, 11.5f, 61.5f, 35.5f, 0xFFFFFFFF));
    // The render target, tinted.
    m_Device->SetTexture(0, target);
    Draw(Quad(1.5f, 37.5f, 25.5f, 61.5f, 0xFFFFFFC0));
    // Blend modes over the checker: none, normal, additive.
    m_Device->SetTexture(0, nullptr);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    Draw(Quad(27.5f, 37.5f, 37.5f, 61.5f, 0x80FF0000));
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    Draw(Quad(39.5f, 37.5f, 49.5f, 61.5f, 0x80FF0000));
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
    Draw(Quad(51.5f, 37.5f, 61.5f, 61.5f, 0x80FF0000));
    // A line list along the bottom row of the blend boxes.
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    const Vertex line[2] = {{27, 62, 0, 1, 0xFFFFFF00, 0, 0, 0}, {62, 62, 0, 1, 0xFFFFFF00, 0, 0, 0}};
    ASSERT_EQ(m_Device->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(Vertex)), D3D_OK);
    m_Device->EndScene();
    m_Device->SetTexture(0, nullptr);
    targetSurface->Release();
    backBuffer->Release();
    target->Release();
    rampTexture->Release();
    checkerTexture->Release();

    const std::vector<DWORD> actual = ReadBackBuffer();
    // Software GL may round blends a little differently from where the reference was made.
    testsupport::ExpectGoldenImage(testsupport::GoldenFolder(__FILE__), "device_scene", 64, 64, actual, 2);
}

} // namespace
} // namespace lv::platform::test
