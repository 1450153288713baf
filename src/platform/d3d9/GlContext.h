#pragma once
// The OpenGL context of a device, shared by the device and every resource it creates, so that a
// resource released after its device can still free its GL objects.
#include "platform/WinTypes.h"

#include <memory>
#include <unordered_set>

struct SDL_Window;

namespace lv::platform {

class CGlQuery;
class CGlTexture;

class CGlContext
{
public:
    // Null, with one log line, when the window cannot carry an OpenGL 3.3 core context.
    static std::shared_ptr<CGlContext> Create(HWND window);
    ~CGlContext();
    CGlContext(const CGlContext&) = delete;
    CGlContext& operator=(const CGlContext&) = delete;

    // Cheap when already current (one thread-local read).
    void MakeCurrent();
    SDL_Window* GetWindow() const { return m_Window; }

    // Code outside the device that binds textures, framebuffers or programs, or deletes GL
    // objects, says so here: the device then sets its bindings afresh instead of trusting
    // what it last set.
    void ForgetBindings() { ++m_BindingEpoch; }
    unsigned long long GetBindingEpoch() const { return m_BindingEpoch; }

    // Released event queries kept for the next requests (a few: the program and a waiting
    // caller may hold one each); false when the parking is full.
    bool ParkQuery(CGlQuery* query);
    CGlQuery* TakeParkedQuery();

    // DEFAULT-pool textures that exist; a device Reset is refused while one is held.
    std::unordered_set<CGlTexture*>& DefaultPoolTextures() { return m_DefaultPoolTextures; }

private:
    CGlContext(SDL_Window* window, void* context) : m_Window(window), m_Context(context) {}

    SDL_Window* m_Window;
    void* m_Context;
    unsigned long long m_BindingEpoch = 0;
    CGlQuery* m_ParkedQueries[4] = {};
    std::unordered_set<CGlTexture*> m_DefaultPoolTextures;
};

} // namespace lv::platform
