#pragma once
// The Direct3D object of the OpenGL implementation: the display's modes and device creation.
// It holds SDL's video subsystem up while it lives.
#include "platform/d3d9/d3d9.h"

namespace lv::platform {

class CGlDirect3D final : public IDirect3D9
{
public:
    // Null, with a log line, when SDL's video subsystem cannot start.
    static CGlDirect3D* Create();

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;

private:
    CGlDirect3D() = default;
    ~CGlDirect3D();

    ULONG m_Refs = 1;
};

} // namespace lv::platform
