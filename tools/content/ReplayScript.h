#pragma once
// Compiles a text script of timed input into the records of the input recording file that the
// application plays back (Ctrl+Alt+P loads "replay"). One statement a line; '#' starts a
// comment; times are milliseconds since playback started and never go back:
//
//   at <ms> move <x> <y>              pointer moved (design coordinates)
//   at <ms> down <x> <y> [button]     button pressed: left (default), right or middle
//   at <ms> up <x> <y> [button]       button released
//   at <ms> click <x> <y> [button]    pressed and released in the same frame
//   at <ms> keydown <key>             key pressed; <key> is a letter, a digit, a name (left right
//   at <ms> keyup <key>                 up down home end pageup pagedown insert delete space
//   at <ms> key <key>                   backspace enter tab escape f1..f12) or #<code>, after
//                                       any of ctrl+ alt+ shift+
//   at <ms> char <c>                  one character typed (UTF-8 in the script)
//   at <ms> text <rest of the line>   each character of the text typed
//   [at <ms>] checkpoint <name>       not played: a point where a test checks the game; without
//                                       a time it stands at the last event's time
#include "core/InputRecord.h"
#include "core/Types.h"

#include <string>
#include <vector>

namespace lv::content {

struct SReplayCheckpoint
{
    std::string name;
    u32 time = 0;
    bool operator==(const SReplayCheckpoint&) const = default;
};

struct SReplayScript
{
    std::vector<lv::core::CInputRecord> records;
    std::vector<SReplayCheckpoint> checkpoints;
};

// False with "line N: ..." in error for a statement it cannot read; out is then incomplete.
bool CompileReplayScript(const std::string& text, SReplayScript& out, std::string& error);

} // namespace lv::content
