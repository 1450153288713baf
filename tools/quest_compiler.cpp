// quest_compiler: compiles quest.xml into the quest data image (scenes and objects) and the
// quest script image.
//
//   quest_compiler quest.bindump quest.xml [quest_script.bindump]
//
// Both images are built by the engine's own XML builds, so the game reads exactly what it would
// have built from the XML itself. Without the third argument the script image is written beside
// the quest data image as "quest_script.bindump". Script blocks beyond the image's limits are
// reported and left out.
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: quest_compiler quest.bindump quest.xml [quest_script.bindump]\n");
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

    lv::core::SetQuietMessageBoxes(true);
    lv::core::CSettings settings;
    settings.ParseXmlText(text.data(), text.size());
    qe::CScriptData scripts;
    scripts.Compile(settings.GetFirstChild());
    const std::string scriptPath =
        argc == 4 ? argv[3] : (std::filesystem::path(argv[1]).parent_path() / "quest_script.bindump").string();
    if (!scripts.Save(scriptPath.c_str())) {
        std::fprintf(stderr, "quest_compiler: cannot write %s\n", scriptPath.c_str());
        return 1;
    }
    std::printf("%s: %u bytes\n", scriptPath.c_str(), scripts.GetSize());
    return 0;
}
