// The quest data image as the game loads it, then every quest in it built, saved and loaded
// back. The input is either the image itself (magic patched in), or, when it starts with '<',
// quest XML up to the first zero byte, built into an image by the engine and then damaged by
// the (u16 position, u8 xor) triples after that zero. Whatever the check accepts must build
// without reading outside the image or writing into it.
#include "qe/ByteBuffer.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"

#include <cstring>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    static qe::CQuestData* quests = new qe::CQuestData();
    std::vector<u8> image;
    if (size > 0 && data[0] == '<')
    {
        const u8* zero = static_cast<const u8*>(std::memchr(data, 0, size));
        const u8* end = zero ? zero : data + size;
        quests->BuildFromXmlText(std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(end - data)));
        image.assign(quests->GetImage(), quests->GetImage() + quests->GetImageSize());
        if (zero && !image.empty())
            for (const u8* p = zero + 1; p + 3 <= data + size; p += 3)
                image[(p[0] | (p[1] << 8)) % image.size()] ^= p[2];
    }
    else
    {
        image.assign(data, data + size);
        if (image.size() >= 4)
            std::memcpy(image.data(), "QST\x02", 4);
    }
    // The image stays read-only from here on: a copy the size of the data, so that ASan sees
    // every read past its end.
    std::unique_ptr<u8[]> bytes(new u8[image.size() ? image.size() : 1]);
    if (!image.empty())
        std::memcpy(bytes.get(), image.data(), image.size());
    if (!quests->LoadImage(bytes.get(), static_cast<u32>(image.size())))
        return 0;
    for (s32 i = 0; i < quests->GetQuestCount(); ++i)
    {
        const char* name = reinterpret_cast<const char*>(quests->GetQuestRecord(i) + 8);
        std::unique_ptr<qe::CQuest> quest(quests->CreateQuest(name, nullptr, nullptr));
        if (!quest)
            continue;
        qe::CByteBuffer buffer;
        buffer.Allocate(quest->GetStateSize());
        quest->Save(buffer);
        if (buffer.HasOverflowed() || buffer.GetLength() != quest->GetStateSize())
            __builtin_trap();
        quest->Load(buffer.GetData(), buffer.GetLength());
        for (s32 s = 0; s < quest->GetSceneCount(); ++s)
        {
            quest->GetScene(s)->Update();
            quest->GetScene(s)->FindObject("door");
        }
        quest->FindObjectByPath("hall/door");
    }
    quests->Clear();
    return 0;
}
