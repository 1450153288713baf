#include "platform/d3d9/GlShaders.h"
#include "platform/d3dx9/d3dx9.h"

#include <SDL.h>
#include <cstring>
#include <epoxy/gl.h>
#include <string>
#include <vector>

namespace lv::platform {
namespace {

class CXBuffer final : public ID3DXBuffer
{
public:
    explicit CXBuffer(std::vector<DWORD> data, DWORD size) : m_Data(std::move(data)), m_Size(size) {}
    static CXBuffer* FromText(const std::string& text)
    {
        std::vector<DWORD> data((text.size() + 1 + 3) / 4, 0);
        std::memcpy(data.data(), text.c_str(), text.size() + 1);
        return new CXBuffer(std::move(data), DWORD(text.size() + 1));
    }
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG refs = --m_Refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    void* GetBufferPointer() override { return m_Data.data(); }
    DWORD GetBufferSize() override { return m_Size; }

private:
    std::vector<DWORD> m_Data;
    DWORD m_Size;
    ULONG m_Refs = 1;
};

class CConstantTable final : public ID3DXConstantTable
{
public:
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG refs = --m_Refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT SetDefaults(IDirect3DDevice9* device) override { return device ? D3D_OK : D3DERR_INVALIDCALL; }

private:
    ULONG m_Refs = 1;
};

// The complete fragment shader: version line, macros, entry-point alias, then the source.
std::string BuildSource(std::string_view source, const D3DXMACRO* defines, const char* functionName)
{
    std::string version = "#version 330 core\n";
    size_t start = source.find_first_not_of(" \t\r\n");
    int firstLine = 1;
    if (start != std::string_view::npos && source.compare(start, 8, "#version") == 0) {
        const size_t end = source.find('\n', start);
        version = std::string(source.substr(0, end == std::string_view::npos ? source.size() : end + 1));
        if (version.back() != '\n')
            version += '\n';
        source.remove_prefix(version.size() <= source.size() ? version.size() : source.size());
        firstLine = 2;
    }
    std::string text = version;
    for (const D3DXMACRO* macro = defines; macro && macro->Name; ++macro)
        text += std::string("#define ") + macro->Name + " " + (macro->Definition ? macro->Definition : "") + "\n";
    if (functionName && *functionName && std::strcmp(functionName, "main") != 0)
        text += std::string("#define ") + functionName + " main\n";
    text += "#line " + std::to_string(firstLine) + "\n";
    text.append(source);
    return text;
}

} // namespace
} // namespace lv::platform

HRESULT D3DXCompileShader(const char* source, UINT sourceLength, const D3DXMACRO* defines, ID3DXInclude* include,
                          const char* functionName, const char* /*profile*/, DWORD /*flags*/, LPD3DXBUFFER* shader,
                          LPD3DXBUFFER* errorMessages, LPD3DXCONSTANTTABLE* constantTable)
{
    using namespace lv::platform;
    if (shader)
        *shader = nullptr;
    if (errorMessages)
        *errorMessages = nullptr;
    if (constantTable)
        *constantTable = nullptr;
    auto fail = [&](const std::string& message) {
        if (errorMessages)
            *errorMessages = CXBuffer::FromText(message);
        return E_FAIL;
    };
    if (!source || !shader || include)
        return D3DERR_INVALIDCALL;
    if (!SDL_GL_GetCurrentContext())
        return fail("D3DXCompileShader: no device, so no OpenGL context to compile with");

    const std::string text = BuildSource(std::string_view(source, sourceLength), defines, functionName);
    std::string log;
    const GLuint fragment = CompileGlShader(GL_FRAGMENT_SHADER, text, log);
    if (!fragment)
        return fail(log.empty() ? "the shader does not compile" : log);
    // Linking with the layer's vertex stage reports what only the linker sees.
    const GLuint program = LinkGlProgram(fragment, log);
    glDeleteShader(fragment);
    if (!program)
        return fail(log.empty() ? "the shader does not link" : log);
    glDeleteProgram(program);

    std::vector<DWORD> code = MakeGlslCode(text);
    const DWORD size = DWORD(code.size() * sizeof(DWORD));
    *shader = new CXBuffer(std::move(code), size);
    if (constantTable)
        *constantTable = new CConstantTable();
    return D3D_OK;
}
