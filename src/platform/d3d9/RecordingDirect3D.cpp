#include "platform/d3d9/RecordingDirect3D.h"

#include "platform/d3d9/TextureFormat.h"

#include <cstdio>
#include <cstring>

namespace lv::platform {
namespace {

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

std::string Dec(std::uint64_t value) { return std::to_string(value); }

std::shared_ptr<CRecordingLog>& InstalledLog()
{
    static std::shared_ptr<CRecordingLog> log;
    return log;
}

IDirect3D9* CreateRecordingDirect3D(UINT sdkVersion)
{
    auto& log = InstalledLog();
    log->Add("Direct3DCreate9(" + Dec(sdkVersion) + ")");
    return new CRecordingDirect3D(log);
}

} // namespace

// Reference counting shared by the fake's objects, with device bindings counted apart.
template <class Interface>
class CRecordingObject : public Interface
{
public:
    CRecordingObject(std::shared_ptr<CRecordingLog> log, std::string name) : m_Log(std::move(log)), m_Name(std::move(name))
    {
        ++m_Log->LiveObjects;
    }
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        const ULONG refs = --m_Refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    const std::string& Name() const { return m_Name; }
    void AddBinding()
    {
        ++m_Bindings;
        ++m_Refs;
    }
    void RemoveBinding()
    {
        --m_Bindings;
        Release();
    }
    bool IsHeldByApplication() const { return m_Refs > m_Bindings; }

protected:
    ~CRecordingObject() override { --m_Log->LiveObjects; }

    std::shared_ptr<CRecordingLog> m_Log;
    std::string m_Name;
    ULONG m_Refs = 1;
    ULONG m_Bindings = 0;
};

namespace {

class CRecordingQuery final : public CRecordingObject<IDirect3DQuery9>
{
public:
    using CRecordingObject::CRecordingObject;
    HRESULT Issue(DWORD flags) override
    {
        m_Log->Add(m_Name + ".Issue(" + Hex(flags) + ")");
        return D3D_OK;
    }
    HRESULT GetData(void* data, DWORD size, DWORD flags) override
    {
        const HRESULT hr = m_Log->ResultOf("GetData");
        m_Log->Add(m_Name + ".GetData(" + Dec(size) + ", " + Hex(flags) + ")" + (hr != S_OK ? " = " + Hex(DWORD(hr)) : ""));
        if (hr == S_OK && data && size)
            std::memset(data, 0, size), static_cast<BYTE*>(data)[0] = 1;
        return hr;
    }
};

class CRecordingPixelShader final : public CRecordingObject<IDirect3DPixelShader9>
{
public:
    using CRecordingObject::CRecordingObject;
};

} // namespace

// A texture with its level kept in its own format, like the OpenGL one.
class CRecordingTexture final : public CRecordingObject<IDirect3DTexture9>
{
public:
    class CSurface final : public IDirect3DSurface9
    {
    public:
        explicit CSurface(CRecordingTexture& owner) : m_Owner(owner) {}
        ULONG AddRef() override { return m_Owner.AddRef(); }
        ULONG Release() override { return m_Owner.Release(); }
        HRESULT GetDesc(D3DSURFACE_DESC* desc) override { return m_Owner.GetLevelDesc(0, desc); }
        HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override
        {
            return m_Owner.LockRect(0, locked, rect, flags);
        }
        HRESULT UnlockRect() override { return m_Owner.UnlockRect(0); }
        CRecordingTexture& GetTexture() { return m_Owner; }

    private:
        CRecordingTexture& m_Owner;
    };

    CRecordingTexture(std::shared_ptr<CRecordingLog> log, std::string name, const D3DSURFACE_DESC& desc)
        : CRecordingObject(std::move(log), std::move(name)), m_Desc(desc),
          m_Level(size_t(FormatPitch(desc.Format, desc.Width)) * FormatRows(desc.Format, desc.Height), 0)
    {
        if (desc.Pool == D3DPOOL_DEFAULT)
            m_Log->DefaultPoolTextures.insert(this);
    }
    ~CRecordingTexture() override { m_Log->DefaultPoolTextures.erase(this); }

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override
    {
        if (level != 0 || !desc)
            return D3DERR_INVALIDCALL;
        *desc = m_Desc;
        return D3D_OK;
    }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override
    {
        m_Log->Add(m_Name + ".GetSurfaceLevel(" + Dec(level) + ")");
        if (level != 0 || !surface)
            return D3DERR_INVALIDCALL;
        AddRef();
        *surface = &m_Surface;
        return D3D_OK;
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override
    {
        const HRESULT hr = m_Log->ResultOf("LockRect");
        m_Log->Add(m_Name + ".LockRect(" + Dec(level) + ", " + (rect ? "rect" : "null") + ", " + Hex(flags) + ")" +
                   (FAILED(hr) ? " = " + Hex(DWORD(hr)) : ""));
        if (FAILED(hr))
            return hr;
        if (level != 0 || !locked || m_Locked)
            return D3DERR_INVALIDCALL;
        const UINT pitch = FormatPitch(m_Desc.Format, m_Desc.Width);
        size_t offset = 0;
        if (rect) {
            const bool block = IsBlockFormat(m_Desc.Format);
            offset = size_t(block ? rect->top / 4 : rect->top) * pitch +
                     size_t(block ? rect->left / 4 : rect->left) * FormatUnitBytes(m_Desc.Format);
        }
        locked->Pitch = INT(pitch);
        locked->pBits = m_Level.data() + offset;
        m_Locked = true;
        return D3D_OK;
    }
    HRESULT UnlockRect(UINT level) override
    {
        m_Log->Add(m_Name + ".UnlockRect(" + Dec(level) + ")");
        if (level != 0 || !m_Locked)
            return D3DERR_INVALIDCALL;
        m_Locked = false;
        return m_Log->ResultOf("UnlockRect");
    }

    bool IsRenderTarget() const { return m_Desc.Usage & D3DUSAGE_RENDERTARGET; }
    std::string SurfaceName() const { return m_Name + ".surface"; }

private:
    D3DSURFACE_DESC m_Desc;
    std::vector<BYTE> m_Level;
    bool m_Locked = false;
    CSurface m_Surface{*this};
};

// The device's back buffer: references handed out are counted; the device keeps it regardless.
class CRecordingBackBuffer final : public IDirect3DSurface9
{
public:
    CRecordingBackBuffer(std::shared_ptr<CRecordingLog> log, UINT width, UINT height)
        : m_Log(std::move(log)), m_Width(width), m_Height(height)
    {
        m_Log->BackBufferPixels.assign(size_t(width) * height, 0);
    }
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        if (m_Refs == 0)
            return 0;
        const ULONG refs = --m_Refs;
        if (refs == 0 && m_Abandoned)
            delete this;
        return refs;
    }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override
    {
        if (!desc)
            return D3DERR_INVALIDCALL;
        *desc = D3DSURFACE_DESC{D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, m_Width, m_Height};
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override
    {
        const HRESULT hr = m_Log->ResultOf("LockRect");
        m_Log->Add(std::string("backbuffer.LockRect(") + (rect ? "rect" : "null") + ", " + Hex(flags) + ")" +
                   (FAILED(hr) ? " = " + Hex(DWORD(hr)) : ""));
        if (FAILED(hr))
            return hr;
        if (!locked || m_Log->BackBufferPixels.size() != size_t(m_Width) * m_Height)
            return D3DERR_INVALIDCALL;
        const size_t offset = rect ? size_t(rect->top) * m_Width + size_t(rect->left) : 0;
        locked->Pitch = INT(m_Width * 4);
        locked->pBits = m_Log->BackBufferPixels.data() + offset;
        return D3D_OK;
    }
    HRESULT UnlockRect() override
    {
        m_Log->Add("backbuffer.UnlockRect()");
        return D3D_OK;
    }
    bool IsHeldByApplication() const { return m_Refs > 0; }
    void Abandon()
    {
        m_Abandoned = true;
        if (m_Refs == 0)
            delete this;
    }

private:
    ~CRecordingBackBuffer() override = default;

    std::shared_ptr<CRecordingLog> m_Log;
    UINT m_Width;
    UINT m_Height;
    ULONG m_Refs = 0;
    bool m_Abandoned = false;
};

// ---- log -------------------------------------------------------------------------------------

std::vector<std::string> CRecordingLog::Matching(std::string_view prefix) const
{
    std::vector<std::string> result;
    for (const std::string& call : Calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            result.push_back(call);
    return result;
}

std::vector<std::string> CRecordingLog::Take()
{
    std::vector<std::string> calls;
    calls.swap(Calls);
    Draws.clear();
    return calls;
}

HRESULT CRecordingLog::ResultOf(std::string_view method) const
{
    const auto found = Results.find(method);
    return found == Results.end() ? D3D_OK : found->second;
}

std::string CRecordingLog::Add(std::string call)
{
    Calls.push_back(call);
    return call;
}

std::shared_ptr<CRecordingLog> InstallRecordingDirect3D()
{
    InstalledLog() = std::make_shared<CRecordingLog>();
    SetDirect3DFactory(CreateRecordingDirect3D);
    return InstalledLog();
}

// ---- Direct3D --------------------------------------------------------------------------------

CRecordingDirect3D::CRecordingDirect3D(std::shared_ptr<CRecordingLog> log) : m_Log(std::move(log))
{
    ++m_Log->LiveObjects;
}

CRecordingDirect3D::~CRecordingDirect3D() { --m_Log->LiveObjects; }

ULONG CRecordingDirect3D::Release()
{
    const ULONG refs = --m_Refs;
    if (refs == 0)
        delete this;
    return refs;
}

UINT CRecordingDirect3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format)
{
    m_Log->Add("GetAdapterModeCount(" + Dec(adapter) + ", " + Dec(format) + ")");
    return adapter == 0 && format == D3DFMT_X8R8G8B8 ? UINT(m_Log->Modes.size()) : 0;
}

HRESULT CRecordingDirect3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* displayMode)
{
    m_Log->Add("EnumAdapterModes(" + Dec(adapter) + ", " + Dec(format) + ", " + Dec(mode) + ")");
    if (adapter != 0 || format != D3DFMT_X8R8G8B8 || !displayMode || mode >= m_Log->Modes.size())
        return D3DERR_INVALIDCALL;
    *displayMode = m_Log->Modes[mode];
    return D3D_OK;
}

HRESULT CRecordingDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps)
{
    const HRESULT hr = m_Log->ResultOf("GetDeviceCaps");
    m_Log->Add("GetDeviceCaps(" + Dec(adapter) + ", " + Dec(type) + ")" + (FAILED(hr) ? " = " + Hex(DWORD(hr)) : ""));
    if (FAILED(hr))
        return hr;
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = D3DCAPS9{D3DDEVTYPE_HAL, adapter, 8192, 8192, 2};
    return D3D_OK;
}

HRESULT CRecordingDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND /*focusWindow*/, DWORD behaviorFlags,
                                         D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device)
{
    const HRESULT hr = m_Log->ResultOf("CreateDevice");
    std::string call = "CreateDevice(" + Dec(adapter) + ", " + Dec(type) + ", " + Hex(behaviorFlags);
    if (params)
        call += ", " + Dec(params->BackBufferWidth) + "x" + Dec(params->BackBufferHeight) + ", windowed " +
                Dec(params->Windowed) + ", interval " + Hex(params->PresentationInterval);
    call += ")";
    if (FAILED(hr) || !params || !device) {
        m_Log->Add(call + " = " + Hex(DWORD(FAILED(hr) ? hr : D3DERR_INVALIDCALL)));
        return FAILED(hr) ? hr : D3DERR_INVALIDCALL;
    }
    m_Log->Add(call);
    *device = new CRecordingDevice(m_Log, *params);
    return D3D_OK;
}

// ---- device ----------------------------------------------------------------------------------

CRecordingDevice::CRecordingDevice(std::shared_ptr<CRecordingLog> log, const D3DPRESENT_PARAMETERS& params)
    : m_Log(std::move(log))
{
    ++m_Log->LiveObjects;
    D3DPRESENT_PARAMETERS copy = params;
    ApplyParams(copy);
}

CRecordingDevice::~CRecordingDevice()
{
    ReleaseBindings();
    if (m_BackBuffer)
        m_BackBuffer->Abandon();
    --m_Log->LiveObjects;
}

ULONG CRecordingDevice::Release()
{
    const ULONG refs = --m_Refs;
    if (refs == 0)
        delete this;
    return refs;
}

void CRecordingDevice::ApplyParams(D3DPRESENT_PARAMETERS& params)
{
    if (params.BackBufferWidth == 0 || params.BackBufferHeight == 0) {
        params.BackBufferWidth = m_Log->WindowWidth;
        params.BackBufferHeight = m_Log->WindowHeight;
    }
    if (m_BackBuffer)
        m_BackBuffer->Abandon();
    m_BackBuffer = new CRecordingBackBuffer(m_Log, params.BackBufferWidth, params.BackBufferHeight);
}

void CRecordingDevice::ReleaseBindings()
{
    for (auto*& texture : m_Textures) {
        if (texture)
            texture->RemoveBinding();
        texture = nullptr;
    }
    if (m_RenderTarget)
        m_RenderTarget->RemoveBinding();
    m_RenderTarget = nullptr;
    if (m_PixelShader)
        m_PixelShader->Release();
    m_PixelShader = nullptr;
}

HRESULT CRecordingDevice::Record(std::string_view method, std::string call)
{
    const HRESULT hr = m_Log->ResultOf(method);
    m_Log->Add(FAILED(hr) ? call + " = " + Hex(DWORD(hr)) : call);
    return hr;
}

HRESULT CRecordingDevice::TestCooperativeLevel()
{
    HRESULT hr = D3D_OK;
    if (m_Loss == 1) {
        hr = D3DERR_DEVICELOST;
        m_Loss = 2;
    } else if (m_Loss == 2) {
        hr = D3DERR_DEVICENOTRESET;
    }
    if (m_Log->Results.count("TestCooperativeLevel"))
        hr = m_Log->ResultOf("TestCooperativeLevel");
    m_Log->Add(FAILED(hr) ? "TestCooperativeLevel() = " + Hex(DWORD(hr)) : "TestCooperativeLevel()");
    return hr;
}

HRESULT CRecordingDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    std::string call = "Reset(";
    if (params)
        call += Dec(params->BackBufferWidth) + "x" + Dec(params->BackBufferHeight) + ", windowed " +
                Dec(params->Windowed);
    call += ")";
    HRESULT hr = m_Log->ResultOf("Reset");
    if (SUCCEEDED(hr) && !params)
        hr = D3DERR_INVALIDCALL;
    for (CRecordingTexture* texture : m_Log->DefaultPoolTextures)
        if (texture->IsHeldByApplication())
            hr = D3DERR_INVALIDCALL;
    if (m_BackBuffer->IsHeldByApplication())
        hr = D3DERR_INVALIDCALL;
    m_Log->Add(FAILED(hr) ? call + " = " + Hex(DWORD(hr)) : call);
    if (FAILED(hr)) {
        m_Loss = 2; // like the device: lost until a Reset succeeds
        return hr;
    }
    ReleaseBindings();
    ApplyParams(*params);
    m_Loss = 0;
    return D3D_OK;
}

HRESULT CRecordingDevice::Present(const RECT* source, const RECT* dest, HWND destWindow, const RGNDATA* dirty)
{
    const bool allNull = !source && !dest && !destWindow && !dirty;
    HRESULT hr = Record("Present", allNull ? "Present(null, null, null, null)" : "Present(...)");
    if (SUCCEEDED(hr) && m_Loss)
        hr = D3DERR_DEVICELOST;
    return hr;
}

HRESULT CRecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                        IDirect3DSurface9** surface)
{
    const HRESULT hr =
        Record("GetBackBuffer", "GetBackBuffer(" + Dec(swapChain) + ", " + Dec(index) + ", " + Dec(type) + ")");
    if (FAILED(hr))
        return hr;
    if (!surface)
        return D3DERR_INVALIDCALL;
    m_BackBuffer->AddRef();
    *surface = m_BackBuffer;
    return D3D_OK;
}

HRESULT CRecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                        D3DPOOL pool, IDirect3DTexture9** texture, void** sharedHandle)
{
    std::string call = "CreateTexture(" + Dec(width) + ", " + Dec(height) + ", " + Dec(levels) + ", " + Hex(usage) +
                       ", " + Dec(format) + ", " + Dec(pool) + ")";
    HRESULT hr = m_Log->ResultOf("CreateTexture");
    if (SUCCEEDED(hr) && (!texture || sharedHandle || width == 0 || height == 0 || !IsTextureFormat(format)))
        hr = D3DERR_INVALIDCALL;
    if (FAILED(hr)) {
        m_Log->Add(call + " = " + Hex(DWORD(hr)));
        return hr;
    }
    const std::string name = "tex" + Dec(m_Log->NextId("tex"));
    m_Log->Add(call + " = " + name);
    *texture = new CRecordingTexture(m_Log, name, D3DSURFACE_DESC{format, usage, pool, width, height});
    return D3D_OK;
}

HRESULT CRecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    CRecordingTexture* target = nullptr;
    std::string name = "null";
    if (surface == m_BackBuffer) {
        name = "backbuffer";
    } else if (auto* textureSurface = dynamic_cast<CRecordingTexture::CSurface*>(surface)) {
        target = &textureSurface->GetTexture();
        name = target->SurfaceName();
    }
    const HRESULT hr = Record("SetRenderTarget", "SetRenderTarget(" + Dec(index) + ", " + name + ")");
    if (FAILED(hr))
        return hr;
    if (index != 0 || !surface || (target && !target->IsRenderTarget()) || (!target && surface != m_BackBuffer))
        return D3DERR_INVALIDCALL;
    if (target)
        target->AddBinding();
    if (m_RenderTarget)
        m_RenderTarget->RemoveBinding();
    m_RenderTarget = target;
    return D3D_OK;
}

HRESULT CRecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    const HRESULT hr = Record("GetRenderTarget", "GetRenderTarget(" + Dec(index) + ")");
    if (FAILED(hr))
        return hr;
    if (index != 0 || !surface)
        return D3DERR_INVALIDCALL;
    if (m_RenderTarget) {
        m_RenderTarget->AddRef();
        IDirect3DSurface9* level = nullptr;
        // GetSurfaceLevel logs; the surface is the texture's own, so take it without a log line.
        m_RenderTarget->GetSurfaceLevel(0, &level);
        m_Log->Calls.pop_back();
        m_RenderTarget->Release();
        *surface = level;
        return D3D_OK;
    }
    m_BackBuffer->AddRef();
    *surface = m_BackBuffer;
    return D3D_OK;
}

HRESULT CRecordingDevice::BeginScene() { return Record("BeginScene", "BeginScene()"); }
HRESULT CRecordingDevice::EndScene() { return Record("EndScene", "EndScene()"); }

HRESULT CRecordingDevice::Clear(DWORD count, const RECT* /*rects*/, DWORD flags, DWORD color, float z, DWORD stencil)
{
    return Record("Clear", "Clear(" + Dec(count) + ", " + Hex(flags) + ", " + Hex(color) + ", " +
                               Dec(std::uint64_t(z)) + ", " + Dec(stencil) + ")");
}

HRESULT CRecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    return Record("SetRenderState", "SetRenderState(" + Dec(state) + ", " + Dec(value) + ")");
}

HRESULT CRecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    auto* recording = dynamic_cast<CRecordingTexture*>(texture);
    const HRESULT hr =
        Record("SetTexture", "SetTexture(" + Dec(stage) + ", " + (recording ? recording->Name() : "null") + ")");
    if (FAILED(hr))
        return hr;
    if (stage >= 2 || (texture && !recording))
        return D3DERR_INVALIDCALL;
    if (recording)
        recording->AddBinding();
    if (m_Textures[stage])
        m_Textures[stage]->RemoveBinding();
    m_Textures[stage] = recording;
    return D3D_OK;
}

HRESULT CRecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    return Record("SetTextureStageState",
                  "SetTextureStageState(" + Dec(stage) + ", " + Dec(type) + ", " + Dec(value) + ")");
}

HRESULT CRecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    return Record("SetSamplerState", "SetSamplerState(" + Dec(sampler) + ", " + Dec(type) + ", " + Dec(value) + ")");
}

HRESULT CRecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                          UINT stride)
{
    const HRESULT hr = Record("DrawPrimitiveUP",
                              "DrawPrimitiveUP(" + Dec(type) + ", " + Dec(primitiveCount) + ", " + Dec(stride) + ")");
    UINT count = 0;
    switch (type) {
    case D3DPT_POINTLIST:
        count = primitiveCount;
        break;
    case D3DPT_LINELIST:
        count = primitiveCount * 2;
        break;
    case D3DPT_LINESTRIP:
        count = primitiveCount + 1;
        break;
    case D3DPT_TRIANGLELIST:
        count = primitiveCount * 3;
        break;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        count = primitiveCount + 2;
        break;
    }
    const BYTE* bytes = static_cast<const BYTE*>(vertices);
    m_Log->Draws.push_back({type, primitiveCount, stride,
                            bytes ? std::vector<BYTE>(bytes, bytes + size_t(count) * stride) : std::vector<BYTE>()});
    return hr;
}

HRESULT CRecordingDevice::SetFVF(DWORD fvf) { return Record("SetFVF", "SetFVF(" + Hex(fvf) + ")"); }

HRESULT CRecordingDevice::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader)
{
    HRESULT hr = m_Log->ResultOf("CreatePixelShader");
    if (SUCCEEDED(hr) && (!function || !shader))
        hr = D3DERR_INVALIDCALL;
    if (FAILED(hr)) {
        m_Log->Add("CreatePixelShader() = " + Hex(DWORD(hr)));
        return hr;
    }
    const std::string name = "shader" + Dec(m_Log->NextId("shader"));
    m_Log->Add("CreatePixelShader() = " + name);
    *shader = new CRecordingPixelShader(m_Log, name);
    return D3D_OK;
}

HRESULT CRecordingDevice::SetPixelShader(IDirect3DPixelShader9* shader)
{
    auto* recording = dynamic_cast<CRecordingPixelShader*>(shader);
    const HRESULT hr = Record("SetPixelShader", "SetPixelShader(" + (recording ? recording->Name() : std::string("null")) + ")");
    if (FAILED(hr))
        return hr;
    if (shader)
        shader->AddRef();
    if (m_PixelShader)
        m_PixelShader->Release();
    m_PixelShader = shader;
    return D3D_OK;
}

HRESULT CRecordingDevice::CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query)
{
    HRESULT hr = m_Log->ResultOf("CreateQuery");
    if (SUCCEEDED(hr) && type != D3DQUERYTYPE_EVENT)
        hr = D3DERR_NOTAVAILABLE;
    const std::string call = "CreateQuery(" + Dec(type) + ")";
    if (FAILED(hr)) {
        m_Log->Add(call + " = " + Hex(DWORD(hr)));
        return hr;
    }
    if (!query) {
        m_Log->Add(call);
        return D3D_OK;
    }
    const std::string name = "query" + Dec(m_Log->NextId("query"));
    m_Log->Add(call + " = " + name);
    *query = new CRecordingQuery(m_Log, name);
    return D3D_OK;
}

} // namespace lv::platform
