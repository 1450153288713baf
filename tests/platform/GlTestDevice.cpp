#include "GlTestDevice.h"

#include "platform/SdlWindow.h"

#include <cstdlib>
#include <cstring>
#include <ostream>

namespace lv::platform::test {

std::vector<Vertex> Quad(float x0, float y0, float x1, float y1, DWORD diffuse, float u0, float v0, float u1,
                         float v1)
{
    const Vertex a{x0, y0, 0, 1, diffuse, 0, u0, v0}, b{x1, y0, 0, 1, diffuse, 0, u1, v0};
    const Vertex c{x1, y1, 0, 1, diffuse, 0, u1, v1}, d{x0, y1, 0, 1, diffuse, 0, u0, v1};
    return {a, b, c, a, c, d};
}

void GlDeviceTest::Open(UINT width, UINT height)
{
    m_Width = width;
    m_Height = height;
    m_Window = CreateSdlWindow("test", int(width), int(height), false);
    ASSERT_NE(m_Window, nullptr);
    m_D3D = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(m_D3D, nullptr);
    m_Params = {};
    m_Params.BackBufferFormat = D3DFMT_X8R8G8B8;
    m_Params.BackBufferCount = 1;
    m_Params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_Params.Windowed = 1;
    m_Params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    m_Params.BackBufferWidth = width;
    m_Params.BackBufferHeight = height;
    ASSERT_EQ(m_D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_Window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &m_Params, &m_Device),
              D3D_OK);
    SetupStates();
}

void GlDeviceTest::Close()
{
    if (m_Device) {
        EXPECT_EQ(m_Device->Release(), 0u);
    }
    if (m_D3D) {
        EXPECT_EQ(m_D3D->Release(), 0u);
    }
    DestroySdlWindow(m_Window);
    m_Device = nullptr;
    m_D3D = nullptr;
    m_Window = nullptr;
}

void GlDeviceTest::SetupStates()
{
    m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    m_Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_Device->SetRenderState(D3DRS_LIGHTING, 0);
    m_Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_Device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
    m_Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_Device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_Device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    m_Device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    m_Device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_Device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    m_Device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_Device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    for (DWORD s = 0; s < 2; ++s) {
        m_Device->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        m_Device->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
        m_Device->SetSamplerState(s, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        m_Device->SetSamplerState(s, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    }
}

void GlDeviceTest::SetBlend(DWORD src, DWORD dest)
{
    m_Device->SetRenderState(D3DRS_DESTBLEND, dest);
    m_Device->SetRenderState(D3DRS_SRCBLEND, src);
}

void GlDeviceTest::Draw(const std::vector<Vertex>& vertices)
{
    ASSERT_EQ(m_Device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, UINT(vertices.size() / 3), vertices.data(),
                                        sizeof(Vertex)),
              D3D_OK);
}

std::vector<DWORD> GlDeviceTest::ReadBackBuffer()
{
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, nullptr, 0), D3D_OK);
    std::vector<DWORD> pixels(size_t(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
        std::memcpy(pixels.data() + y * desc.Width, static_cast<BYTE*>(locked.pBits) + y * locked.Pitch,
                    desc.Width * 4);
    surface->UnlockRect();
    surface->Release();
    return pixels;
}

IDirect3DTexture9* GlDeviceTest::MakeTexture(UINT width, UINT height, D3DFORMAT format, const void* level,
                                             UINT levelBytes)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(m_Device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK), D3D_OK);
    std::memcpy(locked.pBits, level, levelBytes);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return texture;
}

IDirect3DTexture9* GlDeviceTest::MakeRenderTarget(UINT width, UINT height)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(m_Device->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                      &texture, nullptr),
              D3D_OK);
    return texture;
}

std::vector<DWORD> GlDeviceTest::ReadTexture(IDirect3DTexture9* texture)
{
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::vector<DWORD> pixels(size_t(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
        std::memcpy(pixels.data() + y * desc.Width, static_cast<BYTE*>(locked.pBits) + y * locked.Pitch,
                    desc.Width * 4);
    texture->UnlockRect(0);
    return pixels;
}

Rgba ToRgba(DWORD argb)
{
    return {int((argb >> 16) & 255), int((argb >> 8) & 255), int(argb & 255), int(argb >> 24)};
}

std::ostream& operator<<(std::ostream& out, const Rgba& c)
{
    return out << "(r " << c.R << ", g " << c.G << ", b " << c.B << ", a " << c.A << ")";
}

testing::AssertionResult Near(DWORD actual, DWORD expected, int tolerance)
{
    const Rgba a = ToRgba(actual), e = ToRgba(expected);
    if (std::abs(a.R - e.R) <= tolerance && std::abs(a.G - e.G) <= tolerance && std::abs(a.B - e.B) <= tolerance &&
        std::abs(a.A - e.A) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << a << " is not within " << tolerance << " of " << e;
}

} // namespace lv::platform::test
