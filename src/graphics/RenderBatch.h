#pragma once
// Cache of the device states that drawing needs and a queue of the vertices of consecutive draws
// that share them: each run reaches the device as one DrawPrimitiveUP. Also opens and closes
// every frame.
#include <vector>

#include "core/Color.h"
#include "core/Types.h"
#include "graphics/DisplayMode.h"
#include "graphics/TextureStageRecord.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

class CRenderLog;

class CRenderBatch
{
public:
    static constexpr u32 kStageCount = 2;
    static constexpr u32 kQueueBytes = 192000;
    static constexpr s32 kNoPrimitive = 0x7FFFFFFF;

    CRenderBatch();
    ~CRenderBatch();
    CRenderBatch(const CRenderBatch&) = delete;
    CRenderBatch& operator=(const CRenderBatch&) = delete;

    // After every device creation or reset: the fixed render states and stage defaults, all sent.
    bool SetupDeviceStates();
    bool BeginFrame();
    bool EndFrame();

    bool EnumDisplayModes(std::vector<CDisplayMode>& modes);
    bool Clear(const CColor& color);

    // Desired-state setters: nothing reaches the device until vertices are queued.
    void SetTexture(u32 stage, IDirect3DBaseTexture9* texture);
    void SetTextureStageState(u32 stage, u32 stateId, u32 value);
    void SetBlendMode(s32 mode);
    void SetPixelShader(IDirect3DPixelShader9* shader);
    void SetRenderTarget(IDirect3DTexture9* target);

    void AddPrimitives(s32 primitiveType, const void* vertices, u32 count);
    void AddVertices(s32 primitiveType, const void* vertices, u32 count, u32 fvf, u32 stride);
    void Flush();
    void ApplyStates(bool force);

    // The next whole frame is recorded and written out as a render snapshot.
    void RequestRenderSnapshot() { m_Capture = true; }

    bool IsDirty() const { return m_Dirty; }
    u32 GetQueuedVertexCount() const { return m_QueuedVertices; }
    s32 GetAppliedBlendMode() const { return m_AppliedBlend; }
    bool UsesEventQuery() const { return m_UseEventQuery; }

private:
    bool DesiredDiffersFromApplied() const;

    bool m_UseEventQuery = true;
    bool m_Dirty = false;
    bool m_Capture = false;
    u32 m_StageCount = kStageCount;
    CTextureStageRecord m_DesiredStages[kStageCount];
    CTextureStageRecord m_AppliedStages[kStageCount];
    s32 m_DesiredBlend = 0;
    s32 m_AppliedBlend = 0;
    IDirect3DPixelShader9* m_DesiredShader = nullptr;
    IDirect3DPixelShader9* m_AppliedShader = nullptr;
    IDirect3DTexture9* m_DesiredTarget = nullptr;
    IDirect3DTexture9* m_AppliedTarget = nullptr;
    s32 m_PrimitiveType = kNoPrimitive;
    s32 m_PrimitiveKind = kNoPrimitive;
    u32 m_Fvf = 0;
    u32 m_Stride = 0;
    u32 m_QueuedVertices = 0;
    CRenderLog* m_Log = nullptr;
    alignas(16) u8 m_Queue[kQueueBytes];
};

} // namespace lv::graphics
