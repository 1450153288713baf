#pragma once
// The single drawing interface of the program. Everything draws in design coordinates (a virtual
// screen of the source size) that the renderer maps onto the back buffer with a per-axis scale
// and a letterbox offset. Owns the render-state stacks and the render batch, brackets every
// frame and recovers from device loss.
#include <memory>
#include <vector>

#include "core/Color.h"
#include "core/FloatRect.h"
#include "core/IntRect.h"
#include "core/Matrix3.h"
#include "core/Point2i.h"
#include "core/Quad.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "graphics/AspectMapping.h"
#include "graphics/DisplayMode.h"
#include "graphics/ShortRect.h"
#include "graphics/Vertex.h"

namespace lv::graphics {

class CImageHandle;
class CPixelShader;
class CRenderBatch;
class CRenderState;
class CRendererHost;
class CTexture;
class CTextRender;
class CFont;

class CRenderer
{
public:
    CRenderer();
    ~CRenderer();
    CRenderer(const CRenderer&) = delete;
    CRenderer& operator=(const CRenderer&) = delete;

    void SetHost(CRendererHost* host) { m_Host = host; }

    // Set-up and screen mode.
    bool EnumDisplayModes();
    void SetSourceSize(s32 width, s32 height);
    void SetPreserveAspectRatio(bool preserve);
    CPoint2i GetSourceSize() const { return CPoint2i(m_SourceWidth, m_SourceHeight); }
    bool SetMode(bool fullscreen, bool modeFlag, s32 width, s32 height);
    bool InitGraphics();
    void RequestModeChange(bool modeFlag);
    void ApplyPendingModeChange();
    bool IsFullscreen() const { return m_IsFullscreen; }
    bool GetModeFlag() const { return m_ModeFlag; }
    s32 GetWidth() const { return m_Width; }
    s32 GetHeight() const { return m_Height; }
    std::vector<CDisplayMode> GetDisplayModes() const { return m_DisplayModes; }

    // Frame and device.
    // Called as every frame begins and ends (the particle statistics sample frames so),
    // without the graphics library knowing who listens. Null removes a hook.
    using FrameHook = void (*)();
    static void SetFrameHooks(FrameHook begin, FrameHook end);
    bool BeginFrame();
    bool EndFrame();
    bool CheckDeviceLost();
    void ReleaseDeviceObjects(bool forReset);
    void Flush();
    void Clear(const CColor& color);
    void SetRenderTarget(CTexture* texture);
    // Copies back-buffer pixels of an area in design coordinates (all when its size is 0) into a
    // new buffer that the caller releases with std::free.
    bool ReadPixels(u32*& pixels, u32& width, u32& height, const CIntRect& area);

    // Geometry and accessors.
    CFloatRect GetViewportRect() const;
    const CVector2* GetAspectScale() const { return &m_AspectK; }
    const CVector2& GetAspectOffset() const { return m_AspectOffset; }
    CRenderState& GetRenderState() { return *m_RenderState; }
    CRenderBatch& GetRenderBatch() { return *m_RenderBatch; }
    CTextRender& GetTextRenderer() { return *m_TextRender; }
    bool IsClipDisabled() const { return m_ClipDisabled; }
    void SetClipDisabled(bool disabled) { m_ClipDisabled = disabled; }
    bool IsDeviceLost() const { return m_DeviceLost; }

    // State, on the render-state stacks.
    void SetBlendMode(s32 mode);
    s32 GetBlendMode() const;
    void MultiplyTransform(const CMatrix3& m);
    const CMatrix3& GetTransform() const;
    void SetColor(const CColor& color);
    const CColor& GetColor() const;
    void SetPixelShader(CPixelShader* shader);
    void IntersectClip(const CQuad& quad);
    void PushState();
    void PopState();
    void PushTransform();
    void PopTransform();
    void PushBlendMode();
    void PopBlendMode();
    void PushColor();
    void PopColor();

    // Drawing, in design coordinates. A uv rectangle is read as (U0, V0, U1, V1).
    void DrawLine(const CVector2& from, const CVector2& to, const CColor& color);
    void FillQuad(const CQuad& quad, const CColor& color);
    void DrawRectOutline(const CFloatRect& rect, const CColor& color);
    void DrawImage(const CImageHandle* image, float x, float y, u32 frame, const CColor& color);
    void DrawImageRect(const CImageHandle* image, const CFloatRect& destination, u32 frame,
                       const CColor& color);
    void DrawImageQuadFrame(const CImageHandle* image, const CQuad& quad, u32 frame, const CColor& color);
    void DrawTiledFrame(const CImageHandle* image, const CFloatRect& destination, u32 frame,
                        const CColor& color);
    void DrawImagePartAt(const CImageHandle* image, float x, float y, const CShortRect& texels,
                         const CColor& color);
    void DrawImagePart(const CImageHandle* image, const CFloatRect& destination, const CShortRect& texels,
                       const CColor& color);
    void DrawImageUv(const CImageHandle* image, const CFloatRect& destination, const CFloatRect& uv,
                     const CColor& color);
    void DrawImageQuad(const CImageHandle* image, const CQuad& quad, const CFloatRect& uv,
                       const CColor& color);
    void DrawImagePartQuad(const CImageHandle* image, const CQuad& quad, const CShortRect& texels,
                           const CColor& color);
    void DrawTexturedTriangle(const CImageHandle* image, const CVector2& p0, const CVector2& p1,
                              const CVector2& p2, const CVector2& t0, const CVector2& t1, const CVector2& t2,
                              const CColor& color);
    void DrawTiledFramePart(const CImageHandle* image, const CFloatRect& destination,
                            const CShortRect& texels, const CColor& color);
    void DrawTiledFrameUv(const CImageHandle* image, const CFloatRect& destination, const CFloatRect& uv,
                          const CColor& color);

    // Text, laid out in a rectangle (flags of CTextRender; a length of 0 means up to the
    // terminating zero; a selection colour of 0 draws no selection, -1, -1 selects nothing).
    bool RenderText(const CFont* font, const WChar* text, const CIntRect& box, s32 flags, u32 length,
                    const CColor& textColour, const CColor& backgroundColour,
                    const CColor& selectedTextColour, const CColor& selectionColour, s32 selectionStart,
                    s32 selectionEnd);
    bool RenderTextString(const CFont* font, const WString& text, const CIntRect& box, s32 flags, u32 length,
                          const CColor& textColour, const CColor& backgroundColour,
                          const CColor& selectedTextColour, const CColor& selectionColour, s32 selectionStart,
                          s32 selectionEnd);
    // Text anchored at a point: anchor 0 centres on it, 1 puts the right (bottom) edge there, any
    // other value the left (top) edge. The scale has no effect.
    void DrawTextAt(const CFont* font, const WChar* text, float x, float y, s32 horizontalAnchor,
                    s32 verticalAnchor, float scale, const CColor& textColour,
                    const CColor& backgroundColour);
    void DrawTextAtString(const CFont* font, const WString& text, float x, float y, s32 horizontalAnchor,
                          s32 verticalAnchor, float scale, const CColor& textColour,
                          const CColor& backgroundColour);

private:
    class CSubmitSink;

    void Remap();
    // Colour of a draw, or false when it is fully transparent.
    bool DrawColor(const CColor& color, bool whiteTakesStackColor, u32& argb) const;
    // Transform, clip, and queue on the batch.
    void Submit(s32 primitiveType, CTexture* texture, CVertex* vertices, u32 count, bool clampToBackBuffer);
    static bool TexelsToUv(const CImageHandle* image, const CShortRect& texels, bool wholeFrameWhenEmpty,
                           CFloatRect& uv);

    bool m_PreserveAspect = true;
    bool m_IsFullscreen = false;
    s32 m_Width = 0;
    s32 m_Height = 0;
    bool m_ModeFlag = true;
    std::vector<CDisplayMode> m_DisplayModes;
    std::unique_ptr<CRenderState> m_RenderState;
    std::unique_ptr<CTextRender> m_TextRender;
    std::unique_ptr<CRenderBatch> m_RenderBatch;
    bool m_DeviceLost = false;
    bool m_ClipDisabled = false;
    s32 m_SourceWidth = 0;
    s32 m_SourceHeight = 0;
    CVector2 m_AspectK = CVector2(1, 1);
    CVector2 m_AspectOffset = CVector2(0, 0);
    bool m_ModeChangePending = false;
    bool m_PendingModeFlag = true;
    CRendererHost* m_Host = nullptr;
};

} // namespace lv::graphics
