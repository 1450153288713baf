#include "qe/ScriptImage.h"

#include "core/ByteOrder.h"

namespace qe::scripts {

using lv::core::ReadU32;

namespace {

bool ImageFault(std::string* error, const char* what)
{
    if (error)
        *error = what;
    return false;
}

bool ValidateScene(const u8* scene, u32 size, u64& blocks, std::string* error)
{
    u64 expected = CSceneRecord::kHeadSize;
    for (u32 k = 0; k < kBlockKindCount; ++k) {
        const EBlockKind kind = static_cast<EBlockKind>(k);
        const u32 field = CSceneRecord::CountField(kind);
        if (kind != EBlockKind::Action && ReadU32(scene + field + 4) != expected)
            return ImageFault(error, "block kind offset does not follow the previous kind");
        const u32 count = ReadU32(scene + field);
        blocks += count;
        for (u32 i = 0; i < count; ++i) {
            if (expected + CBlockRecord::kHeadSize > size)
                return ImageFault(error, "block record past its scene");
            const u8* block = scene + expected;
            const u32 blockSize = ReadU32(block + 8);
            if (blockSize > size - expected)
                return ImageFault(error, "block size past its scene");
            CBlockLayout layout;
            if (!layout.Compute(block, blockSize, kind, true, error))
                return false;
            expected += blockSize;
        }
    }
    if (expected != size)
        return ImageFault(error, "block records do not fill their scene");
    return true;
}

bool ValidateQuest(const u8* quest, u32 size, std::string* error)
{
    if (!CScriptName::IsWellFormed(quest))
        return ImageFault(error, "quest id not terminated");
    const CQuestRecord record(quest);
    u64 at = CQuestRecord::kHeadSize;
    u64 blocks = 0;
    for (u32 i = 0; i < record.GetSceneCount(); ++i) {
        if (at + CSceneRecord::kHeadSize > size)
            return ImageFault(error, "scene record past its quest");
        const u32 sceneSize = ReadU32(quest + at + 76);
        if (sceneSize < CSceneRecord::kHeadSize || sceneSize > size - at)
            return ImageFault(error, "scene size past its quest");
        if (!ValidateScene(quest + at, sceneSize, blocks, error))
            return false;
        at += sceneSize;
    }
    if (at != size)
        return ImageFault(error, "scene records do not fill their quest");
    if (blocks != record.GetBlockCount())
        return ImageFault(error, "quest block total does not match its scenes");
    return true;
}

} // namespace

bool CScriptImage::Validate(const u8* data, size_t size, std::string* error)
{
    if (!data || size < 4 || ReadU32(data) != kTag)
        return ImageFault(error, "wrong tag");
    size_t at = 4;
    while (at < size) {
        if (size - at < CQuestRecord::kHeadSize)
            return ImageFault(error, "quest record past the image");
        const u32 questSize = ReadU32(data + at + 104);
        if (questSize < CQuestRecord::kHeadSize || questSize > size - at)
            return ImageFault(error, "quest size past the image");
        if (!ValidateQuest(data + at, questSize, error))
            return false;
        at += questSize;
    }
    return true;
}

CQuestRecord CScriptImage::GetFirstQuest(const u8* data, size_t size)
{
    return data && size > 4 ? CQuestRecord(data + 4) : CQuestRecord();
}

CQuestRecord CScriptImage::GetNextQuest(const u8* data, size_t size, CQuestRecord quest)
{
    if (!quest.IsValid())
        return {};
    const u8* next = quest.GetData() + quest.GetSize();
    return next < data + size ? CQuestRecord(next) : CQuestRecord();
}

CQuestRecord CScriptImage::FindQuest(const u8* data, size_t size, const CFixedString& id)
{
    for (CQuestRecord quest = GetFirstQuest(data, size); quest.IsValid(); quest = GetNextQuest(data, size, quest)) {
        if (quest.GetId().Equals(id))
            return quest;
    }
    return {};
}

} // namespace qe::scripts
