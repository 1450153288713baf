// quest_compiler: compiles quest.xml into the quest data image (scenes and objects) and the
// quest script image.
//
//   quest_compiler quest.bindump quest.xml [quest_script.bindump]
//
// Both images are built by the engine's own XML builds, so the game reads exactly what it would
// have built from the XML itself. Without the third argument the script image is written beside
// the quest data image as "quest_script.bindump". Script blocks beyond the image's limits are
// reported and left out.
#include "QuestCompile.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: quest_compiler quest.bindump quest.xml [quest_script.bindump]\n");
        return 2;
    }
    const std::string scriptPath =
        argc == 4 ? argv[3] : (std::filesystem::path(argv[1]).parent_path() / "quest_script.bindump").string();
    questcompile::SResult result;
    std::string error;
    if (!questcompile::CompileQuestXml(argv[2], argv[1], scriptPath, &result, &error)) {
        std::fprintf(stderr, "quest_compiler: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %i quests, %u bytes\n", argv[1], result.quests, result.dataBytes);
    std::printf("%s: %u bytes\n", scriptPath.c_str(), result.scriptBytes);
    return 0;
}
