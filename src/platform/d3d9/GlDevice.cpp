#include "platform/d3d9/DriverAllocations.h"
#include "platform/d3d9/GlDevice.h"

#include "platform/DisplayModes.h"
#include "platform/PlatformLog.h"
#include "platform/d3d9/GlBackBuffer.h"
#include "platform/d3d9/GlPixelShader.h"
#include "platform/d3d9/GlQuery.h"
#include "platform/d3d9/GlShaders.h"
#include "platform/d3d9/GlTexture.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <epoxy/gl.h>
#include <string>

namespace lv::platform {
namespace {

// Direct3D blend factors 1..10 in their own order.
GLenum GlBlendFactor(DWORD factor, GLenum fallback)
{
    static const GLenum factors[] = {GL_ZERO,      GL_ONE,           GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                     GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
                                     GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    return factor >= 1 && factor <= 10 ? factors[factor - 1] : fallback;
}

GLint GlAddress(DWORD mode)
{
    switch (mode) {
    case D3DTADDRESS_WRAP:
        return GL_REPEAT;
    case 2: // mirror
        return GL_MIRRORED_REPEAT;
    case 4: // border, whose colour defaults to transparent black
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_CLAMP_TO_EDGE;
    }
}

GLint GlFilter(DWORD filter) { return filter == D3DTEXF_POINT || filter == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR; }

// Vertices a draw of `count` primitives consumes, 0 for an unknown type.
UINT VertexCount(D3DPRIMITIVETYPE type, UINT count, GLenum& mode)
{
    switch (type) {
    case D3DPT_POINTLIST:
        mode = GL_POINTS;
        return count;
    case D3DPT_LINELIST:
        mode = GL_LINES;
        return count * 2;
    case D3DPT_LINESTRIP:
        mode = GL_LINE_STRIP;
        return count + 1;
    case D3DPT_TRIANGLELIST:
        mode = GL_TRIANGLES;
        return count * 3;
    case D3DPT_TRIANGLESTRIP:
        mode = GL_TRIANGLE_STRIP;
        return count + 2;
    case D3DPT_TRIANGLEFAN:
        mode = GL_TRIANGLE_FAN;
        return count + 2;
    }
    return 0;
}

inline constexpr DWORD kKnownFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

} // namespace

HRESULT CGlDevice::Create(IDirect3D9* parent, const std::shared_ptr<CGlContext>& context,
                          D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device)
{
    auto* created = new CGlDevice(parent, context);
    if (!created->CreateGlObjects()) {
        created->Release();
        return D3DERR_NOTAVAILABLE;
    }
    const HRESULT hr = created->ApplyPresentation(params);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    created->SetDefaultStates();
    created->RememberDesktopMode();
    *device = created;
    return D3D_OK;
}

CGlDevice::CGlDevice(IDirect3D9* parent, const std::shared_ptr<CGlContext>& context)
    : m_Direct3D(parent), m_Context(context)
{
    m_Direct3D->AddRef();
}

CGlDevice::~CGlDevice()
{
    m_Context->MakeCurrent();
    ReleaseBindings();
    if (m_BackBuffer)
        m_BackBuffer->Abandon();
    glDeleteSamplers(GLsizei(kStages), m_Samplers);
    glDeleteBuffers(1, &m_VertexBuffer);
    glDeleteVertexArrays(1, &m_VertexArray);
    for (const auto& entry : m_FixedPrograms)
        glDeleteProgram(entry.second.Program);
    m_Context.reset();
    m_Direct3D->Release();
}

ULONG CGlDevice::Release()
{
    const ULONG refs = --m_Refs;
    if (refs == 0)
        delete this;
    return refs;
}

bool CGlDevice::CreateGlObjects()
{
    m_Context->MakeCurrent();
    m_HasClipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    // The default combination, built now so that a device that cannot build its
    // programs fails at creation.
    SetDefaultStates();
    if (!FixedProgram(FixedProgramKey()))
        return false;

    glGenVertexArrays(1, &m_VertexArray);
    glBindVertexArray(m_VertexArray);
    glGenBuffers(1, &m_VertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, m_VertexBuffer);
    // Room for several frames of a busy scene before the store is replaced.
    m_RingSize = size_t(4) << 20;
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m_RingSize), nullptr, GL_STREAM_DRAW);
    glGenSamplers(GLsizei(kStages), m_Samplers);
    for (DWORD s = 0; s < kStages; ++s)
        glBindSampler(s, m_Samplers[s]);
    // Exact colours: no dithering, no depth, nothing culled.
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    return true;
}

HRESULT CGlDevice::ApplyPresentation(D3DPRESENT_PARAMETERS* params)
{
    if (!params)
        return D3DERR_INVALIDCALL;
    const D3DFORMAT format = params->BackBufferFormat;
    if (format != D3DFMT_UNKNOWN && format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8)
        return D3DERR_INVALIDCALL;
    SDL_Window* window = m_Context->GetWindow();
    m_Fullscreen = !params->Windowed;
    // Full screen covers the desktop at its own mode and scales the back buffer onto it;
    // switching the display's mode would gain nothing on today's displays. Offscreen the window
    // keeps the stand-in desktop's size the window layer gave it.
    if (m_Fullscreen) {
        if (params->BackBufferWidth == 0 || params->BackBufferHeight == 0)
            return D3DERR_INVALIDCALL;
        if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != SDL_WINDOW_FULLSCREEN_DESKTOP &&
            !IsOffscreenVideo())
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowFullscreen(window, 0);
    }
    UINT width = params->BackBufferWidth, height = params->BackBufferHeight;
    if (width == 0 || height == 0) {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        width = UINT(std::max(w, 1));
        height = UINT(std::max(h, 1));
    }
    params->BackBufferWidth = width;
    params->BackBufferHeight = height;
    params->BackBufferFormat = D3DFMT_X8R8G8B8;
    if (params->BackBufferCount == 0)
        params->BackBufferCount = 1;
    if (!m_BackBuffer || m_BackBuffer->GetWidth() != width || m_BackBuffer->GetHeight() != height) {
        if (m_BackBuffer)
            m_BackBuffer->Abandon();
        m_BackBuffer = new CGlBackBuffer(m_Context, width, height);
    }
    // A window of the back buffer's own size is drawn into directly: Present then only swaps,
    // instead of copying every frame. Full screen scales, so it keeps the framebuffer object.
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    m_BackBuffer->SetDirect(m_HasClipControl && !m_Fullscreen && UINT(drawableWidth) == width &&
                            UINT(drawableHeight) == height);
    return D3D_OK;
}

void CGlDevice::ReleaseBindings()
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

void CGlDevice::SetDefaultStates()
{
    std::fill(std::begin(m_RenderStates), std::end(m_RenderStates), 0);
    m_RenderStates[D3DRS_ZWRITEENABLE] = 1;
    m_RenderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    m_RenderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    m_RenderStates[D3DRS_CULLMODE] = 3; // counter-clockwise, never applied: nothing is culled
    m_RenderStates[D3DRS_CLIPPING] = 1;
    m_RenderStates[D3DRS_LIGHTING] = 1;
    for (DWORD s = 0; s < kStages; ++s) {
        DWORD* stage = m_StageStates[s];
        std::fill(stage, stage + 33, 0);
        stage[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        stage[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        stage[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        stage[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        stage[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        stage[D3DTSS_TEXCOORDINDEX] = s;
        DWORD* sampler = m_SamplerStates[s];
        std::fill(sampler, sampler + 14, 0);
        sampler[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        m_SamplerDirty[s] = true;
    }
    m_Fvf = 0;
}

void CGlDevice::RememberDesktopMode()
{
    SDisplayMode mode;
    if (GetDesktopMode(mode, SDL_GetWindowDisplayIndex(m_Context->GetWindow()))) {
        m_DesktopWidth = mode.Width;
        m_DesktopHeight = mode.Height;
        m_DesktopRefresh = mode.RefreshRate;
    }
}

void CGlDevice::CheckDisplayChange()
{
    // A full-screen Direct3D 9 device is lost when the display mode changes, and the program
    // applies its screen mode again only then; OpenGL keeps going, so the loss is made up here.
    if (!m_Fullscreen || m_Loss != ELoss::None)
        return;
    const int width = m_DesktopWidth, height = m_DesktopHeight, refresh = m_DesktopRefresh;
    RememberDesktopMode();
    if (width != m_DesktopWidth || height != m_DesktopHeight || refresh != m_DesktopRefresh)
        m_Loss = ELoss::Lost;
}

void CGlDevice::SimulateLoss() { m_Loss = ELoss::Lost; }

bool CGlDevice::ReadWindowPixels(std::vector<DWORD>& pixels, UINT& width, UINT& height)
{
    m_Context->MakeCurrent();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_Context->GetWindow(), &w, &h);
    if (w <= 0 || h <= 0)
        return false;
    std::vector<DWORD> rows(size_t(w) * size_t(h));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    m_BoundFramebuffer = kUnknown;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    {
        const CDriverAllocations driver;
        glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    }
    if (glGetError() != GL_NO_ERROR)
        return false;
    // The window's framebuffer has its bottom row first.
    pixels.resize(rows.size());
    for (int y = 0; y < h; ++y)
        std::copy_n(rows.data() + size_t(h - 1 - y) * size_t(w), w, pixels.data() + size_t(y) * size_t(w));
    width = UINT(w);
    height = UINT(h);
    return true;
}

HRESULT CGlDevice::TestCooperativeLevel()
{
    CheckDisplayChange();
    switch (m_Loss) {
    case ELoss::None:
        return D3D_OK;
    case ELoss::Lost:
        m_Loss = ELoss::NotReset;
        return D3DERR_DEVICELOST;
    case ELoss::NotReset:
        break;
    }
    return D3DERR_DEVICENOTRESET;
}

HRESULT CGlDevice::Reset(D3DPRESENT_PARAMETERS* params)
{
    // A failed Reset leaves the device lost and waiting for another Reset, as Direct3D 9 does:
    // the caller learns it from TestCooperativeLevel and tries again.
    const auto refuse = [this](HRESULT hr) {
        m_Loss = ELoss::NotReset;
        return hr;
    };
    if (!params)
        return refuse(D3DERR_INVALIDCALL);
    for (CGlTexture* texture : m_Context->DefaultPoolTextures()) {
        if (texture->IsHeldByApplication()) {
            Log("graphics", 1, "Reset refused: a DEFAULT-pool texture is still held");
            return refuse(D3DERR_INVALIDCALL);
        }
    }
    if (m_BackBuffer && m_BackBuffer->IsHeldByApplication()) {
        Log("graphics", 1, "Reset refused: the back buffer surface is still held");
        return refuse(D3DERR_INVALIDCALL);
    }
    m_Context->MakeCurrent();
    m_InScene = false;
    ReleaseBindings();
    const HRESULT hr = ApplyPresentation(params);
    if (FAILED(hr))
        return refuse(hr);
    SetDefaultStates();
    RememberDesktopMode();
    m_Loss = ELoss::None;
    return D3D_OK;
}

HRESULT CGlDevice::Present(const RECT* /*source*/, const RECT* /*dest*/, HWND /*destWindow*/,
                           const RGNDATA* /*dirty*/)
{
    if (m_InScene)
        return D3DERR_INVALIDCALL;
    CheckDisplayChange();
    if (m_Loss != ELoss::None)
        return D3DERR_DEVICELOST;
    m_Context->MakeCurrent();
    SDL_Window* window = m_Context->GetWindow();
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    const GLint bw = GLint(m_BackBuffer->GetWidth()), bh = GLint(m_BackBuffer->GetHeight());
    if (m_BackBuffer->IsDirect()) {
        // A window resized behind the device's back gets the framebuffer object from the next
        // frame on, which Present then scales.
        if (width != bw || height != bh)
            m_BackBuffer->SetDirect(false);
        SDL_GL_SwapWindow(window);
        return D3D_OK;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_BackBuffer->GetFramebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    m_BoundFramebuffer = kUnknown;
    const CDriverAllocations driver;
    // The back buffer keeps its top row first; the window's framebuffer wants the bottom row.
    glBlitFramebuffer(0, 0, bw, bh, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                      bw == width && bh == height ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(window);
    return D3D_OK;
}

HRESULT CGlDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface)
{
    if (swapChain != 0 || index != 0 || type != D3DBACKBUFFER_TYPE_MONO || !surface)
        return D3DERR_INVALIDCALL;
    m_BackBuffer->AddRef();
    *surface = m_BackBuffer;
    return D3D_OK;
}

HRESULT CGlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                 IDirect3DTexture9** texture, void** sharedHandle)
{
    // One level is all the program ever asks for, and all this layer keeps.
    if (levels > 1 || sharedHandle || !texture)
        return D3DERR_INVALIDCALL;
    CGlTexture* created = nullptr;
    const HRESULT hr = CGlTexture::Create(m_Context, width, height, usage, format, pool, &created);
    if (SUCCEEDED(hr))
        *texture = created;
    return hr;
}

HRESULT CGlDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (index != 0 || !surface)
        return D3DERR_INVALIDCALL;
    CGlTexture* target = nullptr;
    if (surface != m_BackBuffer) {
        auto* textureSurface = dynamic_cast<CGlTextureSurface*>(surface);
        if (!textureSurface || !textureSurface->GetTexture().IsRenderTarget())
            return D3DERR_INVALIDCALL;
        target = &textureSurface->GetTexture();
    }
    if (target)
        target->AddBinding();
    if (m_RenderTarget)
        m_RenderTarget->RemoveBinding();
    m_RenderTarget = target;
    return D3D_OK;
}

HRESULT CGlDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (index != 0 || !surface)
        return D3DERR_INVALIDCALL;
    if (m_RenderTarget)
        return m_RenderTarget->GetSurfaceLevel(0, surface);
    m_BackBuffer->AddRef();
    *surface = m_BackBuffer;
    return D3D_OK;
}

HRESULT CGlDevice::BeginScene()
{
    if (m_InScene)
        return D3DERR_INVALIDCALL;
    m_InScene = true;
    return D3D_OK;
}

HRESULT CGlDevice::EndScene()
{
    if (!m_InScene)
        return D3DERR_INVALIDCALL;
    m_InScene = false;
    return D3D_OK;
}

void CGlDevice::BindTarget(UINT& width, UINT& height)
{
    // Making a render target's framebuffer (on its first use) binds it behind the cache's back.
    const unsigned framebuffer = m_RenderTarget ? m_RenderTarget->GetFramebuffer() : m_BackBuffer->GetFramebuffer();
    SyncBindings();
    BindFramebuffer(framebuffer);
    // The window's rows run bottom first: with the clip origin at the upper left, the same
    // vertices cover the same pixels, by the same fill rule, as in a framebuffer object.
    const bool window = framebuffer == 0;
    if (window != m_TargetIsWindow || !m_ClipOriginKnown) {
        if (m_HasClipControl)
            glClipControl(window ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
        m_TargetIsWindow = window;
        m_ClipOriginKnown = true;
    }
    width = m_RenderTarget ? m_RenderTarget->GetWidth() : m_BackBuffer->GetWidth();
    height = m_RenderTarget ? m_RenderTarget->GetHeight() : m_BackBuffer->GetHeight();
    if (width != m_ViewportWidth || height != m_ViewportHeight) {
        glViewport(0, 0, GLsizei(width), GLsizei(height));
        m_ViewportWidth = width;
        m_ViewportHeight = height;
    }
}

HRESULT CGlDevice::Clear(DWORD count, const RECT* rects, DWORD flags, DWORD color, float /*z*/, DWORD /*stencil*/)
{
    // There is neither a depth nor a stencil buffer to clear.
    if (flags != D3DCLEAR_TARGET || (count > 0 && !rects))
        return D3DERR_INVALIDCALL;
    m_Context->MakeCurrent();
    SyncBindings();
    UINT width = 0, height = 0;
    BindTarget(width, height);
    ApplyAlphaWrites(true);
    glClearColor(float((color >> 16) & 255) / 255.0f, float((color >> 8) & 255) / 255.0f, float(color & 255) / 255.0f,
                 m_TargetIsWindow ? 1.0f : float(color >> 24) / 255.0f);
    const CDriverAllocations driver;
    if (count == 0) {
        glClear(GL_COLOR_BUFFER_BIT);
        return D3D_OK;
    }
    glEnable(GL_SCISSOR_TEST);
    for (DWORD i = 0; i < count; ++i) {
        const LONG left = std::max<LONG>(rects[i].left, 0), top = std::max<LONG>(rects[i].top, 0);
        const LONG right = std::min<LONG>(rects[i].right, LONG(width));
        const LONG bottom = std::min<LONG>(rects[i].bottom, LONG(height));
        if (left >= right || top >= bottom)
            continue;
        // Rows are stored top first, so a rectangle's top is its GL y; the window's run the
        // other way.
        glScissor(left, m_TargetIsWindow ? LONG(height) - bottom : top, right - left, bottom - top);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    return D3D_OK;
}

HRESULT CGlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= 256)
        return D3DERR_INVALIDCALL;
    m_RenderStates[state] = value;
    return D3D_OK;
}

HRESULT CGlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= kStages)
        return D3DERR_INVALIDCALL;
    auto* glTexture = dynamic_cast<CGlTexture*>(texture);
    if (texture && !glTexture)
        return D3DERR_INVALIDCALL;
    if (glTexture == m_Textures[stage])
        return D3D_OK;
    if (glTexture)
        glTexture->AddBinding();
    if (m_Textures[stage])
        m_Textures[stage]->RemoveBinding();
    m_Textures[stage] = glTexture;
    return D3D_OK;
}

HRESULT CGlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= kStages || type >= 33)
        return D3DERR_INVALIDCALL;
    m_StageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT CGlDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= kStages || type >= 14)
        return D3DERR_INVALIDCALL;
    if (m_SamplerStates[sampler][type] != value) {
        m_SamplerStates[sampler][type] = value;
        m_SamplerDirty[sampler] = true;
    }
    return D3D_OK;
}

void CGlDevice::ApplySampler(DWORD stage, bool pointSampled)
{
    if (!m_SamplerDirty[stage] && pointSampled == m_SamplerPoint[stage])
        return;
    const DWORD* states = m_SamplerStates[stage];
    const GLuint sampler = m_Samplers[stage];
    if (m_SamplerDirty[stage]) {
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GlAddress(states[D3DSAMP_ADDRESSU]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GlAddress(states[D3DSAMP_ADDRESSV]));
    }
    m_SamplerDirty[stage] = false;
    m_SamplerPoint[stage] = pointSampled;
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                        pointSampled ? GL_NEAREST : GlFilter(states[D3DSAMP_MAGFILTER]));
    // Textures have one level, so the mip filter has nothing to choose from.
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                        pointSampled ? GL_NEAREST : GlFilter(states[D3DSAMP_MINFILTER]));
}

DWORD CGlDevice::FixedProgramKey() const
{
    // Only what the program distinguishes goes into the key: op 1..4 (else 0), argument TEXTURE
    // or not, and whether a texture is bound.
    auto op = [](DWORD value) { return value >= D3DTOP_DISABLE && value <= D3DTOP_MODULATE ? value : 0u; };
    auto arg = [](DWORD value) { return (value & 15) == D3DTA_TEXTURE ? 1u : 0u; };
    const DWORD* stage = m_StageStates[0];
    return op(stage[D3DTSS_COLOROP]) | arg(stage[D3DTSS_COLORARG1]) << 3 | arg(stage[D3DTSS_COLORARG2]) << 4 |
           op(stage[D3DTSS_ALPHAOP]) << 5 | arg(stage[D3DTSS_ALPHAARG1]) << 8 | arg(stage[D3DTSS_ALPHAARG2]) << 9 |
           (m_Textures[0] ? 1u : 0u) << 10;
}

CGlDevice::CFixedProgram* CGlDevice::FixedProgram(DWORD key)
{
    const auto found = m_FixedPrograms.find(key);
    if (found != m_FixedPrograms.end())
        return &found->second;
    auto argument = [](DWORD bit) { return bit ? D3DTA_TEXTURE : D3DTA_DIFFUSE; };
    const DWORD color[3] = {key & 7, argument((key >> 3) & 1), argument((key >> 4) & 1)};
    const DWORD alpha[3] = {(key >> 5) & 7, argument((key >> 8) & 1), argument((key >> 9) & 1)};
    std::string log;
    const GLuint fragment =
        CompileGlShader(GL_FRAGMENT_SHADER, GlFixedFunctionShaderSource((key >> 10) & 1, color, alpha), log);
    GLuint program = 0;
    if (fragment) {
        program = LinkGlProgram(fragment, log);
        glDeleteShader(fragment);
    }
    if (!program) {
        Log("graphics", 3, "the fixed-function program %x does not build: %s", key, log.c_str());
        return nullptr;
    }
    CFixedProgram& fixed = m_FixedPrograms[key];
    fixed.Program = program;
    fixed.TargetSize = glGetUniformLocation(program, "uTargetSize");
    return &fixed;
}

void CGlDevice::SyncBindings()
{
    const unsigned long long epoch = m_Context->GetBindingEpoch();
    if (epoch == m_BindingEpoch)
        return;
    m_BindingEpoch = epoch;
    m_BoundFramebuffer = kUnknown;
    m_BoundProgram = kUnknown;
    m_ActiveUnit = kUnknown;
    for (unsigned& texture : m_BoundTextures)
        texture = kUnknown;
    glBindVertexArray(m_VertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, m_VertexBuffer);
}

void CGlDevice::UseProgram(unsigned program)
{
    if (program != m_BoundProgram) {
        glUseProgram(program);
        m_BoundProgram = program;
    }
}

void CGlDevice::BindFramebuffer(unsigned framebuffer)
{
    if (framebuffer != m_BoundFramebuffer) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        m_BoundFramebuffer = framebuffer;
    }
}

bool CGlDevice::BlendIsNeutral(const void* vertices, UINT count, UINT stride) const
{
    const DWORD source = m_RenderStates[D3DRS_SRCBLEND], destination = m_RenderStates[D3DRS_DESTBLEND];
    const bool replace = source == D3DBLEND_ONE && destination == D3DBLEND_ZERO;
    // Into the window the alpha channel blends apart (see ApplyBlend), so replacing leaves it as
    // it is only for an opaque source.
    if (replace && !m_TargetIsWindow)
        return true;
    if (!replace && !(source == D3DBLEND_SRCALPHA && destination == D3DBLEND_INVSRCALPHA))
        return false;
    if (m_PixelShader)
        return false;
    // Which inputs the stage's alpha comes from, as the fixed-function program computes it.
    const DWORD* stage = m_StageStates[0];
    bool usesTexture = false, usesDiffuse = false;
    auto argument = [&](DWORD value) { ((value & 15) == D3DTA_TEXTURE ? usesTexture : usesDiffuse) = true; };
    if (stage[D3DTSS_COLOROP] == D3DTOP_DISABLE) {
        usesDiffuse = true;
    } else {
        switch (stage[D3DTSS_ALPHAOP]) {
        case D3DTOP_SELECTARG1:
            argument(stage[D3DTSS_ALPHAARG1]);
            break;
        case D3DTOP_SELECTARG2:
            argument(stage[D3DTSS_ALPHAARG2]);
            break;
        case D3DTOP_MODULATE:
            argument(stage[D3DTSS_ALPHAARG1]);
            argument(stage[D3DTSS_ALPHAARG2]);
            break;
        default:
            usesDiffuse = true;
            break;
        }
    }
    if (usesTexture && m_Textures[0]) {
        // A border address samples transparent black outside the texture.
        const DWORD* sampler = m_SamplerStates[0];
        if (!m_Textures[0]->IsOpaque() || sampler[D3DSAMP_ADDRESSU] == 4 || sampler[D3DSAMP_ADDRESSV] == 4)
            return false;
    }
    // Without a diffuse colour in the vertices it is opaque white.
    if (usesDiffuse && (m_Fvf & D3DFVF_DIFFUSE)) {
        const auto* diffuse = static_cast<const BYTE*>(vertices) + 16;
        for (UINT i = 0; i < count; ++i, diffuse += stride)
            if (diffuse[3] != 255)
                return false;
    }
    return true;
}

bool CGlDevice::TexelExact(const void* vertices, UINT count, UINT stride) const
{
    // Linear filtering at a texel's centre reads that texel alone. When every vertex maps to its
    // texel position by one and the same shift, ending in a half (pixel centres are on integers,
    // texel centres on halves), every pixel of the draw samples a texel centre, and point
    // sampling gives the same pixels for a quarter of the rasteriser's work. Backgrounds, images
    // at whole positions and text are drawn so. A pixel shader may sample elsewhere: left alone.
    if (!(m_Fvf & D3DFVF_TEX1) || !m_Textures[0] || m_PixelShader || count == 0)
        return false;
    const DWORD* states = m_SamplerStates[0];
    if (GlFilter(states[D3DSAMP_MAGFILTER]) == GL_NEAREST && GlFilter(states[D3DSAMP_MINFILTER]) == GL_NEAREST)
        return false;
    const float width = float(m_Textures[0]->GetWidth()), height = float(m_Textures[0]->GetHeight());
    const UINT texCoord = 16 + ((m_Fvf & D3DFVF_DIFFUSE) ? 4 : 0) + ((m_Fvf & D3DFVF_SPECULAR) ? 4 : 0);
    // Far below the filter's weight steps (1/256 of a texel), so the pixels cannot differ.
    constexpr float kTolerance = 1.0f / 1024.0f;
    const auto* vertex = static_cast<const BYTE*>(vertices);
    float first[4];
    std::memcpy(first, vertex, 8);
    std::memcpy(first + 2, vertex + texCoord, 8);
    const float shiftU = first[2] * width - first[0], shiftV = first[3] * height - first[1];
    if (std::fabs(shiftU - std::floor(shiftU) - 0.5f) > kTolerance ||
        std::fabs(shiftV - std::floor(shiftV) - 0.5f) > kTolerance)
        return false;
    for (UINT i = 1; i < count; ++i) {
        vertex += stride;
        float xy[2], uv[2];
        std::memcpy(xy, vertex, 8);
        std::memcpy(uv, vertex + texCoord, 8);
        if (std::fabs(uv[0] * width - xy[0] - shiftU) > kTolerance ||
            std::fabs(uv[1] * height - xy[1] - shiftV) > kTolerance)
            return false;
    }
    return true;
}

void CGlDevice::ApplyBlend(bool neutral)
{
    const int enabled = m_RenderStates[D3DRS_ALPHABLENDENABLE] && !neutral ? 1 : 0;
    if (enabled != m_BlendEnabled) {
        if (enabled)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        m_BlendEnabled = enabled;
    }
    if (!enabled)
        return;
    const GLenum source = GlBlendFactor(m_RenderStates[D3DRS_SRCBLEND], GL_ONE);
    const GLenum destination = GlBlendFactor(m_RenderStates[D3DRS_DESTBLEND], GL_ZERO);
    if (source != m_BlendSource || destination != m_BlendDestination || m_TargetIsWindow != m_BlendIntoWindow) {
        // The window stands for an X8 back buffer: its alpha, cleared opaque, stays opaque
        // (a + 1 * (1 - a)). Writing all four channels keeps the rasteriser on its fast paths.
        if (m_TargetIsWindow)
            glBlendFuncSeparate(source, destination, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        else
            glBlendFunc(source, destination);
        m_BlendSource = source;
        m_BlendDestination = destination;
        m_BlendIntoWindow = m_TargetIsWindow;
    }
}

void CGlDevice::ApplyAlphaWrites(bool enabled)
{
    if (int(enabled) != m_AlphaWrites) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, enabled ? GL_TRUE : GL_FALSE);
        m_AlphaWrites = int(enabled);
    }
}

long long CGlDevice::StreamVertices(const void* vertices, size_t bytes, UINT stride)
{
    // Draws start on a whole vertex, so the attribute pointers stay put and the draw names its
    // first vertex instead.
    size_t first = (m_RingUsed + stride - 1) / stride;
    if (first * stride + bytes > m_RingSize) {
        // A full ring gets fresh storage: earlier draws keep reading the old one, and nothing
        // ever waits for them.
        while (m_RingSize < bytes)
            m_RingSize *= 2;
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m_RingSize), nullptr, GL_STREAM_DRAW);
        first = 0;
    }
    const size_t offset = first * stride;
    void* target = glMapBufferRange(GL_ARRAY_BUFFER, GLintptr(offset), GLsizeiptr(bytes),
                                    GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_RANGE_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    if (!target)
        return -1;
    std::memcpy(target, vertices, bytes);
    glUnmapBuffer(GL_ARRAY_BUFFER);
    m_RingUsed = offset + bytes;
    return static_cast<long long>(first);
}

void CGlDevice::ApplyVertexFormat(UINT stride)
{
    if (m_Fvf == m_AttribFvf && stride == m_AttribStride)
        return;
    m_AttribFvf = m_Fvf;
    m_AttribStride = stride;
    const UINT diffuse = 16;
    const UINT specular = diffuse + ((m_Fvf & D3DFVF_DIFFUSE) ? 4 : 0);
    const UINT texCoord = specular + ((m_Fvf & D3DFVF_SPECULAR) ? 4 : 0);
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, 4, GL_FLOAT, GL_FALSE, GLsizei(stride), nullptr);
    auto attribute = [&](unsigned slot, bool present, GLint components, GLenum kind, bool normalised, UINT offset) {
        if (present) {
            glEnableVertexAttribArray(slot);
            glVertexAttribPointer(slot, components, kind, normalised, GLsizei(stride),
                                  reinterpret_cast<const void*>(size_t(offset)));
        } else {
            glDisableVertexAttribArray(slot);
        }
    };
    // Colours are 0xAARRGGBB in memory order B, G, R, A.
    attribute(kAttribDiffuse, m_Fvf & D3DFVF_DIFFUSE, GL_BGRA, GL_UNSIGNED_BYTE, true, diffuse);
    if (!(m_Fvf & D3DFVF_DIFFUSE))
        glVertexAttrib4f(kAttribDiffuse, 1, 1, 1, 1);
    attribute(kAttribSpecular, m_Fvf & D3DFVF_SPECULAR, GL_BGRA, GL_UNSIGNED_BYTE, true, specular);
    if (!(m_Fvf & D3DFVF_SPECULAR))
        glVertexAttrib4f(kAttribSpecular, 0, 0, 0, 0);
    attribute(kAttribTexCoord, m_Fvf & D3DFVF_TEX1, 2, GL_FLOAT, false, texCoord);
    if (!(m_Fvf & D3DFVF_TEX1))
        glVertexAttrib2f(kAttribTexCoord, 0, 0);
}

HRESULT CGlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride)
{
    GLenum mode = GL_TRIANGLES;
    const UINT count = VertexCount(type, primitiveCount, mode);
    if (!m_InScene || !vertices || (count == 0 && primitiveCount != 0) || !(m_Fvf & D3DFVF_XYZRHW))
        return D3DERR_INVALIDCALL;
    const UINT size = 16 + ((m_Fvf & D3DFVF_DIFFUSE) ? 4 : 0) + ((m_Fvf & D3DFVF_SPECULAR) ? 4 : 0) +
                      ((m_Fvf & D3DFVF_TEX1) ? 8 : 0);
    if (stride < size)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;

    m_Context->MakeCurrent();
    SyncBindings();
    UINT width = 0, height = 0;
    BindTarget(width, height);
    if (m_PixelShader) {
        UseProgram(m_PixelShader->GetProgram());
        m_PixelShader->SetTargetSize(width, height);
    } else {
        const DWORD key = FixedProgramKey();
        if (key != m_LastFixedKey || !m_LastFixed) {
            m_LastFixed = FixedProgram(key);
            m_LastFixedKey = key;
        }
        CFixedProgram* fixed = m_LastFixed;
        if (!fixed)
            return D3DERR_INVALIDCALL;
        UseProgram(fixed->Program);
        if (fixed->TargetWidth != width || fixed->TargetHeight != height) {
            fixed->TargetWidth = width;
            fixed->TargetHeight = height;
            glUniform2f(fixed->TargetSize, float(width), float(height));
        }
    }
    const bool texelExact = TexelExact(vertices, count, stride);
    for (DWORD s = 0; s < kStages; ++s) {
        const unsigned texture = m_Textures[s] ? m_Textures[s]->GetGlTexture() : 0;
        if (texture != m_BoundTextures[s]) {
            if (m_ActiveUnit != s) {
                glActiveTexture(GL_TEXTURE0 + s);
                m_ActiveUnit = s;
            }
            glBindTexture(GL_TEXTURE_2D, texture);
            m_BoundTextures[s] = texture;
        }
        ApplySampler(s, s == 0 && texelExact);
    }
    // Blending costs the rasteriser a read of every covered pixel; a blend that changes nothing
    // is left off.
    ApplyBlend(m_RenderStates[D3DRS_ALPHABLENDENABLE] && BlendIsNeutral(vertices, count, stride));

    const size_t bytes = size_t(count - 1) * stride + size;
    const long long first = StreamVertices(vertices, bytes, stride);
    if (first < 0)
        return D3DERR_INVALIDCALL;
    ApplyVertexFormat(stride);
    const CDriverAllocations driver;
    glDrawArrays(mode, GLint(first), GLsizei(count));
    return D3D_OK;
}

HRESULT CGlDevice::SetFVF(DWORD fvf)
{
    if (fvf & ~kKnownFvf)
        return D3DERR_INVALIDCALL;
    m_Fvf = fvf;
    return D3D_OK;
}

HRESULT CGlDevice::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader)
{
    if (!shader)
        return D3DERR_INVALIDCALL;
    CGlPixelShader* created = nullptr;
    const HRESULT hr = CGlPixelShader::Create(m_Context, function, &created);
    if (SUCCEEDED(hr))
        *shader = created;
    return hr;
}

HRESULT CGlDevice::SetPixelShader(IDirect3DPixelShader9* shader)
{
    auto* glShader = dynamic_cast<CGlPixelShader*>(shader);
    if (shader && !glShader)
        return D3DERR_INVALIDCALL;
    if (glShader)
        glShader->AddRef();
    if (m_PixelShader)
        m_PixelShader->Release();
    m_PixelShader = glShader;
    return D3D_OK;
}

HRESULT CGlDevice::CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query)
{
    if (type != D3DQUERYTYPE_EVENT)
        return D3DERR_NOTAVAILABLE;
    // A null out pointer only asks whether the type is supported.
    if (query)
        *query = CGlQuery::Create(m_Context);
    return D3D_OK;
}

} // namespace lv::platform
