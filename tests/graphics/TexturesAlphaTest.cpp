// Alpha masks: hit tests over run-length masks in both pixel orders, uniform entries, lookups, and
// files whose counts, offsets or runs do not hold together.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TextureTestSupport.h"
#include "content/TexturesAlphaWriter.h"
#include "graphics/TexturesAlpha.h"

using namespace lv::graphics;
using lv::content::CTexturesAlphaWriter;

namespace {

bool Load(CTexturesAlpha& alpha, const CTexturesAlphaWriter& writer)
{
    const std::vector<u8> bytes = writer.Build();
    return alpha.LoadData(bytes.data(), static_cast<u32>(bytes.size()));
}

// A w x h mask with one opaque pixel at the given index.
std::vector<std::pair<u32, bool>> OnePixel(u32 w, u32 h, u32 index)
{
    return {{index, false}, {1, true}, {w * h - index - 1, false}};
}

} // namespace

TEST(TexturesAlphaTest, RunsAnswerPixelByPixel)
{
    CTexturesAlphaWriter writer;
    writer.AddRuns("example", 8, 2, {{3, false}, {10, true}, {3, false}});
    CTexturesAlpha alpha;
    ASSERT_TRUE(Load(alpha, writer));
    EXPECT_TRUE(alpha.IsLoaded());
    const CFixedString name("example");
    EXPECT_FALSE(alpha.HitTest(name, 2, 0));
    EXPECT_TRUE(alpha.HitTest(name, 3, 0));
    EXPECT_TRUE(alpha.HitTest(name, 4, 1));
    EXPECT_FALSE(alpha.HitTest(name, 5, 1));
    EXPECT_FALSE(alpha.HitTest(name, -1, 0));
    EXPECT_FALSE(alpha.HitTest(name, 0, -1));
    EXPECT_FALSE(alpha.HitTest(name, 0, 2)); // past the runs
    EXPECT_FALSE(alpha.HitTest(CFixedString("other"), 3, 0));
}

TEST(TexturesAlphaTest, RowAndColumnOrderIndexDifferently)
{
    CTexturesAlphaWriter writer;
    writer.AddRuns("rows", 10, 5, OnePixel(10, 5, 21), true);
    writer.AddRuns("columns", 10, 5, OnePixel(10, 5, 7), false);
    writer.AddUniform("solid", 10, 5, true);
    writer.AddUniform("clear", 10, 5, false);
    CTexturesAlpha alpha;
    ASSERT_TRUE(Load(alpha, writer));
    EXPECT_TRUE(alpha.HitTest(CFixedString("rows"), 1, 2));
    EXPECT_TRUE(alpha.HitTest(CFixedString("columns"), 1, 2));
    EXPECT_FALSE(alpha.HitTest(CFixedString("rows"), 2, 1));
    EXPECT_FALSE(alpha.HitTest(CFixedString("columns"), 2, 1));
    for (s32 x : {-5, 0, 9, 500}) {
        EXPECT_TRUE(alpha.HitTest(CFixedString("solid"), x, x));
        EXPECT_FALSE(alpha.HitTest(CFixedString("clear"), x, x));
    }
}

TEST(TexturesAlphaTest, MasksFromPixelsAndLookupsOfAnyCount)
{
    std::vector<u32> pixels(4 * 3, 0);
    pixels[5] = 0x80FFFFFFu;
    for (int n : {0, 1, 2, 9}) {
        CTexturesAlphaWriter writer;
        for (int i = 0; i < n; ++i)
            writer.AddPixels("m" + std::to_string(i), 4, 3, pixels, i % 2 == 0);
        CTexturesAlpha alpha;
        ASSERT_TRUE(Load(alpha, writer)) << n;
        for (int i = 0; i < n; ++i) {
            const CFixedString name(("m" + std::to_string(i)).c_str());
            EXPECT_TRUE(alpha.HitTest(name, 1, 1)) << n << " " << i;
            EXPECT_FALSE(alpha.HitTest(name, 0, 1)) << n << " " << i;
        }
        EXPECT_FALSE(alpha.HitTest(CFixedString("m"), 1, 1));
    }
}

TEST(TexturesAlphaTest, DamagedFileCountsAsNotLoaded)
{
    CTexturesAlphaWriter writer;
    writer.AddRuns("a", 8, 2, {{3, false}, {10, true}, {3, false}});
    writer.AddRuns("b", 4, 1, {{4, true}, {0, false}});
    const std::vector<u8> good = writer.Build();
    ASSERT_TRUE(CTexturesAlpha::Validate(good.data(), static_cast<u32>(good.size())));
    const u32 runs = 8 + 2 * 112;
    struct CDamage
    {
        const char* what;
        size_t at;
        std::vector<u8> bytes;
    };
    const CDamage damages[] = {
        {"magic", 3, {2}},
        {"count", 4, {3}},
        {"run offset past the end", 8 + 100, {0xFF, 0xFF}},
        {"run offset inside the entries", 8 + 100, {10, 0, 0, 0}},
        {"run bytes", 8 + 104, {200}},
        {"odd run bytes", 8 + 104, {5}},
        {"run length", runs, {4}},
        {"name hash", 8 + 4, {0, 0}},
        {"name length", 8, {100}},
        {"order", 8 + 112 + 8, {'0'}},
    };
    for (const CDamage& damage : damages) {
        std::vector<u8> bad = good;
        std::copy(damage.bytes.begin(), damage.bytes.end(), bad.begin() + damage.at);
        CTexturesAlpha alpha;
        EXPECT_FALSE(alpha.LoadData(bad.data(), static_cast<u32>(bad.size()))) << damage.what;
        EXPECT_FALSE(alpha.IsLoaded()) << damage.what;
        EXPECT_FALSE(alpha.HitTest(CFixedString("a"), 4, 0)) << damage.what;
    }
    for (u32 cut : {0u, 7u, 100u, static_cast<u32>(good.size() - 1)}) {
        CTexturesAlpha alpha;
        EXPECT_FALSE(alpha.LoadData(good.data(), cut)) << cut;
    }
}

TEST(TexturesAlphaTest, FileIsReadThroughTheFileSystem)
{
    CContentFolder content;
    CTexturesAlphaWriter writer;
    writer.AddUniform("a", 2, 2, true);
    std::vector<u8> bytes = writer.Build();
    content.Write("properties/texturesalpha.bindump", bytes);
    CTexturesAlpha alpha;
    EXPECT_TRUE(alpha.LoadFile("properties/texturesalpha.bindump"));
    EXPECT_TRUE(alpha.HitTest(CFixedString("a"), 0, 0));
    bytes[3] = 7;
    content.Write("properties/texturesalpha.bindump", bytes);
    CScratchLogCapture log;
    EXPECT_FALSE(alpha.LoadFile("properties/texturesalpha.bindump"));
    EXPECT_FALSE(alpha.IsLoaded());
    EXPECT_TRUE(log.Contains("[textures_alpha][3]: Textures alpha bindump is corrupted or has another version. "
                             "Current revision: 1, bindump's revision7"));
    EXPECT_FALSE(alpha.LoadFile("properties/missing.bindump"));
}
