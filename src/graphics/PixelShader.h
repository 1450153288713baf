#pragma once
// A pixel shader that draws can put on the renderer's shader stack, compiled from a file when it
// is loaded. The device shaders live in one process-wide map keyed by the compiled code, so that
// all of them can be released when the device is destroyed and created again for a new device.
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

    // Releases what was loaded, then compiles the file (read through the file system) with the
    // entry point and profile and creates its device shader. False without a device, for a
    // missing file (nothing logged), a compile error or a refused device shader (both logged).
    bool LoadShader(const char* fileName, const char* entryPoint, const char* profile);
    // The device shader, the map entry, the compiled code and the constants go.
    void Release();
    // Puts the shader's constants at their declared defaults on the device.
    void SetDefaults();

    // The device shader for this shader's compiled code; null when not loaded or released.
    IDirect3DPixelShader9* GetDeviceShader() const;

private:
    ID3DXBuffer* m_Code = nullptr;
    ID3DXConstantTable* m_Constants = nullptr;
};

// Releases every device shader of the map (the entries stay); called when the device is
// destroyed.
void ReleaseAllPixelShaders();
// Creates a device shader for every map entry again, on the current device; nothing without one.
void RecreateAllPixelShaders();

} // namespace lv::graphics
