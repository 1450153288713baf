// particles_compiler: compiles particle XML files into the particle definitions image.
//
//   particles_compiler particles.bindump particle.xml [more.xml ...]
//
// Files are read in the order given; every "particle" element is kept, as in the game.
#include "content/ParticleImageWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: particles_compiler particles.bindump particle.xml [more.xml ...]\n");
        return 2;
    }
    lv::content::CParticleImageWriter writer;
    std::string error;
    for (int i = 2; i < argc; ++i) {
        if (!writer.AddXmlFile(argv[i], &error)) {
            std::fprintf(stderr, "particles_compiler: %s: %s\n", argv[i], error.c_str());
            return 1;
        }
    }
    if (!writer.WriteFile(argv[1], &error)) {
        std::fprintf(stderr, "particles_compiler: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu particle definitions\n", argv[1], writer.GetCount());
    return 0;
}
