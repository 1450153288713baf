#pragma once
// The shader compiler of the device layer, shaped like D3DX's. There is no HLSL here: shaders are
// GLSL fragment shaders for the OpenGL device. A shader reads
//     in vec4 vDiffuse;    // the vertex's diffuse colour
//     in vec4 vSpecular;   // the vertex's specular colour
//     in vec2 vTexCoord;   // the vertex's texture coordinates
//     uniform sampler2D s0, s1;   // the textures of stages 0 and 1
// and writes one vec4 output. "#version 330 core" is supplied when the source has no #version;
// an entry point other than "main" names the function that serves as main. The profile is not
// used. A compile or link failure returns the compiler's log as the error buffer.
#include "platform/d3d9/d3d9.h"

struct D3DXMACRO
{
    const char* Name;
    const char* Definition;
};

// Include handlers are not supported; pass null.
class ID3DXInclude;

class ID3DXBuffer : public IUnknown
{
public:
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

class ID3DXConstantTable : public IUnknown
{
public:
    // A GLSL program starts with its uniforms at their initialisers and this layer never changes
    // them, so the defaults are always in place.
    virtual HRESULT SetDefaults(IDirect3DDevice9* device) = 0;
};

using LPD3DXBUFFER = ID3DXBuffer*;
using LPD3DXCONSTANTTABLE = ID3DXConstantTable*;

// Compiles with the OpenGL context of the current device (a device must exist). The compiled code
// is what IDirect3DDevice9::CreatePixelShader takes. Macros end with a {null, null} entry.
HRESULT D3DXCompileShader(const char* source, UINT sourceLength, const D3DXMACRO* defines, ID3DXInclude* include,
                          const char* functionName, const char* profile, DWORD flags, LPD3DXBUFFER* shader,
                          LPD3DXBUFFER* errorMessages, LPD3DXCONSTANTTABLE* constantTable);
