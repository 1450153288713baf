#pragma once
// Writes the quest data image "quest.bindump" (magic "QST", version 2) field by field from a
// description of quests, scenes and object records, with every name's hash computed and every
// unnamed byte 0. Its guid text rule is its own, so that tests cross-check the engine's. It can
// also break an image on purpose for the loader's tests.
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace lv::content {

enum class EQuestObjectKind : u16
{
    Other = 0,
    Group = 1,
    Area = 2,
    Image = 3,
    Clip = 4,
    Video = 5,
};

struct SQuestColor
{
    u16 red = 0, green = 0, blue = 0, alpha = 0;
};

struct SQuestObject
{
    EQuestObjectKind kind = EQuestObjectKind::Image;
    std::string id;
    std::string ctype;
    s32 flags = 0;
    u64 guid = 0;
    std::string hint; // UTF-8; non-ASCII characters are stored as '?'
    // "image_id", "clip_id" or "video_id"; "alpha_video_id" for videos.
    std::string resource;
    std::string alphaVideo;
    SQuestColor color;
    float offset[2] = {0, 0};
    float size[2] = {0, 0};
    float angle = 0;
    bool flipH = false;
    bool flipV = false;
    bool useAlpha = false;            // clips
    s32 animationFlags = 1;           // clips: bit 1 plays; videos: bit 1 auto-play, bit 2 looped
    std::vector<std::pair<float, float>> points; // areas
    std::vector<SQuestObject> children;          // groups
};

struct SQuestScene
{
    std::string id;
    u64 guid = 0;
    s32 flags = 0;
    s32 size[2] = {0, 0};
    s32 workArea[4] = {0, 0, 0, 0};
    std::vector<SQuestObject> objects;
};

struct SQuest
{
    std::string id;
    std::vector<SQuestScene> scenes;
};

// Deliberate faults, applied to the first quest, scene or object record of the image.
enum class EQuestImageFault
{
    None,
    QuestBlockSizePastEnd,   // the quest's block size is 4 bytes beyond the image
    SceneCountPastEnd,       // the quest claims one more scene block than it holds
    ObjectCountPastEnd,      // the scene claims one more object record than it holds
    SceneBlockSizeTooSmall,  // the scene's block size is smaller than its record
    NameWithoutTerminator,   // the first object's name fills its 88 characters, no NUL
    NameLengthTooLong,       // the first object's name length word is 200
    HintSizePastEnd,         // the first object's hint size runs past the image
    GroupSizePastEnd,        // the first group's size field runs past the image
    AreaPointCountPastEnd,   // the first area's point count runs past the image
};

class CQuestDataWriter
{
public:
    static constexpr u32 kMagic = 0x02545351;

    // The guid of a guid text: base-64 digits, first character least significant.
    static u64 ParseGuid(const std::string& text);
    // The 96-byte name record with its hash; false (record zeroed) for a name over 87 bytes.
    static bool WriteName(const std::string& text, u8* out);

    // One complete object record (header, hint, payload, children).
    static std::vector<u8> BuildObjectRecord(const SQuestObject& object);
    // The whole image. False when a name or hint does not fit its field.
    static bool BuildImage(const std::vector<SQuest>& quests, std::vector<u8>& image,
                           EQuestImageFault fault = EQuestImageFault::None, std::string* error = nullptr);
    static bool WriteFile(const std::vector<SQuest>& quests, const std::filesystem::path& file,
                          std::string* error = nullptr);
};

} // namespace lv::content
