#include "graphics/VideoFactory.h"

#include <cstring>

#include "core/MessageBox.h"
#include "graphics/TheoraOpaqueVideo.h"
#include "graphics/TheoraTranslucentVideo.h"
#include "graphics/WebMOpaqueVideo.h"
#include "graphics/WebMTranslucentVideo.h"

namespace lv::graphics {

namespace {

bool IsTheoraName(const char* file)
{
    return file && std::strstr(file, ".ogv");
}

const char* Printable(const char* file)
{
    return file ? file : "";
}

} // namespace

CVideo* CreateOpaqueVideo(const char* file, bool* ok)
{
    if (ok)
        *ok = true;
    if (IsTheoraName(file)) {
        auto* video = new CTheoraOpaqueVideo;
        if (!video->Open(file)) {
            lv::core::ShowMessageBoxF("Error", "Can't load opaque Theora video: %s", Printable(file));
            if (ok)
                *ok = false;
        }
        return video;
    }
    auto* video = new CWebMOpaqueVideo;
    if (!video->Open(file)) {
        lv::core::ShowMessageBoxF("Error", "Can't load opaque WebM video: %s", Printable(file));
        if (ok)
            *ok = false;
    }
    return video;
}

CVideo* CreateTranslucentVideo(const char* colourFile, const char* alphaFile, bool* ok)
{
    if (ok)
        *ok = true;
    if (IsTheoraName(colourFile)) {
        auto* video = new CTheoraTranslucentVideo;
        if (!video->Open(colourFile, alphaFile)) {
            lv::core::ShowMessageBoxF("Error", "Can't load translucent Theora video: '%s' and '%s'",
                                      Printable(colourFile), Printable(alphaFile));
            if (ok)
                *ok = false;
        }
        return video;
    }
    auto* video = new CWebMTranslucentVideo;
    if (!video->Open(colourFile, alphaFile)) {
        lv::core::ShowMessageBoxF("Error", "Can't load translucent WebM video: '%s' and '%s'",
                                  Printable(colourFile), Printable(alphaFile));
        if (ok)
            *ok = false;
    }
    return video;
}

} // namespace lv::graphics
