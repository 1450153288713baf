#include "graphics/PixelShader.h"

#include <map>

namespace lv::graphics {

namespace {

std::map<const ID3DXBuffer*, IDirect3DPixelShader9*>& ShaderMap()
{
    static std::map<const ID3DXBuffer*, IDirect3DPixelShader9*> s_Map;
    return s_Map;
}

} // namespace

CPixelShader::~CPixelShader()
{
    Release();
}

void CPixelShader::Release()
{
    // Compiled code and constants come with loading, which the shader loader adds.
    m_Constants = nullptr;
    if (!m_Code)
        return;
    auto& map = ShaderMap();
    auto it = map.find(m_Code);
    if (it != map.end()) {
        if (it->second)
            it->second->Release();
        map.erase(it);
    }
    m_Code = nullptr;
}

IDirect3DPixelShader9* CPixelShader::GetDeviceShader() const
{
    if (!m_Code)
        return nullptr;
    auto& map = ShaderMap();
    auto it = map.find(m_Code);
    return it == map.end() ? nullptr : it->second;
}

void ReleaseAllPixelShaders()
{
    for (auto& entry : ShaderMap()) {
        if (entry.second) {
            entry.second->Release();
            entry.second = nullptr;
        }
    }
}

} // namespace lv::graphics
