// clips_compiler: compiles clip XML files into the clip definitions image.
//
//   clips_compiler clips.bindump clips.xml [more.xml ...]
//
// Files are read in the order given; a clip defined again replaces the earlier definition, as
// in the game. Clips the game would drop (too large, more than 255 records of one kind in an
// object) are left out here too.
#include "content/ClipImageWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: clips_compiler clips.bindump clips.xml [more.xml ...]\n");
        return 2;
    }
    lv::content::CClipImageWriter writer;
    std::string error;
    for (int i = 2; i < argc; ++i) {
        if (!writer.AddXmlFile(argv[i], &error)) {
            std::fprintf(stderr, "clips_compiler: %s: %s\n", argv[i], error.c_str());
            return 1;
        }
    }
    if (!writer.WriteFile(argv[1], &error)) {
        std::fprintf(stderr, "clips_compiler: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu clips\n", argv[1], writer.GetCount());
    return 0;
}
