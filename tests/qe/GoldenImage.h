#pragma once
// Compares a picture read back from the OpenGL layer with tests/qe/golden/<name>.png;
// GAME_UPDATE_GOLDEN=1 writes the reference instead (check it by eye). A difference writes the
// picture beside the test's scratch files and names the first differing pixel.
#include "core/Types.h"
#include "platform/PngImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace qetest {

inline void ExpectGoldenImage(const std::string& name, u32 width, u32 height, std::vector<u32> pixels)
{
    for (u32& p : pixels)
        p |= 0xFF000000u; // the back buffer has no alpha
    const std::filesystem::path golden = std::filesystem::path(__FILE__).parent_path() / "golden" / (name + ".png");
    const char* update = std::getenv("GAME_UPDATE_GOLDEN");
    if (update && *update == '1')
    {
        std::filesystem::create_directories(golden.parent_path());
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
        if (expected[i] != pixels[i] && different++ == 0)
            first = i;
    if (different)
    {
        const char* tmp = std::getenv("GAME_TEST_TMP");
        const std::filesystem::path actual =
            std::filesystem::path(tmp && *tmp ? tmp : testing::TempDir()) / (name + ".actual.png");
        lv::platform::test::WritePng(actual.string(), width, height, pixels);
        ADD_FAILURE() << "see " << actual << ": " << different << " pixels differ, the first at (" << first % width << ", "
                      << first / width << "): " << std::hex << pixels[first] << " instead of " << expected[first];
    }
}

} // namespace qetest
