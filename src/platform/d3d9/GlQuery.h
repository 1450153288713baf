#pragma once
// An event query of the OpenGL device, over a GL fence.
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/d3d9.h"

#include <memory>

namespace lv::platform {

class CGlQuery final : public IDirect3DQuery9
{
public:
    explicit CGlQuery(const std::shared_ptr<CGlContext>& context) : m_Context(context) {}
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;
    HRESULT Issue(DWORD flags) override;
    HRESULT GetData(void* data, DWORD size, DWORD flags) override;

private:
    ~CGlQuery();

    std::shared_ptr<CGlContext> m_Context;
    void* m_Fence = nullptr;
    ULONG m_Refs = 1;
};

} // namespace lv::platform
