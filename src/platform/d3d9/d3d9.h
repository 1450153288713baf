#pragma once
// The Direct3D 9 shaped device layer the renderer draws through: COM-style interfaces, the
// constants, result codes and structures the renderer, the texture manager and the pixel shaders
// use, and Direct3DCreate9. Only that subset exists. Two implementations stand behind it: OpenGL
// 3.3 core (the real one) and a recording fake for tests (platform/d3d9/RecordingDirect3D.h).
//
// Conventions of this layer:
// - Reference counts as in Direct3D 9: Create*/Get* calls hand out a reference, binding a
//   resource to the device (SetTexture, SetRenderTarget) holds one until it is unbound.
// - Pixel positions follow Direct3D 9: pixel centres sit on integer coordinates.
// - Pixel shaders are GLSL fragment shaders (see platform/d3dx9/d3dx9.h for the inputs).
#include "platform/WinTypes.h"
#include <vector>

// ---- constants -------------------------------------------------------------------------------

inline constexpr UINT D3D_SDK_VERSION = 31;
inline constexpr UINT D3DADAPTER_DEFAULT = 0;

inline constexpr HRESULT D3D_OK = 0;
inline constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
inline constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
inline constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
inline constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760869u);

constexpr DWORD MAKEFOURCC(char a, char b, char c, char d)
{
    return DWORD(BYTE(a)) | (DWORD(BYTE(b)) << 8) | (DWORD(BYTE(c)) << 16) | (DWORD(BYTE(d)) << 24);
}

enum D3DFORMAT : DWORD
{
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
};

enum D3DPOOL : DWORD
{
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
};

inline constexpr DWORD D3DUSAGE_RENDERTARGET = 0x00000001;

inline constexpr DWORD D3DLOCK_NOSYSLOCK = 0x00000800;
inline constexpr DWORD D3DLOCK_DISCARD = 0x00002000;

enum D3DDEVTYPE : DWORD
{
    D3DDEVTYPE_HAL = 1,
};

inline constexpr DWORD D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x00000020;

enum D3DSWAPEFFECT : DWORD
{
    D3DSWAPEFFECT_DISCARD = 1,
};

inline constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;

enum D3DBACKBUFFER_TYPE : DWORD
{
    D3DBACKBUFFER_TYPE_MONO = 0,
};

inline constexpr DWORD D3DCLEAR_TARGET = 0x00000001;

// Vertex formats: pre-transformed position, two colours, one texture coordinate pair.
inline constexpr DWORD D3DFVF_XYZRHW = 0x004;
inline constexpr DWORD D3DFVF_DIFFUSE = 0x040;
inline constexpr DWORD D3DFVF_SPECULAR = 0x080;
inline constexpr DWORD D3DFVF_TEX1 = 0x100;

enum D3DPRIMITIVETYPE : DWORD
{
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

enum D3DRENDERSTATETYPE : DWORD
{
    D3DRS_ZENABLE = 7,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_CLIPPING = 136,
    D3DRS_LIGHTING = 137,
};

enum D3DBLEND : DWORD
{
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
};

enum D3DCULL : DWORD
{
    D3DCULL_NONE = 1,
};

enum D3DTEXTURESTAGESTATETYPE : DWORD
{
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_TEXCOORDINDEX = 11,
};

enum D3DTEXTUREOP : DWORD
{
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
};

// Texture stage arguments.
inline constexpr DWORD D3DTA_DIFFUSE = 0x00000000;
inline constexpr DWORD D3DTA_CURRENT = 0x00000001;
inline constexpr DWORD D3DTA_TEXTURE = 0x00000002;

enum D3DSAMPLERSTATETYPE : DWORD
{
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
};

enum D3DTEXTUREADDRESS : DWORD
{
    D3DTADDRESS_WRAP = 1,
    D3DTADDRESS_CLAMP = 3,
};

enum D3DTEXTUREFILTERTYPE : DWORD
{
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
};

enum D3DQUERYTYPE : DWORD
{
    D3DQUERYTYPE_EVENT = 8,
};

inline constexpr DWORD D3DISSUE_END = 1u << 0;
inline constexpr DWORD D3DGETDATA_FLUSH = 1u << 0;

// ---- structures ------------------------------------------------------------------------------

struct D3DDISPLAYMODE
{
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

struct D3DPRESENT_PARAMETERS
{
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    DWORD MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

struct D3DCAPS9
{
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
    DWORD MaxSimultaneousTextures;
};

struct D3DLOCKED_RECT
{
    INT Pitch;
    void* pBits;
};

struct D3DSURFACE_DESC
{
    D3DFORMAT Format;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Width;
    UINT Height;
};

struct RGNDATA;

// ---- interfaces ------------------------------------------------------------------------------

class IUnknown
{
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class IDirect3DDevice9;

class IDirect3DSurface9 : public IUnknown
{
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    // Locks the whole surface or a rectangle of it; the pitch is tight (rows of blocks for DXT).
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture9 : public IUnknown
{
};

class IDirect3DTexture9 : public IDirect3DBaseTexture9
{
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DQuery9 : public IUnknown
{
public:
    virtual HRESULT Issue(DWORD flags) = 0;
    // S_OK when the work before the issue has finished, S_FALSE while it runs.
    virtual HRESULT GetData(void* data, DWORD size, DWORD flags) = 0;
};

class IDirect3DPixelShader9 : public IUnknown
{
};

class IDirect3DDevice9 : public IUnknown
{
public:
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
    virtual HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const RGNDATA* dirty) = 0;
    virtual HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** surface) = 0;
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture9** texture, void** sharedHandle) = 0;
    virtual HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(DWORD count, const RECT* rects, DWORD flags, DWORD color, float z, DWORD stencil) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) = 0;
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                    UINT stride) = 0;
    virtual HRESULT SetFVF(DWORD fvf) = 0;
    virtual HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) = 0;
    virtual HRESULT SetPixelShader(IDirect3DPixelShader9* shader) = 0;
    virtual HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) = 0;
};

class IDirect3D9 : public IUnknown
{
public:
    virtual UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) = 0;
};

// The OpenGL implementation, or what the factory installed below returns. Null on failure.
IDirect3D9* Direct3DCreate9(UINT sdkVersion);

namespace lv::platform {

using Direct3DFactory = IDirect3D9* (*)(UINT sdkVersion);
// Tests of the renderer put the recording fake behind Direct3DCreate9; nullptr restores OpenGL.
void SetDirect3DFactory(Direct3DFactory factory);

// OpenGL never loses a device; this makes the device behave as after a loss (see
// TestCooperativeLevel). False when the device is not one of this layer's.
bool SimulateDeviceLoss(IDirect3DDevice9* device);

// The device window's picture as the last Present left it (0xAARRGGBB, rows top first), for
// tests under SDL's offscreen driver. False when the device is not OpenGL or nothing can be read.
bool ReadPresentedPixels(IDirect3DDevice9* device, std::vector<DWORD>& pixels, UINT& width, UINT& height);

} // namespace lv::platform
