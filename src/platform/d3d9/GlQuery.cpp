#include "platform/d3d9/GlQuery.h"

#include <algorithm>
#include <cstring>
#include <epoxy/gl.h>

namespace lv::platform {
namespace {

// Long enough that a poll loop wakes a few dozen times per frame, short enough that a caller
// bounding its polls still gives up soon.
constexpr GLuint64 kFlushPollNanoseconds = 500000;

} // namespace

CGlQuery::~CGlQuery()
{
    if (m_Fence) {
        m_Context->MakeCurrent();
        glDeleteSync(GLsync(m_Fence));
    }
}

CGlQuery* CGlQuery::Create(const std::shared_ptr<CGlContext>& context)
{
    CGlQuery* query = context->TakeParkedQuery();
    if (!query)
        return new CGlQuery(context);
    query->m_Context = context;
    query->m_Refs = 1;
    return query;
}

ULONG CGlQuery::Release()
{
    const ULONG refs = --m_Refs;
    if (refs != 0)
        return refs;
    if (m_Fence) {
        m_Context->MakeCurrent();
        glDeleteSync(GLsync(m_Fence));
        m_Fence = nullptr;
    }
    // A parked query holds no reference to its context (which would then never go); when this
    // was the context's last holder, the context deletes the query as it goes.
    std::shared_ptr<CGlContext> context = std::move(m_Context);
    if (!context->ParkQuery(this))
        delete this;
    return 0;
}

HRESULT CGlQuery::Issue(DWORD flags)
{
    if (!(flags & D3DISSUE_END))
        return D3D_OK;
    m_Context->MakeCurrent();
    if (m_Fence)
        glDeleteSync(GLsync(m_Fence));
    m_Fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    return D3D_OK;
}

HRESULT CGlQuery::GetData(void* data, DWORD size, DWORD flags)
{
    if (m_Fence) {
        m_Context->MakeCurrent();
        // A caller that asks for a flush polls until the answer comes: it sleeps in the driver for a
        // moment instead of spinning, so that waiting for the rasteriser costs no processor time.
        // Each call still returns soon, with S_FALSE, when the work is not done.
        const bool flush = (flags & D3DGETDATA_FLUSH) != 0;
        const GLenum state = glClientWaitSync(GLsync(m_Fence), flush ? GL_SYNC_FLUSH_COMMANDS_BIT : 0,
                                              flush ? kFlushPollNanoseconds : 0);
        if (state == GL_TIMEOUT_EXPIRED)
            return S_FALSE;
        if (state == GL_WAIT_FAILED)
            return D3DERR_INVALIDCALL;
        glDeleteSync(GLsync(m_Fence));
        m_Fence = nullptr;
    }
    // An event query's answer is a BOOL TRUE; a shorter buffer gets its first bytes.
    if (data && size) {
        const BOOL done = 1;
        std::memcpy(data, &done, std::min<size_t>(size, sizeof(done)));
    }
    return S_OK;
}

} // namespace lv::platform
