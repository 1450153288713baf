#include "content/SaveGameWriter.h"

#include "core/ByteOrder.h"
#include "core/Checksum.h"

#include <algorithm>
#include <cstring>

namespace lv::content {

namespace {

// A 96-byte name record: 16-bit length, 16-bit capacity (88), 16-bit hash 0 ("not computed yet",
// as the game writes names it never compared), 16-bit padding, then the text and zeros.
void AppendSaveName(std::string& out, const std::string& name)
{
    char record[96] = {};
    const size_t length = std::min<size_t>(name.size(), 87);
    const u16 len16 = static_cast<u16>(length);
    const u16 capacity = 88;
    std::memcpy(record, &len16, 2);
    std::memcpy(record + 2, &capacity, 2);
    std::memcpy(record + 8, name.data(), length);
    out.append(record, sizeof(record));
}

void AppendSaveInt(std::string& out, s32 value)
{
    u8 bytes[4];
    lv::core::WriteU32(bytes, static_cast<u32>(value));
    out.append(reinterpret_cast<const char*>(bytes), 4);
}

void PutSaveInt(std::string& out, size_t at, s32 value)
{
    lv::core::WriteU32(reinterpret_cast<u8*>(out.data() + at), static_cast<u32>(value));
}

} // namespace

s32 SaveGameQuestSize(const SSaveGame& save)
{
    return save.questSize >= 0 ? save.questSize : static_cast<s32>(save.questState.size());
}

s32 SaveGameHudSize(const SSaveGame& save)
{
    return save.hudSize >= 0 ? save.hudSize : static_cast<s32>(save.hudState.size());
}

s32 SaveGameHostSize(const SSaveGame& save)
{
    return save.hostSize >= 0 ? save.hostSize : kSaveGameHostSize;
}

s32 SaveGameAmbientSize(const SSaveGame& save)
{
    return save.ambientSize >= 0 ? save.ambientSize : kSaveGameAmbientSize;
}

size_t SaveGameChecksumOffset(const SSaveGame& save)
{
    return kSaveGameHeaderSize + save.questState.size() + save.hudState.size() + save.hostState.size() +
           save.ambientState.size();
}

std::string WriteSaveGame(const SSaveGame& save)
{
    std::string out;
    AppendSaveName(out, save.quest);
    AppendSaveName(out, save.scene);
    const s32 q = SaveGameQuestSize(save);
    const s32 h = SaveGameHudSize(save);
    const s32 m = SaveGameHostSize(save);
    const s32 a = SaveGameAmbientSize(save);
    AppendSaveInt(out, q);
    AppendSaveInt(out, h);
    AppendSaveInt(out, m);
    AppendSaveInt(out, a);
    AppendSaveInt(out, save.tutorialStep);
    out += save.questState;
    out += save.hudState;
    out += save.hostState;
    out += save.ambientState;
    AppendSaveInt(out, static_cast<s32>(lv::core::Crc32(out.data(), out.size())));
    const s64 total = 216 + static_cast<s64>(q) + h + m + a;
    if (total > static_cast<s64>(out.size()) && total < (s64(1) << 31))
        out.append(static_cast<size_t>(total) - out.size(), static_cast<char>(save.restFill));
    return out;
}

std::string WriteDamagedSaveGame(const SSaveGame& save, ESaveGameDamage damage)
{
    std::string out = WriteSaveGame(save);
    const size_t checksum = SaveGameChecksumOffset(save);
    switch (damage)
    {
    case ESaveGameDamage::None:
        break;
    case ESaveGameDamage::HeaderOnly:
        out.resize(kSaveGameHeaderSize - 1);
        break;
    case ESaveGameDamage::OneByteShort:
        out.pop_back();
        break;
    case ESaveGameDamage::OneByteLong:
        out.push_back('\0');
        break;
    case ESaveGameDamage::QuestByte:
        if (!save.questState.empty())
            out[kSaveGameHeaderSize + save.questState.size() / 2] ^= 0x5A;
        break;
    case ESaveGameDamage::ChecksumByte:
        out[checksum + 1] ^= 0x01;
        break;
    case ESaveGameDamage::RestByte:
        if (out.size() > checksum + 4)
            out[out.size() - 1] ^= 0x77;
        break;
    case ESaveGameDamage::HugeSizes: {
        // 216 + Q + H + M + A taken modulo 2^32 still gives the real file size.
        const u32 h = static_cast<u32>(SaveGameHudSize(save)) + 0x55555556u;
        const u32 m = static_cast<u32>(SaveGameHostSize(save)) + 0x55555555u;
        const u32 a = static_cast<u32>(SaveGameAmbientSize(save)) + 0x55555555u;
        PutSaveInt(out, 196, static_cast<s32>(h));
        PutSaveInt(out, 200, static_cast<s32>(m));
        PutSaveInt(out, 204, static_cast<s32>(a));
        break;
    }
    case ESaveGameDamage::NegativeSize: {
        const s32 q = SaveGameQuestSize(save);
        PutSaveInt(out, 192, -1);
        PutSaveInt(out, 196, SaveGameHudSize(save) + q + 1);
        break;
    }
    }
    // Changed sizes keep the file consistent otherwise: its checksum follows the new header.
    if ((damage == ESaveGameDamage::HugeSizes || damage == ESaveGameDamage::NegativeSize) && out.size() >= checksum + 4)
        PutSaveInt(out, checksum, static_cast<s32>(lv::core::Crc32(out.data(), checksum)));
    return out;
}

} // namespace lv::content
