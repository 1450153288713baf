#pragma once
// Players chosen by file name: ".ogv" anywhere in the (colour) file's name picks Theora, any
// other name WebM. A failed open shows an error box, sets ok to false and still returns the
// unopened player, which draws nothing.
namespace lv::graphics {

class CVideo;

CVideo* CreateOpaqueVideo(const char* file, bool* ok);
CVideo* CreateTranslucentVideo(const char* colourFile, const char* alphaFile, bool* ok);

} // namespace lv::graphics
