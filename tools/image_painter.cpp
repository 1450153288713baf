// image_painter: paints a PNG from a text description (see content/ImagePainter.h).
//
//   image_painter DESCRIPTION OUT.png
#include "content/ImagePainter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: image_painter DESCRIPTION OUT.png\n");
        return 2;
    }
    lv::content::CImagePainter painter;
    std::string error;
    if (!painter.PaintFile(argv[1], &error) || !painter.WritePng(argv[2], &error)) {
        std::fprintf(stderr, "image_painter: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %u x %u, %u frame%s\n", argv[2], painter.GetWidth(), painter.GetHeight(),
                painter.GetFrameCount(), painter.GetFrameCount() == 1 ? "" : "s");
    return 0;
}
