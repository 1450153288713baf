#include "AnimRenderSupport.h"
#include "ClipTestSupport.h"
#include "anim/ImageObject.h"
#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "core/ContentTestSupport.h"
#include "core/TimeSystem.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "platform/d3d9/RecordingDirect3D.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

using namespace lv::misc::anim;
using namespace lv::graphics;

namespace {

const CClipTransform kUnmoved;

class ImageObjectTest : public CRecordingFrameTest
{
};

} // namespace

TEST_F(ImageObjectTest, ObjectMadeFromANameCentresTheFrameOnItsPosition)
{
    CImageObject object("pic");
    ASSERT_NE(object.GetImage(), nullptr);
    EXPECT_STREQ(object.GetResourceName().GetText(), "pic");
    EXPECT_STREQ(object.GetTypeName(), "image");
    EXPECT_EQ(object.GetCorners().Corners[0], CVector2(-20, -10));
    EXPECT_EQ(object.GetCorners().Corners[2], CVector2(20, 10));
    EXPECT_EQ(object.GetSize(), CVector2(40, 20));
    EXPECT_TRUE(object.HitTest(CVector2(19, 9)));
    EXPECT_FALSE(object.HitTest(CVector2(21, 0)));
    object.SetImage("walk");
    EXPECT_STREQ(object.GetResourceName().GetText(), "walk");
    EXPECT_EQ(object.GetCorners().Corners[2], CVector2(20, 10)) << "rebinding keeps the geometry";
}

TEST_F(ImageObjectTest, SmallMovesAreIgnored)
{
    CImageObject object("pic");
    const struct
    {
        CVector2 to;
        CVector2 expected;
    } moves[] = {
        {{0.05f, 0.05f}, {0, 0}},
        {{0.1f, 0}, {0.1f, 0}},
        {{0.15f, 0.05f}, {0.1f, 0}},
        {{0.15f, 0.2f}, {0.15f, 0.2f}},
    };
    for (const auto& move : moves) {
        object.SetPosition(move.to);
        EXPECT_EQ(object.GetPosition(), move.expected) << move.to.X << " " << move.to.Y;
    }
    CQuad corners = object.GetCorners();
    corners.Corners[1].X = 20.05f;
    object.SetCorners(corners);
    EXPECT_EQ(object.GetCorners().Corners[1].X, 20);
    corners.Corners[1].X = 20.1f;
    object.SetCorners(corners);
    EXPECT_FLOAT_EQ(object.GetCorners().Corners[1].X, 20.1f);
    object.SetAngle(0.001f);
    EXPECT_EQ(object.GetAngle(), 0);
    object.SetAngle(0.002f);
    EXPECT_EQ(object.GetAngle(), 0.002f);
}

TEST_F(ImageObjectTest, FlipFlagsThreeTurnThePictureHalfATurn)
{
    CImageObject object("pic");
    object.SetPosition(CVector2(100, 50));
    object.Draw(*m_Renderer);
    const CQuad plain = object.GetScreenQuad();
    EXPECT_EQ(plain.Corners[0], CVector2(80, 40));
    object.SetFlipFlags(3);
    object.Draw(*m_Renderer);
    const CQuad flipped = object.GetScreenQuad();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(flipped.Corners[i], plain.Corners[(i + 2) % 4]) << i;
    object.SetFlipFlags(1);
    object.Draw(*m_Renderer);
    EXPECT_EQ(object.GetScreenQuad().Corners[0], plain.Corners[1]);
    EXPECT_EQ(object.GetScreenQuad().Corners[3], plain.Corners[2]);
    m_Renderer->Flush();
    EXPECT_EQ(m_Log->Draws.size(), 1u);
}

TEST_F(ImageObjectTest, UndeclaredImageDrawsNothing)
{
    CImageObject object("no_such_image");
    EXPECT_EQ(object.GetImage(), nullptr);
    EXPECT_TRUE(object.GetResourceName().IsEmpty());
    object.SetCorners(CQuad(0, 0, 50, 50));
    object.Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_TRUE(m_Log->Draws.empty());

    // Nor does an invisible object with an image.
    CImageObject hidden("pic");
    hidden.SetActive(false);
    hidden.Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_TRUE(m_Log->Draws.empty());
}

TEST_F(ImageObjectTest, AnimatedImageKeepsCyclingWhilePausedAndPlayRestartsIt)
{
    const CTestClips clips(R"(<Clip id="c"><image vis="true" i_id="walk" py="-8 -8 8 -8 8 8 -8 8">
        <kp t="0"/><kp t="1000"/></image></Clip>)");
    CImageObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    ASSERT_NE(object.GetImage(), nullptr);
    EXPECT_TRUE(object.GetImage()->IsMultiFrame());
    object.Pause();
    auto& time = lv::core::CTimeSystem::Instance();
    s32 advanced = 0;
    while (advanced == 0) {
        time.Tick();
        object.Update();
        advanced += time.GetFrameDelta();
    }
    EXPECT_EQ(object.GetFrameTime(), advanced);
    object.Play();
    EXPECT_EQ(object.GetFrameTime(), 0);
    std::unique_ptr<CClipObject> copy(object.Clone());
    EXPECT_EQ(static_cast<CImageObject&>(*copy).GetImage(), object.GetImage());
}

TEST_F(ImageObjectTest, LoadTakesTheCornersFromTheItem)
{
    const CTestClips clips(R"(<Clip id="c"><image vis="true" i_id="pic" p="5 5" py="-1 -1 1 -1 1 1 -1 1" add_b="true"/></Clip>)");
    CImageObject object;
    object.LoadFromDefinition(clips.Item("c"), nullptr);
    EXPECT_STREQ(object.GetResourceName().GetText(), "pic");
    EXPECT_EQ(object.GetCorners().Corners[2], CVector2(1, 1));
    EXPECT_EQ(object.GetPosition(), CVector2(5, 5));
    EXPECT_TRUE(object.IsAdditiveBlend());
    object.Draw(*m_Renderer);
    m_Renderer->Flush();
    EXPECT_FALSE(m_Log->Draws.empty());
}
