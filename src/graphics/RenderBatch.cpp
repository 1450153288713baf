#include "graphics/RenderBatch.h"

#include <cstring>
#include <chrono>
#include <thread>

#include "core/Log.h"
#include "graphics/BlendMode.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/RenderLog.h"
#include "graphics/Vertex.h"

namespace lv::graphics {

namespace {

constexpr u32 kStateCount = CTextureStageRecord::kStateCount;

// Indexed by primitive type (1 point list .. 6 triangle fan).
constexpr u32 kVerticesPerPrimitive[7] = {1, 1, 2, 1, 3, 1, 1};
constexpr u32 kMinimumVertices[7] = {1, 1, 2, 2, 3, 3, 3};

// Which state ids go to the device, and how.
constexpr bool kSent[kStateCount] = {false, true,  true,  true,  true,  true,  true,  false, false,
                                     false, false, true,  false, true,  true,  false, true,  true,
                                     true,  false, false, false, false, false, false};
constexpr bool kSampler[kStateCount] = {false, false, false, false, false, false, false, false, false,
                                        false, false, false, false, true,  true,  false, true,  true,
                                        true,  false, false, false, false, false, false};
constexpr u32 kSamplerType[kStateCount] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                           1, 2, 0, 5, 6, 7, 0, 0, 0, 0, 0, 0};

CTextureStageRecord MakeStageDefaults(bool first)
{
    CTextureStageRecord r;
    r.states[1] = first ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    r.states[2] = D3DTA_TEXTURE;
    r.states[3] = D3DTA_CURRENT;
    r.states[4] = first ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    r.states[5] = D3DTA_TEXTURE;
    r.states[6] = D3DTA_CURRENT;
    r.states[11] = 0;
    r.states[13] = D3DTADDRESS_CLAMP;
    r.states[14] = D3DTADDRESS_CLAMP;
    r.states[16] = D3DTEXF_LINEAR;
    r.states[17] = D3DTEXF_LINEAR;
    r.states[18] = D3DTEXF_NONE;
    return r;
}

IDirect3DDevice9* Device()
{
    return GetGraphicsDevice().GetDevice();
}

} // namespace

CRenderBatch::CRenderBatch() = default;

CRenderBatch::~CRenderBatch()
{
    delete m_Log;
}

bool CRenderBatch::SetupDeviceStates()
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return false;
    m_Dirty = false;
    m_DesiredBlend = BlendNormal;
    m_AppliedBlend = 0;
    m_DesiredShader = m_AppliedShader = nullptr;
    m_DesiredTarget = m_AppliedTarget = nullptr;

    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_LIGHTING, 0);
    device->SetRenderState(D3DRS_SPECULARENABLE, 0);
    device->SetRenderState(D3DRS_ZWRITEENABLE, 0);
    device->SetRenderState(D3DRS_ZENABLE, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_CLIPPING, 0);
    device->SetRenderState(D3DRS_DITHERENABLE, 0);
    device->SetFVF(kVertexFvf);

    for (u32 s = 0; s < m_StageCount; ++s)
        m_DesiredStages[s] = MakeStageDefaults(s == 0);
    ApplyStates(true);
    return true;
}

bool CRenderBatch::BeginFrame()
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return false;
    if (CheckD3DResult(device->BeginScene(), "Begin scene", 0))
        return false;
    Clear(CColor(0xFF000000u));
    if (m_Capture) {
        delete m_Log;
        m_Log = new CRenderLog;
        m_Log->Begin();
    }
    for (u32 s = 0; s < m_StageCount; ++s)
        m_DesiredStages[s].texture = nullptr;
    ApplyStates(true);
    m_QueuedVertices = 0;
    m_PrimitiveType = kNoPrimitive;
    return true;
}

bool CRenderBatch::EndFrame()
{
    Flush();
    for (u32 s = 0; s < m_StageCount; ++s)
        m_DesiredStages[s].texture = nullptr;
    IDirect3DDevice9* device = Device();
    if (device) {
        device->EndScene();
        IDirect3DQuery9* query = nullptr;
        if (m_UseEventQuery) {
            if (CheckD3DResult(device->CreateQuery(D3DQUERYTYPE_EVENT, &query), "Create query", 2))
                query = nullptr;
            if (query)
                query->Issue(D3DISSUE_END);
            else
                m_UseEventQuery = false;
        }
        const bool presentFailed =
            CheckD3DResult(device->Present(nullptr, nullptr, nullptr, nullptr), "Present", 0);
        if (query) {
            if (presentFailed) {
                // Bounded in time, as a poll may itself wait a little in the driver: a query that
                // never completes must not hang the frame loop.
                u8 data = 0;
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
                while (query->GetData(&data, 1, D3DGETDATA_FLUSH) == S_FALSE &&
                       std::chrono::steady_clock::now() < giveUp)
                    std::this_thread::yield();
            }
            query->Release();
        }
    }
    if (m_Capture) {
        if (m_Log) {
            m_Log->WriteSnapshot();
            delete m_Log;
            m_Log = nullptr;
        }
        m_Capture = false;
    }
    return true;
}

bool CRenderBatch::EnumDisplayModes(std::vector<CDisplayMode>& modes)
{
    modes.clear();
    IDirect3D9* d3d = GetGraphicsDevice().GetDirect3D();
    if (d3d) {
        const u32 count = d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8);
        for (u32 i = 0; i < count; ++i) {
            D3DDISPLAYMODE mode = {};
            if (d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, i, &mode) >= 0)
                modes.push_back(
                    CDisplayMode{static_cast<s32>(mode.Width), static_cast<s32>(mode.Height), true});
        }
    }
    if (modes.empty())
        core::CLog::Instance().Print("renderer", 2, "the adapter reports no display modes");
    return true;
}

bool CRenderBatch::Clear(const CColor& color)
{
    if (IDirect3DDevice9* device = Device())
        device->Clear(0, nullptr, D3DCLEAR_TARGET, color.ToArgb(), 0.0f, 0);
    return true;
}

void CRenderBatch::SetTexture(u32 stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= m_StageCount)
        return;
    m_Dirty = m_Dirty || texture != m_DesiredStages[stage].texture;
    m_DesiredStages[stage].texture = texture;
}

void CRenderBatch::SetTextureStageState(u32 stage, u32 stateId, u32 value)
{
    if (stage >= m_StageCount || stateId >= kStateCount)
        return;
    m_Dirty = m_Dirty || value != m_DesiredStages[stage].states[stateId];
    m_DesiredStages[stage].states[stateId] = value;
}

void CRenderBatch::SetBlendMode(s32 mode)
{
    m_Dirty = m_Dirty || mode != m_DesiredBlend;
    m_DesiredBlend = mode;
}

void CRenderBatch::SetPixelShader(IDirect3DPixelShader9* shader)
{
    m_Dirty = m_Dirty || shader != m_DesiredShader;
    m_DesiredShader = shader;
}

void CRenderBatch::SetRenderTarget(IDirect3DTexture9* target)
{
    m_Dirty = m_Dirty || target != m_DesiredTarget;
    m_DesiredTarget = target;
}

bool CRenderBatch::DesiredDiffersFromApplied() const
{
    if (m_DesiredTarget != m_AppliedTarget || m_DesiredShader != m_AppliedShader ||
        m_DesiredBlend != m_AppliedBlend)
        return true;
    for (u32 s = 0; s < m_StageCount; ++s)
        if (!(m_DesiredStages[s] == m_AppliedStages[s]))
            return true;
    return false;
}

void CRenderBatch::AddPrimitives(s32 primitiveType, const void* vertices, u32 count)
{
    AddVertices(primitiveType, vertices, count, kVertexFvf, kVertexStride);
}

void CRenderBatch::AddVertices(s32 primitiveType, const void* vertices, u32 count, u32 fvf, u32 stride)
{
    // Types index the per-type tables; a stride must leave room for at least one vertex.
    if (primitiveType < 1 || primitiveType > 6 || stride == 0 || stride > kQueueBytes || !vertices) {
        core::CLog::Instance().Print("renderer", 2, "AddVertices: bad primitive type %d or stride %u",
                                     primitiveType, stride);
        return;
    }
    if ((m_Dirty && DesiredDiffersFromApplied()) || primitiveType != m_PrimitiveType || fvf != m_Fvf ||
        stride != m_Stride) {
        Flush();
        ApplyStates(false);
        m_PrimitiveType = primitiveType;
        m_PrimitiveKind = primitiveType;
        m_Fvf = fvf;
        m_Stride = stride;
    }
    const u8* src = static_cast<const u8*>(vertices);
    u32 room = kQueueBytes / stride - m_QueuedVertices;
    while (count > room) {
        u32 g = room - room % kVerticesPerPrimitive[primitiveType];
        if (g < kMinimumVertices[primitiveType])
            g = 0;
        if (g == 0 && m_QueuedVertices == 0) {
            // Not even one primitive fits into an empty queue.
            core::CLog::Instance().Print("renderer", 2, "AddVertices: vertices of %u bytes do not fit",
                                         stride);
            return;
        }
        std::memcpy(m_Queue + m_QueuedVertices * stride, src, static_cast<size_t>(g) * stride);
        m_QueuedVertices += g;
        src += static_cast<size_t>(g) * stride;
        count -= g;
        Flush();
        room = kQueueBytes / stride - m_QueuedVertices;
    }
    std::memcpy(m_Queue + m_QueuedVertices * stride, src, static_cast<size_t>(count) * stride);
    m_QueuedVertices += count;
    m_Dirty = false;
}

void CRenderBatch::Flush()
{
    if (m_QueuedVertices == 0)
        return;
    u32 primitives = m_QueuedVertices;
    if (m_PrimitiveType == D3DPT_TRIANGLELIST)
        primitives = m_QueuedVertices / 3;
    else if (m_PrimitiveType == D3DPT_LINELIST)
        primitives = m_QueuedVertices / 2;
    if (IDirect3DDevice9* device = Device())
        device->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(m_PrimitiveType), primitives, m_Queue,
                                m_Stride);
    if (m_Capture && m_Log)
        m_Log->RecordBatch(m_PrimitiveKind, m_Queue, m_QueuedVertices);
    m_QueuedVertices = 0;
}

void CRenderBatch::ApplyStates(bool force)
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return;
    for (u32 s = 0; s < m_StageCount; ++s) {
        CTextureStageRecord& desired = m_DesiredStages[s];
        CTextureStageRecord& applied = m_AppliedStages[s];
        for (u32 id = 0; id < kStateCount; ++id) {
            if (!kSent[id] || !(force || desired.states[id] != applied.states[id]))
                continue;
            if (kSampler[id])
                device->SetSamplerState(s, static_cast<D3DSAMPLERSTATETYPE>(kSamplerType[id]),
                                        desired.states[id]);
            else
                device->SetTextureStageState(s, static_cast<D3DTEXTURESTAGESTATETYPE>(id),
                                             desired.states[id]);
            applied.states[id] = desired.states[id];
        }
        if (force || desired.texture != applied.texture) {
            device->SetTexture(s, desired.texture);
            applied.texture = desired.texture;
            if (m_Capture && m_Log)
                m_Log->RecordTextureChange(desired.texture);
        }
    }
    if (force || m_DesiredTarget != m_AppliedTarget) {
        if (m_DesiredTarget) {
            IDirect3DSurface9* surface = nullptr;
            if (m_DesiredTarget->GetSurfaceLevel(0, &surface) >= 0 && surface) {
                device->SetRenderTarget(0, surface);
                surface->Release();
            }
        } else {
            device->SetRenderTarget(0, GetGraphicsDevice().GetBackBufferSurface());
        }
        m_AppliedTarget = m_DesiredTarget;
    }
    if (force || m_DesiredShader != m_AppliedShader) {
        device->SetPixelShader(m_DesiredShader);
        m_AppliedShader = m_DesiredShader;
    }
    if (force || m_DesiredBlend != m_AppliedBlend) {
        switch (m_DesiredBlend) {
        case BlendNone:
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
            break;
        case BlendNormal:
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            break;
        case BlendAdditive:
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            break;
        default:
            break;
        }
        if (m_Capture && m_Log)
            m_Log->RecordBlendChange(m_DesiredBlend);
        m_AppliedBlend = m_DesiredBlend;
    }
}

} // namespace lv::graphics
