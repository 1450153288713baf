#pragma once
// The process-wide owner of the Direct3D object and its device: creates the device, resets it
// after a loss or a mode change, and releases it.
#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

class CGraphicsDevice
{
public:
    CGraphicsDevice();
    ~CGraphicsDevice();
    CGraphicsDevice(const CGraphicsDevice&) = delete;
    CGraphicsDevice& operator=(const CGraphicsDevice&) = delete;

    // Creates the device on the window, or resets the existing one, for the given presentation.
    bool CreateOrReset(HWND window, s32 width, s32 height, bool fullscreen);
    // Releases the saved back-buffer surface; unless for a reset also the device and the
    // Direct3D object.
    void Release(bool forReset);

    IDirect3DDevice9* GetDevice() const { return m_Device; }
    IDirect3D9* GetDirect3D() const { return m_Direct3D; }
    IDirect3DSurface9* GetBackBufferSurface() const { return m_BackBuffer; }
    const D3DCAPS9& GetCaps() const { return m_Caps; }

private:
    IDirect3D9* m_Direct3D = nullptr;
    IDirect3DDevice9* m_Device = nullptr;
    D3DCAPS9 m_Caps = {};
    IDirect3DSurface9* m_BackBuffer = nullptr;
};

// The singleton, created on first use and destroyed at process exit; a use after destruction
// throws std::logic_error "Dead Reference Detected".
CGraphicsDevice& GetGraphicsDevice();

// A failed result (negative) is logged as "<operation> failed, result: <hex>" on channel
// "graphics" and gives true; a success gives false.
bool CheckD3DResult(HRESULT result, const char* operation, s32 level);

} // namespace lv::graphics
