#include "../anim/AnimRenderSupport.h"
#include "QuestFixture.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "graphics/Vertex.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/QuestData.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "qe/VideoObject.h"

#include <gtest/gtest.h>

#include <memory>

using lv::graphics::CAnimTestHost;
using lv::graphics::CRenderer;
using lv::graphics::DeclareAnimTestImages;

namespace {

// One scene of the given size and work area inside a one-scene quest.
struct SViewScene
{
    SViewScene(s32 w, s32 h, CIntRect area, const std::string& objects = "", s32 flags = 1)
    {
        const std::string xml = "<?xml version=\"1.0\"?><q><Structure><quest id=\"v\"><scene id=\"s\" guid=\"1\" flags=\"" +
                                std::to_string(flags) + "\" size=\"" + std::to_string(w) + " " + std::to_string(h) +
                                "\" work_area=\"" + std::to_string(area.X) + " " + std::to_string(area.Y) + " " +
                                std::to_string(area.Width) + " " + std::to_string(area.Height) +
                                "\"/></quest></Structure><scene_content guid=\"1\"><objects>" + objects +
                                "</objects></scene_content></q>";
        EXPECT_TRUE(Data.BuildFromXmlText(xml));
        Quest.reset(Data.CreateQuest("v", nullptr, nullptr));
        EXPECT_TRUE(Quest);
    }
    qe::CScene* Scene() const { return Quest->GetScene(0); }

    qe::CQuestData Data;
    std::unique_ptr<qe::CQuest> Quest;
};

} // namespace

TEST(SceneView, FitTable)
{
    const struct
    {
        s32 sw, sh;
        CIntRect area;
        s32 mode, vw, vh;
        float scaleX, scaleY;
        s32 offsetX, offsetY;
    } cases[] = {
        {1366, 768, {171, 0, 1024, 768}, 0, 1366, 768, 1, 1, 0, 0},
        {1366, 768, {171, 0, 1024, 768}, 1, 1366, 768, 1, 1, 0, 0},
        {2000, 1000, {0, 0, 2000, 1000}, 0, 1000, 1000, 0.5f, 1, 0, 0},
        {1366, 768, {171, 0, 1024, 768}, 1, 1024, 768, 1, 1, 171, 0},       // exactly the work area
        {1366, 768, {171, 0, 1024, 768}, 1, 1195, 768, 1, 1, 85, 0},        // half way: 171 x (1 - 171 / 342)
        {1366, 768, {171, 0, 1024, 768}, 1, 800, 800, 800.0f / 1366, 800.0f / 1366, 171, -16}, // narrower
        {1366, 768, {20, 0, 1366, 768}, 1, 1024, 768, 1024.0f / 1366, 1024.0f / 1366, 20, 0},
        {1366, 768, {20, 0, 1366, 768}, 1, 2732, 1536, 2, 2, 20, 0}, // as wide as the scene: its left edge
    };
    for (const auto& c : cases)
    {
        SViewScene scene(c.sw, c.sh, c.area);
        qe::CSceneView view;
        view.SetFitMode(c.mode);
        view.SetViewSize(c.vw, c.vh);
        view.SetScene(scene.Scene());
        const std::string what = std::to_string(c.vw) + "x" + std::to_string(c.vh) + " mode " + std::to_string(c.mode);
        EXPECT_FLOAT_EQ(view.GetScale().X, c.scaleX) << what;
        EXPECT_FLOAT_EQ(view.GetScale().Y, c.scaleY) << what;
        EXPECT_EQ(view.GetOffsetX(), c.offsetX) << what;
        EXPECT_EQ(view.GetOffsetY(), c.offsetY) << what;

        for (const CVector2 p : {CVector2(0, 0), CVector2(300, 200), CVector2(-7.5f, 1000)})
        {
            const CVector2 back = view.ViewToScene(view.SceneToView(p));
            EXPECT_NEAR(back.X, p.X, 1e-3) << what;
            EXPECT_NEAR(back.Y, p.Y, 1e-3) << what;
        }
    }
}

TEST(SceneView, NothingChangesWithoutAScene)
{
    qe::CSceneView view;
    EXPECT_EQ(view.GetScene(), nullptr);
    view.SetViewSize(100, 100);
    view.SetFitMode(1);
    view.Update();
    EXPECT_EQ(view.GetScale().X, 1.0f);
    EXPECT_EQ(view.ViewToScene(CVector2(3, 4)).X, 3.0f);

    SViewScene scene(200, 100, {0, 0, 200, 100});
    view.SetScene(scene.Scene());
    view.SetFitMode(7); // unknown modes keep the last fit
    EXPECT_FLOAT_EQ(view.GetScale().X, 0.5f);
}

TEST(SceneView, MiniscenesKeepTheVideosOfTheSceneBelow)
{
    qe::CQuestData data;
    ASSERT_TRUE(data.BuildFromXmlText(QuestFixtureXml()));
    std::unique_ptr<qe::CQuest> quest(data.CreateQuest("main", nullptr, nullptr));
    qe::CScene* hall = quest->FindScene("hall");
    qe::CVideoObject* tv = hall->FindVideoObject("tv");
    qe::CSceneView view;
    view.SetViewSize(1366, 768);
    view.SetScene(hall);
    EXPECT_EQ(hall->GetOpenCounter(), 1u);
    view.SetScene(quest->FindScene("attic"));
    EXPECT_TRUE(tv->GetVideoFlags() & qe::CVideoObject::kAutoPlay); // kept
    view.SetScene(hall);
    EXPECT_EQ(hall->GetOpenCounter(), 2u);
    view.SetScene(quest->FindScene("cellar"));
    EXPECT_FALSE(tv->GetVideoFlags() & qe::CVideoObject::kAutoPlay); // released
    view.SetScene(nullptr);
    EXPECT_EQ(view.GetScene(), nullptr);
}

namespace {

class QeSceneViewDrawTest : public lv::graphics::CRecordingFrameTest
{
protected:
    // The x range of what the view draws.
    std::pair<float, float> DrawnX(qe::CSceneView& view)
    {
        m_Log->Draws.clear();
        view.Render(*m_Renderer);
        m_Renderer->Flush();
        float lo = 1e9f, hi = -1e9f;
        for (const auto& d : m_Log->Draws)
        {
            const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(d.Vertices.data());
            for (size_t i = 0; i < d.Vertices.size() / sizeof(lv::graphics::CVertex); ++i)
            {
                lo = std::min(lo, v[i].x);
                hi = std::max(hi, v[i].x);
            }
        }
        return {lo, hi};
    }
};

} // namespace

TEST_F(QeSceneViewDrawTest, DrawsThroughTheFit)
{
    SViewScene scene(1366, 768, {171, 0, 1024, 768},
                     "<image id=\"a\" guid=\"1\" image_id=\"pic\" offset=\"300 100\" size=\"40 20\" color=\"-1\"/>"
                     "<image id=\"hidden\" guid=\"2\" image_id=\"pic\" object_flags=\"2\" offset=\"900 100\" size=\"40 20\"/>");
    qe::CSceneView view;
    view.SetScene(scene.Scene());
    view.SetViewSize(1366, 768);
    auto [lo, hi] = DrawnX(view);
    EXPECT_NEAR(lo, 280, 1); // no transform; the hidden image is not drawn
    EXPECT_NEAR(hi, 320, 1);
    EXPECT_EQ(m_Renderer->GetTransform().M00, 1.0f);
    EXPECT_EQ(m_Renderer->GetTransform().M20, 0.0f);

    view.SetViewSize(683, 768); // mode 0: half as wide
    std::tie(lo, hi) = DrawnX(view);
    EXPECT_NEAR(lo, 140, 1);
    EXPECT_NEAR(hi, 160, 1);
    EXPECT_EQ(m_Renderer->GetTransform().M00, 1.0f);
    EXPECT_EQ(m_Renderer->GetTransform().M20, 0.0f); // popped again

    view.SetFitMode(1);
    view.SetViewSize(1024, 768);
    std::tie(lo, hi) = DrawnX(view);
    EXPECT_NEAR(lo, 280 - 171, 1);
    EXPECT_NEAR(hi, 320 - 171, 1);
}
