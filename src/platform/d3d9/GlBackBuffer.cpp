#include "platform/d3d9/DriverAllocations.h"
#include "platform/d3d9/GlBackBuffer.h"

#include <algorithm>
#include <epoxy/gl.h>

namespace lv::platform {

CGlBackBuffer::CGlBackBuffer(const std::shared_ptr<CGlContext>& context, UINT width, UINT height)
    : m_Context(context), m_Width(width), m_Height(height)
{
    m_Context->MakeCurrent();
    glGenTextures(1, &m_GlTexture);
    m_Context->ForgetBindings();
    glBindTexture(GL_TEXTURE_2D, m_GlTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, GLsizei(width), GLsizei(height), 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &m_Framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_Framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_GlTexture, 0);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    const CDriverAllocations driver;
    glClear(GL_COLOR_BUFFER_BIT);
}

CGlBackBuffer::~CGlBackBuffer()
{
    m_Context->MakeCurrent();
    m_Context->ForgetBindings();
    glDeleteFramebuffers(1, &m_Framebuffer);
    glDeleteTextures(1, &m_GlTexture);
}

ULONG CGlBackBuffer::AddRef() { return ++m_Refs; }

ULONG CGlBackBuffer::Release()
{
    if (m_Refs == 0)
        return 0;
    const ULONG refs = --m_Refs;
    if (refs == 0 && m_Abandoned)
        delete this;
    return refs;
}

void CGlBackBuffer::Abandon()
{
    m_Abandoned = true;
    if (m_Refs == 0)
        delete this;
}

HRESULT CGlBackBuffer::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, m_Width, m_Height};
    return D3D_OK;
}

HRESULT CGlBackBuffer::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD /*flags*/)
{
    if (!locked || m_Locked)
        return D3DERR_INVALIDCALL;
    RECT area{0, 0, LONG(m_Width), LONG(m_Height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > m_Width || UINT(rect->bottom) > m_Height)
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    m_Context->MakeCurrent();
    m_LockBuffer.resize(size_t(m_Width) * m_Height * 4);
    m_Context->ForgetBindings();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GetFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    {
        const CDriverAllocations driver;
        glReadPixels(0, 0, GLsizei(m_Width), GLsizei(m_Height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                     m_LockBuffer.data());
    }
    if (m_Direct) {
        // The window has its bottom row first; X8 reads back opaque.
        const size_t pitch = size_t(m_Width) * 4;
        std::vector<BYTE> row(pitch);
        for (UINT y = 0; y < m_Height / 2; ++y) {
            BYTE* top = m_LockBuffer.data() + size_t(y) * pitch;
            BYTE* bottom = m_LockBuffer.data() + size_t(m_Height - 1 - y) * pitch;
            std::copy_n(top, pitch, row.data());
            std::copy_n(bottom, pitch, top);
            std::copy_n(row.data(), pitch, bottom);
        }
        for (size_t i = 3; i < m_LockBuffer.size(); i += 4)
            m_LockBuffer[i] = 0xFF;
    }
    locked->Pitch = INT(m_Width * 4);
    locked->pBits = m_LockBuffer.data() + size_t(area.top) * m_Width * 4 + size_t(area.left) * 4;
    m_Locked = true;
    return D3D_OK;
}

HRESULT CGlBackBuffer::UnlockRect()
{
    if (!m_Locked)
        return D3DERR_INVALIDCALL;
    m_Locked = false;
    // Whatever was written into the lock goes back into the picture.
    m_Context->MakeCurrent();
    m_Context->ForgetBindings();
    glBindTexture(GL_TEXTURE_2D, m_GlTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(m_Width), GLsizei(m_Height), GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, m_LockBuffer.data());
    if (m_Direct) {
        // Into the window through the texture, turned over as Present would.
        glBindFramebuffer(GL_READ_FRAMEBUFFER, m_Framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        const CDriverAllocations driver;
        glBlitFramebuffer(0, 0, GLint(m_Width), GLint(m_Height), 0, GLint(m_Height), GLint(m_Width), 0,
                          GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    m_LockBuffer.clear();
    m_LockBuffer.shrink_to_fit();
    return D3D_OK;
}

} // namespace lv::platform
