// sounds_compiler: compiles a sounds.xml into the sound declaration image.
//
//   sounds_compiler sounds.xml sounds.bindump
//
// Every "sound" element declares one sound; "sound_group" elements give the sounds inside them
// their load-on-demand flag. The image holds the same bytes the game builds from the XML.
#include "content/SoundDeclarationsWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: sounds_compiler sounds.xml sounds.bindump\n");
        return 2;
    }
    lv::content::CSoundDeclarationsWriter writer;
    std::string error;
    if (!writer.AddXmlFile(argv[1], &error)) {
        std::fprintf(stderr, "sounds_compiler: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!writer.WriteBindump(argv[2], &error)) {
        std::fprintf(stderr, "sounds_compiler: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu sounds\n", argv[2], writer.GetCount());
    return 0;
}
