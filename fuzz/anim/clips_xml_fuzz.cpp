// Clip XML as the game's loader and the clip image writer read it: whatever the document, the
// image built from it must pass the image checker, so the game can always use it in place.
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace lv::misc::anim;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    const std::vector<char> xml(data, data + size);
    CClipsBuilder builder;
    builder.AddXml(xml.data(), xml.size());
    const std::vector<u8> image = builder.Build();
    const char* problem = nullptr;
    if (!CClipManager::CheckImage(image.data(), image.size(), &problem)) {
        std::fprintf(stderr, "built clip image rejected: %s\n", problem ? problem : "?");
        std::abort();
    }
    return 0;
}
