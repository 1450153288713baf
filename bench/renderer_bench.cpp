// CPU time per frame of the renderer front end and the render batch for many sprites, over an
// inert device, and the heap allocations a steady-state frame makes (counted by replacing the
// global operator new; expected 0).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/d3d9.h"

namespace {
std::atomic<u64> g_Allocations{0};
}

// GCC sees the replaced operators pair malloc with free across them and warns about a mismatch
// that is not there: both sides are ours.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    ++g_Allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// Device objects that accept every call and do nothing.
template <class Interface> class CInert : public Interface
{
public:
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG r = --m_Refs;
        if (r == 0)
            delete this;
        return r;
    }

private:
    ULONG m_Refs = 1;
};

class CInertSurface final : public CInert<IDirect3DSurface9>
{
public:
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override
    {
        *desc = D3DSURFACE_DESC{D3DFMT_X8R8G8B8, 0, D3DPOOL_DEFAULT, 0, 0};
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3D_OK; }
};

class CInertTexture final : public CInert<IDirect3DTexture9>
{
public:
    CInertTexture(UINT w, UINT h) : m_Pixels(w * h) {}
    HRESULT GetLevelDesc(UINT, D3DSURFACE_DESC*) override { return D3D_OK; }
    HRESULT GetSurfaceLevel(UINT, IDirect3DSurface9** s) override
    {
        *s = new CInertSurface;
        return D3D_OK;
    }
    HRESULT LockRect(UINT, D3DLOCKED_RECT* locked, const RECT*, DWORD) override
    {
        locked->pBits = m_Pixels.data();
        locked->Pitch = 0;
        return D3D_OK;
    }
    HRESULT UnlockRect(UINT) override { return D3D_OK; }

private:
    std::vector<u32> m_Pixels;
};

// One query object serves every frame, so the device itself allocates nothing per frame.
class CInertQuery final : public IDirect3DQuery9
{
public:
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT Issue(DWORD) override { return D3D_OK; }
    HRESULT GetData(void*, DWORD, DWORD) override { return S_OK; }
};

class CInertDevice final : public CInert<IDirect3DDevice9>
{
public:
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return D3D_OK; }
    HRESULT Present(const RECT*, const RECT*, HWND, const RGNDATA*) override { return D3D_OK; }
    HRESULT GetBackBuffer(UINT, UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface9** s) override
    {
        *s = new CInertSurface;
        return D3D_OK;
    }
    HRESULT CreateTexture(UINT w, UINT h, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9** t,
                          void**) override
    {
        *t = new CInertTexture(w, h);
        return D3D_OK;
    }
    HRESULT SetRenderTarget(DWORD, IDirect3DSurface9*) override { return D3D_OK; }
    HRESULT GetRenderTarget(DWORD, IDirect3DSurface9** s) override
    {
        *s = new CInertSurface;
        return D3D_OK;
    }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD, const RECT*, DWORD, DWORD, float, DWORD) override { return D3D_OK; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture9*) override { return D3D_OK; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT count, const void* vertices, UINT) override
    {
        benchmark::DoNotOptimize(vertices);
        m_Primitives += count;
        return D3D_OK;
    }
    HRESULT SetFVF(DWORD) override { return D3D_OK; }
    HRESULT CreatePixelShader(const DWORD*, IDirect3DPixelShader9**) override { return D3DERR_INVALIDCALL; }
    HRESULT SetPixelShader(IDirect3DPixelShader9*) override { return D3D_OK; }
    HRESULT CreateQuery(D3DQUERYTYPE, IDirect3DQuery9** q) override
    {
        static CInertQuery s_Query;
        *q = &s_Query;
        return D3D_OK;
    }

    u64 m_Primitives = 0;
};

class CInertDirect3D final : public CInert<IDirect3D9>
{
public:
    UINT GetAdapterModeCount(UINT, D3DFORMAT) override { return 1; }
    HRESULT EnumAdapterModes(UINT, D3DFORMAT, UINT, D3DDISPLAYMODE* m) override
    {
        *m = D3DDISPLAYMODE{1366, 768, 60, D3DFMT_X8R8G8B8};
        return D3D_OK;
    }
    HRESULT GetDeviceCaps(UINT, D3DDEVTYPE, D3DCAPS9* caps) override
    {
        *caps = D3DCAPS9{D3DDEVTYPE_HAL, 0, 8192, 8192, 2};
        return D3D_OK;
    }
    HRESULT CreateDevice(UINT, D3DDEVTYPE, HWND, DWORD, D3DPRESENT_PARAMETERS*, IDirect3DDevice9** d) override
    {
        *d = new CInertDevice;
        return D3D_OK;
    }
};

void RendererFrame(benchmark::State& state)
{
    const s32 sprites = static_cast<s32>(state.range(0));
    const bool twoTextures = state.range(1) == 2;
    lv::platform::SetDirect3DFactory([](UINT) -> IDirect3D9* { return new CInertDirect3D; });
    lv::graphics::GetGraphicsDevice().Release(false);
    {
        lv::graphics::CRenderer renderer;
        renderer.SetSourceSize(1366, 768);
        renderer.SetMode(true, true, 1024, 768);
        lv::graphics::CImageHandle images[2];
        images[0].BindTexture(lv::graphics::CTextureManager::Instance().CreateTexture(64, 64));
        images[1].BindTexture(lv::graphics::CTextureManager::Instance().CreateTexture(64, 64));

        const auto frame = [&] {
            renderer.BeginFrame();
            for (s32 i = 0; i < sprites; ++i) {
                const lv::graphics::CImageHandle& image = images[twoTextures ? i & 1 : 0];
                renderer.DrawImage(&image, static_cast<float>((i * 37) % 1300),
                                   static_cast<float>((i * 53) % 700), 0, CColor());
            }
            renderer.EndFrame();
        };
        frame(); // warm-up: textures, first-use statics
        const u64 before = g_Allocations.load();
        u64 frames = 0;
        for (auto _ : state) {
            frame();
            ++frames;
        }
        const u64 allocations = g_Allocations.load() - before;
        state.counters["allocs_per_frame"] = frames ? static_cast<double>(allocations) / frames : 0;
        state.counters["sprites"] = sprites;
        if (allocations != 0)
            state.SkipWithError("a steady-state frame allocated on the heap");
        images[0].Release();
        images[1].Release();
    }
    lv::graphics::GetGraphicsDevice().Release(false);
    lv::platform::SetDirect3DFactory(nullptr);
}

} // namespace

BENCHMARK(RendererFrame)
    ->ArgNames({"sprites", "textures"})
    ->Args({1000, 1})
    ->Args({1000, 2})
    ->Args({10000, 1})
    ->Args({10000, 2})
    ->Unit(benchmark::kMicrosecond);
