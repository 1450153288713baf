#include "anim/ParticleFillStats.h"
#include "core/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using lv::misc::anim::CParticleFillStats;

TEST(ParticleFillStats, OneFrameAveragesOverThirtyTwoThenFades)
{
    CParticleFillStats stats;
    stats.BeginFrame();
    for (int i = 0; i < 10; ++i) {
        stats.AddFill("sparks", 64.0f * 64.0f, 1);
        stats.AddSource("sparks", 64.0f * 64.0f, 1);
    }
    EXPECT_FLOAT_EQ(stats.GetFillHistory()[0], 40960.0f);
    ASSERT_NE(stats.FindFill("sparks"), nullptr);
    EXPECT_FLOAT_EQ((*stats.FindFill("sparks"))[0], 40960.0f);
    for (u32 frame = 1; frame < CParticleFillStats::kFrames; ++frame) {
        EXPECT_FLOAT_EQ(stats.GetAverageFill(), 1280.0f) << frame;
        stats.BeginFrame();
    }
    EXPECT_FLOAT_EQ(stats.GetAverageFill(), 1280.0f);
    EXPECT_FLOAT_EQ(stats.GetAverageSource(), 1280.0f);
    stats.BeginFrame();
    EXPECT_EQ(stats.GetAverageFill(), 0.0f);
    EXPECT_EQ(stats.GetAverageSource(), 0.0f);
    EXPECT_NE(stats.FindFill("sparks"), nullptr) << "names are never removed";
}

TEST(ParticleFillStats, ReportListsSmallestAverageFirstAndLongNamesInFull)
{
    CTempFolder tmp;
    CParticleFillStats stats;
    const std::string longName = "a_particle_name_longer_than_thirty_characters";
    stats.AddFill("big", 500.0f * 32, 1);
    stats.AddFill("small", 5.0f * 32, 1);
    stats.AddFill(longName.c_str(), 50.0f * 32, 1);
    stats.AddSource("small", 32.0f, 2);
    ASSERT_TRUE(stats.WriteReport(tmp.Path().string().c_str()));
    std::ifstream in(tmp.Path() / "lv_particles_workload_stat.txt");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    const std::string expected = "==== Fillrate statistics ===\n"
                                 "                         small - 5\n" +
                                 longName + " - 50\n" +
                                 "                           big - 500\n"
                                 "\n==== Source pixels usage statistics ===\n"
                                 "                         small - 2\n";
    EXPECT_EQ(text, expected);
    EXPECT_FALSE(stats.WriteReport((tmp.Path() / "missing").string().c_str()));
}
