#pragma once
// Records everything the render batch sends to the device during one frame (texture changes,
// blend changes, every batch of vertices) and writes a report of it.
#include <string>
#include <vector>

#include "core/Types.h"
#include "platform/d3d9/d3d9.h"

namespace lv::graphics {

class CTexture;

class CRenderLog
{
public:
    void Begin();
    void RecordTextureChange(IDirect3DBaseTexture9* deviceTexture);
    void RecordBlendChange(s32 mode);
    void RecordBatch(s32 primitiveType, const void* vertices, u32 count);
    // Writes "render_snapshot_at_<time>" into the snapshot folder; false (and a log line) when the
    // file cannot be created.
    bool WriteSnapshot();
    // The report as it would be written.
    std::string FormatReport() const;

    // Where snapshots go: the application sets its user data folder.
    static void SetSnapshotFolder(const WString& folder);
    static const WString& GetSnapshotFolder();

    const std::vector<std::string>& GetLines() const { return m_Lines; }
    u32 GetTextureChanges() const { return m_TextureChanges; }
    u32 GetSubOptimalChanges() const { return m_SubOptimalChanges; }
    u32 GetTriangles() const { return m_Triangles; }

private:
    std::vector<CTexture*> m_Textures;
    std::vector<u32> m_Vmem;
    std::vector<u32> m_Tc;
    std::vector<float> m_Pr;
    std::vector<float> m_Tf;
    std::vector<u32> m_Vp;
    std::vector<std::string> m_Lines;
    u32 m_TextureChanges = 0;
    u32 m_BlendChanges = 0;
    u32 m_VideoMemory = 0;
    u32 m_Triangles = 0;
    u32 m_SubOptimalChanges = 0;
    float m_Pixels = 0;
    float m_Texels = 0;
    CTexture* m_CurrentTexture = nullptr;
    s32 m_CurrentIndex = -1;
};

} // namespace lv::graphics
