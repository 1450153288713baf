#pragma once
// Writes saved-game files for the loader's tests: the 212-byte header (two 96-byte name records,
// the four section sizes and the tutorial step), the sections from given bytes, the checksum of
// every earlier byte, and the trailing rest up to the size the header declares. It can also
// damage a file on purpose.
#include "core/Types.h"

#include <string>

namespace lv::content {

struct SSaveGame
{
    std::string quest;
    std::string scene;
    s32 tutorialStep = -1;
    // The sections' bytes, as the game's save operations write them.
    std::string questState;
    std::string hudState;
    std::string hostState;
    std::string ambientState;
    // Declared sizes; -1 takes the quest section's length (Q) and, for the others, the running
    // game's reservations (H must be given: it follows the HUD's panels).
    s32 questSize = -1;
    s32 hudSize = -1;
    s32 hostSize = -1;
    s32 ambientSize = -1;
    // The byte the trailing rest is filled with.
    u8 restFill = 0;
};

constexpr s32 kSaveGameHeaderSize = 212;
constexpr s32 kSaveGameHostSize = 13204;
constexpr s32 kSaveGameAmbientSize = 25504;

// The declared sizes as written (defaults resolved).
s32 SaveGameQuestSize(const SSaveGame& save);
s32 SaveGameHudSize(const SSaveGame& save);
s32 SaveGameHostSize(const SSaveGame& save);
s32 SaveGameAmbientSize(const SSaveGame& save);
// Where the checksum stands: after the header and the four sections.
size_t SaveGameChecksumOffset(const SSaveGame& save);

// The file's bytes: 216 + Q + H + M + A of them when the sections fit their sizes (sections
// longer than their room push the checksum on and leave no rest).
std::string WriteSaveGame(const SSaveGame& save);

enum class ESaveGameDamage
{
    None,
    HeaderOnly,     // cut to 211 bytes
    OneByteShort,   // the last byte missing
    OneByteLong,    // one byte more
    QuestByte,      // a byte of the quest section changed
    ChecksumByte,   // a byte of the checksum changed
    RestByte,       // a byte of the trailing rest changed (not a damage the loader sees)
    // H, M and A so large that a 32-bit sum wraps to the file's size (checksum made anew).
    HugeSizes,
    // Q negative, H grown to keep the sum (checksum made anew).
    NegativeSize,
};

// The file written and then damaged that way.
std::string WriteDamagedSaveGame(const SSaveGame& save, ESaveGameDamage damage);

} // namespace lv::content
