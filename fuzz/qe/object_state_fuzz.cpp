// Object and group states read through the binary reader from arbitrary bytes: the first bytes
// pick what is loaded; the rest is the state.
#include "content/QuestDataWriter.h"
#include "qe/BinaryReader.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/ObjectFactory.h"

#include <memory>

using namespace lv::content;

namespace {

std::vector<u8> MakeRecord()
{
    SQuestObject area;
    area.kind = EQuestObjectKind::Area;
    area.id = "a";
    area.guid = 1;
    area.points = {{0, 0}, {1, 0}, {1, 1}};
    SQuestObject inner;
    inner.kind = EQuestObjectKind::Group;
    inner.id = "inner";
    inner.guid = 2;
    inner.children = {area};
    SQuestObject image;
    image.id = "i";
    image.guid = 3;
    SQuestObject clip;
    clip.kind = EQuestObjectKind::Clip;
    clip.id = "c";
    clip.guid = 4;
    clip.resource = "no_such_clip";
    SQuestObject video;
    video.kind = EQuestObjectKind::Video;
    video.id = "v";
    video.guid = 5;
    video.resource = "no_such_video.webm";
    SQuestObject group;
    group.kind = EQuestObjectKind::Group;
    group.id = "g";
    group.guid = 0;
    group.children = {area, inner, image, clip, video};
    return CQuestDataWriter::BuildObjectRecord(group);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<u8> record = MakeRecord();
    if (size < 1)
        return 0;
    std::unique_ptr<qe::CSceneObject> group(qe::CreateObjectFromRecord(nullptr, record.data()));
    qe::CBinaryReader reader(data + 1, static_cast<s32>(size - 1));
    switch (data[0] % 3)
    {
    case 0: group->Load(reader); break;
    case 1:
    {
        // Any one child: the image, area, clip and video states carry their own extra bits.
        const auto& children = static_cast<qe::CGroupObject*>(group.get())->GetChildren();
        children[(data[0] / 3) % children.size()]->Load(reader);
        break;
    }
    default:
    {
        s32 count = 0;
        reader.ReadNameString();
        reader.ReadBlob(count);
        reader.ReadInt64();
        reader.ReadFloat();
        break;
    }
    }
    return 0;
}
