#pragma once
// A real OpenGL device on a hidden window (SDL's offscreen driver in the test runs), and helpers
// to draw pre-transformed quads and read pixels back.
#include "platform/d3d9/d3d9.h"

#include <gtest/gtest.h>
#include <vector>

namespace lv::platform::test {

struct Vertex
{
    float X, Y, Z, Rhw;
    DWORD Diffuse, Specular;
    float U, V;
};

// Two triangles over the rectangle (positions as given, so callers shift by -0.5 themselves).
std::vector<Vertex> Quad(float x0, float y0, float x1, float y1, DWORD diffuse, float u0 = 0, float v0 = 0,
                         float u1 = 1, float v1 = 1);

class GlDeviceTest : public testing::Test
{
protected:
    void SetUp() override { Open(64, 64); }
    void TearDown() override { Close(); }

    void Open(UINT width, UINT height);
    void Close();
    // The states the renderer sets after every device creation.
    void SetupStates();
    void Draw(const std::vector<Vertex>& vertices);
    void SetBlend(DWORD src, DWORD dest);
    // 0xAARRGGBB values of the current back buffer, rows top first (alpha is always 255).
    std::vector<DWORD> ReadBackBuffer();
    IDirect3DTexture9* MakeTexture(UINT width, UINT height, D3DFORMAT format, const void* level, UINT levelBytes);
    IDirect3DTexture9* MakeRenderTarget(UINT width, UINT height);
    // A texture level as 0xAARRGGBB values, read through LockRect (A8R8G8B8 textures).
    std::vector<DWORD> ReadTexture(IDirect3DTexture9* texture);

    HWND m_Window = nullptr;
    IDirect3D9* m_D3D = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
    D3DPRESENT_PARAMETERS m_Params{};
    UINT m_Width = 0;
    UINT m_Height = 0;
};

// Channels of a 0xAARRGGBB value, for readable failures.
struct Rgba
{
    int R, G, B, A;
    bool operator==(const Rgba&) const = default;
};
Rgba ToRgba(DWORD argb);
std::ostream& operator<<(std::ostream& out, const Rgba& c);
// Every channel within the tolerance.
testing::AssertionResult Near(DWORD actual, DWORD expected, int tolerance);

} // namespace lv::platform::test
