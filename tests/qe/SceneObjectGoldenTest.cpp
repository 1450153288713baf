#include "anim/AnimRenderSupport.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "content/QuestDataWriter.h"
#include "graphics/GlRendererTest.h"
#include "graphics/ImageHandle.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using lv::content::CQuestDataWriter;
using lv::content::EQuestObjectKind;
using lv::content::SQuestObject;

namespace {

// Gives a declared image a recognisable picture: its CPU copy, uploaded as its device texture.
template <typename F>
void PaintImage(const char* name, F pixel)
{
    lv::graphics::CImageHandle* image = lv::graphics::CTextureManager::Instance().GetImage(name);
    ASSERT_NE(image, nullptr) << name;
    image->EnsurePixelCopy();
    for (u32 y = 0; y < image->GetHeight(); ++y)
        for (u32 x = 0; x < image->GetWidth(); ++x)
            *image->GetPixelAddress(x, y, -1) = pixel(x, y);
    image->UploadPixelCopy();
}

SQuestObject GoldenImage(const char* image, float x, float y, float w, float h)
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Image;
    o.id = image;
    o.resource = image;
    o.color = {255, 255, 255, 255};
    o.offset[0] = x;
    o.offset[1] = y;
    o.size[0] = w;
    o.size[1] = h;
    return o;
}

class QeSceneObjectGoldenTest : public CGlRendererTest
{
protected:
    void SetUp() override
    {
        CGlRendererTest::SetUp();
        lv::graphics::DeclareAnimTestImages();
        lv::misc::anim::CClipsBuilder builder;
        const std::string xml = R"(<?xml version="1.0" encoding="utf-8"?>
<Clip id="slide" x="0" y="0" w="40" h="20">
  <image id="bar" i_id="spark" c="-1" p="0 10" py="-4 -10 4 -10 4 10 -4 10" vis="true">
    <kp t="0" p="4 10" py="-4 -10 4 -10 4 10 -4 10" c="-1" itpl="true"/>
    <kp t="1000" p="36 10" py="-4 -10 4 -10 4 10 -4 10" c="-1" itpl="true"/>
  </image>
</Clip>)";
        ASSERT_TRUE(builder.AddXml(xml.data(), xml.size()));
        const std::vector<u8> clips = builder.Build();
        ASSERT_TRUE(lv::misc::anim::CClipManager::Instance().LoadImage(clips.data(), static_cast<u32>(clips.size())));

        // "pic": red left half, blue right half, a white block at the top left corner.
        PaintImage("pic", [](u32 x, u32 y) {
            if (x < 10 && y < 6)
                return 0xFFFFFFFFu;
            return x < 20 ? 0xFFE02020u : 0xFF2040E0u;
        });
        // "spark": green with a yellow left column.
        PaintImage("spark", [](u32 x, u32) { return x < 2 ? 0xFFFFE000u : 0xFF20C040u; });
    }
    void TearDown() override
    {
        lv::misc::anim::CClipManager::Instance().Release();
        CGlRendererTest::TearDown();
    }

    std::vector<std::vector<u8>> m_Records;

    template <class Object>
    std::unique_ptr<Object> Make(const SQuestObject& o)
    {
        m_Records.push_back(CQuestDataWriter::BuildObjectRecord(o));
        auto object = std::make_unique<Object>(nullptr);
        object->InitFromRecord(m_Records.back().data());
        return object;
    }
};

} // namespace

TEST_F(QeSceneObjectGoldenTest, ImagesClipAndGroupThroughOpenGl)
{
    // Turned by 0.3 rad and mirrored left to right.
    SQuestObject turned = GoldenImage("pic", 30, 18, 40, 20);
    turned.angle = 0.3f;
    turned.flipH = true;
    auto image = Make<qe::CImageObject>(turned);

    // Tinted yellow and drawn at half opacity over the grey background.
    SQuestObject tinted = GoldenImage("pic", 94, 14, 40, 20);
    tinted.color = {255, 255, 0, 255};
    auto faded = Make<qe::CImageObject>(tinted);
    faded->SetOpacity(0.5f);

    // A stopped clip shown at 500 ms: its bar halfway along.
    SQuestObject slide;
    slide.kind = EQuestObjectKind::Clip;
    slide.id = "slide";
    slide.resource = "slide";
    slide.color = {255, 255, 255, 255};
    slide.offset[0] = 30;
    slide.offset[1] = 48;
    slide.size[0] = 40;
    slide.size[1] = 20;
    slide.animationFlags = 0;
    auto clip = Make<qe::CClipObject>(slide);
    clip->Update();
    clip->GetClip().SetTime(500);

    // A group of a small spark over "pic": the first child lies on top.
    SQuestObject group;
    group.kind = EQuestObjectKind::Group;
    group.id = "g";
    group.children = {GoldenImage("spark", 0, 0, 16, 8), GoldenImage("pic", 0, 0, 30, 14)};
    auto both = Make<qe::CGroupObject>(group);
    ASSERT_EQ(both->GetChildCount(), 2);
    both->SetPosition({94, 46});
    both->GetChildren()[1]->SetSize({36, 18});

    ASSERT_TRUE(m_Renderer->BeginFrame());
    m_Renderer->FillQuad(CQuad(0, 0, kWidth, kHeight), CColor(0xFF606060u));
    image->Render(*m_Renderer);
    faded->Render(*m_Renderer);
    clip->Render(*m_Renderer);
    both->Render(*m_Renderer);
    const std::vector<u32> frame = ReadFrame();
    m_Renderer->EndFrame();
    ExpectGolden("qe_scene_objects", frame);

    // Spot checks that do not depend on the reference: the background, the clip's bar halfway
    // (at x = 30, not at its start, 14), the group's spark on top.
    EXPECT_EQ(At(frame, 2, 62), 0xFF606060u);
    EXPECT_EQ(At(frame, 14, 48), 0xFF606060u);
    const u32 bar = At(frame, 31, 48);
    EXPECT_GT((bar >> 8) & 0xFF, (bar >> 16) & 0xFF) << std::hex << bar;
    EXPECT_GT((bar >> 8) & 0xFF, bar & 0xFF) << std::hex << bar;
    EXPECT_EQ(At(frame, 96, 46) & 0x00FFFFFFu, 0x0020C040u);
}
