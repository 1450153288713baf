#include "graphics/RenderStateScope.h"

#include "graphics/Renderer.h"

namespace lv::graphics {

CRenderStateScope::CRenderStateScope(CRenderer& renderer) : m_Renderer(renderer)
{
    m_Renderer.PushState();
}

CRenderStateScope::~CRenderStateScope()
{
    m_Renderer.PopState();
}

} // namespace lv::graphics
