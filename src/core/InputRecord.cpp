#include "core/InputRecord.h"
#include "core/ByteOrder.h"

namespace lv::core {

namespace {

void PutU32(std::string& out, u32 v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

CInputRecord CInputRecord::Pointer(u32 time, u8 type, u16 param, s32 flags, s32 x, s32 y)
{
    CInputRecord r;
    r.Time = time;
    r.Type = type & 0xF;
    r.Flags = static_cast<u8>(flags & 0xF);
    r.Param = param;
    r.Data = u32(static_cast<u16>(x)) | u32(static_cast<u16>(y)) << 16;
    return r;
}

CInputRecord CInputRecord::Key(u32 time, u8 type, u16 param, s32 flags, u32 value)
{
    CInputRecord r;
    r.Time = time;
    r.Type = type & 0xF;
    r.Flags = static_cast<u8>(flags & 0xF);
    r.Param = param;
    r.Data = value;
    return r;
}

EInputRecordingStatus ParseInputRecording(const u8* data, size_t size, std::vector<CInputRecord>& records)
{
    records.clear();
    if (!data || size < 4 || ReadU32(data) != CInputRecord::kRecordSize)
        return EInputRecordingStatus::BadRecordSize;
    if (size < CInputRecord::kHeaderSize)
        return EInputRecordingStatus::Truncated;
    const u32 count = ReadU32(data + 4);
    // 64-bit arithmetic: the product cannot overflow, so a huge count is simply too long.
    if (u64(size) < u64(CInputRecord::kHeaderSize) + u64(CInputRecord::kRecordSize) * count)
        return EInputRecordingStatus::Truncated;
    records.resize(count);
    const u8* p = data + CInputRecord::kHeaderSize;
    for (u32 i = 0; i < count; ++i, p += CInputRecord::kRecordSize) {
        CInputRecord& r = records[i];
        r.Time = ReadU32(p);
        r.Type = p[4] & 0xF;
        r.Flags = p[4] >> 4;
        r.Param = static_cast<u16>(p[6] | p[7] << 8);
        r.Data = ReadU32(p + 8);
    }
    return EInputRecordingStatus::Ok;
}

std::string WriteInputRecording(const std::vector<CInputRecord>& records)
{
    std::string out;
    out.reserve(CInputRecord::kHeaderSize + CInputRecord::kRecordSize * records.size());
    PutU32(out, CInputRecord::kRecordSize);
    PutU32(out, static_cast<u32>(records.size()));
    for (const CInputRecord& r : records) {
        PutU32(out, r.Time);
        out.push_back(static_cast<char>((r.Type & 0xF) | (r.Flags & 0xF) << 4));
        out.push_back(0);
        out.push_back(static_cast<char>(r.Param & 0xFF));
        out.push_back(static_cast<char>(r.Param >> 8));
        PutU32(out, r.Data);
        PutU32(out, 0);
    }
    return out;
}

} // namespace lv::core
