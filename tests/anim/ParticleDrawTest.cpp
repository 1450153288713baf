#include "AnimRenderSupport.h"
#include "anim/ParticleFillStats.h"
#include "anim/ParticleFlags.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleRandom.h"
#include "anim/ParticleSystem.h"
#include "content/ParticleImageWriter.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/Vertex.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "ParticleTestSupport.h"

using namespace lv::misc::anim;
using namespace lv::graphics;

namespace {

using ParticleDrawTest = lv::misc::anim::test::CParticleDrawFixture;
using lv::misc::anim::test::SparkDefinition;

} // namespace

TEST_F(ParticleDrawTest, LoadBindsTheDefinitionsTexture)
{
    Define(SparkDefinition("") + "<particle id=\"lost\" tex_id=\"no_such_image\" emission=\"1\"/>");
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("spark"));
    ASSERT_NE(system.GetImage(), nullptr);
    EXPECT_EQ(system.GetImage()->GetWidth(), 8);
    EXPECT_FALSE(system.BindTexture("no_such_image"));
    EXPECT_STREQ(system.GetDefinition().tex_id.GetText(), "spark");

    CParticleSystem lost(static_cast<lv::core::CTimer*>(nullptr));
    EXPECT_TRUE(lost.Load("lost")) << "an unknown texture only stops drawing";
    EXPECT_EQ(lost.GetImage(), nullptr);
    lost.Step(16);
    EXPECT_TRUE(DrawAndRecord(lost).empty());
}

TEST_F(ParticleDrawTest, QuadIsCentredScaledAndTintedOverItsLife)
{
    Define(SparkDefinition(""));
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("spark"));
    system.SetEmitterPositionXY(100, 50);
    system.Step(0);
    ASSERT_EQ(system.GetParticleCount(), 1);

    std::vector<CVertex> v = DrawAndRecord(system);
    ASSERT_EQ(v.size(), 6u);
    const float corners[6][4] = {{92, 46, 0, 0}, {108, 46, 1, 0}, {92, 54, 0, 1},
                                 {92, 54, 0, 1}, {108, 46, 1, 0}, {108, 54, 1, 1}};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, corners[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, corners[i][1]) << i;
        EXPECT_NEAR(v[i].u, corners[i][2], 1e-4) << i;
        EXPECT_NEAR(v[i].v, corners[i][3], 1e-4) << i;
        EXPECT_EQ(v[i].diffuse, 0x7F402010u) << i;
    }

    const struct
    {
        u32 age;
        u32 argb;
    } steps[] = {{250, 0x6F603018u}, {250, 0x60804020u}, {250, 0x30402010u}};
    for (const auto& step : steps) {
        system.Step(step.age);
        v = DrawAndRecord(system);
        ASSERT_EQ(v.size(), 6u);
        EXPECT_EQ(v[0].diffuse, step.argb) << std::hex << step.argb;
    }

    // The renderer's colour tints every channel; alpha 0 draws nothing.
    m_Renderer->SetColor(CColor(0x80FF0000u));
    v = DrawAndRecord(system);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].diffuse, 0x18400000u);
    m_Renderer->SetColor(CColor(0x00FFFFFFu));
    EXPECT_TRUE(DrawAndRecord(system).empty());
    m_Renderer->SetColor(CColor(0xFFFFFFFFu));

    // The owner's scale widens the quad.
    system.SetScale(CVector2(2, 1));
    v = DrawAndRecord(system);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, 84);
    EXPECT_FLOAT_EQ(v[5].x, 116);
    EXPECT_FLOAT_EQ(v[5].y, 54);
}

TEST_F(ParticleDrawTest, SpinTurnsTheQuadAboutItsCentre)
{
    Define(SparkDefinition("spin=\"1.5707964 1.5707964 1.5707964 0 0\""));
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("spark"));
    system.SetEmitterPositionXY(100, 50);
    system.Step(0);
    const std::vector<CVertex> v = DrawAndRecord(system);
    ASSERT_EQ(v.size(), 6u);
    // A quarter turn makes the 16 x 8 quad 8 wide and 16 high around (100, 50).
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const CVertex& p : v) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    EXPECT_NEAR(minX, 96, 1e-3);
    EXPECT_NEAR(maxX, 104, 1e-3);
    EXPECT_NEAR(minY, 42, 1e-3);
    EXPECT_NEAR(maxY, 58, 1e-3);
}

TEST_F(ParticleDrawTest, SmallParticlesAndClippedOnesAreNotDrawn)
{
    Define(SparkDefinition("").replace(SparkDefinition("").find("size=\"2 2 2"), 11, "size=\"0.05 0.05 0.05"));
    CParticleSystem small(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(small.Load("spark"));
    small.Step(0);
    ASSERT_EQ(small.GetParticleCount(), 1);
    EXPECT_TRUE(DrawAndRecord(small).empty());
    CParticleManager::Instance().Release();

    Define(SparkDefinition(""));
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("spark"));
    system.SetEmitterPositionXY(100, 50);
    system.Step(0);
    m_Renderer->PushState();
    m_Renderer->IntersectClip(CQuad(100, 0, 200, 200));
    std::vector<CVertex> v = DrawAndRecord(system);
    ASSERT_FALSE(v.empty());
    for (const CVertex& p : v)
        EXPECT_GE(p.x, 100 - 1e-3) << "the left half lies outside the clip";
    m_Renderer->SetClipDisabled(true);
    v = DrawAndRecord(system);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, 92);
    m_Renderer->SetClipDisabled(false);
    m_Renderer->PopState();
}

TEST_F(ParticleDrawTest, FillStatisticsOnlyFromDebugLevelTwo)
{
    Define(SparkDefinition("").replace(SparkDefinition("").find("emission=\"1\""), 12, "emission=\"10\""));
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    ASSERT_TRUE(system.Load("spark"));
    system.Step(0);
    ASSERT_EQ(system.GetParticleCount(), 10);
    CParticleFillStats* stats = GetParticleFillStats();
    for (const s32 level : {0, 1, 2}) {
        stats->BeginFrame();
        CParticleSystem::SetDebugLevel(level);
        DrawAndRecord(system);
        EXPECT_FLOAT_EQ(stats->GetFillHistory()[0], level >= 2 ? 10 * 16 * 8 : 0) << level;
    }
    const auto* byName = stats->FindFill("spark");
    ASSERT_NE(byName, nullptr);
    EXPECT_FLOAT_EQ((*byName)[0], 10 * 16 * 8);
}
