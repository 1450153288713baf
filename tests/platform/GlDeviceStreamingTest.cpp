// The device remembers the GL bindings it set and streams vertices through one ring buffer:
// pictures must stay right when other code binds behind its back and when the ring fills.
#include "GlTestDevice.h"

#include <cstring>

namespace lv::platform::test {
namespace {

TEST_F(GlDeviceTest, ATextureUploadBetweenDrawsDoesNotChangeWhatTheNextDrawSamples)
{
    const DWORD red = 0xFFFF0000, blue = 0xFF0000FF;
    IDirect3DTexture9* drawn = MakeTexture(1, 1, D3DFMT_A8R8G8B8, &red, 4);
    IDirect3DTexture9* other = MakeTexture(1, 1, D3DFMT_A8R8G8B8, &blue, 4);
    m_Device->BeginScene();
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    m_Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    // The second draw leaves stage 0's unit the active one.
    m_Device->SetTexture(0, other);
    Draw(Quad(-0.5f, -0.5f, 20.5f, 63.5f, 0xFFFFFFFF));
    m_Device->SetTexture(0, drawn);
    Draw(Quad(20.5f, -0.5f, 40.5f, 63.5f, 0xFFFFFFFF));
    // Filling another texture binds it in GL; the device's texture is still the red one.
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(other->LockRect(0, &locked, nullptr, 0), D3D_OK);
    std::memcpy(locked.pBits, &blue, 4);
    ASSERT_EQ(other->UnlockRect(0), D3D_OK);
    Draw(Quad(40.5f, -0.5f, 63.5f, 63.5f, 0xFFFFFFFF));
    m_Device->EndScene();
    const std::vector<DWORD> pixels = ReadBackBuffer();
    EXPECT_EQ(ToRgba(pixels[10 * 64 + 10]), ToRgba(blue));
    EXPECT_EQ(ToRgba(pixels[10 * 64 + 30]), ToRgba(red));
    EXPECT_EQ(ToRgba(pixels[10 * 64 + 50]), ToRgba(red));
    m_Device->SetTexture(0, nullptr);
    EXPECT_EQ(other->Release(), 0u);
    EXPECT_EQ(drawn->Release(), 0u);
}

TEST_F(GlDeviceTest, DrawsLargerThanTheRingAndDrawsAcrossItsEndKeepTheirVertices)
{
    // Each batch: one visible 8x8 quad in its own place, then enough zero-area triangles to
    // make the batch 1.5 MB; six of them wrap the ring at least once, and one of 6 MB outgrows it.
    auto batch = [](int index, size_t bytes, DWORD colour) {
        const float x = float(index % 6) * 10.0f + 1.5f, y = float(index / 6) * 10.0f + 1.5f;
        std::vector<Vertex> vertices = Quad(x, y, x + 8, y + 8, colour);
        vertices.resize((bytes / sizeof(Vertex)) / 3 * 3, Vertex{0, 0, 0, 1, 0, 0, 0, 0});
        return vertices;
    };
    m_Device->BeginScene();
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    const DWORD colours[] = {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC, 0xFFDDEEFF, 0xFF102030, 0xFF405060};
    for (int i = 0; i < 6; ++i)
        Draw(batch(i, size_t(3) << 19, colours[i]));
    Draw(batch(6, size_t(6) << 20, colours[6]));
    Draw(Quad(50.5f, 50.5f, 60.5f, 60.5f, 0xFFFFFFFF));
    m_Device->EndScene();
    const std::vector<DWORD> pixels = ReadBackBuffer();
    for (int i = 0; i < 7; ++i) {
        const int x = (i % 6) * 10 + 5, y = (i / 6) * 10 + 5;
        EXPECT_EQ(ToRgba(pixels[size_t(y) * 64 + size_t(x)]), ToRgba(colours[i])) << i;
    }
    EXPECT_EQ(ToRgba(pixels[55 * 64 + 55]), ToRgba(0xFFFFFFFF));
}

TEST_F(GlDeviceTest, AReleasedEventQueryServesTheNextRequest)
{
    IDirect3DQuery9* first = nullptr;
    ASSERT_EQ(m_Device->CreateQuery(D3DQUERYTYPE_EVENT, &first), D3D_OK);
    ASSERT_EQ(first->Issue(D3DISSUE_END), D3D_OK);
    EXPECT_EQ(first->Release(), 0u);
    IDirect3DQuery9* second = nullptr;
    ASSERT_EQ(m_Device->CreateQuery(D3DQUERYTYPE_EVENT, &second), D3D_OK);
    EXPECT_EQ(second, first);
    // Recycled, it starts without a pending fence and works as a new one.
    BOOL done = 0;
    EXPECT_EQ(second->GetData(&done, sizeof(done), 0), S_OK);
    ASSERT_EQ(second->Issue(D3DISSUE_END), D3D_OK);
    while (second->GetData(&done, sizeof(done), D3DGETDATA_FLUSH) == S_FALSE) {
    }
    EXPECT_EQ(done, 1);
    IDirect3DQuery9* third = nullptr;
    ASSERT_EQ(m_Device->CreateQuery(D3DQUERYTYPE_EVENT, &third), D3D_OK);
    EXPECT_NE(third, second);
    EXPECT_EQ(third->Release(), 0u);
    // The device goes first: the parked query goes with the context.
    m_Device->Release();
    m_Device = nullptr;
    EXPECT_EQ(second->Release(), 0u);
}

} // namespace
} // namespace lv::platform::test
