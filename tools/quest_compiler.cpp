// quest_compiler: compiles a quest.xml into the quest data image and the quest script image.
//
//   quest_compiler quest.xml quest.bindump quest_script.bindump
//
// Both images hold the same bytes the game builds from the XML when the precompiled files are
// absent. Script blocks beyond the image's limits are reported and left out.
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: quest_compiler quest.xml quest.bindump quest_script.bindump\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    lv::core::CSettings settings;
    if (!in || !settings.ParseXmlText(text.data(), text.size())) {
        std::fprintf(stderr, "quest_compiler: %s cannot be read\n", argv[1]);
        return 1;
    }
    lv::core::SetQuietMessageBoxes(true);
    qe::CQuestData quests;
    quests.BuildFromXml(settings.GetFirstChild());
    if (!quests.SaveBindump(argv[2])) {
        std::fprintf(stderr, "quest_compiler: %s cannot be written\n", argv[2]);
        return 1;
    }
    qe::CScriptData scripts;
    scripts.Compile(settings.GetFirstChild());
    if (!scripts.Save(argv[3])) {
        std::fprintf(stderr, "quest_compiler: %s cannot be written\n", argv[3]);
        return 1;
    }
    std::printf("%s: %d quests; %s: %u bytes\n", argv[2], quests.GetQuestCount(), argv[3], scripts.GetSize());
    return 0;
}
