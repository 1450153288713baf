#include "platform/d3d9/GlPixelShader.h"

#include "platform/PlatformLog.h"
#include "platform/d3d9/GlShaders.h"

#include <epoxy/gl.h>
#include <string>

namespace lv::platform {

HRESULT CGlPixelShader::Create(const std::shared_ptr<CGlContext>& context, const DWORD* code,
                               CGlPixelShader** shader)
{
    const char* source = GlslFromCode(code);
    if (!shader || !source)
        return D3DERR_INVALIDCALL;
    context->MakeCurrent();
    std::string log;
    const GLuint fragment = CompileGlShader(GL_FRAGMENT_SHADER, source, log);
    GLuint program = 0;
    if (fragment) {
        program = LinkGlProgram(fragment, log);
        glDeleteShader(fragment);
    }
    if (!program) {
        Log("graphics", 3, "CreatePixelShader: %s", log.c_str());
        return D3DERR_INVALIDCALL;
    }
    *shader = new CGlPixelShader(context, program);
    return D3D_OK;
}

CGlPixelShader::CGlPixelShader(const std::shared_ptr<CGlContext>& context, unsigned program)
    : m_Context(context), m_Program(program), m_TargetSizeLocation(glGetUniformLocation(program, "uTargetSize"))
{
}

CGlPixelShader::~CGlPixelShader()
{
    m_Context->MakeCurrent();
    m_Context->ForgetBindings();
    glDeleteProgram(m_Program);
}

ULONG CGlPixelShader::Release()
{
    const ULONG refs = --m_Refs;
    if (refs == 0)
        delete this;
    return refs;
}

void CGlPixelShader::SetTargetSize(UINT width, UINT height)
{
    if (width == m_TargetWidth && height == m_TargetHeight)
        return;
    m_TargetWidth = width;
    m_TargetHeight = height;
    glUniform2f(m_TargetSizeLocation, float(width), float(height));
}

} // namespace lv::platform
