#include "core/Checksum.h"

#include "TempFolder.h"
#include "core/TextConvert.h"

#include <cstring>

using namespace lv::core;

TEST(Checksum, KnownValues)
{
    struct
    {
        const char* Text;
        u32 Crc;
    } cases[] = {
        {"", 0},
        {"abc", 0xCA6598D0u},
        {"123456789", 0x2DFD2D88u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Crc32(c.Text, std::strlen(c.Text)), c.Crc) << c.Text;
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    const u8 zeros[4] = {};
    EXPECT_EQ(Crc32(zeros, sizeof(zeros)), 0u); // the zero start value makes zero bytes invisible
}

TEST(Checksum, OfFile)
{
    CTempFolder tmp;
    tmp.Write("digits", "123456789");
    tmp.Write("empty", "");
    EXPECT_EQ(Crc32OfFile(Utf8ToWide(tmp / "digits").c_str()), 0x2DFD2D88u);
    EXPECT_EQ(Crc32OfFile(Utf8ToWide(tmp / "empty").c_str()), 0u);
    EXPECT_EQ(Crc32OfFile(Utf8ToWide(tmp / "missing").c_str()), 0xFFFFFFFFu);
    EXPECT_EQ(Crc32OfFile(Utf8ToWide(tmp.Path().string()).c_str()), 0xFFFFFFFFu);
}
