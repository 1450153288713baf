#include "platform/d3d9/DriverAllocations.h"
#include "platform/d3d9/GlContext.h"
#include "platform/d3d9/GlQuery.h"

#include "platform/PlatformLog.h"
#include "platform/SdlWindow.h"

#include <SDL.h>
#include <dlfcn.h>
#include <epoxy/gl.h>
#include <link.h>

#include <string>
#include <vector>

namespace lv::platform {
namespace {

// Keeps every module loaded so far, the GL driver's among them, loaded for the rest of the
// process. A device re-creation then never reloads the driver, and no module with thread-local
// storage is unloaded while threads run: an unloaded one leaves a stale slot in every thread's
// table, which the leak checker of the sanitizer builds trips over at exit.
void PinLoadedModules()
{
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) -> int {
            if (info->dlpi_name && info->dlpi_name[0] != '\0')
                static_cast<std::vector<std::string>*>(out)->emplace_back(info->dlpi_name);
            return 0;
        },
        &names);
    // Outside the walk, which holds the loader's lock; the handles are kept on purpose.
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace

std::shared_ptr<CGlContext> CGlContext::Create(HWND window)
{
    SDL_Window* sdl = GetSdlWindow(window);
    if (!sdl) {
        Log("graphics", 3, "CreateDevice failed: no window");
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = nullptr;
    {
        const CDriverAllocations driver;
        context = SDL_GL_CreateContext(sdl);
    }
    if (!context) {
        Log("graphics", 3, "CreateDevice failed: no OpenGL 3.3 core context for the window: %s", SDL_GetError());
        return nullptr;
    }
    if (epoxy_gl_version() < 33) {
        Log("graphics", 3, "CreateDevice failed: OpenGL %d.%d is below 3.3", epoxy_gl_version() / 10,
            epoxy_gl_version() % 10);
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    // The program paces itself with its frame limiter; presenting never waits for a refresh.
    SDL_GL_SetSwapInterval(0);
    PinLoadedModules();
    return std::shared_ptr<CGlContext>(new CGlContext(sdl, context));
}

CGlContext::~CGlContext()
{
    for (CGlQuery* query : m_ParkedQueries)
        delete query;
    if (SDL_GL_GetCurrentContext() == m_Context)
        SDL_GL_MakeCurrent(m_Window, nullptr);
    SDL_GL_DeleteContext(m_Context);
}

bool CGlContext::ParkQuery(CGlQuery* query)
{
    for (CGlQuery*& slot : m_ParkedQueries) {
        if (!slot) {
            slot = query;
            return true;
        }
    }
    return false;
}

CGlQuery* CGlContext::TakeParkedQuery()
{
    for (CGlQuery*& slot : m_ParkedQueries) {
        if (slot) {
            CGlQuery* query = slot;
            slot = nullptr;
            return query;
        }
    }
    return nullptr;
}

void CGlContext::MakeCurrent()
{
    if (SDL_GL_GetCurrentContext() != m_Context)
        SDL_GL_MakeCurrent(m_Window, m_Context);
}

} // namespace lv::platform
