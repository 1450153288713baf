#include "GlTestDevice.h"

#include "platform/PlatformLog.h"
#include "platform/SdlWindow.h"
#include "platform/Win32Window.h"

#include <array>
#include <string>

namespace lv::platform::test {
namespace {

TEST_F(GlDeviceTest, ShiftedQuadCoversExactlyItsPixels)
{
    ASSERT_EQ(m_Device->BeginScene(), D3D_OK);
    ASSERT_EQ(m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0), D3D_OK);
    Draw(Quad(7.5f, 7.5f, 23.5f, 23.5f, 0xFF00FF00));
    ASSERT_EQ(m_Device->EndScene(), D3D_OK);
    const std::vector<DWORD> pixels = ReadBackBuffer();
    for (UINT y = 0; y < 64; ++y)
        for (UINT x = 0; x < 64; ++x) {
            const bool inside = x >= 8 && x <= 23 && y >= 8 && y <= 23;
            ASSERT_EQ(pixels[y * 64 + x], inside ? 0xFF00FF00u : 0xFF000000u) << x << "," << y;
        }
}

TEST_F(GlDeviceTest, UntexturedDrawShowsTheDiffuseColourAndClearRectanglesClip)
{
    m_Device->BeginScene();
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 0, 0);
    const RECT rect{60, 0, 70, 2}; // reaches past the right edge
    ASSERT_EQ(m_Device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFFFFFFF, 0, 0), D3D_OK);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    Draw(Quad(-0.5f, 9.5f, 63.5f, 10.5f, 0xFF336699));
    m_Device->EndScene();
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[10 * 64 + 5], 0xFF336699u);
    EXPECT_EQ(pixels[0 * 64 + 59], 0xFF102030u);
    EXPECT_EQ(pixels[1 * 64 + 63], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[2 * 64 + 63], 0xFF102030u);
}

TEST_F(GlDeviceTest, BlendModesOfTheRenderer)
{
    struct Case
    {
        const char* Name;
        DWORD Src, Dest, Expected;
    };
    const Case cases[] = {
        {"none", D3DBLEND_ONE, D3DBLEND_ZERO, 0xFFFF0000},
        {"normal", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, 0xFF80007F},
        {"additive", D3DBLEND_SRCALPHA, D3DBLEND_ONE, 0xFF8000FF},
    };
    for (const Case& c : cases) {
        m_Device->BeginScene();
        m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 0, 0);
        SetBlend(c.Src, c.Dest);
        Draw(Quad(-0.5f, -0.5f, 63.5f, 63.5f, 0x80FF0000));
        m_Device->EndScene();
        EXPECT_TRUE(Near(ReadBackBuffer()[33 * 64 + 17], c.Expected, 1)) << c.Name;
    }
}

// Stage-0 combinations the renderer and the text and video code set up, drawn into a render
// target so that alpha can be checked as well.
TEST_F(GlDeviceTest, FixedFunctionStageZero)
{
    const DWORD texel = 0xF0C04020;
    IDirect3DTexture9* texture = MakeTexture(1, 1, D3DFMT_A8R8G8B8, &texel, 4);
    IDirect3DTexture9* target = MakeRenderTarget(4, 4);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    struct Case
    {
        const char* Name;
        bool Textured;
        DWORD ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1, AlphaArg2, Expected;
    };
    const DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, C = D3DTA_CURRENT;
    const Case cases[] = {
        // diffuse 0x80808080: modulating halves every channel of the texel
        {"modulate", true, D3DTOP_MODULATE, T, C, D3DTOP_MODULATE, T, C, 0x78602010},
        {"texture only", true, D3DTOP_SELECTARG1, T, C, D3DTOP_SELECTARG1, T, C, 0xF0C04020},
        {"texture colour, diffuse alpha", true, D3DTOP_SELECTARG1, T, C, D3DTOP_SELECTARG2, T, D, 0x80C04020},
        {"diffuse colour, texture alpha", true, D3DTOP_SELECTARG2, T, D, D3DTOP_SELECTARG1, T, C, 0xF0808080},
        {"stage disabled", true, D3DTOP_DISABLE, T, C, D3DTOP_DISABLE, T, C, 0x80808080},
        {"untextured modulate", false, D3DTOP_MODULATE, T, C, D3DTOP_MODULATE, T, C, 0x80808080},
        {"untextured texture only", false, D3DTOP_SELECTARG1, T, C, D3DTOP_SELECTARG1, T, C, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        m_Device->BeginScene();
        ASSERT_EQ(m_Device->SetRenderTarget(0, surface), D3D_OK);
        m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 0, 0);
        SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
        m_Device->SetTexture(0, c.Textured ? texture : nullptr);
        m_Device->SetTextureStageState(0, D3DTSS_COLOROP, c.ColorOp);
        m_Device->SetTextureStageState(0, D3DTSS_COLORARG1, c.ColorArg1);
        m_Device->SetTextureStageState(0, D3DTSS_COLORARG2, c.ColorArg2);
        m_Device->SetTextureStageState(0, D3DTSS_ALPHAOP, c.AlphaOp);
        m_Device->SetTextureStageState(0, D3DTSS_ALPHAARG1, c.AlphaArg1);
        m_Device->SetTextureStageState(0, D3DTSS_ALPHAARG2, c.AlphaArg2);
        Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0x80808080));
        m_Device->EndScene();
        EXPECT_TRUE(Near(ReadTexture(target)[5], c.Expected, 1)) << c.Name;
    }
    m_Device->SetTexture(0, nullptr);
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    m_Device->SetRenderTarget(0, backBuffer);
    backBuffer->Release();
    surface->Release();
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(texture->Release(), 0u);
}

// Each format drawn 1:1 reproduces its texels widened by bit replication; DXT within 1.
TEST_F(GlDeviceTest, TextureFormatsDrawTheirExpandedTexels)
{
    struct Case
    {
        const char* Name;
        D3DFORMAT Format;
        UINT Pitch; // of a 4-pixel-wide level
        std::vector<BYTE> Level;
        std::array<DWORD, 4> Expected; // the first four texels of row 0
        int Tolerance;
    };
    auto repeat = [](std::vector<BYTE> row, int times) {
        std::vector<BYTE> out;
        for (int i = 0; i < times; ++i)
            out.insert(out.end(), row.begin(), row.end());
        return out;
    };
    // DXT colour block: red and blue endpoints, indices 0, 1, 2, 3 along every row.
    const std::vector<BYTE> colourBlock = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};
    std::vector<BYTE> dxt3 = {0xF0, 0x5A, 0xF0, 0x5A, 0xF0, 0x5A, 0xF0, 0x5A};
    dxt3.insert(dxt3.end(), colourBlock.begin(), colourBlock.end());
    // DXT5 alpha: endpoints 255 and 0, indices 0, 1, 2, 7 per row (eight-step ramp).
    std::vector<BYTE> dxt5 = {0xFF, 0x00, 0x88, 0x8E, 0xE8, 0x88, 0x8E, 0xE8};
    dxt5.insert(dxt5.end(), colourBlock.begin(), colourBlock.end());
    const Case cases[] = {
        {"A8R8G8B8", D3DFMT_A8R8G8B8, 16,
         repeat({0x10, 0x20, 0x30, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 2, 3, 0x80}, 4),
         {0x40302010, 0xFFFFFFFF, 0x00000000, 0x80030201}, 0},
        {"X8R8G8B8", D3DFMT_X8R8G8B8, 16, repeat({0x10, 0x20, 0x30, 0x00, 1, 2, 3, 4, 0, 0, 0, 0, 9, 9, 9, 9}, 4),
         {0xFF302010, 0xFF030201, 0xFF000000, 0xFF090909}, 0},
        {"A4R4G4B4", D3DFMT_A4R4G4B4, 8, repeat({0x21, 0x43, 0xFF, 0xFF, 0x00, 0x00, 0xE8, 0x7F}, 4),
         {0x44332211, 0xFFFFFFFF, 0x00000000, 0x77FFEE88}, 0},
        {"R5G6B5", D3DFMT_R5G6B5, 8, repeat({0x1F, 0x00, 0xE0, 0x07, 0x00, 0xF8, 0x41, 0x08}, 4),
         {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF080808}, 0},
        {"A1R5G5B5", D3DFMT_A1R5G5B5, 8, repeat({0x1F, 0x80, 0xE0, 0x03, 0x00, 0xFC, 0x21, 0x84}, 4),
         {0xFF0000FF, 0x0000FF00, 0xFFFF0000, 0xFF080808}, 0},
        {"DXT1", D3DFMT_DXT1, 8, colourBlock, {0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA}, 1},
        {"DXT3", D3DFMT_DXT3, 16, dxt3, {0x00FF0000, 0xFF0000FF, 0xAAAA0055, 0x555500AA}, 1},
        {"DXT5", D3DFMT_DXT5, 16, dxt5, {0xFFFF0000, 0x000000FF, 0xDAAA0055, 0x245500AA}, 1},
    };
    IDirect3DTexture9* target = MakeRenderTarget(4, 4);
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    m_Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_Device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    m_Device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    m_Device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    for (const Case& c : cases) {
        IDirect3DTexture9* texture = MakeTexture(4, 4, c.Format, c.Level.data(), UINT(c.Level.size()));
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, INT(c.Pitch)) << c.Name;
        EXPECT_EQ(std::vector<BYTE>(static_cast<BYTE*>(locked.pBits), static_cast<BYTE*>(locked.pBits) + c.Level.size()),
                  c.Level)
            << c.Name << ": locking returns the current content";
        texture->UnlockRect(0);
        m_Device->BeginScene();
        m_Device->SetRenderTarget(0, surface);
        m_Device->SetTexture(0, texture);
        Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF));
        m_Device->EndScene();
        m_Device->SetTexture(0, nullptr);
        const std::vector<DWORD> pixels = ReadTexture(target);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(Near(pixels[i], c.Expected[i], c.Tolerance)) << c.Name << " texel " << i;
        EXPECT_EQ(texture->Release(), 0u);
    }
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    m_Device->SetRenderTarget(0, backBuffer);
    backBuffer->Release();
    surface->Release();
    target->Release();
}

TEST_F(GlDeviceTest, PitchesAndPartialLocks)
{
    struct Case
    {
        D3DFORMAT Format;
        UINT Width;
        INT Pitch;
    };
    for (const Case& c : {Case{D3DFMT_A8R8G8B8, 5, 20}, Case{D3DFMT_R5G6B5, 5, 10}, Case{D3DFMT_A4R4G4B4, 3, 6},
                          Case{D3DFMT_DXT1, 8, 16}, Case{D3DFMT_DXT5, 8, 32}, Case{D3DFMT_DXT3, 6, 32}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(m_Device->CreateTexture(c.Width, 8, 1, 0, c.Format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, c.Pitch) << c.Format;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "locked twice";
        texture->UnlockRect(0);
        texture->Release();
    }
    // A rectangle lock points at its first pixel and updates only what it covers.
    const std::vector<DWORD> zero(16, 0xFF000000);
    IDirect3DTexture9* texture = MakeTexture(4, 4, D3DFMT_A8R8G8B8, zero.data(), 64);
    const RECT rect{1, 2, 3, 4};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
    static_cast<DWORD*>(locked.pBits)[0] = 0xFF123456;
    texture->UnlockRect(0);
    const std::vector<DWORD> content = [&] {
        texture->LockRect(0, &locked, nullptr, 0);
        std::vector<DWORD> out(static_cast<DWORD*>(locked.pBits), static_cast<DWORD*>(locked.pBits) + 16);
        texture->UnlockRect(0);
        return out;
    }();
    EXPECT_EQ(content[2 * 4 + 1], 0xFF123456u);
    const RECT outside{2, 2, 5, 3};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    texture->Release();
    IDirect3DTexture9* bad = nullptr;
    EXPECT_EQ(m_Device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &bad, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_Device->CreateTexture(4, 4, 1, 0, D3DFORMAT(99), D3DPOOL_MANAGED, &bad, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_Device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &bad, nullptr),
              D3DERR_INVALIDCALL);
}

// Clamp versus wrap, point versus linear: a 2x1 texture (red, blue) over 8 pixels.
TEST_F(GlDeviceTest, SamplerAddressingAndFiltering)
{
    const DWORD texels[2] = {0xFFFF0000, 0xFF0000FF};
    IDirect3DTexture9* texture = MakeTexture(2, 1, D3DFMT_A8R8G8B8, texels, 8);
    struct Case
    {
        const char* Name;
        DWORD Address, Filter;
        float U0, U1;
        std::array<DWORD, 8> Expected;
    };
    const DWORD R = 0xFFFF0000, B = 0xFF0000FF;
    const Case cases[] = {
        {"clamp point", D3DTADDRESS_CLAMP, D3DTEXF_POINT, -1, 3, {R, R, R, B, B, B, B, B}},
        {"wrap point", D3DTADDRESS_WRAP, D3DTEXF_POINT, -1, 3, {R, B, R, B, R, B, R, B}},
        // Linear between texel centres at 1/4 and 3/4: pixels 2..5 blend, the outside clamps.
        {"clamp linear", D3DTADDRESS_CLAMP, D3DTEXF_LINEAR, 0, 1,
         {R, R, 0xFFDF0020, 0xFF9F0060, 0xFF60009F, 0xFF2000DF, B, B}},
    };
    m_Device->SetTexture(0, texture);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    for (const Case& c : cases) {
        m_Device->SetSamplerState(0, D3DSAMP_ADDRESSU, c.Address);
        m_Device->SetSamplerState(0, D3DSAMP_ADDRESSV, c.Address);
        m_Device->SetSamplerState(0, D3DSAMP_MAGFILTER, c.Filter);
        m_Device->SetSamplerState(0, D3DSAMP_MINFILTER, c.Filter);
        m_Device->BeginScene();
        Draw(Quad(-0.5f, -0.5f, 7.5f, 0.5f, 0xFFFFFFFF, c.U0, 0, c.U1, 1));
        m_Device->EndScene();
        const std::vector<DWORD> pixels = ReadBackBuffer();
        for (int x = 0; x < 8; ++x)
            EXPECT_TRUE(Near(pixels[x], c.Expected[x], 2)) << c.Name << " pixel " << x;
    }
    m_Device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlDeviceTest, RenderTargetTextureDrawsBackIntoTheBackBuffer)
{
    IDirect3DTexture9* target = MakeRenderTarget(16, 16);
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetRenderTarget(0, &backBuffer);
    m_Device->BeginScene();
    m_Device->SetRenderTarget(0, surface);
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 0, 0);
    Draw(Quad(-0.5f, -0.5f, 7.5f, 7.5f, 0xFFFFFF00)); // top-left quarter yellow
    m_Device->SetRenderTarget(0, backBuffer);
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
    m_Device->SetTexture(0, target);
    Draw(Quad(31.5f, 31.5f, 47.5f, 47.5f, 0xFFFFFFFF));
    m_Device->EndScene();
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(pixels[33 * 64 + 33], 0xFFFFFF00u); // top left
    EXPECT_EQ(pixels[33 * 64 + 46], 0xFF0000FFu); // top right
    EXPECT_EQ(pixels[46 * 64 + 33], 0xFF0000FFu); // bottom left
    EXPECT_EQ(pixels[30 * 64 + 33], 0xFF000000u);
    m_Device->SetTexture(0, nullptr);
    backBuffer->Release();
    surface->Release();
    target->Release();
}

TEST_F(GlDeviceTest, BindingsHoldReferences)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_Device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(m_Device->SetTexture(0, texture), D3D_OK);
    EXPECT_EQ(texture->AddRef(), 3u) << "SetTexture adds a reference";
    texture->Release();
    IDirect3DSurface9* surface = nullptr;
    texture->GetSurfaceLevel(0, &surface);
    EXPECT_EQ(texture->Release(), 2u) << "the surface holds the texture";
    EXPECT_EQ(surface->Release(), 1u);
    // Released while bound: still drawable until unbound.
    m_Device->BeginScene();
    Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF));
    m_Device->EndScene();
    EXPECT_EQ(m_Device->SetTexture(0, nullptr), D3D_OK);

    IDirect3DSurface9* a = nullptr;
    IDirect3DSurface9* b = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &a);
    m_Device->GetRenderTarget(0, &b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->Release(), 1u);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(GlDeviceTest, ResetRefusesWhileDefaultPoolObjectsAreHeld)
{
    const DWORD texel = 0xFF204060;
    IDirect3DTexture9* managed = MakeTexture(1, 1, D3DFMT_A8R8G8B8, &texel, 4);
    IDirect3DTexture9* target = MakeRenderTarget(8, 8);
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);

    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(m_Device->Reset(&m_Params), D3DERR_INVALIDCALL);
    // A refused Reset leaves the device lost, waiting for another Reset.
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    target->Release();
    EXPECT_EQ(m_Device->Reset(&m_Params), D3DERR_INVALIDCALL) << "the back buffer is still held";
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    backBuffer->Release();
    // A bound render target belongs to the device, not the application.
    IDirect3DTexture9* bound = MakeRenderTarget(8, 8);
    IDirect3DSurface9* surface = nullptr;
    bound->GetSurfaceLevel(0, &surface);
    m_Device->SetRenderTarget(0, surface);
    surface->Release();
    bound->Release();
    m_Device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    m_Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    ASSERT_EQ(m_Device->Reset(&m_Params), D3D_OK);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);

    // States are back to their defaults (no blending, stage 0 modulates, FVF unset), the render
    // target is the back buffer, and the managed texture kept its pixels.
    m_Device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1);
    m_Device->SetTexture(0, managed);
    m_Device->BeginScene();
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
    Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0x80FFFFFF));
    m_Device->EndScene();
    EXPECT_EQ(ReadBackBuffer()[1], 0xFF204060u);
    m_Device->SetTexture(0, nullptr);
    EXPECT_EQ(managed->Release(), 0u);
}

TEST_F(GlDeviceTest, InjectedLossIsReportedUntilReset)
{
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);
    ASSERT_TRUE(SimulateDeviceLoss(m_Device));
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(m_Device->Reset(&m_Params), D3D_OK);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_FALSE(SimulateDeviceLoss(nullptr));
}

TEST_F(GlDeviceTest, PresentScalesToTheWindowAndEventQueriesFinish)
{
    // A windowed back buffer of another size than the window is stretched over it.
    D3DPRESENT_PARAMETERS params = m_Params;
    params.BackBufferWidth = 100;
    params.BackBufferHeight = 30;
    ASSERT_EQ(m_Device->Reset(&params), D3D_OK);
    SetupStates();
    m_Device->BeginScene();
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 0, 0);
    // Red over the top-left quarter of the back buffer, blue over its bottom-right quarter.
    Draw(Quad(-0.5f, -0.5f, 49.5f, 14.5f, 0xFFFF0000));
    Draw(Quad(49.5f, 14.5f, 99.5f, 29.5f, 0xFF0000FF));
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL) << "inside a scene";
    m_Device->EndScene();
    IDirect3DQuery9* query = nullptr;
    ASSERT_EQ(m_Device->CreateQuery(D3DQUERYTYPE_EVENT, &query), D3D_OK);
    EXPECT_EQ(query->Issue(D3DISSUE_END), D3D_OK);
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // The 100 x 30 picture covers the whole 64 x 64 window, upright: each quarter of the back
    // buffer is a 32 x 32 quarter of the window (away from the filtered seams).
    std::vector<DWORD> window;
    UINT windowWidth = 0, windowHeight = 0;
    ASSERT_TRUE(ReadPresentedPixels(m_Device, window, windowWidth, windowHeight));
    ASSERT_EQ(windowWidth, 64u);
    ASSERT_EQ(windowHeight, 64u);
    const struct
    {
        int x, y;
        DWORD colour;
    } samples[] = {{1, 1, 0xFFFF0000}, {29, 29, 0xFFFF0000}, {34, 34, 0xFF0000FF}, {62, 62, 0xFF0000FF},
                   {62, 1, 0xFF00FF00}, {1, 62, 0xFF00FF00}, {34, 29, 0xFF00FF00}, {29, 34, 0xFF00FF00}};
    for (const auto& s : samples)
        EXPECT_TRUE(Near(window[size_t(s.y) * 64 + size_t(s.x)], s.colour, 2)) << "at " << s.x << ", " << s.y;
    BYTE done = 0;
    HRESULT hr;
    while ((hr = query->GetData(&done, 1, D3DGETDATA_FLUSH)) == S_FALSE) {
    }
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(query->Release(), 0u);
    EXPECT_EQ(m_Device->CreateQuery(D3DQUERYTYPE(4), &query), D3DERR_NOTAVAILABLE);
    // Windowed with no size given: the back buffer follows the window.
    params.BackBufferWidth = params.BackBufferHeight = 0;
    ASSERT_EQ(m_Device->Reset(&params), D3D_OK);
    EXPECT_EQ(params.BackBufferWidth, 64u);
    EXPECT_EQ(params.BackBufferHeight, 64u);
}

TEST_F(GlDeviceTest, FullScreenKeepsTheRequestedBackBufferSize)
{
    D3DPRESENT_PARAMETERS params = m_Params;
    params.Windowed = 0;
    params.BackBufferWidth = 320;
    params.BackBufferHeight = 200;
    ASSERT_EQ(m_Device->Reset(&params), D3D_OK);
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    backBuffer->Release();
    EXPECT_EQ(desc.Width, 320u);
    EXPECT_EQ(desc.Height, 200u);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK) << "no display change, no loss";
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    params.Windowed = 1;
    params.BackBufferWidth = params.BackBufferHeight = 0;
    EXPECT_EQ(m_Device->Reset(&params), D3D_OK);
    EXPECT_EQ(params.BackBufferWidth, 64u) << "the window's size is filled in";
    params.Windowed = 0;
    params.BackBufferWidth = params.BackBufferHeight = 0;
    EXPECT_EQ(m_Device->Reset(&params), D3DERR_INVALIDCALL) << "full screen needs a size";
}

TEST_F(GlDeviceTest, DisplayModesAndCaps)
{
    const UINT count = m_D3D->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8);
    ASSERT_GT(count, 0u);
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(m_D3D->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &mode), D3D_OK);
        EXPECT_GT(mode.Width, 0u);
        EXPECT_GT(mode.Height, 0u);
    }
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(m_D3D->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, count, &mode), D3DERR_INVALIDCALL);

    // The window layer lists the same modes, and the desktop's size is one of them, so that a
    // full-screen request at the desktop size finds its mode (offscreen too).
    DEVMODEW desktop;
    ASSERT_TRUE(EnumDisplaySettingsExW(nullptr, ENUM_CURRENT_SETTINGS, &desktop, 0));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), static_cast<s32>(desktop.dmPelsWidth));
    bool desktopListed = false;
    for (UINT i = 0; i < count; ++i) {
        ASSERT_EQ(m_D3D->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &mode), D3D_OK);
        DEVMODEW listed;
        ASSERT_TRUE(EnumDisplaySettingsExW(nullptr, i, &listed, 0));
        EXPECT_EQ(listed.dmPelsWidth, mode.Width);
        EXPECT_EQ(listed.dmPelsHeight, mode.Height);
        desktopListed = desktopListed || (mode.Width == desktop.dmPelsWidth && mode.Height == desktop.dmPelsHeight);
    }
    EXPECT_TRUE(desktopListed) << desktop.dmPelsWidth << "x" << desktop.dmPelsHeight;
    DEVMODEW past;
    EXPECT_FALSE(EnumDisplaySettingsExW(nullptr, count, &past, 0));
    D3DCAPS9 caps{};
    EXPECT_EQ(m_D3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_GE(caps.MaxTextureWidth, 2048u);
}

std::vector<std::string> g_LogLines;
void CollectLog(const char* channel, int, const char* text) { g_LogLines.push_back(std::string(channel) + ": " + text); }

TEST(GlDeviceCreation, AWindowWithoutOpenGlFailsWithOneLogLine)
{
    HWND window = CreateSdlWindow("plain", 32, 32, false, false);
    ASSERT_NE(window, nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS params{};
    params.Windowed = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(1);
    g_LogLines.clear();
    SetLogSink(CollectLog);
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &params, &device),
              D3DERR_NOTAVAILABLE);
    SetLogSink(nullptr);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(g_LogLines.size(), 1u);
    EXPECT_NE(g_LogLines[0].find("graphics: CreateDevice failed"), std::string::npos) << g_LogLines[0];
    EXPECT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &device),
              D3DERR_INVALIDCALL);
    d3d->Release();
    DestroySdlWindow(window);
}

} // namespace
} // namespace lv::platform::test
