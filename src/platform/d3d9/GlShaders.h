#pragma once
// The GLSL programs of the OpenGL device: one vertex stage shared by all programs (pre-transformed
// vertices in render-target pixels), the fragment stage that stands in for the fixed-function
// texture stage 0, and the compiled-code image that the layer's shader compiler hands to
// CreatePixelShader.
#include "platform/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace lv::platform {

// Vertex attribute slots; the inputs a pixel shader sees are vDiffuse, vSpecular and vTexCoord,
// its stage textures are the samplers s0 and s1.
enum EGlAttribute : unsigned
{
    kAttribPosition = 0,
    kAttribDiffuse = 1,
    kAttribSpecular = 2,
    kAttribTexCoord = 3,
};

const char* GlVertexShaderSource();
// The stage-0 program for one combination of states, with the states compiled in as constants
// (the compiler then drops what the combination does not use). Ops outside DISABLE, SELECTARG1,
// SELECTARG2 and MODULATE give the diffuse colour; arguments other than TEXTURE are the diffuse
// colour (CURRENT is the diffuse colour at stage 0).
std::string GlFixedFunctionShaderSource(bool textured, const DWORD colorStage[3], const DWORD alphaStage[3]);

// Compiles one stage; 0 with the compiler's log on failure.
unsigned CompileGlShader(unsigned type, const std::string& source, std::string& log);
// Links the shared vertex stage with a fragment stage and binds the samplers to units 0 and 1;
// 0 with the linker's log on failure. The fragment shader object is not consumed.
unsigned LinkGlProgram(unsigned fragmentShader, std::string& log);

// Compiled code: 'GLSL', byte length, then the complete fragment shader source and a NUL.
inline constexpr DWORD kGlslCodeMagic = 0x4C534C47;
std::vector<DWORD> MakeGlslCode(std::string_view source);
// Null when the code is not in that form.
const char* GlslFromCode(const DWORD* code);

} // namespace lv::platform
