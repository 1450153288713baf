#pragma once
// quest.xml into the two images the game reads: the quest data ("quest.bindump") and the quest
// scripts ("quest_script.bindump"), both through the engine's own XML builds so the game reads
// exactly what it would have built from the XML itself. Shared by quest_compiler and
// content_builder.
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace questcompile {

struct SResult
{
    int quests = 0;
    unsigned dataBytes = 0;
    unsigned scriptBytes = 0;
};

// False with a message on the first failure; script blocks beyond the image's limits are
// reported and left out, as the game's own build does.
inline bool CompileQuestXml(const std::filesystem::path& xml, const std::filesystem::path& dataImage,
                            const std::filesystem::path& scriptImage, SResult* result, std::string* error)
{
    std::ifstream in(xml, std::ios::binary);
    if (!in) {
        *error = "cannot read " + xml.string();
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    qe::CQuestData data;
    if (!data.BuildFromXmlText(text)) {
        *error = xml.string() + " gives no usable quest data";
        return false;
    }
    if (!data.SaveBindump(dataImage.string().c_str())) {
        *error = "cannot write " + dataImage.string();
        return false;
    }
    lv::core::SetQuietMessageBoxes(true);
    lv::core::CSettings settings;
    settings.ParseXmlText(text.data(), text.size());
    qe::CScriptData scripts;
    scripts.Compile(settings.GetFirstChild());
    if (!scripts.Save(scriptImage.string().c_str())) {
        *error = "cannot write " + scriptImage.string();
        return false;
    }
    if (result) {
        result->quests = data.GetQuestCount();
        result->dataBytes = data.GetImageSize();
        result->scriptBytes = scripts.GetSize();
    }
    return true;
}

} // namespace questcompile
