#include "core/StringBlockBuilder.h"

#include "core/StringBlock.h"

namespace lv::core {

namespace {

void PutU32(std::vector<u8>& out, size_t at, u32 v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<u8>(v >> (8 * i));
}

} // namespace

bool CStringBlockBuilder::Add(s32 id, WString text)
{
    return m_Strings.emplace(id, std::move(text)).second;
}

std::vector<u8> CStringBlockBuilder::Build(u32 magic) const
{
    size_t size = StringBlockHeaderSize + m_Strings.size() * StringBlockIndexEntrySize;
    for (const auto& [id, text] : m_Strings)
        size += (text.size() + 1) * 2;

    std::vector<u8> out(size, 0);
    PutU32(out, 0, magic);
    PutU32(out, 4, static_cast<u32>(m_Strings.size()));
    size_t entry = StringBlockHeaderSize;
    size_t offset = StringBlockHeaderSize + m_Strings.size() * StringBlockIndexEntrySize;
    for (const auto& [id, text] : m_Strings) {
        PutU32(out, entry, static_cast<u32>(id));
        PutU32(out, entry + 4, static_cast<u32>(offset));
        entry += StringBlockIndexEntrySize;
        for (WChar c : text) {
            out[offset++] = static_cast<u8>(c);
            out[offset++] = static_cast<u8>(c >> 8);
        }
        offset += 2; // the zero terminator
    }
    return out;
}

} // namespace lv::core
