#include "GlTestDevice.h"

#include "platform/d3dx9/d3dx9.h"

#include <cstring>
#include <string>

namespace lv::platform::test {
namespace {

using PixelShaderTest = GlDeviceTest;

// A shader that swaps red and blue of the texture and keeps the diffuse alpha.
const char kSwapShader[] = R"(
in vec4 vDiffuse;
in vec2 vTexCoord;
uniform sampler2D s0;
uniform float uScale = 1.0;
out vec4 colour;
void Swap()
{
    vec4 t = texture(s0, vTexCoord);
    colour = vec4(t.b * uScale, t.g, t.r, vDiffuse.a);
}
)";

TEST_F(PixelShaderTest, CompiledGlslDrawsAndSurvivesReset)
{
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    ID3DXConstantTable* constants = nullptr;
    ASSERT_EQ(D3DXCompileShader(kSwapShader, UINT(std::strlen(kSwapShader)), nullptr, nullptr, "Swap", "ps_2_0", 0,
                                &code, &errors, &constants),
              D3D_OK);
    EXPECT_EQ(errors, nullptr);
    ASSERT_NE(constants, nullptr);
    EXPECT_EQ(constants->SetDefaults(m_Device), D3D_OK);
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(m_Device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader), D3D_OK);

    const DWORD texel = 0xFF112233;
    IDirect3DTexture9* texture = MakeTexture(1, 1, D3DFMT_A8R8G8B8, &texel, 4);
    auto drawAndRead = [&] {
        m_Device->SetTexture(0, texture);
        m_Device->SetPixelShader(shader);
        SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
        m_Device->BeginScene();
        Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF));
        m_Device->EndScene();
        m_Device->SetPixelShader(nullptr);
        m_Device->SetTexture(0, nullptr);
        return ReadBackBuffer()[1];
    };
    EXPECT_EQ(drawAndRead(), 0xFF332211u);
    ASSERT_EQ(m_Device->Reset(&m_Params), D3D_OK);
    SetupStates();
    EXPECT_EQ(drawAndRead(), 0xFF332211u);
    // Without the shader the fixed-function stage draws the texture as it is.
    m_Device->SetTexture(0, texture);
    m_Device->BeginScene();
    Draw(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF));
    m_Device->EndScene();
    m_Device->SetTexture(0, nullptr);
    EXPECT_EQ(ReadBackBuffer()[1], 0xFF112233u);

    EXPECT_EQ(shader->Release(), 0u);
    texture->Release();
    constants->Release();
    code->Release();
}

TEST_F(PixelShaderTest, CompileErrorsComeBackAsText)
{
    struct Case
    {
        const char* Name;
        const char* Source;
        const char* Expected; // in the message
    };
    const Case cases[] = {
        {"syntax", "out vec4 c; void main() { c = vec4(1) }", "error"},
        {"undeclared name", "out vec4 c; void main() { c = vNormal; }", "vNormal"},
    };
    for (const Case& c : cases) {
        ID3DXBuffer* code = reinterpret_cast<ID3DXBuffer*>(1);
        ID3DXBuffer* errors = nullptr;
        EXPECT_TRUE(FAILED(D3DXCompileShader(c.Source, UINT(std::strlen(c.Source)), nullptr, nullptr, "main",
                                             "ps_2_0", 0, &code, &errors, nullptr)))
            << c.Name;
        EXPECT_EQ(code, nullptr);
        ASSERT_NE(errors, nullptr) << c.Name;
        const std::string message(static_cast<const char*>(errors->GetBufferPointer()));
        EXPECT_NE(message.find(c.Expected), std::string::npos) << c.Name << ": " << message;
        errors->Release();
    }
    // Macros reach the source; a foreign code blob is refused by the device.
    const D3DXMACRO macros[] = {{"RED", "vec4(1.0, 0.0, 0.0, 1.0)"}, {nullptr, nullptr}};
    const char source[] = "#version 330 core\nout vec4 c; void main() { c = RED; }";
    ID3DXBuffer* code = nullptr;
    ASSERT_EQ(D3DXCompileShader(source, UINT(std::strlen(source)), macros, nullptr, "main", "ps_2_0", 0, &code,
                                nullptr, nullptr),
              D3D_OK);
    code->Release();
    const DWORD notOurs[4] = {0xFFFF0200, 0, 0, 0};
    IDirect3DPixelShader9* shader = nullptr;
    EXPECT_EQ(m_Device->CreatePixelShader(notOurs, &shader), D3DERR_INVALIDCALL);
}

} // namespace
} // namespace lv::platform::test
