#include "content/TexturesAlphaWriter.h"

#include <cstring>

#include "core/FixedString.h"
#include "graphics/TexturesAlpha.h"

namespace lv::content {

namespace {

void Put(std::vector<u8>& out, size_t at, const void* data, size_t size)
{
    std::memcpy(out.data() + at, data, size);
}

// Runs longer than 15 bits are split.
void AppendRun(std::vector<u16>& runs, u32 count, bool value)
{
    while (count > 0) {
        const u32 part = count > 0x7FFF ? 0x7FFF : count;
        runs.push_back(static_cast<u16>(part | (value ? 0x8000 : 0)));
        count -= part;
    }
}

} // namespace

void CTexturesAlphaWriter::AddPixels(const std::string& name, u32 width, u32 height, const std::vector<u32>& pixels,
                                     bool rowOrder, u32 threshold)
{
    std::vector<std::pair<u32, bool>> runs;
    const u64 total = static_cast<u64>(width) * height;
    for (u64 i = 0; i < total; ++i) {
        const u64 x = rowOrder ? i % width : i / height;
        const u64 y = rowOrder ? i / width : i % height;
        const bool opaque = (pixels[y * width + x] >> 24) >= threshold;
        if (!runs.empty() && runs.back().second == opaque)
            ++runs.back().first;
        else
            runs.emplace_back(1, opaque);
    }
    if (runs.size() <= 1) {
        AddUniform(name, width, height, !runs.empty() && runs[0].second);
        return;
    }
    AddRuns(name, width, height, runs, rowOrder);
}

void CTexturesAlphaWriter::AddRuns(const std::string& name, u32 width, u32 height,
                                   const std::vector<std::pair<u32, bool>>& runs, bool rowOrder)
{
    CEntry entry{static_cast<u16>(width), static_cast<u16>(height), false, false, rowOrder, {}};
    for (const auto& [count, value] : runs)
        AppendRun(entry.runs, count, value);
    m_Entries[name] = std::move(entry);
}

void CTexturesAlphaWriter::AddUniform(const std::string& name, u32 width, u32 height, bool opaque)
{
    m_Entries[name] = CEntry{static_cast<u16>(width), static_cast<u16>(height), true, opaque, true, {}};
}

std::vector<u8> CTexturesAlphaWriter::Build() const
{
    const u32 count = static_cast<u32>(m_Entries.size());
    size_t runBytes = 0;
    for (const auto& [name, entry] : m_Entries)
        runBytes += entry.runs.size() * 2;
    const u32 runsAt = 8 + count * graphics::CTexturesAlpha::kEntrySize;
    std::vector<u8> out(runsAt + runBytes, 0);
    const u32 magic = graphics::CTexturesAlpha::kMagic;
    Put(out, 0, &magic, 4);
    Put(out, 4, &count, 4);
    u32 at = 8;
    u32 runAt = runsAt;
    for (const auto& [name, entry] : m_Entries) {
        CFixedString id(name.c_str(), name.size() < CFixedString::kMaxLength ? name.size() : CFixedString::kMaxLength);
        id.UpdateHash();
        id.WriteRecord(out.data() + at);
        Put(out, at + 96, &entry.width, 2);
        Put(out, at + 98, &entry.height, 2);
        const u32 bytes = static_cast<u32>(entry.runs.size() * 2);
        const u32 offset = entry.uniform ? 0 : runAt;
        Put(out, at + 100, &offset, 4);
        Put(out, at + 104, &bytes, 4);
        out[at + 108] = entry.uniform ? 1 : 0;
        out[at + 109] = entry.value ? 1 : 0;
        out[at + 110] = entry.rowOrder ? 1 : 0;
        if (bytes)
            Put(out, runAt, entry.runs.data(), bytes);
        runAt += bytes;
        at += graphics::CTexturesAlpha::kEntrySize;
    }
    return out;
}

} // namespace lv::content
