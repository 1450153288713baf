#pragma once
// A recording fake of the device layer for tests of the code above it (the render batch, the
// texture manager, the renderer's device-loss handling): every call is written to a log with its
// arguments, and nothing is drawn. Resources keep their references and their pixels like the real
// ones, so upload and read-back code runs unchanged.
//
// Log lines read "Name(arg, ...)", with " = result" when a call fails, or " = object" naming what
// it created. Objects are named "tex1", "tex1.surface", "backbuffer", "query1", "shader1" in
// creation order; null is "null". Numbers are decimal except colours and flags (0x...).
// AddRef and Release are not logged; RecordingLog::LiveObjects counts what is alive.
#include "platform/d3d9/d3d9.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace lv::platform {

struct CRecordedDraw
{
    D3DPRIMITIVETYPE Type;
    UINT PrimitiveCount;
    UINT Stride;
    std::vector<BYTE> Vertices;
};

class CRecordingTexture;

class CRecordingLog
{
public:
    std::vector<std::string> Calls;
    std::vector<CRecordedDraw> Draws; // the vertices of every DrawPrimitiveUP, in order

    // Scripted behaviour: a method's result by name (missing: D3D_OK); a failing Create* hands out
    // nothing. TestCooperativeLevel follows SimulateDeviceLoss and failed Resets (lost until a
    // Reset succeeds) unless scripted here.
    std::map<std::string, HRESULT, std::less<>> Results;
    std::vector<D3DDISPLAYMODE> Modes{{1024, 768, 60, D3DFMT_X8R8G8B8}, {1366, 768, 60, D3DFMT_X8R8G8B8}};
    // Windowed devices get this back-buffer size when the parameters leave it 0.
    UINT WindowWidth = 800;
    UINT WindowHeight = 600;
    // The back buffer's pixels (0xAARRGGBB, rows top first), sized at creation and Reset.
    std::vector<DWORD> BackBufferPixels;

    int LiveObjects = 0;

    // The calls whose text starts with the prefix.
    std::vector<std::string> Matching(std::string_view prefix) const;
    // The calls so far; the log starts afresh.
    std::vector<std::string> Take();
    HRESULT ResultOf(std::string_view method) const;

    // Internal bookkeeping of the fake.
    std::string Add(std::string call);
    int NextId(const char* kind) { return ++m_Ids[kind]; }
    std::unordered_set<CRecordingTexture*> DefaultPoolTextures;

private:
    std::map<std::string, int, std::less<>> m_Ids;
};

// Makes Direct3DCreate9 hand out recording objects writing to the returned log (until
// SetDirect3DFactory(nullptr)).
std::shared_ptr<CRecordingLog> InstallRecordingDirect3D();

class CRecordingDirect3D final : public IDirect3D9
{
public:
    explicit CRecordingDirect3D(std::shared_ptr<CRecordingLog> log);
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;
    CRecordingLog& GetLog() { return *m_Log; }

private:
    ~CRecordingDirect3D();
    std::shared_ptr<CRecordingLog> m_Log;
    ULONG m_Refs = 1;
};

class CRecordingBackBuffer;

class CRecordingDevice final : public IDirect3DDevice9
{
public:
    CRecordingDevice(std::shared_ptr<CRecordingLog> log, const D3DPRESENT_PARAMETERS& params);
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const RGNDATA* dirty) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void** sharedHandle) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, DWORD color, float z, DWORD stencil) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) override;

    void SimulateLoss() { m_Loss = 1; }
    CRecordingLog& GetLog() { return *m_Log; }

private:
    ~CRecordingDevice();
    void ApplyParams(D3DPRESENT_PARAMETERS& params);
    void ReleaseBindings();
    // Logs the call with the scripted result appended when it fails; returns the result.
    HRESULT Record(std::string_view method, std::string call);

    std::shared_ptr<CRecordingLog> m_Log;
    ULONG m_Refs = 1;
    int m_Loss = 0; // 1: lost, 2: waiting for Reset
    CRecordingBackBuffer* m_BackBuffer = nullptr;
    CRecordingTexture* m_RenderTarget = nullptr;
    CRecordingTexture* m_Textures[2] = {};
    IDirect3DPixelShader9* m_PixelShader = nullptr;
};

} // namespace lv::platform
