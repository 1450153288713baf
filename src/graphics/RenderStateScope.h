#pragma once

namespace lv::graphics {

class CRenderer;

// Pushes every render-state stack for the lifetime of a scope.
class CRenderStateScope
{
public:
    explicit CRenderStateScope(CRenderer& renderer);
    ~CRenderStateScope();
    CRenderStateScope(const CRenderStateScope&) = delete;
    CRenderStateScope& operator=(const CRenderStateScope&) = delete;

private:
    CRenderer& m_Renderer;
};

} // namespace lv::graphics
