#include "platform/d3d9/DriverAllocations.h"
#include "platform/d3d9/GlTexture.h"

#include "platform/d3d9/TextureFormat.h"

#include <cstring>
#include <epoxy/gl.h>

namespace lv::platform {

// The largest texture side the layer promises (the caps say the same).
inline constexpr UINT kMaxTextureSide = 8192;

ULONG CGlTextureSurface::AddRef() { return m_Owner.AddRef(); }
ULONG CGlTextureSurface::Release() { return m_Owner.Release(); }
HRESULT CGlTextureSurface::GetDesc(D3DSURFACE_DESC* desc) { return m_Owner.GetLevelDesc(0, desc); }
HRESULT CGlTextureSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    return m_Owner.LockRect(0, locked, rect, flags);
}
HRESULT CGlTextureSurface::UnlockRect() { return m_Owner.UnlockRect(0); }

HRESULT CGlTexture::Create(const std::shared_ptr<CGlContext>& context, UINT width, UINT height, DWORD usage,
                           D3DFORMAT format, D3DPOOL pool, CGlTexture** texture)
{
    if (!texture || width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide ||
        !IsTextureFormat(format) || (usage & ~D3DUSAGE_RENDERTARGET) != 0 ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED))
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_RENDERTARGET) &&
        (pool != D3DPOOL_DEFAULT || (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)))
        return D3DERR_INVALIDCALL;
    context->MakeCurrent();
    *texture = new CGlTexture(context, width, height, usage, format, pool);
    return D3D_OK;
}

CGlTexture::CGlTexture(const std::shared_ptr<CGlContext>& context, UINT width, UINT height, DWORD usage,
                       D3DFORMAT format, D3DPOOL pool)
    : m_Context(context), m_Width(width), m_Height(height), m_Usage(usage), m_Format(format), m_Pool(pool)
{
    glGenTextures(1, &m_GlTexture);
    m_Context->ForgetBindings();
    glBindTexture(GL_TEXTURE_2D, m_GlTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // New textures are transparent black rather than whatever the memory held.
    std::vector<BYTE> zero(size_t(width) * height * 4, 0);
    const GLint internal = format == D3DFMT_X8R8G8B8 ? GL_RGB8 : GL_RGBA8;
    glTexImage2D(GL_TEXTURE_2D, 0, internal, GLsizei(width), GLsizei(height), 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, zero.data());
    if (!IsRenderTarget()) {
        m_Level.assign(size_t(FormatPitch(format, width)) * FormatRows(format, height), 0);
        // Transparent black until uploaded.
        m_RowTranslucent.assign(height, 1);
        m_TranslucentRows = height;
    }
    if (pool == D3DPOOL_DEFAULT)
        m_Context->DefaultPoolTextures().insert(this);
}

CGlTexture::~CGlTexture()
{
    m_Context->MakeCurrent();
    m_Context->ForgetBindings();
    if (m_Framebuffer)
        glDeleteFramebuffers(1, &m_Framebuffer);
    glDeleteTextures(1, &m_GlTexture);
    m_Context->DefaultPoolTextures().erase(this);
}

ULONG CGlTexture::AddRef() { return ++m_Refs; }

ULONG CGlTexture::Release()
{
    const ULONG refs = --m_Refs;
    if (refs == 0)
        delete this;
    return refs;
}

void CGlTexture::AddBinding()
{
    ++m_Bindings;
    ++m_Refs;
}

void CGlTexture::RemoveBinding()
{
    --m_Bindings;
    Release();
}

HRESULT CGlTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (level != 0 || !desc)
        return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{m_Format, m_Usage, m_Pool, m_Width, m_Height};
    return D3D_OK;
}

HRESULT CGlTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (level != 0 || !surface)
        return D3DERR_INVALIDCALL;
    AddRef();
    *surface = &m_Surface;
    return D3D_OK;
}

unsigned CGlTexture::GetFramebuffer()
{
    if (!IsRenderTarget())
        return 0;
    if (!m_Framebuffer) {
        m_Context->MakeCurrent();
        glGenFramebuffers(1, &m_Framebuffer);
        m_Context->ForgetBindings();
        glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_GlTexture, 0);
    }
    return m_Framebuffer;
}

HRESULT CGlTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD /*flags*/)
{
    if (level != 0 || !locked || m_Locked)
        return D3DERR_INVALIDCALL;
    RECT area{0, 0, LONG(m_Width), LONG(m_Height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > m_Width || UINT(rect->bottom) > m_Height)
            return D3DERR_INVALIDCALL;
        // Block formats lock whole 4x4 blocks.
        if (IsBlockFormat(m_Format) && ((rect->left | rect->top) & 3) != 0)
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    if (IsRenderTarget()) {
        m_Context->MakeCurrent();
        m_LockBuffer.resize(size_t(m_Width) * m_Height * 4);
        m_Context->ForgetBindings();
        glBindFramebuffer(GL_READ_FRAMEBUFFER, GetFramebuffer());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        const CDriverAllocations driver;
        glReadPixels(0, 0, GLsizei(m_Width), GLsizei(m_Height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                     m_LockBuffer.data());
        locked->Pitch = INT(m_Width * 4);
        locked->pBits = m_LockBuffer.data() + size_t(area.top) * m_Width * 4 + size_t(area.left) * 4;
    } else {
        const UINT pitch = FormatPitch(m_Format, m_Width);
        const bool block = IsBlockFormat(m_Format);
        const size_t row = block ? size_t(area.top / 4) : size_t(area.top);
        const size_t column = block ? size_t(area.left / 4) : size_t(area.left);
        locked->Pitch = INT(pitch);
        locked->pBits = m_Level.data() + row * pitch + column * FormatUnitBytes(m_Format);
    }
    m_Locked = true;
    m_LockedRect = area;
    return D3D_OK;
}

HRESULT CGlTexture::UnlockRect(UINT level)
{
    if (level != 0 || !m_Locked)
        return D3DERR_INVALIDCALL;
    m_Locked = false;
    m_Context->MakeCurrent();
    if (IsRenderTarget()) {
        m_Context->ForgetBindings();
    glBindTexture(GL_TEXTURE_2D, m_GlTexture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(m_Width), GLsizei(m_Height), GL_BGRA,
                        GL_UNSIGNED_INT_8_8_8_8_REV, m_LockBuffer.data());
        m_LockBuffer.clear();
        m_LockBuffer.shrink_to_fit();
        return D3D_OK;
    }
    UINT first = UINT(m_LockedRect.top), end = UINT(m_LockedRect.bottom);
    if (IsBlockFormat(m_Format)) {
        first &= ~3u;
        end = (end + 3) & ~3u;
    }
    Upload(first, end < m_Height ? end : m_Height);
    return D3D_OK;
}

void CGlTexture::Upload(UINT firstRow, UINT endRow)
{
    const GLsizei rows = GLsizei(endRow - firstRow);
    m_Context->ForgetBindings();
    glBindTexture(GL_TEXTURE_2D, m_GlTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (m_Format == D3DFMT_A8R8G8B8) {
        const BYTE* texels = m_Level.data() + size_t(firstRow) * m_Width * 4;
        NoteTranslucentRows(texels, firstRow, endRow);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, GLint(firstRow), GLsizei(m_Width), rows, GL_BGRA,
                        GL_UNSIGNED_INT_8_8_8_8_REV, texels);
        return;
    }
    std::vector<BYTE> pixels(size_t(m_Width) * size_t(rows) * 4);
    ExpandToBgra(m_Format, m_Level.data(), FormatPitch(m_Format, m_Width), m_Width, m_Height, firstRow, endRow,
                 pixels.data());
    NoteTranslucentRows(pixels.data(), firstRow, endRow);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, GLint(firstRow), GLsizei(m_Width), rows, GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
}

void CGlTexture::NoteTranslucentRows(const BYTE* texels, UINT firstRow, UINT endRow)
{
    for (UINT y = firstRow; y < endRow; ++y, texels += size_t(m_Width) * 4) {
        // One pass over whole texels without an early exit, so that the compiler can vectorise it.
        DWORD all = ~0u;
        for (UINT x = 0; x < m_Width; ++x) {
            DWORD texel;
            std::memcpy(&texel, texels + size_t(x) * 4, 4);
            all &= texel;
        }
        const BYTE translucent = (all >> 24) != 255 ? 1 : 0;
        m_TranslucentRows += UINT(translucent) - UINT(m_RowTranslucent[y]);
        m_RowTranslucent[y] = translucent;
    }
}

} // namespace lv::platform
