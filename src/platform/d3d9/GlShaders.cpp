#include "platform/d3d9/DriverAllocations.h"
#include "platform/d3d9/GlShaders.h"

#include <cstring>
#include <string>
#include <epoxy/gl.h>

namespace lv::platform {

const char* GlVertexShaderSource()
{
    // Direct3D puts pixel centres on integer coordinates, OpenGL half a pixel further on.
    // Rows are kept in Direct3D order (top first) in every render target, so y is not flipped.
    return R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec4 aSpecular;
layout(location = 3) in vec2 aTexCoord;
uniform vec2 uTargetSize;
out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;
void main()
{
    gl_Position = vec4((aPosition.xy + 0.5) / uTargetSize * 2.0 - 1.0, 0.0, 1.0);
    vDiffuse = aDiffuse;
    vSpecular = aSpecular;
    vTexCoord = aTexCoord;
}
)";
}

std::string GlFixedFunctionShaderSource(bool textured, const DWORD colorStage[3], const DWORD alphaStage[3])
{
    auto stage = [](const DWORD values[3]) {
        return "ivec3(" + std::to_string(values[0]) + ", " + std::to_string(values[1]) + ", " +
               std::to_string(values[2]) + ")";
    };
    // Without a texture the TEXTURE argument is white, so an untextured MODULATE gives the diffuse
    // colour.
    return std::string("#version 330 core\n") + "const bool kTextured = " + (textured ? "true" : "false") +
           ";\nconst ivec3 kColorStage = " + stage(colorStage) + ";\nconst ivec3 kAlphaStage = " +
           stage(alphaStage) + ";\n" + R"(in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;
uniform sampler2D s0;
out vec4 oColor;
vec4 Argument(int arg, vec4 texel)
{
    return (arg & 15) == 2 ? texel : vDiffuse;
}
vec4 Combine(ivec3 stage, vec4 texel)
{
    vec4 a = Argument(stage.y, texel);
    vec4 b = Argument(stage.z, texel);
    if (stage.x == 2) return a;
    if (stage.x == 3) return b;
    if (stage.x == 4) return a * b;
    return vDiffuse;
}
void main()
{
    vec4 texel = kTextured ? texture(s0, vTexCoord) : vec4(1.0);
    vec4 colour = Combine(kColorStage, texel);
    // Disabling the colour operation of stage 0 disables the whole stage.
    float alpha = kColorStage.x == 1 ? vDiffuse.a : Combine(kAlphaStage, texel).a;
    oColor = vec4(colour.rgb, alpha);
}
)";
}

unsigned CompileGlShader(unsigned type, const std::string& source, std::string& log)
{
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    {
        const CDriverAllocations driver;
        glCompileShader(shader);
    }
    GLint ok = 0, length = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    log.assign(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        glGetShaderInfoLog(shader, length, nullptr, log.data());
    while (!log.empty() && (log.back() == '\0' || log.back() == '\n'))
        log.pop_back();
    if (!ok) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

unsigned LinkGlProgram(unsigned fragmentShader, std::string& log)
{
    const GLuint vertex = CompileGlShader(GL_VERTEX_SHADER, GlVertexShaderSource(), log);
    if (!vertex)
        return 0;
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragmentShader);
    {
        const CDriverAllocations driver;
        glLinkProgram(program);
    }
    glDetachShader(program, vertex);
    glDetachShader(program, fragmentShader);
    glDeleteShader(vertex);
    GLint ok = 0, length = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    log.assign(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        glGetProgramInfoLog(program, length, nullptr, log.data());
    while (!log.empty() && (log.back() == '\0' || log.back() == '\n'))
        log.pop_back();
    if (!ok) {
        glDeleteProgram(program);
        return 0;
    }
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "s0"), 0);
    glUniform1i(glGetUniformLocation(program, "s1"), 1);
    glUseProgram(GLuint(previous));
    return program;
}

std::vector<DWORD> MakeGlslCode(std::string_view source)
{
    std::vector<DWORD> code(2 + (source.size() + 1 + 3) / 4, 0);
    code[0] = kGlslCodeMagic;
    code[1] = DWORD(source.size());
    std::memcpy(code.data() + 2, source.data(), source.size());
    return code;
}

const char* GlslFromCode(const DWORD* code)
{
    if (!code || code[0] != kGlslCodeMagic)
        return nullptr;
    return reinterpret_cast<const char*>(code + 2);
}

} // namespace lv::platform
