#include "ClipTestSupport.h"
#include "ParticleTestSupport.h"
#include "anim/Clip.h"
#include "anim/ClipManager.h"
#include "anim/ParticleFlags.h"
#include "anim/ParticleObject.h"
#include "core/Quad.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace lv::misc::anim;

namespace {

using ParticleObjectTest = lv::misc::anim::test::CParticleDrawFixture;
using lv::graphics::CVertex;

const CClipTransform ParticleIdentity;

// "fx": an endless effect of the 8 x 4 "spark" image at size 2 (16 x 8 quads), still
// particles living 1000 ms, an emitter of 20 x 20 and 10 particles a second.
std::string FxDefinition(const std::string& extra = "")
{
    return "<particle id=\"fx\" tex_id=\"spark\" flags=\"" + std::to_string(PF_ENDLESS) +
           "\" emission=\"10\" emiter_size=\"20 20\" life_time_min=\"1000\" life_time_max=\"1000\""
           " max_life_particles=\"100\" size=\"2 2 2 0 0\" start_color=\"-1\" mid_color=\"-1\" end_color=\"-1\""
           " var_color=\"0\" base_var_color=\"0\" " +
           extra + "/>";
}

// Centres of the drawn quads (two triangles of six vertices each).
std::vector<CVector2> QuadCentres(const std::vector<CVertex>& v)
{
    std::vector<CVector2> out;
    for (size_t i = 0; i + 6 <= v.size(); i += 6) {
        CVector2 sum;
        for (size_t n = i; n < i + 6; ++n)
            sum += CVector2(v[n].x, v[n].y);
        out.push_back(sum * (1.0f / 6.0f));
    }
    return out;
}

float QuadWidth(const std::vector<CVertex>& v)
{
    return v.size() >= 6 ? v[1].x - v[0].x : 0.0f;
}

} // namespace

// Corners 100 x 50 apart on an emitter of 20 x 20 (base size 50 x 50): without "scale" the
// emitter widens and the emission grows with the area; with "scale" and "fix_emit" the quads grow.
TEST_F(ParticleObjectTest, CornersScaleTheEmitterOrTheQuads)
{
    Define(FxDefinition());
    const struct
    {
        bool scale;
        bool fix;
        float emission;
        CVector2 emitter;
        CVector2 quadScale;
        float quadWidth;
    } table[] = {
        {false, true, 20, CVector2(40, 20), CVector2(1, 1), 16},
        {true, true, 10, CVector2(40, 20), CVector2(2, 1), 32},
        // The draw transform scales the whole effect instead (drawn wider through it).
        {true, false, 10, CVector2(20, 20), CVector2(1, 1), 32},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(std::to_string(row.scale) + " " + std::to_string(row.fix));
        CParticleObject object("fx");
        object.SetFixEmit(row.fix);
        object.SetScaleMode(row.scale);
        object.DoSetPosition(CVector2(300, 200));
        object.SetCorners(CQuad(-50, -25, 100, 50));
        EXPECT_EQ(object.GetScale(), CVector2(2, 1));
        EXPECT_FLOAT_EQ(object.GetSystem().GetEmission(), row.emission);
        EXPECT_EQ(object.GetSystem().GetEmitterSize(), row.emitter);
        EXPECT_EQ(object.GetSystem().GetScale(), row.quadScale);
        const CQuad corners = object.GetCorners();
        EXPECT_EQ(corners.Corners[0], CVector2(-50, -25));
        EXPECT_EQ(corners.Corners[2], CVector2(50, 25));

        object.GetSystem().Step(100);
        ASSERT_EQ(object.GetSystem().GetParticleCount(), static_cast<u16>(row.emission / 10)) << "one period";
        EXPECT_FLOAT_EQ(QuadWidth(DrawAndRecord(object)), row.quadWidth);
    }

    // The base size is at least 50 x 50, and ResetGeometry returns to it.
    CParticleObject none("no_such_effect");
    EXPECT_EQ(none.GetCorners().Corners[2], CVector2(25, 25));
    CParticleObject object("fx");
    object.SetCorners(CQuad(-50, -25, 100, 50));
    object.ResetGeometry();
    EXPECT_EQ(object.GetScale(), CVector2(1, 1));
    EXPECT_FLOAT_EQ(object.GetSystem().GetEmission(), 10);
    EXPECT_EQ(object.GetSystem().GetEmitterSize(), CVector2(20, 20));
}

// With "fix_emit" moving the object moves only the emitter; without it the whole effect is
// drawn through the object's placement, so every particle moves and turns with it.
TEST_F(ParticleObjectTest, FixedEmitterLeavesBornParticlesBehind)
{
    Define(FxDefinition());
    for (const bool fix : {true, false}) {
        SCOPED_TRACE(fix);
        CParticleObject object("fx");
        object.SetFixEmit(fix);
        object.DoSetPosition(CVector2(100, 100));
        object.GetSystem().Step(300);
        ASSERT_EQ(object.GetSystem().GetParticleCount(), 3);
        const std::vector<CVector2> before = QuadCentres(DrawAndRecord(object));
        ASSERT_EQ(before.size(), 3u);

        object.DoSetPosition(CVector2(400, 100));
        EXPECT_EQ(object.GetSystem().GetEmitterPosition(), fix ? CVector2(400, 100) : CVector2(0, 0));
        const std::vector<CVector2> after = QuadCentres(DrawAndRecord(object));
        ASSERT_EQ(after.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(after[i].X - before[i].X, fix ? 0 : 300, 1e-3) << i;
            EXPECT_NEAR(after[i].Y, before[i].Y, 1e-3) << i;
        }
    }
}

// A flip mirrors about the object's position with a fixed emitter or with "scale", and is
// ignored without both.
TEST_F(ParticleObjectTest, FlipMirrorsAFixedEmitterOrAScaledEffectOnly)
{
    Define(FxDefinition());
    for (const auto& [fix, scale] : {std::pair{true, false}, std::pair{false, true}, std::pair{false, false}}) {
        SCOPED_TRACE(std::to_string(fix) + " " + std::to_string(scale));
        CParticleObject object("fx");
        object.SetFixEmit(fix);
        object.SetScaleMode(scale);
        object.DoSetPosition(CVector2(100, 100));
        object.GetSystem().Step(300);
        const std::vector<CVector2> plain = QuadCentres(DrawAndRecord(object));
        object.SetFlipFlags(3);
        const std::vector<CVector2> flipped = QuadCentres(DrawAndRecord(object));
        ASSERT_EQ(plain.size(), 3u);
        ASSERT_EQ(flipped.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            const CVector2 expected = fix || scale ? CVector2(200 - plain[i].X, 200 - plain[i].Y) : plain[i];
            EXPECT_NEAR(flipped[i].X, expected.X, 1e-3) << i;
            EXPECT_NEAR(flipped[i].Y, expected.Y, 1e-3) << i;
        }
    }
}

TEST_F(ParticleObjectTest, TintAdditiveAndAngleReachTheEffect)
{
    Define(FxDefinition());
    CParticleObject object("fx");
    object.DoSetPosition(CVector2(100, 100));
    object.GetSystem().Step(100);
    object.SetColor(CColor(0x80FF0000u));
    object.SetAdditiveBlend(true);
    EXPECT_TRUE(object.IsAdditiveBlend());
    EXPECT_TRUE(object.GetSystem().GetFlags() & PF_ADDITIVE);
    const std::vector<CVertex> v = DrawAndRecord(object);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].diffuse, 0x80FF0000u);
    EXPECT_EQ(m_Renderer->GetColor(), CColor()) << "the tint is popped again";
    object.SetAdditiveBlend(false);
    EXPECT_FALSE(object.GetSystem().GetFlags() & PF_ADDITIVE);

    object.SetColor(CColor(0x00FFFFFFu));
    EXPECT_TRUE(DrawAndRecord(object).empty()) << "a transparent object draws nothing";

    // The angle turns the emission only with a fixed emitter (otherwise the transform turns it).
    object.SetAngle(0.5f);
    EXPECT_FLOAT_EQ(object.GetAngle(), 0.5f);
}

// Loaded from its item record; playing from the stopped state waits for a key point with emit
// flag 1 when there is one, else starts already advanced by "adv_time".
TEST_F(ParticleObjectTest, PlayFromStopWaitsForTheResumeKeyPointOrStartsAdvanced)
{
    Define(FxDefinition());
    // Corners of the base size 50 x 50 keep the definition's emission.
    const CTestClips clips(R"(<Clip id="wait"><particle id="p" p_id="fx" adv_time="200" fix_emit="true" vis="true"
          py="-25 -25 25 -25 25 25 -25 25"><kp t="0" cf="0" py="-25 -25 25 -25 25 25 -25 25"/>
          <kp t="500" cf="1" py="-25 -25 25 -25 25 25 -25 25"/></particle></Clip>
        <Clip id="go"><particle id="p" p_id="fx" adv_time="200" scale="true" vis="true"
          py="-25 -25 25 -25 25 25 -25 25"><kp t="0" cf="0"/><kp t="500" cf="0"/></particle></Clip>
        <Clip id="negative"><particle p_id="fx" adv_time="-5" vis="true"/></Clip>)");

    // A negative advance time in a damaged record would pre-run the effect for weeks.
    CParticleObject negative;
    negative.LoadFromDefinition(clips.Item("negative"), nullptr);
    EXPECT_EQ(negative.GetAdvanceTime(), 0u);

    CParticleObject waiting;
    waiting.LoadFromDefinition(clips.Item("wait"), nullptr);
    EXPECT_STREQ(waiting.GetResourceName().GetText(), "fx");
    EXPECT_STREQ(waiting.GetTypeName(), "particle");
    EXPECT_EQ(waiting.GetAdvanceTime(), 200u);
    EXPECT_TRUE(waiting.IsFixEmit());
    EXPECT_FALSE(waiting.IsScaleMode());
    waiting.Play();
    EXPECT_TRUE(waiting.GetSystem().IsPaused());
    EXPECT_EQ(waiting.GetSystem().GetParticleCount(), 0);
    waiting.SetTimeKeepEvents(400, false, ParticleIdentity);
    waiting.ApplyKeyFrame(ParticleIdentity);
    EXPECT_TRUE(waiting.GetSystem().IsPaused()) << "nothing before the key point";
    waiting.SetTimeKeepEvents(500, false, ParticleIdentity);
    waiting.ApplyKeyFrame(ParticleIdentity);
    EXPECT_EQ(waiting.GetEmitFlags(), 1);
    EXPECT_FALSE(waiting.GetSystem().IsPaused());
    EXPECT_EQ(waiting.GetSystem().GetParticleCount(), 2) << "200 ms of 10 a second";

    CParticleObject going;
    going.LoadFromDefinition(clips.Item("go"), nullptr);
    EXPECT_FALSE(going.IsFixEmit());
    EXPECT_TRUE(going.IsScaleMode());
    going.Play();
    EXPECT_FALSE(going.GetSystem().IsPaused());
    EXPECT_EQ(going.GetSystem().GetParticleCount(), 2);
    // Playing again while playing restarts nothing.
    going.GetSystem().Step(100);
    going.Play();
    EXPECT_EQ(going.GetSystem().GetParticleCount(), 3);
}

// While playing: 4 restarts and freezes the effect empty, 1 resumes it pre-run, 2 restarts it
// pre-run. While not playing any emit flags remove one pause level.
TEST_F(ParticleObjectTest, EmitFlagsFreezeResumeAndRestart)
{
    Define(FxDefinition());
    const CTestClips clips(R"(<Clip id="c"><particle p_id="fx" adv_time="300" vis="true" py="-25 -25 25 -25 25 25 -25 25"><kp t="0"/></particle></Clip>)");
    CParticleObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    object.Play();
    ASSERT_EQ(object.GetSystem().GetParticleCount(), 3);

    const struct
    {
        s32 flags;
        bool paused;
        u16 count;
    } table[] = {{4, true, 0}, {2, true, 0}, {1, false, 3}, {0, false, 3}, {2, false, 3}, {5, true, 0}};
    for (const auto& row : table) {
        object.SetEmitFlags(row.flags);
        EXPECT_EQ(object.GetEmitFlags(), row.flags);
        EXPECT_EQ(object.GetSystem().IsPaused(), row.paused) << row.flags;
        EXPECT_EQ(object.GetSystem().GetParticleCount(), row.count) << row.flags;
    }
    object.Pause();
    object.SetEmitFlags(0);
    EXPECT_FALSE(object.GetSystem().IsPaused());
}

TEST_F(ParticleObjectTest, CloneRunsOnItsOwnTimer)
{
    Define(FxDefinition());
    CParticleObject object("fx");
    object.SetAdvanceTime(100);
    object.GetSystem().Step(200);
    std::unique_ptr<CClipObject> copy(object.Clone());
    auto* particles = dynamic_cast<CParticleObject*>(copy.get());
    ASSERT_NE(particles, nullptr);
    EXPECT_EQ(particles->GetSystem().GetParticleCount(), 2);
    EXPECT_EQ(particles->GetAdvanceTime(), 100u);
    ASSERT_NE(particles->GetSystem().GetTimer(), nullptr);
    EXPECT_NE(particles->GetSystem().GetTimer(), object.GetSystem().GetTimer());

    // AssignSystem copies another effect in.
    CParticleSystem other(static_cast<lv::core::CTimerGroup*>(nullptr));
    ASSERT_TRUE(other.Load("fx"));
    object.AssignSystem(other);
    EXPECT_EQ(object.GetSystem().GetParticleCount(), 0);
    EXPECT_NE(object.GetSystem().GetTimer(), other.GetTimer());
}

// A clip makes particle objects of its particle items.
TEST_F(ParticleObjectTest, ClipsLoadParticleItems)
{
    Define(FxDefinition());
    CClipsBuilder builder;
    const std::string xml = R"(<?xml version="1.0" encoding="utf-8"?>
        <Clip id="fx_clip"><particle id="sparks" p_id="fx" fix_emit="true" vis="true" p="10 20"/></Clip>)";
    ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
    const std::vector<u8> image = builder.Build();
    ASSERT_TRUE(CClipManager::Instance().LoadImage(image.data(), static_cast<u32>(image.size())));
    {
        CClip clip;
        ASSERT_TRUE(clip.Load("fx_clip", true));
        const auto* object = dynamic_cast<const CParticleObject*>(clip.FindObject("sparks"));
        ASSERT_NE(object, nullptr);
        EXPECT_STREQ(object->GetResourceName().GetText(), "fx");
        EXPECT_EQ(object->GetSystem().GetEmitterPosition(), CVector2(10, 20));
    }
    CClipManager::Instance().Release();
}
