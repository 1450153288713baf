#include "graphics/GraphicsDevice.h"

#include <loki/Singleton.h>

#include "core/Log.h"

namespace lv::graphics {

namespace {
using CGraphicsDeviceHolder =
    Loki::SingletonHolder<CGraphicsDevice, Loki::CreateUsingNew, Loki::DefaultLifetime>;
}

CGraphicsDevice& GetGraphicsDevice()
{
    return CGraphicsDeviceHolder::Instance();
}

bool CheckD3DResult(HRESULT result, const char* operation, s32 level)
{
    if (result >= 0)
        return false;
    core::CLog::Instance().Print("graphics", level, "%s failed, result: %x", operation,
                                 static_cast<u32>(result));
    return true;
}

CGraphicsDevice::CGraphicsDevice() : m_Direct3D(Direct3DCreate9(D3D_SDK_VERSION)) {}

CGraphicsDevice::~CGraphicsDevice()
{
    Release(false);
}

bool CGraphicsDevice::CreateOrReset(HWND window, s32 width, s32 height, bool fullscreen)
{
    if (!m_Direct3D)
        m_Direct3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_Direct3D)
        return false;

    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = fullscreen ? 0 : 1;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (fullscreen) {
        params.BackBufferWidth = static_cast<u32>(width);
        params.BackBufferHeight = static_cast<u32>(height);
    }

    if (m_Device) {
        if (CheckD3DResult(m_Device->Reset(&params), "Reset D3D device", 3))
            return false;
    } else {
        if (CheckD3DResult(m_Direct3D->CreateDevice(0, D3DDEVTYPE_HAL, window,
                                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &m_Device),
                           "Create D3D device", 3)) {
            m_Device = nullptr;
            return false;
        }
    }
    if (CheckD3DResult(m_Direct3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &m_Caps), "Get device capabilities", 3))
        return false;
    if (m_BackBuffer) {
        m_BackBuffer->Release();
        m_BackBuffer = nullptr;
    }
    m_Device->GetRenderTarget(0, &m_BackBuffer);
    return true;
}

void CGraphicsDevice::Release(bool forReset)
{
    if (m_BackBuffer) {
        m_BackBuffer->Release();
        m_BackBuffer = nullptr;
    }
    if (forReset)
        return;
    if (m_Device) {
        m_Device->Release();
        m_Device = nullptr;
    }
    if (m_Direct3D) {
        m_Direct3D->Release();
        m_Direct3D = nullptr;
    }
}

} // namespace lv::graphics
