#pragma once
// A pixel shader that draws can put on the renderer's shader stack. The device shaders live in
// one process-wide map keyed by the compiled code, so that all of them can be released when the
// device is destroyed.
#include "platform/d3d9/d3d9.h"

class ID3DXBuffer;
class ID3DXConstantTable;

namespace lv::graphics {

class CPixelShader
{
public:
    CPixelShader() = default;
    virtual ~CPixelShader();
    CPixelShader(const CPixelShader&) = delete;
    CPixelShader& operator=(const CPixelShader&) = delete;

    void Release();

    // The device shader for this shader's compiled code; null when not loaded or released.
    IDirect3DPixelShader9* GetDeviceShader() const;

private:
    ID3DXBuffer* m_Code = nullptr;
    ID3DXConstantTable* m_Constants = nullptr;
};

// Releases every device shader of the map (the entries stay); called when the device is
// destroyed.
void ReleaseAllPixelShaders();

} // namespace lv::graphics
