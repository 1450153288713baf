#include "graphics/RenderBatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <vector>

#include "LogCapture.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/RenderLog.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/Vertex.h"
#include "platform/d3d9/RecordingDirect3D.h"

using lv::graphics::CRenderBatch;
using lv::graphics::CVertex;
using lv::graphics::GetGraphicsDevice;
using Calls = std::vector<std::string>;

namespace {

// A render batch over the recording device, its set-up calls already taken from the log.
class RenderBatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_Log = lv::platform::InstallRecordingDirect3D();
        GetGraphicsDevice().Release(false);
        ASSERT_TRUE(GetGraphicsDevice().CreateOrReset(nullptr, 0, 0, false));
        m_Device = GetGraphicsDevice().GetDevice();
        m_Batch = std::make_unique<CRenderBatch>();
        ASSERT_TRUE(m_Batch->SetupDeviceStates());
        m_Device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_Texture1, nullptr);
        m_Device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_Texture2, nullptr);
        m_Log->Take();
    }
    void TearDown() override
    {
        m_Batch.reset();
        m_Texture1->Release();
        m_Texture2->Release();
        GetGraphicsDevice().Release(false);
        lv::platform::SetDirect3DFactory(nullptr);
    }

    void Add(s32 type, u32 count)
    {
        std::vector<CVertex> v(count);
        m_Batch->AddPrimitives(type, v.data(), count);
    }
    Calls Draws() const { return m_Log->Matching("DrawPrimitiveUP"); }

    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    IDirect3DDevice9* m_Device = nullptr;
    IDirect3DTexture9* m_Texture1 = nullptr;
    IDirect3DTexture9* m_Texture2 = nullptr;
    std::unique_ptr<CRenderBatch> m_Batch;
};

// What every forced state application sends, in order, when the textures are off and the
// target, shader and blend mode are the defaults.
Calls ForcedStates()
{
    Calls c;
    for (int s = 0; s < 2; ++s) {
        const std::string st = std::to_string(s);
        const char* op = s == 0 ? "4" : "1";
        c.push_back("SetTextureStageState(" + st + ", 1, " + op + ")");
        c.push_back("SetTextureStageState(" + st + ", 2, 2)");
        c.push_back("SetTextureStageState(" + st + ", 3, 1)");
        c.push_back("SetTextureStageState(" + st + ", 4, " + op + ")");
        c.push_back("SetTextureStageState(" + st + ", 5, 2)");
        c.push_back("SetTextureStageState(" + st + ", 6, 1)");
        c.push_back("SetTextureStageState(" + st + ", 11, 0)");
        c.push_back("SetSamplerState(" + st + ", 1, 3)");
        c.push_back("SetSamplerState(" + st + ", 2, 3)");
        c.push_back("SetSamplerState(" + st + ", 5, 2)");
        c.push_back("SetSamplerState(" + st + ", 6, 2)");
        c.push_back("SetSamplerState(" + st + ", 7, 0)");
        c.push_back("SetTexture(" + st + ", null)");
    }
    c.push_back("SetRenderTarget(0, backbuffer)");
    c.push_back("SetPixelShader(null)");
    c.push_back("SetRenderState(20, 6)");
    c.push_back("SetRenderState(19, 5)");
    return c;
}

} // namespace

TEST_F(RenderBatchTest, SetupSendsRenderStatesThenEveryStageState)
{
    m_Batch->SetupDeviceStates();
    Calls expected = {"SetRenderState(27, 1)",  "SetRenderState(19, 5)", "SetRenderState(20, 6)",
                      "SetRenderState(137, 0)", "SetRenderState(29, 0)", "SetRenderState(14, 0)",
                      "SetRenderState(7, 0)",   "SetRenderState(22, 1)", "SetRenderState(136, 0)",
                      "SetRenderState(26, 0)",  "SetFVF(0x1C4)"};
    const Calls forced = ForcedStates();
    expected.insert(expected.end(), forced.begin(), forced.end());
    EXPECT_EQ(m_Log->Take(), expected);
}

TEST_F(RenderBatchTest, BeginFrameClearsAndForcesEveryState)
{
    m_Batch->SetTexture(0, m_Texture1);
    Add(D3DPT_TRIANGLELIST, 3);
    m_Log->Take();
    ASSERT_TRUE(m_Batch->BeginFrame());
    Calls expected = {"BeginScene()", "Clear(0, 0x1, 0xFF000000, 0, 0)"};
    const Calls forced = ForcedStates();
    expected.insert(expected.end(), forced.begin(), forced.end());
    EXPECT_EQ(m_Log->Take(), expected);
    // The queue was emptied: nothing of the last frame is drawn.
    EXPECT_EQ(m_Batch->GetQueuedVertexCount(), 0u);
}

TEST_F(RenderBatchTest, DrawsWithTheSameStatesShareOneDrawCall)
{
    m_Batch->SetTexture(0, m_Texture1);
    Add(D3DPT_TRIANGLELIST, 6);
    m_Batch->SetTexture(0, m_Texture1);
    EXPECT_FALSE(m_Batch->IsDirty());
    Add(D3DPT_TRIANGLELIST, 6);
    // A change undone before the next draw leaves the flag set but starts no run.
    m_Batch->SetTexture(0, m_Texture2);
    m_Batch->SetTexture(0, m_Texture1);
    EXPECT_TRUE(m_Batch->IsDirty());
    Add(D3DPT_TRIANGLELIST, 6);
    EXPECT_FALSE(m_Batch->IsDirty());
    m_Batch->Flush();
    EXPECT_EQ(Draws(), Calls({"DrawPrimitiveUP(4, 6, 32)"}));
    EXPECT_EQ(m_Log->Matching("SetTexture"), Calls({"SetTexture(0, tex1)"}));

    // A different texture, blend mode or shader starts a new run.
    m_Log->Take();
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->SetTexture(0, m_Texture2);
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->SetBlendMode(3);
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->Flush();
    EXPECT_EQ(m_Log->Take(),
              Calls({"DrawPrimitiveUP(4, 1, 32)", "SetTexture(0, tex2)", "DrawPrimitiveUP(4, 1, 32)",
                     "SetRenderState(20, 2)", "SetRenderState(19, 5)", "DrawPrimitiveUP(4, 1, 32)"}));
}

TEST_F(RenderBatchTest, LongRunsAreSplitAtWholePrimitives)
{
    // 7000 vertices on an empty queue: 6000 drawn at once, 1000 kept.
    Add(D3DPT_TRIANGLELIST, 7000);
    EXPECT_EQ(Draws(), Calls({"DrawPrimitiveUP(4, 2000, 32)"}));
    EXPECT_EQ(m_Batch->GetQueuedVertexCount(), 1000u);
    m_Batch->Flush();
    m_Log->Take();

    // Only 4 vertices of room: 3 fill the queue, it is drawn, the rest starts the next one.
    Add(D3DPT_TRIANGLELIST, 5996);
    EXPECT_TRUE(Draws().empty());
    Add(D3DPT_TRIANGLELIST, 6);
    EXPECT_EQ(Draws(), Calls({"DrawPrimitiveUP(4, 1999, 32)"}));
    EXPECT_EQ(m_Batch->GetQueuedVertexCount(), 3u);

    // Lines split at pairs: 6001 vertices on an empty queue draw 3000 lines, 1 vertex stays.
    m_Batch->Flush();
    m_Log->Take();
    Add(D3DPT_LINELIST, 6001);
    EXPECT_EQ(Draws(), Calls({"DrawPrimitiveUP(2, 3000, 32)"}));
    EXPECT_EQ(m_Batch->GetQueuedVertexCount(), 1u);
}

TEST_F(RenderBatchTest, ALineListAfterATriangleListFlushesFirst)
{
    Add(D3DPT_TRIANGLELIST, 3);
    Add(D3DPT_LINELIST, 2);
    EXPECT_EQ(Draws(), Calls({"DrawPrimitiveUP(4, 1, 32)"}));
    m_Batch->Flush();
    EXPECT_EQ(Draws(), Calls({"DrawPrimitiveUP(4, 1, 32)", "DrawPrimitiveUP(2, 1, 32)"}));
    ASSERT_EQ(m_Log->Draws.size(), 2u);
    EXPECT_EQ(m_Log->Draws[1].Vertices.size(), 2 * sizeof(CVertex));
}

TEST_F(RenderBatchTest, UnknownBlendModeSendsNothingButIsRemembered)
{
    m_Batch->SetBlendMode(7);
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->Flush();
    EXPECT_TRUE(m_Log->Matching("SetRenderState").empty());
    EXPECT_EQ(m_Batch->GetAppliedBlendMode(), 7);
    m_Batch->SetBlendMode(1);
    Add(D3DPT_TRIANGLELIST, 3);
    EXPECT_EQ(m_Log->Matching("SetRenderState"), Calls({"SetRenderState(20, 1)", "SetRenderState(19, 2)"}));
}

TEST_F(RenderBatchTest, RenderTargetAndBackBuffer)
{
    m_Batch->SetRenderTarget(m_Texture1);
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->SetRenderTarget(nullptr);
    Add(D3DPT_TRIANGLELIST, 3);
    EXPECT_EQ(m_Log->Matching("SetRenderTarget"),
              Calls({"SetRenderTarget(0, tex1.surface)", "SetRenderTarget(0, backbuffer)"}));
}

TEST_F(RenderBatchTest, EndFrameIssuesAnEventQueryAndPresents)
{
    ASSERT_TRUE(m_Batch->BeginFrame());
    Add(D3DPT_TRIANGLELIST, 3);
    m_Log->Take();
    EXPECT_TRUE(m_Batch->EndFrame());
    EXPECT_EQ(m_Log->Take(), Calls({"DrawPrimitiveUP(4, 1, 32)", "EndScene()", "CreateQuery(8) = query1",
                                    "query1.Issue(0x1)", "Present(null, null, null, null)"}));

    // A failed Present waits for the query.
    m_Log->Results["Present"] = D3DERR_DEVICELOST;
    m_Batch->BeginFrame();
    m_Log->Take();
    m_Batch->EndFrame();
    EXPECT_FALSE(m_Log->Matching("query2.GetData").empty());
    m_Log->Results.erase("Present");

    // A query that cannot be created switches queries off for good.
    CScratchLogCapture log;
    m_Log->Results["CreateQuery"] = D3DERR_NOTAVAILABLE;
    m_Batch->BeginFrame();
    m_Batch->EndFrame();
    EXPECT_FALSE(m_Batch->UsesEventQuery());
    EXPECT_TRUE(log.Contains("[graphics][2]: Create query failed, result: 8876086a"));
    m_Log->Results.erase("CreateQuery");
    m_Log->Take();
    m_Batch->BeginFrame();
    m_Batch->EndFrame();
    EXPECT_TRUE(m_Log->Matching("CreateQuery").empty());
}

TEST_F(RenderBatchTest, OutOfRangeArgumentsAreIgnored)
{
    CScratchLogCapture log;
    m_Batch->SetTexture(2, m_Texture1);
    m_Batch->SetTextureStageState(0, 25, 1);
    m_Batch->SetTextureStageState(7, 1, 1);
    EXPECT_FALSE(m_Batch->IsDirty());
    std::vector<CVertex> v(3);
    m_Batch->AddPrimitives(9, v.data(), 3);
    m_Batch->AddVertices(4, v.data(), 3, lv::graphics::kVertexFvf, 0);
    m_Batch->Flush();
    EXPECT_TRUE(Draws().empty());
    EXPECT_TRUE(log.Contains("AddVertices: bad primitive type 9"));
}

TEST_F(RenderBatchTest, DisplayModesComeFromTheAdapter)
{
    std::vector<lv::graphics::CDisplayMode> modes(3);
    EXPECT_TRUE(m_Batch->EnumDisplayModes(modes));
    ASSERT_EQ(modes.size(), 2u);
    EXPECT_EQ(modes[1].width, 1366);
    EXPECT_EQ(modes[1].height, 768);
    EXPECT_TRUE(modes[1].flag);
}

TEST_F(RenderBatchTest, SnapshotRecordsOneWholeFrame)
{
    CTempFolder folder;
    lv::graphics::CRenderLog::SetSnapshotFolder(Utf8ToWide(folder.Path().string()));
    lv::graphics::CTexture* texture = lv::graphics::CTextureManager::Instance().CreateTexture(8, 4);
    ASSERT_NE(texture, nullptr);
    m_Batch->RequestRenderSnapshot();
    ASSERT_TRUE(m_Batch->BeginFrame());
    m_Batch->SetTexture(0, texture->GetDeviceTexture());
    Add(D3DPT_TRIANGLELIST, 6);
    m_Batch->EndFrame();

    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string().rfind("render_snapshot_at_", 0), 0u);
    const std::string report = folder.Read(files[0].filename().string());
    const size_t log = report.find("Render log:");
    ASSERT_NE(log, std::string::npos);
    const std::string lines = report.substr(log);
    // The forced states of BeginFrame come first, then the quad.
    EXPECT_EQ(lines.find("texture change: #1(0x0): zero texture"), lines.find("\n") + 1);
    EXPECT_LT(lines.find("blend mode change: BlendNormal"), lines.find("texture change: #2(8x4)"));
    EXPECT_LT(lines.find("texture change: #2(8x4)"), lines.find("push a TriangleList with 6 vertices:"));
    size_t firstOfTriangle = 0;
    for (size_t at = lines.find("\n    >x="); at != std::string::npos; at = lines.find("\n    >x=", at + 1))
        ++firstOfTriangle;
    EXPECT_EQ(firstOfTriangle, 2u);
    EXPECT_NE(report.find("Total triangles drawn: 2\r\n"), std::string::npos);
    EXPECT_NE(report.find("End of render log.\r\n"), std::string::npos);

    // Written in text mode: CR LF line ends. One frame only.
    m_Batch->BeginFrame();
    m_Batch->EndFrame();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    texture->ReleaseDeviceTexture();
}

namespace {

// The snapshot files of a folder.
std::vector<std::filesystem::path> Snapshots(const CTempFolder& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files.push_back(entry.path());
    return files;
}

} // namespace

TEST_F(RenderBatchTest, OneQuadSnapshotMatchesItsReport)
{
    CTempFolder folder;
    lv::graphics::CRenderLog::SetSnapshotFolder(Utf8ToWide(folder.Path().string()));
    lv::graphics::CTexture* texture = lv::graphics::CTextureManager::Instance().CreateTexture(8, 4);
    ASSERT_NE(texture, nullptr);
    m_Batch->RequestRenderSnapshot();
    ASSERT_TRUE(m_Batch->BeginFrame());
    m_Batch->SetTexture(0, texture->GetDeviceTexture());
    auto vertex = [](float x, float y, float u, float v) {
        CVertex c{};
        c.x = x;
        c.y = y;
        c.rhw = 1;
        c.diffuse = 0x80FF4020u;
        c.u = u;
        c.v = v;
        return c;
    };
    const CVertex a = vertex(10, 20, 0, 0), b = vertex(18, 20, 1, 0), c = vertex(18, 24, 1, 1),
                  d = vertex(10, 24, 0, 1);
    const CVertex quad[] = {a, b, c, a, c, d};
    m_Batch->AddPrimitives(D3DPT_TRIANGLELIST, quad, 6);
    m_Batch->EndFrame();

    const std::vector<std::filesystem::path> files = Snapshots(folder);
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    // ctime's text with ':' and ' ' made '_' (a one-digit day gives two underscores), masked:
    // letters become 'a', digits '0'.
    std::string stamp = name.substr(std::min(name.size(), std::string("render_snapshot_at_").size()));
    for (char& ch : stamp)
        ch = std::isalpha(static_cast<unsigned char>(ch)) ? 'a' : std::isdigit(static_cast<unsigned char>(ch)) ? '0' : ch;
    EXPECT_EQ(name.rfind("render_snapshot_at_", 0), 0u) << name;
    EXPECT_TRUE(stamp == "aaa_aaa_00_00_00_00_0000" || stamp == "aaa_aaa__0_00_00_00_0000") << name;
    std::string report = folder.Read(name);
    for (size_t at; (at = report.find("\r\n")) != std::string::npos;)
        report.replace(at, 2, "\n");
    EXPECT_EQ(report, R"(General statistics:
Total video memory used to draw this frame: 128 bytes
Total texture state changes occurs: 3
Total texture blend state changes occurs: 1
Total triangles drawn: 2
Total sub-optimal texture changes (non-batching): 1
Total pixels rasterized: 32
Total texels fetched: 32

Used surfaces list:
# - order of appearance
sx - texture dimension, width
sy - texture dimension, height
vmem - texture size in video memory
tc - amount of texture state changes to this texture
vp - amount of vertices pushed with this texture
pr - total pixels rendered with this texture
tf - total texels fetched from this texture
bf - total bytes fetched from this texture
  #,   sx,   sy,    vmem, tc,     vp,     pr,     tf,      bf, bf/vmem, filename
  1,    0,    0,       0,  2,      0,      0,      0,       0,    0.00, zero texture
  2,    8,    4,     128,  1,      6,     32,     32,     128,    1.00, 

Render log:
texture change: #1(0x0): zero texture
texture change: #1(0x0): zero texture
blend mode change: BlendNormal
texture change: #2(8x4): 
push a TriangleList with 6 vertices:
    >x=  10.0 y=  20.0 u=0.00 v=0.00 a=128 r=255 g= 64 b= 32
     x=  18.0 y=  20.0 u=1.00 v=0.00 a=128 r=255 g= 64 b= 32
     x=  18.0 y=  24.0 u=1.00 v=1.00 a=128 r=255 g= 64 b= 32
    >x=  10.0 y=  20.0 u=0.00 v=0.00 a=128 r=255 g= 64 b= 32
     x=  18.0 y=  24.0 u=1.00 v=1.00 a=128 r=255 g= 64 b= 32
     x=  10.0 y=  24.0 u=0.00 v=1.00 a=128 r=255 g= 64 b= 32
End of render log.
)");
    texture->ReleaseDeviceTexture();
}

TEST_F(RenderBatchTest, TextureSetAgainInAFrameCountsAsSubOptimal)
{
    auto& textures = lv::graphics::CTextureManager::Instance();
    lv::graphics::CTexture* textureA = textures.CreateTexture(4, 2);
    lv::graphics::CTexture* textureB = textures.CreateTexture(2, 2);
    ASSERT_NE(textureA, nullptr);
    ASSERT_NE(textureB, nullptr);
    IDirect3DTexture9* a = textureA->GetDeviceTexture();
    IDirect3DTexture9* b = textureB->GetDeviceTexture();
    lv::graphics::CRenderLog log;
    log.Begin();
    log.RecordTextureChange(a);
    log.RecordTextureChange(b);
    EXPECT_EQ(log.GetSubOptimalChanges(), 0u);
    log.RecordTextureChange(a);
    EXPECT_EQ(log.GetTextureChanges(), 3u);
    EXPECT_EQ(log.GetSubOptimalChanges(), 1u);
    const std::string report = log.FormatReport();
    // A's row: order 1, set twice.
    EXPECT_NE(report.find("\n  1,    4,    2,      32,  2,"), std::string::npos) << report;
    EXPECT_NE(report.find("\n  2,    2,    2,      16,  1,"), std::string::npos) << report;
    EXPECT_NE(report.find("Total video memory used to draw this frame: 48 bytes"), std::string::npos);
    textureA->ReleaseDeviceTexture();
    textureB->ReleaseDeviceTexture();
}

TEST_F(RenderBatchTest, UnwritableSnapshotFolderLogsAndTheCaptureEnds)
{
    CTempFolder folder;
    folder.Write("file", "not a folder");
    lv::graphics::CRenderLog::SetSnapshotFolder(Utf8ToWide(folder / "file"));
    CScratchLogCapture log;
    m_Batch->RequestRenderSnapshot();
    ASSERT_TRUE(m_Batch->BeginFrame());
    Add(D3DPT_TRIANGLELIST, 3);
    EXPECT_TRUE(m_Batch->EndFrame());
    const std::string text = log.Text();
    const size_t at = text.find("[graphics][2]: Cannot create the render snapshot file \"");
    ASSERT_NE(at, std::string::npos) << text;
    // The request is used up: the next frame records and writes nothing.
    ASSERT_TRUE(m_Batch->BeginFrame());
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->EndFrame();
    EXPECT_EQ(log.Text().find("Cannot create", at + 30), std::string::npos);
    EXPECT_EQ(Snapshots(folder).size(), 1u);
}

TEST_F(RenderBatchTest, DeclaredTextureIsNamedByItsPath)
{
    CTempFolder folder;
    lv::graphics::CRenderLog::SetSnapshotFolder(Utf8ToWide(folder.Path().string()));
    lv::graphics::CSurfaceRecord record{};
    record.path.Assign("gfx/hero.png");
    lv::graphics::CTexture* texture = lv::graphics::CTextureManager::Instance().CreateTexture(8, 4);
    ASSERT_NE(texture, nullptr);
    texture->SetDeclaration(&record);
    m_Batch->RequestRenderSnapshot();
    ASSERT_TRUE(m_Batch->BeginFrame());
    m_Batch->SetTexture(0, texture->GetDeviceTexture());
    Add(D3DPT_TRIANGLELIST, 3);
    m_Batch->EndFrame();
    texture->SetDeclaration(nullptr);
    texture->ReleaseDeviceTexture();

    const std::vector<std::filesystem::path> files = Snapshots(folder);
    ASSERT_EQ(files.size(), 1u);
    const std::string report = folder.Read(files[0].filename().string());
    EXPECT_NE(report.find("\r\n  2,    8,    4,     128,  1,      3,      0,      0,       0,    0.00, gfx/hero.png\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\ntexture change: #2(8x4): gfx/hero.png\r\n"), std::string::npos) << report;
}
