#include "graphics/ImageBuffer.h"

#include <cstdlib>

namespace lv::misc::imagelib {

void CImageBuffer::Free()
{
    std::free(pixels);
    pixels = nullptr;
    width = 0;
    height = 0;
}

} // namespace lv::misc::imagelib
