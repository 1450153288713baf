#pragma once
// What every game command shares: reading its arguments by position from the packed command
// record, and finding the scene objects its arguments name.
//
// Arguments: an index past the record's count reads as empty text; a truth value is true only
// for exactly "true"; an integer is an optional sign and the leading decimal digits after white
// space (0 without digits, held within 32 bits); a float is the leading decimal number with
// optional sign, fraction and exponent (0 without one).
//
// Object paths, fixed per command:
//   FindObjectByScenePath  "scene/name" is the whole name "name" in that scene of the quest;
//                          without "/" it is the command's own lookup (group "." child too);
//   FindObjectByPath       the command's own lookup of "[scene/]object[.child]";
//   FindObjectByName       the whole text as a plain name in the command's own scene.
#include "core/Types.h"
#include "qe/CommandBase.h"
#include "qe/CommandRecord.h"

namespace qe {
class CSceneObject;
}

namespace game {

class CGameWindow;

class CGameCommandArgs
{
public:
    explicit CGameCommandArgs(const qe::scripts::CCommandRecord& record) : m_Record(record) {}

    u32 GetCount() const { return m_Record.GetArgumentCount(); }
    // The value of the argument at 0-based index; "" past the count.
    const char* GetText(u32 index) const { return m_Record.GetArgument(index); }
    // The argument's name; "" past the count.
    const char* GetName(u32 index) const;
    bool IsEmpty(u32 index) const { return GetText(index)[0] == '\0'; }
    bool GetBool(u32 index) const { return IsTrue(GetText(index)); }
    s32 GetInt(u32 index) const { return ParseInt(GetText(index)); }
    float GetFloat(u32 index) const { return ParseFloat(GetText(index)); }

    static bool IsTrue(const char* text);
    static s32 ParseInt(const char* text);
    static float ParseFloat(const char* text);

private:
    qe::scripts::CCommandRecord m_Record;
};

// The base of the commands whose whole effect happens in their constructor: nothing is left to
// do once a frame.
class CInstantCommand : public qe::scripts::CCommandBase
{
public:
    using CCommandBase::CCommandBase;
    void Update() override {}
};

// Null, silently, when the object (or its scene) is not found.
qe::CSceneObject* FindObjectByScenePath(const qe::scripts::CCommandBase& command, const char* path);
qe::CSceneObject* FindObjectByPath(const qe::scripts::CCommandBase& command, const char* path);
qe::CSceneObject* FindObjectByName(const qe::scripts::CCommandBase& command, const char* name);

// The game window that runs the command: its owner widget, else the single game window; null
// outside a game.
CGameWindow* GetGameWindowOf(const qe::scripts::CCommandBase& command);

} // namespace game
