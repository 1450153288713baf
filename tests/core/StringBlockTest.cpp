#include "core/StringBlock.h"
#include "core/ByteOrder.h"
#include "core/StringBlockBuilder.h"

#include <gtest/gtest.h>

#include <vector>

using lv::core::PutU32;

using namespace lv::core;

namespace {

WString TextAt(const std::vector<u8>& block, u32 offset)
{
    WString s;
    for (size_t at = offset; block[at] || block[at + 1]; at += 2)
        s.push_back(static_cast<WChar>(block[at] | (block[at + 1] << 8)));
    return s;
}

} // namespace

TEST(StringBlock, BuilderSortsBySignedIdAndKeepsTheFirstOfDuplicates)
{
    CStringBlockBuilder builder;
    EXPECT_TRUE(builder.Add(9, u"nine"));
    EXPECT_TRUE(builder.Add(-3, u"minus three"));
    EXPECT_TRUE(builder.Add(1, u""));
    EXPECT_TRUE(builder.Add(5, u"five"));
    EXPECT_FALSE(builder.Add(5, u"later five"));
    const std::vector<u8> block = builder.Build(StringBlockMagicBindump);

    // 8-byte header, 4 index entries, then the texts in index order.
    EXPECT_EQ(block.size(), 8u + 4 * 8 + (12 + 1 + 5 + 5) * 2);
    ASSERT_TRUE(CheckStringBlock(block.data(), block.size(), StringBlockMagicBindump));
    EXPECT_FALSE(CheckStringBlock(block.data(), block.size(), StringBlockMagicUtf16));
    EXPECT_EQ(FindStringOffset(block.data(), -3), 40u);
    EXPECT_EQ(TextAt(block, FindStringOffset(block.data(), 5)), u"five");
    EXPECT_EQ(TextAt(block, FindStringOffset(block.data(), 9)), u"nine");
    EXPECT_EQ(TextAt(block, FindStringOffset(block.data(), 1)), u"");
    for (s32 missing : {-1, 0, 4, 10, 0x7FFFFFFF, -0x7FFFFFFF - 1})
        EXPECT_EQ(FindStringOffset(block.data(), missing), 0u) << missing;
}

TEST(StringBlock, RejectsBlocksThatALookupCouldLeave)
{
    CStringBlockBuilder builder;
    builder.Add(1, u"one");
    builder.Add(2, u"two");
    const std::vector<u8> good = builder.Build(StringBlockMagicBindump);
    ASSERT_TRUE(CheckStringBlock(good.data(), good.size(), StringBlockMagicBindump));
    const u32 indexEnd = 8 + 2 * 8;

    struct Case
    {
        const char* what;
        void (*damage)(std::vector<u8>&, u32 indexEnd);
    };
    const Case cases[] = {
        {"shorter than the header", [](std::vector<u8>& b, u32) { b.resize(7); }},
        {"index past the end", [](std::vector<u8>& b, u32) { PutU32(b, 4, 3); b.resize(8 + 3 * 8 - 1); }},
        {"huge count", [](std::vector<u8>& b, u32) { PutU32(b, 4, 0xFFFFFFFF); }},
        {"offset past the end", [](std::vector<u8>& b, u32) { PutU32(b, 8 + 12, static_cast<u32>(b.size())); }},
        {"offset into the index", [](std::vector<u8>& b, u32) { PutU32(b, 8 + 4, 8); }},
        {"odd offset", [](std::vector<u8>& b, u32 end) { PutU32(b, 8 + 4, end + 1); }},
        {"last text cut", [](std::vector<u8>& b, u32) { b.pop_back(); b.pop_back(); }},
        {"last text cut mid-unit", [](std::vector<u8>& b, u32) { b.pop_back(); }},
        {"wrong magic", [](std::vector<u8>& b, u32) { b[3] = 'L'; }},
        {"ids out of order", [](std::vector<u8>& b, u32) { PutU32(b, 8, 3); }},
        {"same id twice", [](std::vector<u8>& b, u32) { PutU32(b, 8 + 8, 1); }},
        {"negative id after a positive one", [](std::vector<u8>& b, u32) { PutU32(b, 8 + 8, 0xFFFFFFFF); }},
    };
    for (const Case& c : cases) {
        std::vector<u8> bad = good;
        c.damage(bad, indexEnd);
        const char* problem = nullptr;
        EXPECT_FALSE(CheckStringBlock(bad.data(), bad.size(), StringBlockMagicBindump, &problem)) << c.what;
        EXPECT_NE(problem, nullptr) << c.what;
    }

    // Trailing bytes after the last terminator are harmless, so they are accepted.
    std::vector<u8> padded = good;
    padded.insert(padded.end(), {'x', 0, 'y'});
    EXPECT_TRUE(CheckStringBlock(padded.data(), padded.size(), StringBlockMagicBindump));
    // An empty table is just a header.
    const std::vector<u8> empty = CStringBlockBuilder().Build(StringBlockMagicUtf16);
    EXPECT_TRUE(CheckStringBlock(empty.data(), empty.size(), StringBlockMagicUtf16));
}
