#include "anim/ParticleRandom.h"

#include <gtest/gtest.h>

using lv::misc::anim::CParticleRandom;

TEST(ParticleRandom, FirstDrawsFromTheInitialState)
{
    const u32 saved = CParticleRandom::GetState();
    CParticleRandom::SetState(CParticleRandom::kInitialState);
    EXPECT_FLOAT_EQ(CParticleRandom::Draw(), 1.0f / 32767.0f);
    EXPECT_FLOAT_EQ(CParticleRandom::Draw(), 30171.0f / 32767.0f);
    EXPECT_FLOAT_EQ(CParticleRandom::Draw(), 9477.0f / 32767.0f);
    CParticleRandom::SetState(CParticleRandom::kInitialState);
    EXPECT_FLOAT_EQ(CParticleRandom::Between(10.0f, 10.0f + 32767.0f), 11.0f);
    CParticleRandom::SetState(saved);
}

TEST(ParticleRandom, DrawsStayWithinZeroAndOne)
{
    const u32 saved = CParticleRandom::GetState();
    for (int i = 0; i < 100000; ++i) {
        const float v = CParticleRandom::Draw();
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
    }
    CParticleRandom::SetState(saved);
}
