#pragma once
// SDL2's own 2-D renderer drawing vertices of the device layer's layout (FVF 0x1C4, 32 bytes)
// through SDL_RenderGeometry: the yardstick the device layer's benchmark measures itself against.
#include "platform/WinTypes.h"

#include <memory>
#include <vector>

struct SDL_Renderer;
struct SDL_Texture;

namespace lv::platform {

class CSdlQuadRenderer
{
public:
    // Null, with a log line, when SDL cannot make an accelerated renderer for the window.
    static std::unique_ptr<CSdlQuadRenderer> Create(HWND window);
    ~CSdlQuadRenderer();
    CSdlQuadRenderer(const CSdlQuadRenderer&) = delete;
    CSdlQuadRenderer& operator=(const CSdlQuadRenderer&) = delete;

    const char* GetName() const;
    // One alpha-blended texture for every following draw; pixels are 0xAARRGGBB.
    bool SetTexture(const DWORD* pixels, int width, int height);
    void Clear(DWORD argb);
    // A triangle list of pre-transformed vertices.
    bool DrawTriangles(const void* vertices, int count);
    void Present();
    // Waits until the renderer has drawn everything (reads a pixel back).
    void Finish();

private:
    explicit CSdlQuadRenderer(SDL_Renderer* renderer) : m_Renderer(renderer) {}

    SDL_Renderer* m_Renderer;
    SDL_Texture* m_Texture = nullptr;
    std::vector<unsigned char> m_Vertices; // SDL_Vertex records
};

} // namespace lv::platform
