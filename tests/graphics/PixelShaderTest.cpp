// Pixel shaders loaded from files, drawn through the renderer on the OpenGL device layer.
#include "graphics/PixelShader.h"

#include "GlRendererTest.h"
#include "LogCapture.h"
#include "core/TempFolder.h"
#include "graphics/ImageHandle.h"

using lv::graphics::CPixelShader;
using lv::graphics::CImageHandle;

namespace {

const char kInvert[] = R"(
in vec4 vDiffuse;
in vec2 vTexCoord;
uniform sampler2D s0;
out vec4 colour;
void Invert()
{
    vec4 c = texture(s0, vTexCoord) * vDiffuse;
    colour = vec4(1.0 - c.rgb, c.a);
}
)";

const char kRed[] = "out vec4 colour; void main() { colour = vec4(1.0, 0.0, 0.0, 1.0); }";

class PixelShaderTest : public CGlRendererTest
{
protected:
    void SetUp() override
    {
        CGlRendererTest::SetUp();
        m_Folder.Write("invert.glsl", kInvert);
        m_Folder.Write("red.glsl", kRed);
        m_Folder.Write("broken.glsl", "out vec4 colour; void main() { colour = vec4(1) }");
        m_Checker.BindTexture(MakeTexture(16, 16, [](u32 x, u32 y) -> u32 {
            return ((x / 4 + y / 4) % 2) ? 0xFFF0F0F0u : (0xFF000000u | (x * 16) << 16 | (y * 16) << 8 | 0x80);
        }));
        ASSERT_NE(m_Checker.GetTexture(), nullptr);
    }
    void TearDown() override
    {
        m_Checker.Release();
        CGlRendererTest::TearDown();
    }
    std::string File(const char* name) const { return m_Folder / name; }

    // The checker with the shader on the left and without it on the right, over a plain
    // background that no shader touches.
    std::vector<u32> DrawScene(CPixelShader* shader)
    {
        EXPECT_TRUE(m_Renderer->BeginFrame());
        m_Renderer->FillQuad(CQuad(0, 0, kWidth, kHeight), CColor(0xFF304050u));
        m_Renderer->PushState();
        m_Renderer->SetPixelShader(shader);
        m_Renderer->DrawImageRect(&m_Checker, CFloatRect(8, 8, 48, 48), 0, CColor());
        m_Renderer->PopState();
        m_Renderer->DrawImageRect(&m_Checker, CFloatRect(72, 8, 48, 48), 0, CColor());
        std::vector<u32> frame = ReadFrame();
        m_Renderer->EndFrame();
        return frame;
    }
    // Pixels of the left square compared with the right one: inverted or the same everywhere.
    static testing::AssertionResult LeftIs(const std::vector<u32>& frame, bool inverted)
    {
        for (s32 y = 8; y < 56; ++y)
            for (s32 x = 8; x < 56; ++x) {
                const u32 left = At(frame, x, y), right = At(frame, x + 64, y);
                const u32 expected = inverted ? right ^ 0x00FFFFFFu : right;
                if (left != expected)
                    return testing::AssertionFailure() << "at (" << x << ", " << y << "): " << std::hex << left
                                                       << " instead of " << expected;
            }
        return testing::AssertionSuccess();
    }

    CTempFolder m_Folder;
    CImageHandle m_Checker;
};

TEST_F(PixelShaderTest, InvertingShaderDrawsAndSurvivesAReset)
{
    CPixelShader shader;
    EXPECT_EQ(shader.GetDeviceShader(), nullptr);
    ASSERT_TRUE(shader.LoadShader(File("invert.glsl").c_str(), "Invert", "ps_2_0"));
    ASSERT_NE(shader.GetDeviceShader(), nullptr);
    shader.SetDefaults();

    const std::vector<u32> frame = DrawScene(&shader);
    ExpectGolden("pixel_shader_invert", frame);
    EXPECT_TRUE(LeftIs(frame, true));
    EXPECT_EQ(At(frame, 2, 2), 0xFF304050u);

    // A reset keeps the device shader.
    IDirect3DPixelShader9* before = shader.GetDeviceShader();
    ASSERT_TRUE(m_Renderer->InitGraphics());
    EXPECT_EQ(shader.GetDeviceShader(), before);
    EXPECT_EQ(DrawScene(&shader), frame);
}

TEST_F(PixelShaderTest, ReleaseAllFallsBackToFixedStagesAndRecreateAllMakesNewShaders)
{
    CPixelShader invert, red;
    ASSERT_TRUE(invert.LoadShader(File("invert.glsl").c_str(), "Invert", "ps_2_0"));
    ASSERT_TRUE(red.LoadShader(File("red.glsl").c_str(), "main", "ps_2_0"));

    lv::graphics::ReleaseAllPixelShaders();
    EXPECT_EQ(invert.GetDeviceShader(), nullptr);
    EXPECT_EQ(red.GetDeviceShader(), nullptr);
    EXPECT_TRUE(LeftIs(DrawScene(&invert), false));

    lv::graphics::RecreateAllPixelShaders();
    ASSERT_NE(invert.GetDeviceShader(), nullptr);
    ASSERT_NE(red.GetDeviceShader(), nullptr);
    EXPECT_TRUE(LeftIs(DrawScene(&invert), true));
    EXPECT_EQ(At(DrawScene(&red), 20, 20), 0xFFFF0000u);

    // Re-creating over live shaders lets go of the old ones instead of losing them.
    IDirect3DPixelShader9* old = invert.GetDeviceShader();
    old->AddRef();
    lv::graphics::RecreateAllPixelShaders();
    EXPECT_NE(invert.GetDeviceShader(), nullptr);
    EXPECT_EQ(old->Release(), 0u);
}

TEST_F(PixelShaderTest, ShadersComeBackWhenTheRendererMakesANewDevice)
{
    CPixelShader shader;
    ASSERT_TRUE(shader.LoadShader(File("invert.glsl").c_str(), "Invert", "ps_2_0"));
    m_Renderer->ReleaseDeviceObjects(false);
    EXPECT_EQ(lv::graphics::GetGraphicsDevice().GetDevice(), nullptr);
    EXPECT_EQ(shader.GetDeviceShader(), nullptr);
    ASSERT_TRUE(m_Renderer->InitGraphics());
    EXPECT_NE(shader.GetDeviceShader(), nullptr);
    // Run-time textures come back blank on a new device: the picture is made again.
    m_Checker.Release();
    m_Checker.BindTexture(MakeTexture(16, 16, [](u32 x, u32) -> u32 { return 0xFF000000u | x * 0x100F08u; }));
    EXPECT_TRUE(LeftIs(DrawScene(&shader), true));
}

TEST_F(PixelShaderTest, LoadingAnotherFileReleasesTheFirstShader)
{
    CPixelShader shader;
    ASSERT_TRUE(shader.LoadShader(File("invert.glsl").c_str(), "Invert", "ps_2_0"));
    IDirect3DPixelShader9* first = shader.GetDeviceShader();
    ASSERT_NE(first, nullptr);
    first->AddRef();
    ASSERT_TRUE(shader.LoadShader(File("red.glsl").c_str(), "main", "ps_2_0"));
    EXPECT_EQ(first->Release(), 0u);
    ASSERT_NE(shader.GetDeviceShader(), nullptr);
    EXPECT_EQ(At(DrawScene(&shader), 20, 20), 0xFFFF0000u);
    // The first file's entry is gone with its code: re-creating touches only the second.
    lv::graphics::ReleaseAllPixelShaders();
    lv::graphics::RecreateAllPixelShaders();
    EXPECT_EQ(At(DrawScene(&shader), 20, 20), 0xFFFF0000u);

    shader.Release();
    EXPECT_EQ(shader.GetDeviceShader(), nullptr);
    shader.SetDefaults(); // nothing loaded: nothing to do
}

TEST_F(PixelShaderTest, FailedLoadsGiveFalse)
{
    struct Case
    {
        const char* Name;
        std::string File;
        const char* Entry;
        const char* Logged; // empty: nothing may be logged
        const char* Detail;
    };
    const Case cases[] = {
        {"missing file", File("none.glsl"), "main", "", ""},
        {"syntax error", File("broken.glsl"), "main", "[graphics][3]: LoadShader failed: ", "error"},
        {"unknown entry point", File("invert.glsl"), "Other", "[graphics][3]: LoadShader failed: ", "main"},
    };
    for (const Case& c : cases) {
        CScratchLogCapture log;
        CPixelShader shader;
        ASSERT_TRUE(shader.LoadShader(File("red.glsl").c_str(), "main", "ps_2_0"));
        EXPECT_FALSE(shader.LoadShader(c.File.c_str(), c.Entry, "ps_2_0")) << c.Name;
        EXPECT_EQ(shader.GetDeviceShader(), nullptr) << c.Name;
        const std::string text = log.Text();
        if (*c.Logged == 0) {
            EXPECT_EQ(text.find("[graphics]"), std::string::npos) << c.Name << ": " << text;
        } else {
            const size_t at = text.find(c.Logged);
            ASSERT_NE(at, std::string::npos) << c.Name << ": " << text;
            EXPECT_NE(text.find(c.Detail, at), std::string::npos) << c.Name << ": " << text;
        }
    }
    // Without a device nothing is read or compiled.
    CPixelShader shader;
    m_Renderer->ReleaseDeviceObjects(false);
    EXPECT_FALSE(shader.LoadShader(File("red.glsl").c_str(), "main", "ps_2_0"));
    lv::graphics::RecreateAllPixelShaders(); // no device: nothing happens
}

} // namespace
