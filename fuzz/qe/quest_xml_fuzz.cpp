// The quest data built from arbitrary quest.xml text, and every quest in it created and saved.
#include "qe/ByteBuffer.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"

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
    return 0;
}
