// The HUD section of a saved game read from arbitrary bytes against a small quest whose scene
// "hall" holds an image "key" and a group "box" with its "__inv" picture.
#include "core/MessageBox.h"
#include "game/hud/Hud.h"
#include "qe/BinaryReader.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"

#include <memory>

namespace {

const char* const kHudFuzzQuest = R"(<?xml version="1.0"?>
<quest_data>
  <Structure><quest id="main"><scene id="hall" guid="1" size="1366 768" work_area="0 0 1366 768"/></quest></Structure>
  <scene_content guid="1"><objects>
    <image id="key" guid="2" image_id="none"/>
    <group id="box" guid="3"><image id="__inv" guid="4" image_id="none"/></group>
  </objects></scene_content>
</quest_data>
)";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static qe::CQuestData* questData = [] {
        lv::core::SetQuietMessageBoxes(true);
        auto* built = new qe::CQuestData();
        built->BuildFromXmlText(kHudFuzzQuest);
        return built;
    }();
    static std::unique_ptr<qe::CQuest> quest(questData->CreateQuest("main", nullptr, nullptr));
    static game::CHud hud;
    if (!quest)
        return 0;
    hud.ResetForLevel();
    while (hud.GetModeDepth() > 1)
        hud.PopMode();
    qe::CBinaryReader reader(data, static_cast<s32>(size));
    hud.Load(reader, *quest);
    return 0;
}
