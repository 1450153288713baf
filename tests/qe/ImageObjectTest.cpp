#include "anim/AnimRenderSupport.h"
#include "content/QuestDataWriter.h"
#include "content/TexturesAlphaWriter.h"
#include "core/TimeSystem.h"
#include "core/TimerGroup.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "graphics/TexturesAlpha.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/Scene.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lv::graphics;
using lv::content::CQuestDataWriter;
using lv::content::EQuestObjectKind;
using lv::content::SQuestObject;

namespace {


class QeImageObjectTest : public CRecordingFrameTest
{
};


std::vector<u8> ImageRecord(const char* image, float x, float y, float w, float h, float angle = 0, bool flipH = false)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Image;
    o.id = "pic";
    o.resource = image;
    o.color = {10, 20, 30, 40};
    o.offset[0] = x;
    o.offset[1] = y;
    o.size[0] = w;
    o.size[1] = h;
    o.angle = angle;
    o.flipH = flipH;
    o.flipV = true;
    return CQuestDataWriter::BuildObjectRecord(o);
}

} // namespace

TEST_F(QeImageObjectTest, RecordPlacesTheImage)
{
    const auto record = ImageRecord("pic", 100, 50, 40, 20, 0.25f);
    qe::CImageObject object(nullptr);
    object.InitFromRecord(record.data());
    ASSERT_NE(object.GetImage(), nullptr);
    EXPECT_EQ(object.GetPosition().X, 100.0f);
    EXPECT_EQ(object.GetSize().Y, 20.0f);
    EXPECT_EQ(object.GetAngle(), 0.25f);
    EXPECT_EQ(object.GetColor(), CColor::CColorArgb(40, 10, 20, 30));
    EXPECT_EQ(object.GetFlipFlags(), qe::CImageObject::kFlipV);
    object.AddFlipFlags(qe::CImageObject::kFlipH);
    object.RemoveFlipFlags(qe::CImageObject::kFlipV);
    EXPECT_EQ(object.GetFlipFlags(), qe::CImageObject::kFlipH);
    EXPECT_EQ(object.GetType(), qe::CSceneObject::kTypeImage);

    const auto missing = ImageRecord("nothing", 0, 0, 10, 10);
    qe::CImageObject none(nullptr);
    none.InitFromRecord(missing.data());
    EXPECT_EQ(none.GetImage(), nullptr);
    EXPECT_FALSE(none.HitTest({0, 0}));
    EXPECT_EQ(none.GetAnimationLength(), 0);
    none.Render(*m_Renderer);
    EXPECT_TRUE(m_Log->Draws.empty());
}

TEST_F(QeImageObjectTest, AnimationRunsOnTheQuestClock)
{
    double now = 1000.0;
    lv::core::CTimeSystem time([&now] { return now; });
    qe::CQuest quest("main", &time);
    qe::CScene scene(&quest, "hall");
    const auto record = ImageRecord("walk", 0, 0, 16, 16);
    qe::CImageObject object(&scene);
    object.InitFromRecord(record.data());
    ASSERT_NE(object.GetImage(), nullptr);
    EXPECT_EQ(object.GetAnimationLength(), 400);
    object.SetSpeed(2.0f);
    EXPECT_EQ(object.GetAnimationLength(), 200);
    object.SetSpeed(1.5f);

    time.Tick();
    now += 101.0;
    time.Tick();
    object.Update();
    EXPECT_EQ(object.GetAnimationTime(), 151); // 101 x 1.5, truncated
    quest.GetTimerGroup()->Pause(true);
    now += 100.0;
    time.Tick();
    object.Update();
    EXPECT_EQ(object.GetAnimationTime(), 151);
    object.SetPaused(true);
    quest.GetTimerGroup()->Pause(false);
    now += 100.0;
    time.Tick();
    object.Update();
    EXPECT_EQ(object.GetAnimationTime(), 151);

    for (u32 n = 0; n < 4; ++n)
    {
        object.SeekToFramePosition(n);
        EXPECT_EQ(object.GetAnimationTime(), static_cast<s32>(100 * n));
        EXPECT_EQ(object.GetCurrentFrame(), object.GetImage()->GetFrameForTime(object.GetAnimationTime()));
    }
    object.RestartAnimation();
    EXPECT_EQ(object.GetAnimationTime(), 0);
}

TEST_F(QeImageObjectTest, HitTestTableThroughAlphaMasksAndThePixelCopy)
{
    // "pic" is 40 x 20 with one transparent column at x = 30 and alpha 1 at x = 31.
    std::vector<u32> pixels(40 * 20);
    for (u32 y = 0; y < 20; ++y)
        for (u32 x = 0; x < 40; ++x)
            pixels[y * 40 + x] = x == 30 ? 0x00FFFFFFu : (x == 31 ? 0x01000000u : 0xFF000000u);
    lv::content::CTexturesAlphaWriter masks;
    masks.AddPixels("pic", 40, 20, pixels);
    const std::vector<u8> maskImage = masks.Build();

    const auto record = ImageRecord("pic", 0, 0, 40, 20);
    qe::CImageObject probe(nullptr);
    probe.InitFromRecord(record.data());
    CImageHandle* image = probe.GetImage();
    ASSERT_NE(image, nullptr);
    image->EnsurePixelCopy();
    const auto fillPixelCopy = [&](bool opaque) {
        for (u32 y = 0; y < 20; ++y)
            for (u32 x = 0; x < 40; ++x)
            {
                u32* pixel = image->GetPixelAddress(x, y, -1);
                ASSERT_NE(pixel, nullptr);
                *pixel = opaque ? 0xFF000000u : pixels[y * 40 + x];
            }
    };
    const struct
    {
        float x, y, w, h, angle;
        bool flip;
        CVector2 point;
        bool hit;
    } cases[] = {
        {0, 0, 40, 20, 0, false, {10, 0}, false},       // local (30, 10): transparent
        {0, 0, 40, 20, 0, false, {11, 0}, true},        // alpha 1 at local x = 31
        {0, 0, 40, 20, 0, false, {-11, 0}, true},       // local 9: opaque
        {0, 0, 40, 20, 0, false, {25, 0}, false},       // outside
        {0, 0, 40, 20, 0, true, {-11, 0}, true},        // mirrored: still the unmirrored pixel 9
        {0, 0, 40, 20, 0, true, {10, 0}, false},        // mirrored: still the unmirrored pixel 30
        {0, 0, 80, 40, 0, false, {20, 0}, false},       // twice the size: local 60 -> pixel 30
        {0, 0, 80, 40, 0, false, {22, 0}, true},        // local 62 -> pixel 31
        {0, 0, 0, 20, 0, false, {0, 0}, false},         // no width
        {0, 0, 40, 0, 0, false, {0, 0}, false},         // no height
        {0, 0, 0, 0, 0, false, {0, 0}, false},          // no size at all
        {0, 0, 40, 20, 0.005f, false, {10, -9}, false}, // turn ignored: pixel 30
        {0, 0, 40, 20, 0.008f, false, {10, -9}, false},
        {0, 0, 40, 20, 0.01f, false, {10, -9}, true},   // turned: local x 29.9
        {0, 0, 40, 20, 0.02f, false, {10, -9}, true},
    };
    for (const bool throughMasks : {false, true})
    {
        // With the masks loaded the pixel copy is all opaque, so only the masks can miss.
        fillPixelCopy(throughMasks);
        auto& alpha = CTexturesAlpha::Instance();
        if (throughMasks)
            ASSERT_TRUE(alpha.LoadData(maskImage.data(), static_cast<u32>(maskImage.size())));
        else
            alpha.Release();
        for (size_t i = 0; i < std::size(cases); ++i)
        {
            const auto& c = cases[i];
            const auto r = ImageRecord("pic", c.x, c.y, c.w, c.h, c.angle, c.flip);
            qe::CImageObject object(nullptr);
            object.InitFromRecord(r.data());
            EXPECT_EQ(object.HitTest(c.point), c.hit) << i << (throughMasks ? " through the masks" : " through the pixels");
        }
        alpha.Release();
    }
}
