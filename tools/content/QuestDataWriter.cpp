#include "content/QuestDataWriter.h"

#include "core/ByteOrder.h"
#include "core/FixedString.h"
#include "core/Guid.h"

#include <cstring>
#include <fstream>

namespace lv::content {

namespace {

struct SOut : lv::core::CByteAppender
{
    explicit SOut(std::vector<u8>& out) : CByteAppender(out), bytes(out) {}

    std::vector<u8>& bytes;
    bool ok = true;
    std::string message;

    void Name(const std::string& text)
    {
        const size_t at = bytes.size();
        bytes.resize(at + 96, 0);
        if (!CQuestDataWriter::WriteName(text, bytes.data() + at))
        {
            ok = false;
            message = "name too long: " + text;
        }
    }
    void Color(const SQuestColor& c)
    {
        U16(c.red);
        U16(c.green);
        U16(c.blue);
        U16(c.alpha);
    }
};

void WriteObject(SOut& out, const SQuestObject& o)
{
    out.Name(o.id);
    out.Name(o.ctype);
    out.S32(o.flags);
    out.U32(0);
    out.U64(o.guid);
    std::string hint;
    for (unsigned char c : o.hint)
    {
        if (c < 0x80)
            hint.push_back(static_cast<char>(c));
        else if ((c & 0xC0) != 0x80) // one '?' per non-ASCII character
            hint.push_back('?');
    }
    const size_t hintSize = hint.empty() ? 0 : hint.size() / 4 * 4 + 4;
    if (hintSize > 0xFFFF)
    {
        out.ok = false;
        out.message = "hint too long in " + o.id;
    }
    out.U16(static_cast<u32>(hintSize));
    out.U16(static_cast<u32>(o.kind));
    out.U32(0);
    hint.resize(hintSize, '\0');
    out.bytes.insert(out.bytes.end(), hint.begin(), hint.end());

    switch (o.kind)
    {
    case EQuestObjectKind::Image:
    case EQuestObjectKind::Clip:
        out.Name(o.resource);
        out.Color(o.color);
        out.F32(o.offset[0]);
        out.F32(o.offset[1]);
        out.F32(o.size[0]);
        out.F32(o.size[1]);
        out.F32(o.angle);
        if (o.kind == EQuestObjectKind::Image)
        {
            out.U8(o.flipH);
            out.U8(o.flipV);
            out.U16(0);
        }
        else
        {
            out.U8(o.useAlpha);
            out.U8(o.animationFlags & 1);
            out.U8(o.flipH);
            out.U8(o.flipV);
        }
        break;
    case EQuestObjectKind::Video:
        out.Name(o.resource);
        out.Name(o.alphaVideo);
        out.Color(o.color);
        out.F32(o.offset[0]);
        out.F32(o.offset[1]);
        out.F32(o.size[0]);
        out.F32(o.size[1]);
        out.U8(o.animationFlags & 1);
        out.U8((o.animationFlags & 2) ? 1 : 0);
        out.U16(0);
        out.F32(o.angle);
        out.U8(o.flipH);
        out.U8(o.flipV);
        out.U16(0);
        break;
    case EQuestObjectKind::Area:
        out.F32(o.offset[0]);
        out.F32(o.offset[1]);
        out.F32(o.size[0]);
        out.F32(o.size[1]);
        out.F32(o.angle);
        out.S32(static_cast<s32>(o.points.size()));
        for (const auto& [x, y] : o.points)
        {
            out.F32(x);
            out.F32(y);
        }
        break;
    case EQuestObjectKind::Group:
    {
        const size_t at = out.bytes.size();
        out.U32(0);
        out.S32(static_cast<s32>(o.children.size()));
        for (const SQuestObject& child : o.children)
            WriteObject(out, child);
        out.Patch32(at, static_cast<u32>(out.bytes.size() - at));
        break;
    }
    case EQuestObjectKind::Other:
        break;
    }
}

} // namespace

u64 CQuestDataWriter::ParseGuid(const std::string& text)
{
    return lv::core::ParseGuid(text);
}

bool CQuestDataWriter::WriteName(const std::string& text, u8* out)
{
    std::memset(out, 0, 96);
    if (text.size() > CFixedString::kMaxLength)
        return false;
    CFixedString name(text.c_str(), text.size());
    FixedStringUpdateHash(name);
    return name.WriteRecord(out);
}

std::vector<u8> CQuestDataWriter::BuildObjectRecord(const SQuestObject& object)
{
    std::vector<u8> bytes;
    SOut out(bytes);
    WriteObject(out, object);
    return bytes;
}

bool CQuestDataWriter::BuildImage(const std::vector<SQuest>& quests, std::vector<u8>& image, EQuestImageFault fault,
                                  std::string* error)
{
    image.clear();
    SOut out(image);
    out.U32(kMagic);
    size_t firstQuest = 0, firstScene = 0, firstObject = 0, firstGroup = 0, firstArea = 0;
    for (const SQuest& quest : quests)
    {
        const size_t questAt = image.size();
        if (!firstQuest)
            firstQuest = questAt;
        out.Name(quest.id);
        out.S32(static_cast<s32>(quest.scenes.size()));
        out.U32(0);
        for (const SQuestScene& scene : quest.scenes)
        {
            const size_t sceneAt = image.size();
            if (!firstScene)
                firstScene = sceneAt;
            out.Name(scene.id);
            out.U64(scene.guid);
            out.S32(scene.flags);
            out.S32(scene.size[0]);
            out.S32(scene.size[1]);
            for (s32 v : scene.workArea)
                out.S32(v);
            out.S32(static_cast<s32>(scene.objects.size()));
            out.U32(0);
            out.U32(0);
            for (const SQuestObject& object : scene.objects)
            {
                const size_t objectAt = image.size();
                if (!firstObject)
                    firstObject = objectAt;
                WriteObject(out, object);
                const size_t payload = objectAt + 216 + (image[objectAt + 208] | (image[objectAt + 209] << 8));
                if (!firstGroup && object.kind == EQuestObjectKind::Group)
                    firstGroup = payload;
                if (!firstArea && object.kind == EQuestObjectKind::Area)
                    firstArea = payload;
            }
            out.Patch32(sceneAt + 136, static_cast<u32>(image.size() - sceneAt));
        }
        out.Patch32(questAt + 100, static_cast<u32>(image.size() - questAt));
    }

    const auto read32 = [&](size_t at) {
        return static_cast<u32>(image[at] | (image[at + 1] << 8) | (image[at + 2] << 16) | (image[at + 3] << 24));
    };
    bool applied = true;
    switch (fault)
    {
    case EQuestImageFault::None: break;
    case EQuestImageFault::QuestBlockSizePastEnd:
        if ((applied = firstQuest != 0))
            out.Patch32(firstQuest + 100, static_cast<u32>(image.size() - firstQuest + 4));
        break;
    case EQuestImageFault::SceneCountPastEnd:
        if ((applied = firstQuest != 0))
            out.Patch32(firstQuest + 96, read32(firstQuest + 96) + 1);
        break;
    case EQuestImageFault::ObjectCountPastEnd:
        if ((applied = firstScene != 0))
            out.Patch32(firstScene + 132, read32(firstScene + 132) + 1);
        break;
    case EQuestImageFault::SceneBlockSizeTooSmall:
        if ((applied = firstScene != 0))
            out.Patch32(firstScene + 136, 100);
        break;
    case EQuestImageFault::NameWithoutTerminator:
        if ((applied = firstObject != 0))
        {
            image[firstObject] = 87;
            image[firstObject + 1] = 0;
            std::memset(image.data() + firstObject + 8, 'x', 88);
        }
        break;
    case EQuestImageFault::NameLengthTooLong:
        if ((applied = firstObject != 0))
        {
            image[firstObject] = 200;
            image[firstObject + 1] = 0;
        }
        break;
    case EQuestImageFault::HintSizePastEnd:
        if ((applied = firstObject != 0))
        {
            image[firstObject + 208] = 0xFC;
            image[firstObject + 209] = 0xFF;
        }
        break;
    case EQuestImageFault::GroupSizePastEnd:
        if ((applied = firstGroup != 0))
            out.Patch32(firstGroup, static_cast<u32>(image.size() - firstGroup + 4));
        break;
    case EQuestImageFault::AreaPointCountPastEnd:
        if ((applied = firstArea != 0))
            out.Patch32(firstArea + 20, read32(firstArea + 20) + 1000);
        break;
    }
    if (!applied)
    {
        out.ok = false;
        out.message = "the image has no record to break";
    }
    if (!out.ok && error)
        *error = out.message;
    return out.ok;
}

bool CQuestDataWriter::WriteFile(const std::vector<SQuest>& quests, const std::filesystem::path& file,
                                 std::string* error)
{
    std::vector<u8> image;
    if (!BuildImage(quests, image, EQuestImageFault::None, error))
        return false;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out)
    {
        if (error)
            *error = "cannot write " + file.string();
        return false;
    }
    return true;
}

} // namespace lv::content
