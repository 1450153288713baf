// quest_compiler: compiles the quest's scenes and objects into the quest data image.
//
//   quest_compiler quest.bindump quest.xml
//
// The image is built by the engine's own XML build, so the game reads exactly what it would
// have built from the XML itself.
#include "core/Log.h"
#include "qe/QuestData.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: quest_compiler quest.bindump quest.xml\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "quest_compiler: cannot read %s\n", argv[2]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    qe::CQuestData data;
    if (!data.BuildFromXmlText(text)) {
        std::fprintf(stderr, "quest_compiler: %s gives no usable quest data\n", argv[2]);
        return 1;
    }
    if (!data.SaveBindump(argv[1])) {
        std::fprintf(stderr, "quest_compiler: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s: %i quests, %u bytes\n", argv[1], data.GetQuestCount(), data.GetImageSize());
    return 0;
}
