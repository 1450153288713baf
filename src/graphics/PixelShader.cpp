#include "graphics/PixelShader.h"

#include <cstring>
#include <map>
#include <string>

#include "core/FileSystem.h"
#include "core/Log.h"
#include "graphics/GraphicsDevice.h"
#include "platform/d3dx9/d3dx9.h"

namespace lv::graphics {

namespace {

const char kShaderChannel[] = "graphics";

std::map<ID3DXBuffer*, IDirect3DPixelShader9*>& ShaderMap()
{
    static std::map<ID3DXBuffer*, IDirect3DPixelShader9*> s_Map;
    return s_Map;
}

IDirect3DPixelShader9* CreateDeviceShader(IDirect3DDevice9* device, ID3DXBuffer* code)
{
    IDirect3DPixelShader9* shader = nullptr;
    if (FAILED(device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader)) ||
        !shader) {
        core::CLog::Instance().Print(kShaderChannel, 3, "CreatePixelShader failed");
        return nullptr;
    }
    return shader;
}

// The compiler's message; the buffer need not end with a zero.
std::string BufferText(ID3DXBuffer* buffer)
{
    const char* text = static_cast<const char*>(buffer->GetBufferPointer());
    const size_t size = buffer->GetBufferSize();
    return text ? std::string(text, strnlen(text, size)) : std::string();
}

} // namespace

CPixelShader::~CPixelShader()
{
    Release();
}

bool CPixelShader::LoadShader(const char* fileName, const char* entryPoint, const char* profile)
{
    Release();
    IDirect3DDevice9* device = GetGraphicsDevice().GetDevice();
    if (!device || !fileName)
        return false;
    core::CFileSystem& files = core::CFileSystem::Instance();
    u32 size = 0;
    const u8* source = files.LoadFile(fileName, &size);
    if (!source)
        return false;
    ID3DXBuffer* errors = nullptr;
    const HRESULT result = D3DXCompileShader(reinterpret_cast<const char*>(source), size, nullptr, nullptr,
                                             entryPoint, profile, 0, &m_Code, &errors, &m_Constants);
    files.FreeFile(source);

    if (SUCCEEDED(result) && m_Code) {
        if (errors)
            errors->Release(); // warnings
        IDirect3DPixelShader9* shader = CreateDeviceShader(device, m_Code);
        if (!shader)
            return false; // the code and constants stay; draws fall back to the fixed stages
        ShaderMap()[m_Code] = shader;
        return true;
    }
    if (m_Code) {
        m_Code->Release();
        m_Code = nullptr;
    }
    if (m_Constants) {
        m_Constants->Release();
        m_Constants = nullptr;
    }
    if (errors) {
        core::CLog::Instance().Print(kShaderChannel, 3, "LoadShader failed: %s", BufferText(errors).c_str());
        errors->Release();
    }
    return false;
}

void CPixelShader::Release()
{
    if (m_Constants) {
        m_Constants->Release();
        m_Constants = nullptr;
    }
    if (!m_Code)
        return;
    auto& map = ShaderMap();
    auto it = map.find(m_Code);
    if (it != map.end()) {
        if (it->second)
            it->second->Release();
        map.erase(it);
    }
    m_Code->Release();
    m_Code = nullptr;
}

void CPixelShader::SetDefaults()
{
    IDirect3DDevice9* device = GetGraphicsDevice().GetDevice();
    if (device && m_Constants)
        m_Constants->SetDefaults(device);
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

void RecreateAllPixelShaders()
{
    IDirect3DDevice9* device = GetGraphicsDevice().GetDevice();
    if (!device)
        return;
    for (auto& entry : ShaderMap()) {
        // A shader still held from before would otherwise be lost with its program.
        if (entry.second)
            entry.second->Release();
        entry.second = CreateDeviceShader(device, entry.first);
    }
}

} // namespace lv::graphics
