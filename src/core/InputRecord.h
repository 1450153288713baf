#pragma once
// The input recording file: timed input events that the replayer feeds to the GUI as if the
// user produced them. Little-endian:
//
//   u32 record size (always 16) | u32 count | count records of 16 bytes, in time order
//
//   record: u32 time (ms since the recording started) | u8 type (bits 0-3) and flags (bits 4-7)
//           | u8 0 | u16 param | u32 data (pointer events: s16 x, s16 y; key events: the value)
//           | u32 0
#include "core/Types.h"

#include <string>
#include <vector>

namespace lv::core {

class CInputRecord
{
public:
    enum EType : u8
    {
        ButtonDown = 0,
        ButtonUp = 1,
        Move = 2,
        DoubleClick = 3,
        Wheel = 4,
        KeyDown = 5,
        KeyUp = 6,
        Char = 7,
    };

    static constexpr u32 kRecordSize = 16;
    static constexpr size_t kHeaderSize = 8;

    u32 Time = 0;
    u8 Type = 0;
    u8 Flags = 0; // four bits
    u16 Param = 0;
    u32 Data = 0;

    // Pointer events keep their design coordinates, cut to 16 bits.
    static CInputRecord Pointer(u32 time, u8 type, u16 param, s32 flags, s32 x, s32 y);
    static CInputRecord Key(u32 time, u8 type, u16 param, s32 flags, u32 value);

    s16 GetX() const { return static_cast<s16>(Data & 0xFFFF); }
    s16 GetY() const { return static_cast<s16>(Data >> 16); }

    bool operator==(const CInputRecord& o) const = default;
};

// Why a recording was refused.
enum class EInputRecordingStatus
{
    Ok,
    BadRecordSize, // the first field is not 16 (or the header is incomplete)
    Truncated,     // fewer bytes than the count announces
};

// Reads a whole recording. Only an Ok result fills records (replacing their content); any
// other leaves them empty. The count is checked against the data before anything is allocated.
EInputRecordingStatus ParseInputRecording(const u8* data, size_t size, std::vector<CInputRecord>& records);

// The file image of the records.
std::string WriteInputRecording(const std::vector<CInputRecord>& records);

} // namespace lv::core
