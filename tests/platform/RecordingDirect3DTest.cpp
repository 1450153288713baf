#include "platform/d3d9/RecordingDirect3D.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lv::platform {
namespace {

using testing::ElementsAre;

class RecordingDirect3DTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = InstallRecordingDirect3D();
        m_D3D = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params{};
        params.Windowed = 1;
        params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
        ASSERT_EQ(m_D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params,
                                      &m_Device),
                  D3D_OK);
        m_Params = params;
    }
    void TearDown() override
    {
        m_Device->Release();
        m_D3D->Release();
        SetDirect3DFactory(nullptr);
        EXPECT_EQ(m_Log->LiveObjects, 0);
    }

    std::shared_ptr<CRecordingLog> m_Log;
    IDirect3D9* m_D3D = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
    D3DPRESENT_PARAMETERS m_Params{};
};

TEST_F(RecordingDirect3DTest, LogsCallsWithTheirArgumentsAndKeepsVertices)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_Device->CreateTexture(8, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const float vertices[3][8] = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}};
    m_Device->BeginScene();
    m_Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0, 0);
    m_Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_Device->SetTexture(0, texture);
    m_Device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    m_Device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 32);
    m_Device->SetTexture(0, nullptr);
    m_Device->EndScene();
    m_Device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_THAT(m_Log->Take(),
                ElementsAre("Direct3DCreate9(31)", "CreateDevice(0, 1, 0x20, 0x0, windowed 1, interval 0x80000000)",
                            "CreateTexture(8, 4, 1, 0x0, 21, 1) = tex1", "BeginScene()",
                            "Clear(0, 0x1, 0xFF000000, 0, 0)", "SetRenderState(20, 6)", "SetTexture(0, tex1)",
                            "SetSamplerState(0, 1, 3)", "DrawPrimitiveUP(4, 1, 32)", "SetTexture(0, null)",
                            "EndScene()", "Present(null, null, null, null)"));
    texture->Release();
}

TEST_F(RecordingDirect3DTest, DrawsKeepTheirVerticesAndScriptedResultsComeBack)
{
    const float vertices[6][8] = {{1, 2, 0, 1}, {3, 4, 0, 1}};
    m_Device->DrawPrimitiveUP(D3DPT_LINELIST, 1, vertices, 32);
    ASSERT_EQ(m_Log->Draws.size(), 1u);
    EXPECT_EQ(m_Log->Draws[0].Vertices.size(), 64u);
    EXPECT_EQ(reinterpret_cast<const float*>(m_Log->Draws[0].Vertices.data())[8], 3.0f);

    m_Log->Results["Present"] = D3DERR_DEVICELOST;
    m_Log->Results["CreateQuery"] = D3DERR_NOTAVAILABLE;
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    IDirect3DQuery9* query = nullptr;
    EXPECT_EQ(m_Device->CreateQuery(D3DQUERYTYPE_EVENT, &query), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(query, nullptr);
    EXPECT_THAT(m_Log->Matching("Present"), ElementsAre("Present(null, null, null, null) = 0x88760868"));
}

TEST_F(RecordingDirect3DTest, LossResetAndReferencesBehaveLikeTheDevice)
{
    ASSERT_TRUE(SimulateDeviceLoss(m_Device));
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    IDirect3DTexture9* target = nullptr;
    m_Device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr);
    IDirect3DSurface9* surface = nullptr;
    target->GetSurfaceLevel(0, &surface);
    m_Device->SetRenderTarget(0, surface);
    EXPECT_EQ(m_Device->Reset(&m_Params), D3DERR_INVALIDCALL);
    surface->Release();
    EXPECT_EQ(target->Release(), 1u) << "the device still holds it as render target";
    EXPECT_EQ(m_Device->Reset(&m_Params), D3D_OK);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(m_Log->LiveObjects, 2) << "Direct3D and the device";

    // The back buffer reads back what the test put there.
    m_Log->BackBufferPixels[1] = 0xFF123456;
    IDirect3DSurface9* backBuffer = nullptr;
    m_Device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(backBuffer->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 800 * 4);
    EXPECT_EQ(static_cast<DWORD*>(locked.pBits)[1], 0xFF123456u);
    backBuffer->UnlockRect();
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(m_Device->Reset(&m_Params), D3DERR_INVALIDCALL);
    // A refused Reset leaves the device lost until a Reset succeeds.
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_Device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    backBuffer->Release();
    EXPECT_EQ(m_Device->Reset(&m_Params), D3D_OK);
    EXPECT_EQ(m_Device->TestCooperativeLevel(), D3D_OK);
}

} // namespace
} // namespace lv::platform
