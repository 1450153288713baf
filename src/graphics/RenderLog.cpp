#include "graphics/RenderLog.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "core/FileUtils.h"
#include "core/Log.h"
#include "core/PathUtils.h"
#include "core/TextConvert.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "graphics/Vertex.h"

namespace lv::graphics {

namespace {

WString& SnapshotFolder()
{
    static WString s_Folder;
    return s_Folder;
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}

// Heron's formula; in double, so that whole areas stay whole when truncated.
float Heron(double x0, double y0, double x1, double y1, double x2, double y2)
{
    const double a = std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
    const double b = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    const double c = std::sqrt((x0 - x2) * (x0 - x2) + (y0 - y2) * (y0 - y2));
    const double s = (a + b + c) / 2;
    const double q = s * (s - a) * (s - b) * (s - c);
    return q > 0 ? static_cast<float>(std::sqrt(q)) : 0.0f;
}

const char* TexturePath(CTexture* texture)
{
    return CTextureManager::Instance().GetTexturePath(texture);
}

} // namespace

void CRenderLog::SetSnapshotFolder(const WString& folder)
{
    SnapshotFolder() = folder;
}

const WString& CRenderLog::GetSnapshotFolder()
{
    return SnapshotFolder();
}

void CRenderLog::Begin()
{
    *this = CRenderLog();
}

void CRenderLog::RecordTextureChange(IDirect3DBaseTexture9* deviceTexture)
{
    CTexture* texture =
        deviceTexture ? CTextureManager::Instance().FindTextureByDeviceTexture(deviceTexture) : nullptr;
    size_t index = 0;
    while (index < m_Textures.size() && m_Textures[index] != texture)
        ++index;
    if (index == m_Textures.size()) {
        const u32 vmem = texture ? texture->GetByteSize() : 0;
        m_Textures.push_back(texture);
        m_Vmem.push_back(vmem);
        m_Tc.push_back(0);
        m_Pr.push_back(0);
        m_Tf.push_back(0);
        m_Vp.push_back(0);
        m_VideoMemory += vmem;
    }
    m_CurrentIndex = static_cast<s32>(index);
    if (++m_Tc[index] > 1)
        ++m_SubOptimalChanges;
    if (texture)
        m_Lines.push_back(Format("texture change: #%d(%dx%d): %s", m_CurrentIndex + 1, texture->GetWidth(),
                                 texture->GetHeight(), TexturePath(texture)));
    else
        m_Lines.push_back(Format("texture change: #%d(%dx%d): %s", m_CurrentIndex + 1, 0, 0, "zero texture"));
    ++m_TextureChanges;
    m_CurrentTexture = texture;
}

void CRenderLog::RecordBlendChange(s32 mode)
{
    static const char* const kNames[] = {"BlendNone", "BlendNormal", "BlendAdditive"};
    if (mode >= 1 && mode <= 3)
        m_Lines.push_back(Format("blend mode change: %s", kNames[mode - 1]));
    ++m_BlendChanges;
}

void CRenderLog::RecordBatch(s32 primitiveType, const void* data, u32 count)
{
    static const char* const kTypes[] = {"PointList",    "LineList",      "LineStrip",
                                         "TriangleList", "TriangleStrip", "RenderTriangleFan"};
    if (primitiveType >= 1 && primitiveType <= 6)
        m_Lines.push_back(Format("push a %s with %u vertices:", kTypes[primitiveType - 1], count));
    if (m_CurrentIndex >= 0)
        m_Vp[m_CurrentIndex] += count;
    const CVertex* v = static_cast<const CVertex*>(data);
    if (primitiveType == 4) {
        m_Triangles += count / 3;
        for (u32 t = 0; t + 2 < count; t += 3) {
            const float area = Heron(v[t].x, v[t].y, v[t + 1].x, v[t + 1].y, v[t + 2].x, v[t + 2].y);
            m_Pixels += area;
            if (m_CurrentIndex >= 0)
                m_Pr[m_CurrentIndex] += area;
            if (m_CurrentTexture) {
                const float w = m_CurrentTexture->GetWidth(), h = m_CurrentTexture->GetHeight();
                const float texels = Heron(v[t].u * w, v[t].v * h, v[t + 1].u * w, v[t + 1].v * h,
                                           v[t + 2].u * w, v[t + 2].v * h);
                m_Texels += texels;
                if (m_CurrentIndex >= 0)
                    m_Tf[m_CurrentIndex] += texels;
            }
        }
    }
    const u32 period = primitiveType == 4 ? 3 : primitiveType == 2 ? 2 : 0;
    for (u32 i = 0; i < count; ++i) {
        const u32 c = v[i].diffuse;
        m_Lines.push_back(Format("%sx=%6.1f y=%6.1f u=%2.2f v=%2.2f a=%3d r=%3d g=%3d b=%3d",
                                 period && i % period == 0 ? "    >" : "     ", v[i].x, v[i].y, v[i].u,
                                 v[i].v, static_cast<int>(c >> 24), static_cast<int>((c >> 16) & 0xFF),
                                 static_cast<int>((c >> 8) & 0xFF), static_cast<int>(c & 0xFF)));
    }
}

std::string CRenderLog::FormatReport() const
{
    std::string r;
    r += "General statistics:\n";
    r += Format("Total video memory used to draw this frame: %d bytes\n", static_cast<int>(m_VideoMemory));
    r += Format("Total texture state changes occurs: %d\n", static_cast<int>(m_TextureChanges));
    r += Format("Total texture blend state changes occurs: %d\n", static_cast<int>(m_BlendChanges));
    r += Format("Total triangles drawn: %d\n", static_cast<int>(m_Triangles));
    r += Format("Total sub-optimal texture changes (non-batching): %d\n",
                static_cast<int>(m_SubOptimalChanges));
    r += Format("Total pixels rasterized: %d\n", static_cast<int>(m_Pixels));
    r += Format("Total texels fetched: %d\n\n", static_cast<int>(m_Texels));
    r += "Used surfaces list:\n";
    r += "# - order of appearance\n";
    r += "sx - texture dimension, width\n";
    r += "sy - texture dimension, height\n";
    r += "vmem - texture size in video memory\n";
    r += "tc - amount of texture state changes to this texture\n";
    r += "vp - amount of vertices pushed with this texture\n";
    r += "pr - total pixels rendered with this texture\n";
    r += "tf - total texels fetched from this texture\n";
    r += "bf - total bytes fetched from this texture\n";
    r += "  #,   sx,   sy,    vmem, tc,     vp,     pr,     tf,      bf, bf/vmem, filename\n";
    for (size_t i = 0; i < m_Textures.size(); ++i) {
        CTexture* t = m_Textures[i];
        const u32 w = t ? t->GetWidth() : 0, h = t ? t->GetHeight() : 0;
        const u32 bf =
            t && w != 0 && h != 0 ? static_cast<u32>(static_cast<double>(m_Vmem[i]) * m_Tf[i] / (w * h)) : 0;
        const double ratio = t && m_Vmem[i] ? static_cast<double>(bf) / m_Vmem[i] : 0.0;
        r += Format("%3d, %4d, %4d, %7d, %2d, %6u, %6u, %6u, %7u, %7.2f, %s\n", static_cast<int>(i + 1),
                    static_cast<int>(w), static_cast<int>(h), static_cast<int>(m_Vmem[i]),
                    static_cast<int>(m_Tc[i]), m_Vp[i], static_cast<u32>(m_Pr[i]), static_cast<u32>(m_Tf[i]),
                    bf, ratio, t ? TexturePath(t) : "zero texture");
    }
    r += "\nRender log:\n";
    for (const std::string& line : m_Lines)
        r += line + "\n";
    r += "End of render log.\n";
    return r;
}

bool CRenderLog::WriteSnapshot()
{
    const std::time_t now = std::time(nullptr);
    std::string stamp(std::ctime(&now), 24);
    for (char& c : stamp)
        if (c == ':' || c == ' ')
            c = '_';
    const WString path = core::JoinPath(SnapshotFolder(), ToWide("render_snapshot_at_" + stamp));
    FILE* file = core::FileOpenW(path.c_str(), u"wt");
    if (!file) {
        core::CLog::Instance().Print("graphics", 2, "Cannot create the render snapshot file \"%s\"",
                                     ToNarrow(path).c_str());
        return false;
    }
    const std::string report = FormatReport();
    std::fwrite(report.data(), 1, report.size(), file);
    std::fclose(file);
    return true;
}

} // namespace lv::graphics
