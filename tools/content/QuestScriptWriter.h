#pragma once
// Writes the quest script image "quest_script.bindump" ("QSC", version 1) field by field from a
// description of quests, scenes, blocks of the nine kinds, their input lists, minigame
// arguments, command sets and command trees. Names carry their hash where the compiler stores
// one (quest and block ids, action object and item names, command-set item names, command names,
// command and minigame arguments, the scene-event block's empty name) and 0 elsewhere (the
// environment object, the scene-block names, the minigame name). It can also break an image on
// purpose for the loader's tests.
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lv::content {

struct SScriptArgument
{
    std::string name;
    std::string value;
};

struct SScriptCommand
{
    enum class EType
    {
        Parallel,
        Sequence,
        Named,
    };
    EType type = EType::Named;
    std::string name;
    std::vector<SScriptArgument> arguments;
    std::vector<SScriptCommand> children;

    static SScriptCommand Named(std::string name, std::vector<SScriptArgument> arguments = {})
    {
        SScriptCommand c;
        c.name = std::move(name);
        c.arguments = std::move(arguments);
        return c;
    }
    static SScriptCommand Node(EType type, std::vector<SScriptCommand> children)
    {
        SScriptCommand c;
        c.type = type;
        c.children = std::move(children);
        return c;
    }
};

// A tree slot: empty, or one root.
using SScriptTree = std::vector<SScriptCommand>;

struct SScriptCommandSet
{
    std::string activeObject;
    SScriptTree tree;
};

enum class EScriptBlockKind : u32
{
    Action,
    Environment,
    AutoAction,
    Scene,
    Minigame,
    SceneEvent,
    Group,
    Cycle,
    Or,
};

struct SScriptBlock
{
    EScriptBlockKind kind = EScriptBlockKind::Action;
    u64 guid = 0;
    std::string id;
    std::string object;       // action, environment, scene (the door)
    std::string activeObject; // action
    std::string targetScene;  // scene
    std::string minigame;     // minigame
    bool ignoredByHint = false; // action, minigame
    bool openEvent = false;     // scene event
    std::vector<u64> conditionInputs, unblockInputs, blockInputs, loopInputs, members, inputs;
    std::vector<SScriptArgument> arguments; // minigame
    SScriptTree correct, incorrect, commands, preOpen, postOpen;
    std::vector<SScriptCommandSet> commandSets;
};

struct SScriptScene
{
    u64 guid = 0;
    // In any order: the image holds them kind by kind, each kind in this order.
    std::vector<SScriptBlock> blocks;
};

struct SScriptQuest
{
    std::string id;
    std::vector<SScriptScene> scenes;
};

// Deliberate faults, applied to the first record of their kind in the image.
enum class EScriptImageFault
{
    None,
    WrongVersion,          // the tag's version byte is 2
    BlockSizePastScene,    // the first block's size runs past its scene
    ListCountPastRecord,   // the first block's unblock count runs past its record
    TreeChildrenOverrun,   // the first parallel or sequence node claims one child more than it holds
    ArgumentCountMismatch, // the first named command claims one argument more than its size holds
    NameWithoutTerminator, // the first block id fills its 88 bytes without a terminator
    QuestSizePastEnd,      // the first quest's size runs 4 bytes past the image
};

class CQuestScriptWriter
{
public:
    static constexpr u32 kTag = 0x01435351;

    // The guid of a guid text: base-64 digits, first character least significant.
    static u64 ParseGuid(const std::string& text);
    // The 96-byte name record, with its hash or 0; false (record zeroed) over 87 bytes.
    static bool WriteName(const std::string& text, bool withHash, u8* out);
    // One command record with its descendants.
    static std::vector<u8> BuildCommand(const SScriptCommand& command);
    // The whole image. False when a name does not fit its field.
    static bool BuildImage(const std::vector<SScriptQuest>& quests, std::vector<u8>& image,
                           EScriptImageFault fault = EScriptImageFault::None, std::string* error = nullptr);
    static bool WriteFile(const std::vector<SScriptQuest>& quests, const std::filesystem::path& file,
                          EScriptImageFault fault = EScriptImageFault::None, std::string* error = nullptr);
};

} // namespace lv::content
