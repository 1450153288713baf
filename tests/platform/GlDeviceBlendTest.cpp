// The device leaves blending off where it cannot change a pixel (an opaque source under normal
// blending, a replacing blend into a texture): the pictures must be the ones blending gives,
// and a source that is not opaque everywhere must still blend.
#include "GlTestDevice.h"

#include <cmath>
#include <cstring>

namespace lv::platform::test {
namespace {

constexpr DWORD kBlendTestBackground = 0x80204060;

// Normal blending of an 8-bit source over the background, channel by channel.
DWORD BlendOverBackground(DWORD source)
{
    const double alpha = double(source >> 24) / 255.0;
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double s = double((source >> shift) & 255), d = double((kBlendTestBackground >> shift) & 255);
        out |= DWORD(std::lround(s * alpha + d * (1 - alpha))) << shift;
    }
    return out;
}

class GlDeviceBlendTest : public GlDeviceTest
{
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        m_Target = MakeRenderTarget(4, 4);
        m_Target->GetSurfaceLevel(0, &m_Surface);
        m_Device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        m_Device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    }
    void TearDown() override
    {
        m_Device->SetTexture(0, nullptr);
        IDirect3DSurface9* backBuffer = nullptr;
        m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
        m_Device->SetRenderTarget(0, backBuffer);
        backBuffer->Release();
        m_Surface->Release();
        EXPECT_EQ(m_Target->Release(), 0u);
        GlDeviceTest::TearDown();
    }
    // The 4x4 target, cleared to the background, with one quad over all of it; u and v run from
    // 0 to `extent`.
    std::vector<DWORD> DrawOverBackground(IDirect3DTexture9* texture, DWORD diffuse, float extent = 1)
    {
        m_Device->BeginScene();
        m_Device->SetRenderTarget(0, m_Surface);
        m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlendTestBackground, 0, 0);
        m_Device->SetTexture(0, texture);
        Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, diffuse, 0, 0, extent, extent));
        m_Device->EndScene();
        return ReadTexture(m_Target);
    }

    IDirect3DTexture9* m_Target = nullptr;
    IDirect3DSurface9* m_Surface = nullptr;
};

TEST_F(GlDeviceBlendTest, AnOpaqueSourceDrawsItsOwnColoursAndATranslucentOneBlends)
{
    const DWORD opaque = 0xFF112233;
    const DWORD level[4] = {opaque, opaque, opaque, opaque};
    IDirect3DTexture9* texture = MakeTexture(2, 2, D3DFMT_A8R8G8B8, level, sizeof(level));
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    for (DWORD pixel : DrawOverBackground(texture, 0xFFFFFFFF))
        EXPECT_EQ(ToRgba(pixel), ToRgba(opaque)) << "opaque texture and vertices";

    // Modulating by a half-transparent diffuse colour halves the alpha.
    const DWORD halved = BlendOverBackground(0x80112233);
    for (DWORD pixel : DrawOverBackground(texture, 0x80FFFFFF))
        EXPECT_TRUE(Near(pixel, halved, 2)) << "translucent vertices";

    // One texel made transparent by a later lock of part of the level: only its pixels show the
    // background; restored, the texture is opaque again.
    const RECT corner{1, 1, 2, 2};
    for (const DWORD value : {DWORD(0x00112233), opaque}) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, &corner, 0), D3D_OK);
        std::memcpy(locked.pBits, &value, 4);
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        const std::vector<DWORD> pixels = DrawOverBackground(texture, 0xFFFFFFFF);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const bool inCorner = (i % 4) >= 2 && (i / 4) >= 2;
            EXPECT_EQ(ToRgba(pixels[i]), ToRgba(inCorner && value != opaque ? kBlendTestBackground : opaque))
                << "texel " << std::hex << value << ", pixel " << std::dec << i;
        }
    }

    // Clamping to a transparent black border: the right and bottom halves sample the border.
    m_Device->SetSamplerState(0, D3DSAMP_ADDRESSU, 4);
    m_Device->SetSamplerState(0, D3DSAMP_ADDRESSV, 4);
    const std::vector<DWORD> bordered = DrawOverBackground(texture, 0xFFFFFFFF, 2);
    for (size_t i = 0; i < bordered.size(); ++i) {
        const bool inside = (i % 4) < 2 && (i / 4) < 2;
        EXPECT_EQ(ToRgba(bordered[i]), ToRgba(inside ? opaque : kBlendTestBackground)) << "border, pixel " << i;
    }
    m_Device->SetTexture(0, nullptr);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(GlDeviceBlendTest, SourcesWithoutAlphaAndReplacingBlendsDrawTheSourceAsItIs)
{
    struct Case
    {
        const char* Name;
        D3DFORMAT Format;
        DWORD Texel, Diffuse, Source, Destination, Expected;
    };
    const Case cases[] = {
        // X8R8G8B8 ignores its fourth byte.
        {"X8R8G8B8 under normal blending", D3DFMT_X8R8G8B8, 0x00445566, 0xFFFFFFFF, D3DBLEND_SRCALPHA,
         D3DBLEND_INVSRCALPHA, 0xFF445566},
        {"replacing with a translucent texel", D3DFMT_A8R8G8B8, 0x40445566, 0xFFFFFFFF, D3DBLEND_ONE, D3DBLEND_ZERO,
         0x40445566},
        {"additive stays additive", D3DFMT_A8R8G8B8, 0xFF102030, 0xFFFFFFFF, D3DBLEND_SRCALPHA, D3DBLEND_ONE,
         0xFF306090},
    };
    for (const Case& c : cases) {
        const DWORD level[4] = {c.Texel, c.Texel, c.Texel, c.Texel};
        IDirect3DTexture9* texture = MakeTexture(2, 2, c.Format, level, sizeof(level));
        SetBlend(c.Source, c.Destination);
        for (DWORD pixel : DrawOverBackground(texture, c.Diffuse))
            EXPECT_TRUE(Near(pixel, c.Expected, 1)) << c.Name;
        m_Device->SetTexture(0, nullptr);
        EXPECT_EQ(texture->Release(), 0u);
    }
}

} // namespace
} // namespace lv::platform::test
