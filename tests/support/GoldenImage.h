#pragma once
// Compares a picture read back from the OpenGL layer with a reference PNG in a test's golden
// folder; GAME_UPDATE_GOLDEN=1 writes the reference instead and skips (check it by eye). A
// difference writes <name>.actual.png under GAME_TEST_TMP and names the first differing pixel.
// Test programs using it compile tests/platform/PngImage.cpp in.
#include "core/Types.h"
#include "platform/PngImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// The golden folder beside a test source: GoldenFolder(__FILE__).
inline std::filesystem::path GoldenFolder(const char* sourceFile)
{
    return std::filesystem::path(sourceFile).parent_path() / "golden";
}

// True when every channel of the two 0xAARRGGBB values is within tolerance.
inline bool GoldenPixelNear(u32 a, u32 b, u32 tolerance)
{
    for (u32 shift = 0; shift < 32; shift += 8)
    {
        const s32 ca = s32((a >> shift) & 0xFF), cb = s32((b >> shift) & 0xFF);
        if (u32(ca > cb ? ca - cb : cb - ca) > tolerance)
            return false;
    }
    return true;
}

// Pixels are 0xAARRGGBB, rows top first; alpha is taken as opaque (the back buffer has none).
// tolerance is the largest difference allowed per channel.
inline void ExpectGoldenImage(const std::filesystem::path& folder, const std::string& name, u32 width,
                              u32 height, std::vector<u32> pixels, u32 tolerance = 0)
{
    ASSERT_EQ(pixels.size(), size_t(width) * height);
    for (u32& p : pixels)
        p |= 0xFF000000u;
    const std::filesystem::path golden = folder / (name + ".png");
    const char* update = std::getenv("GAME_UPDATE_GOLDEN");
    if (update && *update == '1')
    {
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(lv::platform::test::WritePng(golden.string(), width, height, pixels));
        GTEST_SKIP() << "reference written to " << golden;
    }
    UINT gw = 0, gh = 0;
    std::vector<DWORD> expected;
    ASSERT_TRUE(lv::platform::test::ReadPng(golden.string(), gw, gh, expected)) << golden;
    ASSERT_EQ(gw, width);
    ASSERT_EQ(gh, height);
    u32 different = 0, first = 0;
    for (u32 i = 0; i < expected.size(); ++i)
        if (!GoldenPixelNear(expected[i], pixels[i], tolerance) && different++ == 0)
            first = i;
    if (different)
    {
        const char* tmp = std::getenv("GAME_TEST_TMP");
        const std::filesystem::path scratch(tmp && *tmp ? tmp : testing::TempDir());
        std::filesystem::create_directories(scratch);
        const std::filesystem::path actual = scratch / (name + ".actual.png");
        lv::platform::test::WritePng(actual.string(), width, height, pixels);
        ADD_FAILURE() << "see " << actual << ": " << different << " pixels differ from " << golden
                      << ", the first at (" << first % width << ", " << first / width << "): " << std::hex
                      << pixels[first] << " instead of " << expected[first];
    }
}

} // namespace testsupport
