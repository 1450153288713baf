#pragma once
// One windowless instance of the Flash player's control: the calls its host makes on it (the
// scripting interface, in-place activation and drawing into a surface).
#include "core/Types.h"
#include "platform/WinTypes.h"

class IDirect3DSurface9;

namespace lv::platform {

class CFlashControl
{
public:
    virtual ~CFlashControl() = default;

    // Set-up after creation: window mode ("Transparent"), scale mode, in-place activation
    // without a window.
    virtual void PutWMode(const WChar* mode) = 0;
    virtual void PutScaleMode(s32 mode) = 0;
    virtual void InPlaceActivate() = 0;

    // Loads the movie at an absolute path.
    virtual HRESULT PutMovie(const WChar* path) = 0;
    virtual void Play() = 0;
    // Holds the current frame.
    virtual void StopPlay() = 0;
    virtual void GotoFrame(s32 frame) = 0;
    virtual bool IsPlaying() = 0;
    virtual s32 TotalFrames() = 0;
    virtual s32 CurrentFrame() = 0;
    // "Low", "Medium" or "High".
    virtual void PutQuality2(const WChar* quality) = 0;
    virtual void SetVariable(const WChar* name, const WChar* value) = 0;
    virtual WString GetVariable(const WChar* name) = 0;
    // Major version in the high 16 bits.
    virtual s32 FlashVersion() = 0;

    // Where the movie is drawn, as both position and clip rectangle.
    virtual void SetObjectRects(const RECT& rect) = 0;
    // Paints the current frame into the surface at the object rectangle, transparently.
    virtual void Draw(IDirect3DSurface9* surface) = 0;
    // Closes without saving; the host deletes the control afterwards.
    virtual void Close() = 0;
};

} // namespace lv::platform
