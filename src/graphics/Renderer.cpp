#include "graphics/Renderer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/Geometry.h"
#include "core/Log.h"
#include "graphics/BlendMode.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/PixelShader.h"
#include "graphics/RenderBatch.h"
#include "graphics/RenderState.h"
#include "graphics/RendererHost.h"
#include "graphics/TextRender.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"

namespace lv::graphics {

// Hands transformed and clipped vertices to the batch with the draw's states.
class CRenderer::CSubmitSink final : public CVertexSink
{
public:
    CSubmitSink(CRenderer& renderer, s32 primitiveType, CTexture* texture, bool clamp)
        : m_Renderer(renderer), m_Type(primitiveType), m_Texture(texture), m_Clamp(clamp)
    {
    }

    void Emit(const CVertex* vertices, u32 count) override
    {
        if (m_Type == D3DPT_LINELIST)
            count &= ~1u; // an odd vertex would pair the next line's vertices wrongly
        if (count < (m_Type == D3DPT_LINELIST ? 2u : 3u))
            return;
        CVertex clamped[kMaxDrawVertices];
        if (m_Clamp && count <= kMaxDrawVertices) {
            const float w = static_cast<float>(m_Renderer.m_Width);
            const float h = static_cast<float>(m_Renderer.m_Height);
            for (u32 i = 0; i < count; ++i) {
                clamped[i] = vertices[i];
                clamped[i].x = ClampFloat(clamped[i].x, 0, w);
                clamped[i].y = ClampFloat(clamped[i].y, 0, h);
            }
            vertices = clamped;
        }
        CRenderState& state = *m_Renderer.m_RenderState;
        CRenderBatch& batch = *m_Renderer.m_RenderBatch;
        CPixelShader* shader = state.GetPixelShader();
        batch.SetPixelShader(shader ? shader->GetDeviceShader() : nullptr);
        batch.SetBlendMode(state.GetBlendMode());
        if (!m_TextureFetched) {
            m_DeviceTexture = m_Texture ? m_Texture->GetDeviceTexture() : nullptr;
            m_TextureFetched = true;
        }
        batch.SetTexture(0, m_DeviceTexture);
        batch.AddPrimitives(m_Type, vertices, count);
    }

private:
    CRenderer& m_Renderer;
    s32 m_Type;
    CTexture* m_Texture;
    bool m_Clamp;
    bool m_TextureFetched = false;
    IDirect3DBaseTexture9* m_DeviceTexture = nullptr;
};

CRenderer::CRenderer()
    : m_RenderState(new CRenderState), m_TextRender(new CTextRender), m_RenderBatch(new CRenderBatch)
{
}

CRenderer::~CRenderer()
{
    ReleaseDeviceObjects(false);
}

// ---- set-up and screen mode -------------------------------------------------------------------

bool CRenderer::EnumDisplayModes()
{
    m_RenderBatch->EnumDisplayModes(m_DisplayModes);
    // Choosing a mode from an empty list would read past it: offer the desktop size instead.
    s32 w = 0, h = 0;
    if (m_DisplayModes.empty() && m_Host && m_Host->GetDesktopSize(w, h) && w > 0 && h > 0)
        m_DisplayModes.push_back(CDisplayMode{w, h, true});
    return true;
}

void CRenderer::SetSourceSize(s32 width, s32 height)
{
    m_SourceWidth = width;
    m_SourceHeight = height;
    Remap();
}

void CRenderer::SetPreserveAspectRatio(bool preserve)
{
    m_PreserveAspect = preserve;
    Remap();
}

void CRenderer::Remap()
{
    ComputeAspectMapping(m_SourceWidth, m_SourceHeight, m_Width, m_Height, m_PreserveAspect, m_AspectK,
                         m_AspectOffset);
    m_RenderState->SetScreenTransform(m_AspectK, m_AspectOffset);
    if (m_Host)
        m_Host->SetScreenArea(GetViewportRect(), m_AspectK);
}

CFloatRect CRenderer::GetViewportRect() const
{
    return CFloatRect(m_AspectOffset.X, m_AspectOffset.Y, static_cast<float>(m_Width) - 2 * m_AspectOffset.X,
                      static_cast<float>(m_Height) - 2 * m_AspectOffset.Y);
}

bool CRenderer::SetMode(bool fullscreen, bool modeFlag, s32 width, s32 height)
{
    if (fullscreen == m_IsFullscreen && modeFlag == m_ModeFlag && width == m_Width && height == m_Height)
        return true;
    m_IsFullscreen = fullscreen;
    m_ModeFlag = modeFlag;
    m_Width = width;
    m_Height = height;
    return InitGraphics();
}

bool CRenderer::InitGraphics()
{
    ReleaseDeviceObjects(true);
    if (!m_IsFullscreen && m_Host)
        m_Host->GetClientSize(m_Width, m_Height);
    core::CLog::Instance().Print("renderer", 1,
                                 "CRenderer::InitGraphics called with m_SourceWidth=%i m_SourceHeight=%i "
                                 "m_Width=%i m_Height=%i m_IsFullscreen=%i",
                                 m_SourceWidth, m_SourceHeight, m_Width, m_Height, m_IsFullscreen ? 1 : 0);
    m_DeviceLost = true;
    CGraphicsDevice& device = GetGraphicsDevice();
    const bool newDevice = !device.GetDevice();
    // A failed reset shows up again in the next frame's cooperative-level test.
    device.CreateOrReset(m_Host ? m_Host->GetWindowHandle() : nullptr, m_Width, m_Height, m_IsFullscreen);
    // Shaders survive a reset but not a new device: loaded shaders come back on the new one.
    if (newDevice && device.GetDevice())
        RecreateAllPixelShaders();
    Remap();
    core::CLog::Instance().Print("renderer", 1,
                                 "CRenderer::InitGraphics calculated aspect: m_AspectK.X=%f m_AspectK.Y=%f "
                                 "m_AspectOffset.Y=%f m_AspectOffset.X=%f",
                                 m_AspectK.X, m_AspectK.Y, m_AspectOffset.Y, m_AspectOffset.X);
    if (device.GetDevice())
        m_RenderBatch->SetupDeviceStates();
    m_DeviceLost = false;
    return true;
}

void CRenderer::RequestModeChange(bool modeFlag)
{
    m_ModeChangePending = true;
    m_PendingModeFlag = modeFlag;
}

void CRenderer::ApplyPendingModeChange()
{
    if (!m_ModeChangePending || m_IsFullscreen)
        return;
    m_ModeChangePending = false;
    if (!m_Host)
        return;
    s32 w = 0, h = 0;
    m_Host->GetRequestedWindowSize(w, h);
    m_Host->SetScreenMode(false, m_PendingModeFlag, w, h);
}

// ---- frame and device -------------------------------------------------------------------------

bool CRenderer::CheckDeviceLost()
{
    IDirect3DDevice9* device = GetGraphicsDevice().GetDevice();
    if (device) {
        const HRESULT r = device->TestCooperativeLevel();
        if (CheckD3DResult(r, "Test cooperative level", 0)) {
            m_DeviceLost = true;
            if (r != D3DERR_DEVICENOTRESET)
                return false;
        }
    }
    if (m_DeviceLost && m_ModeChangePending && m_IsFullscreen) {
        m_ModeChangePending = false;
        ReleaseDeviceObjects(false);
        if (m_Host)
            m_Host->SetScreenMode(true, m_PendingModeFlag, 0, 0);
        return true;
    }
    if (m_DeviceLost || !device)
        InitGraphics();
    return true;
}

namespace {

CRenderer::FrameHook g_FrameBegin = nullptr;
CRenderer::FrameHook g_FrameEnd = nullptr;

} // namespace

void CRenderer::SetFrameHooks(FrameHook begin, FrameHook end)
{
    g_FrameBegin = begin;
    g_FrameEnd = end;
}

bool CRenderer::BeginFrame()
{
    if (g_FrameBegin)
        g_FrameBegin();
    if (!CheckDeviceLost())
        return false;
    if (!GetGraphicsDevice().GetDevice())
        return false;
    if (!m_RenderBatch->BeginFrame()) {
        m_DeviceLost = true;
        return false;
    }
    m_RenderState->Reset();
    return true;
}

bool CRenderer::EndFrame()
{
    m_RenderBatch->EndFrame();
    if (g_FrameEnd)
        g_FrameEnd();
    return true;
}

void CRenderer::ReleaseDeviceObjects(bool forReset)
{
    CGraphicsDevice& device = GetGraphicsDevice();
    if (forReset) {
        CTextureManager::Instance().ReleaseRenderTargets();
        device.Release(true);
    } else {
        ReleaseAllPixelShaders();
        CTextureManager::Instance().ReleaseAllDeviceTextures();
        device.Release(false);
    }
}

void CRenderer::Flush()
{
    m_RenderBatch->Flush();
}

void CRenderer::Clear(const CColor& color)
{
    m_RenderBatch->Clear(color);
}

void CRenderer::SetRenderTarget(CTexture* texture)
{
    if (!texture)
        m_RenderBatch->SetRenderTarget(nullptr);
    else if (texture->GetFlags() & CTexture::kRenderTarget)
        m_RenderBatch->SetRenderTarget(texture->GetDeviceTexture());
}

bool CRenderer::ReadPixels(u32*& pixels, u32& width, u32& height, const CIntRect& area)
{
    pixels = nullptr;
    width = height = 0;
    if (m_DeviceLost)
        return false;
    IDirect3DDevice9* device = GetGraphicsDevice().GetDevice();
    IDirect3DSurface9* surface = nullptr;
    if (!device || device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface) != 0 || !surface)
        return false;
    CIntRect r(0, 0, m_Width, m_Height);
    if (area.Width != 0 && area.Height != 0) {
        CIntRect clipped;
        area.Intersect(clipped, CIntRect(0, 0, m_SourceWidth, m_SourceHeight));
        const CVector2 p(static_cast<float>(clipped.X) * m_AspectK.X + m_AspectOffset.X,
                         static_cast<float>(clipped.Y) * m_AspectK.Y + m_AspectOffset.Y);
        const CVector2 q(static_cast<float>(clipped.X + clipped.Width) * m_AspectK.X + m_AspectOffset.X,
                         static_cast<float>(clipped.Y + clipped.Height) * m_AspectK.Y + m_AspectOffset.Y);
        r.FromPoints(p, q);
    }
    // The surface may be smaller than the renderer's idea of the back buffer: never read past it.
    D3DSURFACE_DESC desc = {};
    surface->GetDesc(&desc);
    CIntRect bounded;
    r.Intersect(bounded, CIntRect(0, 0, static_cast<s32>(desc.Width), static_cast<s32>(desc.Height)));
    D3DLOCKED_RECT locked = {};
    if (bounded.Width <= 0 || bounded.Height <= 0 || surface->LockRect(&locked, nullptr, 0) < 0) {
        surface->Release();
        return false;
    }
    width = static_cast<u32>(bounded.Width);
    height = static_cast<u32>(bounded.Height);
    pixels = static_cast<u32*>(std::malloc(static_cast<size_t>(width) * height * 4));
    if (pixels) {
        const u8* base = static_cast<const u8*>(locked.pBits);
        for (u32 i = 0; i < height; ++i)
            std::memcpy(pixels + static_cast<size_t>(i) * width,
                        base + static_cast<size_t>(bounded.Y + i) * locked.Pitch +
                            static_cast<size_t>(bounded.X) * 4,
                        static_cast<size_t>(width) * 4);
    }
    surface->UnlockRect();
    surface->Release();
    if (!pixels) {
        width = height = 0;
        return false;
    }
    return true;
}

// ---- state ------------------------------------------------------------------------------------

void CRenderer::SetBlendMode(s32 mode)
{
    m_RenderState->SetBlendMode(mode);
}
s32 CRenderer::GetBlendMode() const
{
    return m_RenderState->GetBlendMode();
}
void CRenderer::MultiplyTransform(const CMatrix3& m)
{
    m_RenderState->MultiplyTransform(m);
}
const CMatrix3& CRenderer::GetTransform() const
{
    return m_RenderState->GetTransform();
}
void CRenderer::SetColor(const CColor& color)
{
    m_RenderState->SetColor(color);
}
const CColor& CRenderer::GetColor() const
{
    return m_RenderState->GetColor();
}
void CRenderer::SetPixelShader(CPixelShader* shader)
{
    m_RenderState->SetPixelShader(shader);
}
void CRenderer::IntersectClip(const CQuad& quad)
{
    m_RenderState->IntersectClip(quad);
}
void CRenderer::PushState()
{
    m_RenderState->PushAll();
}
void CRenderer::PopState()
{
    m_RenderState->PopAll();
}
void CRenderer::PushTransform()
{
    m_RenderState->PushTransform();
}
void CRenderer::PopTransform()
{
    m_RenderState->PopTransform();
}
void CRenderer::PushBlendMode()
{
    m_RenderState->PushBlendMode();
}
void CRenderer::PopBlendMode()
{
    m_RenderState->PopBlendMode();
}
void CRenderer::PushColor()
{
    m_RenderState->PushColor();
}
void CRenderer::PopColor()
{
    m_RenderState->PopColor();
}

// ---- drawing ----------------------------------------------------------------------------------

bool CRenderer::DrawColor(const CColor& color, bool whiteTakesStackColor, u32& argb) const
{
    const CColor& top = m_RenderState->GetColor();
    if (color.A == 0 || top.A == 0)
        return false;
    if (whiteTakesStackColor && color.IsOpaqueWhite()) {
        argb = top.ToArgb();
    } else {
        CColor product;
        color.Modulated(product, top);
        argb = product.ToArgb();
    }
    return true;
}

void CRenderer::Submit(s32 primitiveType, CTexture* texture, CVertex* vertices, u32 count,
                       bool clampToBackBuffer)
{
    CSubmitSink sink(*this, primitiveType, texture, clampToBackBuffer);
    m_RenderState->TransformAndClip(vertices, count, m_ClipDisabled, sink);
}

namespace {

CVertex MakeVertex(const CVector2& p, u32 argb, float u = 0, float v = 0)
{
    CVertex vertex;
    vertex.x = p.X;
    vertex.y = p.Y;
    vertex.diffuse = argb;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

} // namespace

void CRenderer::DrawLine(const CVector2& from, const CVector2& to, const CColor& color)
{
    u32 argb = 0;
    if (!DrawColor(color, false, argb))
        return;
    CVertex v[kMaxDrawVertices];
    v[0] = MakeVertex(from, argb);
    v[1] = MakeVertex(to, argb);
    Submit(D3DPT_LINELIST, nullptr, v, 2, false);
}

void CRenderer::DrawRectOutline(const CFloatRect& rect, const CColor& color)
{
    CQuad q;
    q.FromRect(rect);
    DrawLine(q.GetCorner(3), q.GetCorner(0), color);
    DrawLine(q.GetCorner(0), q.GetCorner(1), color);
    DrawLine(q.GetCorner(1), q.GetCorner(2), color);
    DrawLine(q.GetCorner(2), q.GetCorner(3), color);
}

void CRenderer::FillQuad(const CQuad& quad, const CColor& color)
{
    u32 argb = 0;
    if (!DrawColor(color, false, argb))
        return;
    CVertex v[kMaxDrawVertices];
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i)
        v[i] = MakeVertex(quad.GetCorner(order[i]), argb);
    Submit(D3DPT_TRIANGLELIST, nullptr, v, 6, true);
}

void CRenderer::DrawImageUv(const CImageHandle* image, const CFloatRect& d, const CFloatRect& uv,
                            const CColor& color)
{
    u32 argb = 0;
    if (!image || !DrawColor(color, true, argb))
        return;
    const float x0 = d.X, y0 = d.Y, x1 = d.X + d.Width, y1 = d.Y + d.Height;
    const float u0 = uv.X, v0 = uv.Y, u1 = uv.Width, v1 = uv.Height;
    CVertex v[kMaxDrawVertices];
    v[0] = MakeVertex(CVector2(x0, y0), argb, u0, v0);
    v[1] = MakeVertex(CVector2(x1, y0), argb, u1, v0);
    v[2] = MakeVertex(CVector2(x0, y1), argb, u0, v1);
    v[3] = MakeVertex(CVector2(x0, y1), argb, u0, v1);
    v[4] = MakeVertex(CVector2(x1, y0), argb, u1, v0);
    v[5] = MakeVertex(CVector2(x1, y1), argb, u1, v1);
    Submit(D3DPT_TRIANGLELIST, image->GetTexture(), v, 6, false);
}

void CRenderer::DrawImage(const CImageHandle* image, float x, float y, u32 frame, const CColor& color)
{
    if (!image)
        return;
    DrawImageUv(image, CFloatRect(x, y, image->GetWidth(), image->GetHeight()), image->GetFrameUv(frame),
                color);
}

void CRenderer::DrawImageRect(const CImageHandle* image, const CFloatRect& destination, u32 frame,
                              const CColor& color)
{
    if (!image)
        return;
    DrawImageUv(image, destination, image->GetFrameUv(frame), color);
}

bool CRenderer::TexelsToUv(const CImageHandle* image, const CShortRect& t, bool wholeFrameWhenEmpty,
                           CFloatRect& uv)
{
    if (wholeFrameWhenEmpty && (t.width == 0 || t.height == 0)) {
        uv = image->GetFirstFrameUv();
        return true;
    }
    const CTexture* texture = image->GetTexture();
    if (!texture || texture->GetWidth() == 0 || texture->GetHeight() == 0)
        return false;
    const float w = texture->GetWidth(), h = texture->GetHeight();
    uv = CFloatRect(t.x / w, t.y / h, (t.x + t.width) / w, (t.y + t.height) / h);
    return true;
}

void CRenderer::DrawImagePart(const CImageHandle* image, const CFloatRect& destination,
                              const CShortRect& texels, const CColor& color)
{
    CFloatRect uv;
    if (image && TexelsToUv(image, texels, true, uv))
        DrawImageUv(image, destination, uv, color);
}

void CRenderer::DrawImagePartAt(const CImageHandle* image, float x, float y, const CShortRect& texels,
                                const CColor& color)
{
    DrawImagePart(image, CFloatRect(x, y, texels.width, texels.height), texels, color);
}

void CRenderer::DrawImageQuad(const CImageHandle* image, const CQuad& quad, const CFloatRect& uv,
                              const CColor& color)
{
    u32 argb = 0;
    if (!image || !DrawColor(color, true, argb))
        return;
    const float u0 = uv.X, v0 = uv.Y, u1 = uv.Width, v1 = uv.Height;
    CVector2 centre;
    MapUVToQuad(centre, quad, CVector2(0.5f, 0.5f));
    const CVertex m = MakeVertex(centre, argb, (u0 + u1) / 2, (v0 + v1) / 2);
    const CVertex c[4] = {
        MakeVertex(quad.GetCorner(0), argb, u0, v0), MakeVertex(quad.GetCorner(1), argb, u1, v0),
        MakeVertex(quad.GetCorner(2), argb, u1, v1), MakeVertex(quad.GetCorner(3), argb, u0, v1)};
    CVertex v[kMaxDrawVertices];
    const int pairs[4][2] = {{0, 3}, {1, 0}, {2, 1}, {3, 2}};
    for (int i = 0; i < 4; ++i) {
        v[3 * i] = m;
        v[3 * i + 1] = c[pairs[i][0]];
        v[3 * i + 2] = c[pairs[i][1]];
    }
    Submit(D3DPT_TRIANGLELIST, image->GetTexture(), v, 12, false);
}

void CRenderer::DrawImageQuadFrame(const CImageHandle* image, const CQuad& quad, u32 frame,
                                   const CColor& color)
{
    if (image)
        DrawImageQuad(image, quad, image->GetFrameUv(frame), color);
}

void CRenderer::DrawImagePartQuad(const CImageHandle* image, const CQuad& quad, const CShortRect& texels,
                                  const CColor& color)
{
    CFloatRect uv;
    if (image && TexelsToUv(image, texels, true, uv))
        DrawImageQuad(image, quad, uv, color);
}

void CRenderer::DrawTexturedTriangle(const CImageHandle* image, const CVector2& p0, const CVector2& p1,
                                     const CVector2& p2, const CVector2& t0, const CVector2& t1,
                                     const CVector2& t2, const CColor& color)
{
    u32 argb = 0;
    if (!image || !DrawColor(color, false, argb))
        return;
    CVertex v[kMaxDrawVertices];
    v[0] = MakeVertex(p0, argb, t0.X, t0.Y);
    v[1] = MakeVertex(p1, argb, t1.X, t1.Y);
    v[2] = MakeVertex(p2, argb, t2.X, t2.Y);
    Submit(D3DPT_TRIANGLELIST, image->GetTexture(), v, 3, false);
}

void CRenderer::DrawTiledFrame(const CImageHandle* image, const CFloatRect& destination, u32 frame,
                               const CColor& color)
{
    if (image)
        DrawTiledFrameUv(image, destination, image->GetFrameUv(frame), color);
}

void CRenderer::DrawTiledFramePart(const CImageHandle* image, const CFloatRect& destination,
                                   const CShortRect& texels, const CColor& color)
{
    CFloatRect uv;
    if (image && TexelsToUv(image, texels, false, uv))
        DrawTiledFrameUv(image, destination, uv, color);
}

void CRenderer::DrawTiledFrameUv(const CImageHandle* image, const CFloatRect& d, const CFloatRect& r,
                                 const CColor& color)
{
    if (!image)
        return;
    const CFloatRect& f = image->GetFirstFrameUv();
    const float ru0 = r.X, rv0 = r.Y, ru1 = r.Width, rv1 = r.Height;
    const float pw = image->GetWidth() * (ru1 - ru0) / (f.Width - f.X);
    const float ph = image->GetHeight() * (rv1 - rv0) / (f.Height - f.Y);
    // An image without a frame area gives no finite part size.
    if (pw == 0 || ph == 0 || !std::isfinite(pw) || !std::isfinite(ph))
        return;
    if (pw > d.Width || ph > d.Height || (pw == d.Width && ph == d.Height)) {
        DrawImageUv(image, d, r, color);
        return;
    }
    const float cw = pw / 3, ch = ph / 3;
    const float ua = ru0 + (ru1 - ru0) / 3, ub = ru0 + 2 * (ru1 - ru0) / 3;
    const float va = rv0 + (rv1 - rv0) / 3, vb = rv0 + 2 * (rv1 - rv0) / 3;
    // Bounded so that a tiny part size cannot make the cell count overflow.
    const auto count = [](float span, float cell) {
        const float n = std::floor((span - 2 * cell) / cell);
        return n < 0 ? 0 : n > 65536 ? 65536 : static_cast<s32>(n);
    };
    const s32 nx = count(d.Width, cw), ny = count(d.Height, ch);
    const float rx = d.Width - (nx + 2) * cw, ry = d.Height - (ny + 2) * ch;

    struct CSpan
    {
        float size, t0, t1;
    };
    CSpan columns[3], rows[3];
    columns[0] = {cw, ru0, ua};
    columns[1] = {rx, ua, ua + (ub - ua) * rx / cw};
    columns[2] = {cw, ub, ru1};
    rows[0] = {ch, rv0, va};
    rows[1] = {ry, va, va + (vb - va) * ry / ch};
    rows[2] = {ch, vb, rv1};
    const bool partialColumn = rx >= 1, partialRow = ry >= 1;

    const auto drawRow = [&](float y, float height, float v0, float v1) {
        float x = d.X;
        const auto cell = [&](float width, float u0, float u1) {
            DrawImageUv(image, CFloatRect(x, y, width, height), CFloatRect(u0, v0, u1, v1), color);
            x += width;
        };
        cell(columns[0].size, columns[0].t0, columns[0].t1);
        for (s32 i = 0; i < nx; ++i)
            cell(cw, ua, ub);
        if (partialColumn)
            cell(columns[1].size, columns[1].t0, columns[1].t1);
        cell(columns[2].size, columns[2].t0, columns[2].t1);
    };
    float y = d.Y;
    drawRow(y, ch, rows[0].t0, rows[0].t1);
    y += ch;
    for (s32 i = 0; i < ny; ++i) {
        drawRow(y, ch, va, vb);
        y += ch;
    }
    if (partialRow) {
        drawRow(y, rows[1].size, rows[1].t0, rows[1].t1);
        y += rows[1].size;
    }
    drawRow(y, ch, rows[2].t0, rows[2].t1);
}

} // namespace lv::graphics

// ---- text -------------------------------------------------------------------------------------

namespace lv::graphics {

bool CRenderer::RenderText(const CFont* font, const WChar* text, const CIntRect& box, s32 flags, u32 length,
                           const CColor& textColour, const CColor& backgroundColour,
                           const CColor& selectedTextColour, const CColor& selectionColour,
                           s32 selectionStart, s32 selectionEnd)
{
    return m_TextRender->RenderText(*this, *m_RenderState, font, text, &box, static_cast<u32>(flags), length,
                                    &textColour, &backgroundColour, &selectedTextColour, &selectionColour,
                                    selectionStart, selectionEnd);
}

bool CRenderer::RenderTextString(const CFont* font, const WString& text, const CIntRect& box, s32 flags,
                                 u32 length, const CColor& textColour, const CColor& backgroundColour,
                                 const CColor& selectedTextColour, const CColor& selectionColour,
                                 s32 selectionStart, s32 selectionEnd)
{
    return RenderText(font, text.c_str(), box, flags, length, textColour, backgroundColour,
                      selectedTextColour, selectionColour, selectionStart, selectionEnd);
}

void CRenderer::DrawTextAt(const CFont* font, const WChar* text, float x, float y, s32 horizontalAnchor,
                           s32 verticalAnchor, float, const CColor& textColour,
                           const CColor& backgroundColour)
{
    if (!font || !text || !*text)
        return;
    s32 flags = 0;
    if (horizontalAnchor == 0) {
        flags |= CTextRender::kAlignCenter;
        x -= 500;
    } else if (horizontalAnchor == 1) {
        flags |= CTextRender::kAlignRight;
        x -= 1000;
    }
    if (verticalAnchor == 0) {
        flags |= CTextRender::kAlignMiddle;
        y -= 500;
    } else if (verticalAnchor == 1) {
        flags |= CTextRender::kAlignBottom;
        y -= 1000;
    }
    CIntRect box;
    box.FromFloatPosition(x, y, 1000, 1000);
    const CColor none(0u);
    RenderText(font, text, box, flags, 0, textColour, backgroundColour, none, none, -1, -1);
}

void CRenderer::DrawTextAtString(const CFont* font, const WString& text, float x, float y,
                                 s32 horizontalAnchor, s32 verticalAnchor, float scale,
                                 const CColor& textColour, const CColor& backgroundColour)
{
    if (text.empty())
        return;
    DrawTextAt(font, text.c_str(), x, y, horizontalAnchor, verticalAnchor, scale, textColour,
               backgroundColour);
}

} // namespace lv::graphics
