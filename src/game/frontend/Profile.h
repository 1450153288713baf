#pragma once
// One player: a name, an 8-character uid that names the player's files, and the block of values
// the game, the HUD and the front end read and change in place. A plain record, copied by value.
#include "core/FixedString.h"
#include "core/FixedWString.h"
#include "core/Types.h"

#include <cstddef>

namespace game {

// The player's values. Their order and widths are fixed: code that counts 16-bit words from 1
// finds the stream at word 5, the difficulty at word 6, the achievements at words 8 to 22 and
// the styles at word 23; "standart" is byte 5.
struct SProfileValues
{
    static constexpr u32 kAchievementCount = 15;
    // An achievement slot holding exactly this value is earned.
    static constexpr u16 kAchievementEarned = 1001;

    u16 SoundVolume;         // 0..100, the audio group "sound"
    u16 MusicVolume;         // 0..100, the audio group "music"
    bool CustomCursors;      // the game's image cursors (true) or the system ones
    bool Standart;           // the main story has been completed
    bool Bonus;              // the final button has been reached
    u8 Reserved;             // keeps the words below on even offsets
    u16 Stream;              // story stream; selects the resource packs
    u16 Difficulty;          // 0 none chosen yet, 1 easy, 2 hard
    u16 PreserveAspectRatio; // 1 letterboxed, 0 stretched; kept in settings.xml, not the profile
    u16 Achievements[kAchievementCount]; // "a1" .. "a15"
    u16 Styles;              // "s": three groups of four bits, see GetStyle
    u16 Candies;             // "c": candies left to spend

    // The chosen variant (0..3) of style group 0, 1 or 2.
    u32 GetStyle(u32 group) const { return (Styles >> (group * 4)) & 3u; }
};

static_assert(offsetof(SProfileValues, Standart) == 5);
static_assert(offsetof(SProfileValues, Stream) == 8);
static_assert(offsetof(SProfileValues, Difficulty) == 10);
static_assert(offsetof(SProfileValues, Achievements) == 14);
static_assert(offsetof(SProfileValues, Styles) == 44);
static_assert(sizeof(SProfileValues) == 48);

class CProfile
{
public:
    static constexpr u32 kUidLength = 8;
    // Room for 15 characters of name.
    using Name = CFixedWString<16>;

    CProfile() { Init(); }

    // Empty name and uid, default values.
    void Init();
    void SetDefaults();

    SProfileValues& GetValues() { return m_Values; }
    const SProfileValues& GetValues() const { return m_Values; }
    const Name& GetName() const { return m_Name; }
    // Longer names are cut to 15 characters.
    void SetName(const WChar* name);
    // The 8 characters and a terminating zero; empty for a slot that never got one.
    const char* GetUid() const { return m_Uid; }
    // Only an 8-character text is taken; anything else leaves the uid empty.
    void SetUid(const char* uid);

    // Reads one profile file; false when it cannot be read or its uid is not 8 characters.
    bool Load(const WChar* path);
    // Writes the profile file; the writer reports its own failures.
    bool Save(const WChar* path) const;

private:
    Name m_Name;
    char m_Uid[kUidLength + 1] = {};
    SProfileValues m_Values{};
};

} // namespace game
