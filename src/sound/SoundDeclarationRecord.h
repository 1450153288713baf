#pragma once
// One sound declaration as stored in "sounds.bindump": 352 bytes, little-endian.
//
//   0 file (name record, capacity 120) | 128 id (capacity 88) | 224 group (capacity 88)
//   320 balance f32 | 324 volume f32 | 328 priority s32 | 332 repeat s32
//   336 max_concurrent_sound_play s32 | 340 flags s32 (bit 0 load on demand)
//   344 concurrent_sound_play_delay f32 | 348 speed f32
#include "core/FixedString.h"
#include "core/Types.h"

#include <cstddef>

namespace lv::sound {

inline constexpr u32 kSoundDeclarationsMagic = 0x53444E53; // "SNDS"
inline constexpr size_t kSoundDeclarationsHeaderSize = 8;
inline constexpr size_t kSoundDeclarationRecordSize = 352;
inline constexpr s32 kSoundFlagLoadOnDemand = 1;

class CSoundDeclarationRecord
{
public:
    // Reads the record at data (at least the record's size). False when a stored name length
    // leaves no room for its terminator; the names are rehashed from their text.
    bool Read(const u8* data, size_t size);
    // Writes the whole record; the names with their hashes.
    void Write(u8* out) const;

    // The values a new sound type starts with stand for omitted attributes.
    CLongFixedString m_File;
    CFixedString m_Id;
    CFixedString m_Group;
    float m_Balance = 0.0f;
    float m_Volume = 100.0f;
    s32 m_Priority = 0;
    s32 m_Repeat = 1;
    s32 m_MaxConcurrent = -1;
    s32 m_Flags = 0;
    float m_PlayDelay = -1.0f;
    float m_Speed = 1.0f;
};

} // namespace lv::sound
