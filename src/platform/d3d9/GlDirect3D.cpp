#include "platform/d3d9/GlDirect3D.h"

#include "platform/DisplayModes.h"
#include "platform/PlatformLog.h"
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/GlDevice.h"

#include <SDL.h>
#include <vector>

namespace lv::platform {
namespace {

// The display's modes as the window layer lists them, in 32 bits; never empty.
std::vector<D3DDISPLAYMODE> DisplayModes()
{
    std::vector<D3DDISPLAYMODE> modes;
    for (const SDisplayMode& mode : GetDisplayModes())
        modes.push_back({UINT(mode.Width), UINT(mode.Height), UINT(mode.RefreshRate), D3DFMT_X8R8G8B8});
    if (modes.empty())
        modes.push_back({1024, 768, 60, D3DFMT_X8R8G8B8});
    return modes;
}

} // namespace

CGlDirect3D* CGlDirect3D::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Log("graphics", 3, "Direct3DCreate9 failed: SDL video initialisation failed: %s", SDL_GetError());
        return nullptr;
    }
    return new CGlDirect3D();
}

CGlDirect3D::~CGlDirect3D() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

ULONG CGlDirect3D::Release()
{
    const ULONG refs = --m_Refs;
    if (refs == 0)
        delete this;
    return refs;
}

UINT CGlDirect3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format)
{
    if (adapter != D3DADAPTER_DEFAULT || format != D3DFMT_X8R8G8B8)
        return 0;
    return UINT(DisplayModes().size());
}

HRESULT CGlDirect3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode)
{
    if (adapter != D3DADAPTER_DEFAULT || format != D3DFMT_X8R8G8B8 || !displayMode)
        return D3DERR_INVALIDCALL;
    const std::vector<D3DDISPLAYMODE> modes = DisplayModes();
    if (mode >= modes.size())
        return D3DERR_INVALIDCALL;
    *displayMode = modes[mode];
    return D3D_OK;
}

HRESULT CGlDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps)
{
    if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL || !caps)
        return D3DERR_INVALIDCALL;
    *caps = D3DCAPS9{D3DDEVTYPE_HAL, 0, 8192, 8192, CGlDevice::kStages};
    return D3D_OK;
}

HRESULT CGlDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD /*behaviorFlags*/,
                                  D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device)
{
    if (adapter != D3DADAPTER_DEFAULT || type != D3DDEVTYPE_HAL || !params || !device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    HWND window = params->hDeviceWindow ? params->hDeviceWindow : focusWindow;
    if (!window)
        return D3DERR_INVALIDCALL;
    const std::shared_ptr<CGlContext> context = CGlContext::Create(window);
    if (!context)
        return D3DERR_NOTAVAILABLE;
    return CGlDevice::Create(this, context, params, device);
}

} // namespace lv::platform
