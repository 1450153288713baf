#include "platform/SdlQuadRenderer.h"

#include "platform/PlatformLog.h"
#include "platform/SdlWindow.h"

#include <SDL.h>
#include <cstring>

namespace lv::platform {

std::unique_ptr<CSdlQuadRenderer> CSdlQuadRenderer::Create(HWND window)
{
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // Linear filtering, as the device layer's renderer draws, so that both do the same work.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_Renderer* renderer = SDL_CreateRenderer(GetSdlWindow(window), -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) {
        Log("graphics", 3, "SDL_CreateRenderer failed: %s", SDL_GetError());
        return nullptr;
    }
    return std::unique_ptr<CSdlQuadRenderer>(new CSdlQuadRenderer(renderer));
}

CSdlQuadRenderer::~CSdlQuadRenderer()
{
    if (m_Texture)
        SDL_DestroyTexture(m_Texture);
    SDL_DestroyRenderer(m_Renderer);
}

const char* CSdlQuadRenderer::GetName() const
{
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(m_Renderer, &info) == 0 ? info.name : "?";
}

bool CSdlQuadRenderer::SetTexture(const DWORD* pixels, int width, int height)
{
    if (m_Texture)
        SDL_DestroyTexture(m_Texture);
    m_Texture = SDL_CreateTexture(m_Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!m_Texture)
        return false;
    SDL_SetTextureBlendMode(m_Texture, SDL_BLENDMODE_BLEND);
    return SDL_UpdateTexture(m_Texture, nullptr, pixels, width * 4) == 0;
}

void CSdlQuadRenderer::Clear(DWORD argb)
{
    SDL_SetRenderDrawColor(m_Renderer, Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb), Uint8(argb >> 24));
    SDL_RenderClear(m_Renderer);
}

bool CSdlQuadRenderer::DrawTriangles(const void* vertices, int count)
{
    m_Vertices.resize(size_t(count) * sizeof(SDL_Vertex));
    auto* out = reinterpret_cast<SDL_Vertex*>(m_Vertices.data());
    const auto* in = static_cast<const unsigned char*>(vertices);
    for (int i = 0; i < count; ++i, in += 32) {
        float xy[2], uv[2];
        DWORD diffuse;
        std::memcpy(xy, in, 8);
        std::memcpy(&diffuse, in + 16, 4);
        std::memcpy(uv, in + 24, 8);
        out[i].position = {xy[0], xy[1]};
        out[i].color = {Uint8(diffuse >> 16), Uint8(diffuse >> 8), Uint8(diffuse), Uint8(diffuse >> 24)};
        out[i].tex_coord = {uv[0], uv[1]};
    }
    return SDL_RenderGeometry(m_Renderer, m_Texture, out, count, nullptr, 0) == 0;
}

void CSdlQuadRenderer::Present() { SDL_RenderPresent(m_Renderer); }

void CSdlQuadRenderer::Finish()
{
    Uint32 pixel = 0;
    const SDL_Rect one{0, 0, 1, 1};
    SDL_RenderReadPixels(m_Renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
}

} // namespace lv::platform
