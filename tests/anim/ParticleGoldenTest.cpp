// A fixed fountain effect advanced 1000 ms in 20 ms steps from the generator's fixed seed: drawn
// through the OpenGL device layer offscreen and compared with a reference image
// (GAME_UPDATE_GOLDEN=1 writes it; check it by eye), and its vertex stream through the
// recording device summed into a checksum.
#include "ParticleTestSupport.h"
#include "anim/ParticleFlags.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleRandom.h"
#include "anim/ParticleSystem.h"
#include "content/ParticleImageWriter.h"
#include "core/ContentTestSupport.h"
#include "graphics/GlRendererTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lv::misc::anim;

namespace {

// Yellow glows rising from a flat emitter near the bottom, slowed by gravity, turning red and
// fading out, spinning and shrinking.
std::string FountainDefinition()
{
    return "<?xml version=\"1.0\"?>\n<effects><particle id=\"fountain\" tex_id=\"glow\" flags=\"" +
           std::to_string(PF_ENDLESS) +
           "\" pos=\"64 58\" emiter_size=\"24 4\" direction=\"0\" spread=\"0.9\" start_speed_min=\"40\""
           " start_speed_max=\"75\" grav_min=\"45\" grav_max=\"60\" life_time_min=\"600\" life_time_max=\"1000\""
           " emission=\"60\" max_life_particles=\"100\" size=\"0.6 1.2 0.3 0.5 0.2\" spin=\"0 1.5 3 1 0.5\""
           " start_color=\"-8064\" mid_color=\"-1057005536\" end_color=\"16719872\" var_color=\"0\""
           " base_var_color=\"0\"/></effects>";
}

void LoadFountain(CParticleSystem& system)
{
    lv::content::CParticleImageWriter writer;
    ASSERT_TRUE(writer.AddXml(FountainDefinition()));
    const std::vector<u8> block = writer.Build();
    ASSERT_TRUE(CParticleManager::Instance().LoadImage(block.data(), static_cast<u32>(block.size())));
    CParticleRandom::SetState(CParticleRandom::kInitialState);
    ASSERT_TRUE(system.Load("fountain"));
    system.Advance(1000, 20);
}

class ParticleGoldenTest : public CGlRendererTest
{
protected:
    void TearDown() override
    {
        CParticleManager::Instance().Release();
        CGlRendererTest::TearDown();
    }
};

using ParticleStreamTest = lv::misc::anim::test::CParticleDrawFixture;

// FNV-1a over the bytes.
u64 StreamChecksum(const std::vector<lv::graphics::CVertex>& vertices)
{
    u64 hash = 1469598103934665603ull;
    const auto* bytes = reinterpret_cast<const u8*>(vertices.data());
    for (size_t i = 0; i < vertices.size() * sizeof(lv::graphics::CVertex); ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

} // namespace

TEST_F(ParticleGoldenTest, FountainAfterOneSecondThroughOpenGl)
{
    lv::graphics::DeclareAnimTestImages();
    // The declared image's file is read from the working folder.
    const CWorkingFolder cwd(lv::graphics::AnimTestImageFolder());
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    LoadFountain(system);
    ASSERT_GT(system.GetParticleCount(), 40);
    ASSERT_NE(system.GetImage(), nullptr);

    ASSERT_TRUE(m_Renderer->BeginFrame());
    m_Renderer->Clear(CColor(0xFF101830u));
    system.Draw(*m_Renderer);
    ExpectGolden("particle_fountain", ReadFrame());
    m_Renderer->EndFrame();
}

TEST_F(ParticleStreamTest, FountainVertexStreamHasAStableChecksum)
{
    CParticleSystem system(static_cast<lv::core::CTimer*>(nullptr));
    LoadFountain(system);
    const u16 live = system.GetParticleCount();
    const std::vector<lv::graphics::CVertex> vertices = DrawAndRecord(system);
    ASSERT_EQ(vertices.size(), 6u * live);
    EXPECT_EQ(StreamChecksum(vertices), 0xf2df797f6cbbaec0ull) << std::hex << StreamChecksum(vertices) << " for " << std::dec << live
                                               << " particles";
    // The same steps from the same seed give the same stream.
    CParticleSystem again(static_cast<lv::core::CTimer*>(nullptr));
    LoadFountain(again);
    EXPECT_EQ(StreamChecksum(DrawAndRecord(again)), StreamChecksum(vertices));
}
