#pragma once
// An event query of the OpenGL device, over a GL fence. The program asks for one every frame, so
// a released query waits in its context for the next request instead of going back to the heap.
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/d3d9.h"

#include <memory>

namespace lv::platform {

class CGlQuery final : public IDirect3DQuery9
{
public:
    // The context's parked query when there is one, else a new one.
    static CGlQuery* Create(const std::shared_ptr<CGlContext>& context);
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;
    HRESULT Issue(DWORD flags) override;
    HRESULT GetData(void* data, DWORD size, DWORD flags) override;

private:
    friend class CGlContext;
    explicit CGlQuery(const std::shared_ptr<CGlContext>& context) : m_Context(context) {}
    ~CGlQuery();

    std::shared_ptr<CGlContext> m_Context;
    void* m_Fence = nullptr;
    ULONG m_Refs = 1;
};

} // namespace lv::platform
