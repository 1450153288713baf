// The bytes as a painting description: a painted image has the size its canvas asked for, and a
// refused one holds nothing.
#include <cstdlib>
#include <string>
#include <string_view>

#include "content/ImagePainter.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 4096)
        return 0;
    lv::content::CImagePainter painter;
    // Small canvases keep every input quick; the limits themselves are what is tested.
    painter.SetMaxPixels(64 * 64);
    std::string error;
    const bool painted = painter.Paint(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (painted != !painter.GetPixels().empty() || (!painted && error.empty()))
        std::abort();
    if (painted && (painter.GetPixels().size() != size_t(painter.GetWidth()) * painter.GetHeight() ||
                    painter.GetWidth() != painter.GetFrameWidth() * painter.GetFrameCount() ||
                    size_t(painter.GetWidth()) * painter.GetHeight() > 64 * 64))
        std::abort();
    return 0;
}
