#include "platform/d3d9/GlDevice.h"
#include "platform/d3d9/GlDirect3D.h"
#include "platform/d3d9/RecordingDirect3D.h"

namespace lv::platform {
namespace {

IDirect3D9* CreateGlDirect3D(UINT /*sdkVersion*/) { return CGlDirect3D::Create(); }

Direct3DFactory g_Factory = CreateGlDirect3D;

} // namespace

void SetDirect3DFactory(Direct3DFactory factory) { g_Factory = factory ? factory : CreateGlDirect3D; }

bool SimulateDeviceLoss(IDirect3DDevice9* device)
{
    if (auto* gl = dynamic_cast<CGlDevice*>(device)) {
        gl->SimulateLoss();
        return true;
    }
    if (auto* recording = dynamic_cast<CRecordingDevice*>(device)) {
        recording->SimulateLoss();
        return true;
    }
    return false;
}

bool ReadPresentedPixels(IDirect3DDevice9* device, std::vector<DWORD>& pixels, UINT& width, UINT& height)
{
    auto* gl = dynamic_cast<CGlDevice*>(device);
    return gl && gl->ReadWindowPixels(pixels, width, height);
}

} // namespace lv::platform

IDirect3D9* Direct3DCreate9(UINT sdkVersion) { return lv::platform::g_Factory(sdkVersion); }
