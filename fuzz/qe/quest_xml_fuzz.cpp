// The quest data built from arbitrary quest.xml text, and every quest in it created and saved;
// the script parts compiled into the quest script image, which must pass the loader's own checks.
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "qe/ByteBuffer.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"
#include "qe/ScriptImage.h"

#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    static qe::CQuestData* quests = new qe::CQuestData();
    quests->BuildFromXmlText(std::string(reinterpret_cast<const char*>(data), size));
    for (s32 i = 0; i < quests->GetQuestCount(); ++i)
    {
        const char* name = reinterpret_cast<const char*>(quests->GetQuestRecord(i) + 8);
        std::unique_ptr<qe::CQuest> quest(quests->CreateQuest(name, nullptr, nullptr));
        if (!quest)
            __builtin_trap(); // every quest record of a built image names a quest
        qe::CByteBuffer buffer;
        buffer.Allocate(quest->GetStateSize());
        quest->Save(buffer);
        if (buffer.HasOverflowed() || buffer.GetLength() != quest->GetStateSize())
            __builtin_trap(); // the state is exactly its computed size
        // Objects that share a guid may not load back; that is the data's fault, not a crash.
        quest->Load(buffer.GetData(), buffer.GetLength());
    }
    lv::core::SetQuietMessageBoxes(true);
    lv::core::CSettings settings;
    if (settings.ParseXmlText(reinterpret_cast<const char*>(data), size)) {
        qe::CScriptData scripts;
        scripts.Compile(settings.GetFirstChild());
        if (!qe::scripts::CScriptImage::Validate(scripts.GetImage(), scripts.GetSize()))
            __builtin_trap(); // the compiler writes only sound images
    }
    return 0;
}
