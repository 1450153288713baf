// The scene stack's drawing through the recording device: the shade, view and frame of each
// miniscene, scenes that only render, the interactive veil and the clipping of a miniscene.
#include "SceneStackTestSupport.h"

#include "game/hud/Hud.h"
#include "game/play/Minigame.h"
#include "game/play/MinigameManager.h"
#include "game/play/MinisceneView.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/RendererHost.h"
#include "graphics/Vertex.h"
#include "platform/d3d9/RecordingDirect3D.h"
#include "qe/MinigameFactory.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"

#include <algorithm>
#include <cmath>

using scenestacktest::StackFixture;

namespace {

class CStackDrawHost final : public lv::graphics::CRendererHost
{
public:
    HWND GetWindowHandle() override { return nullptr; }
    void GetClientSize(s32& w, s32& h) override
    {
        w = 1366;
        h = 768;
    }
    bool GetDesktopSize(s32& w, s32& h) override
    {
        GetClientSize(w, h);
        return true;
    }
    bool SetScreenMode(bool, bool, s32, s32) override { return true; }
    void GetRequestedWindowSize(s32& w, s32& h) override { GetClientSize(w, h); }
    void SetScreenArea(const CFloatRect&, const CVector2&) override {}
};

// A minigame that only sits in its scene.
class CStillMinigame : public game::CMinigame
{
public:
    void Load() override {}
};

qe::CMinigameBase* MakeStillMinigame(const char*)
{
    return new CStillMinigame();
}

constexpr u32 kShade = 0x40000000u;
constexpr u32 kVeil = 0xC8FFFFFFu;

class SceneStackDraw : public StackFixture
{
protected:
    void SetUp() override
    {
        StackFixture::SetUp();
        m_Log = lv::platform::InstallRecordingDirect3D();
        m_Log->WindowWidth = 1366;
        m_Log->WindowHeight = 768;
        lv::graphics::GetGraphicsDevice().Release(false);
        m_Renderer = std::make_unique<lv::graphics::CRenderer>();
        m_Renderer->SetHost(&m_Host);
        m_Renderer->SetSourceSize(1366, 768);
        ASSERT_TRUE(m_Renderer->SetMode(false, true, 1366, 768));
        ASSERT_TRUE(m_Renderer->BeginFrame());
        // How many vertices one filled quad takes.
        m_Log->Draws.clear();
        m_Renderer->FillQuad(CQuad(0, 0, 10, 10), CColor(0xFF123456u));
        m_Renderer->Flush();
        m_QuadVertices = Vertices().size();
        ASSERT_GT(m_QuadVertices, 0u);
    }
    void TearDown() override
    {
        m_Renderer.reset();
        lv::graphics::CTextureManager::Instance().ReleaseAllDeviceTextures();
        lv::platform::SetDirect3DFactory(nullptr);
        StackFixture::TearDown();
    }

    std::vector<lv::graphics::CVertex> Vertices() const
    {
        std::vector<lv::graphics::CVertex> all;
        for (const auto& draw : m_Log->Draws)
        {
            const auto* v = reinterpret_cast<const lv::graphics::CVertex*>(draw.Vertices.data());
            all.insert(all.end(), v, v + draw.Vertices.size() / sizeof(lv::graphics::CVertex));
        }
        return all;
    }
    // The stack drawn alone.
    std::vector<lv::graphics::CVertex> DrawStack()
    {
        m_Log->Draws.clear();
        Stack().Draw(*m_Renderer);
        m_Renderer->Flush();
        return Vertices();
    }
    size_t CountColour(const std::vector<lv::graphics::CVertex>& all, u32 colour) const
    {
        return static_cast<size_t>(std::count_if(all.begin(), all.end(), [colour](const auto& v) { return v.diffuse == colour; })) /
               m_QuadVertices;
    }
    // The index of the first vertex at that point (within a pixel), or -1.
    static long FirstAt(const std::vector<lv::graphics::CVertex>& all, float x, float y)
    {
        for (size_t i = 0; i < all.size(); ++i)
            if (std::fabs(all[i].x - x) <= 1.0f && std::fabs(all[i].y - y) <= 1.0f)
                return static_cast<long>(i);
        return -1;
    }
    // The right end of what the close-up's view draws in that band (before its frame, whose
    // top-left corner is at (366, 166)).
    static float ViewMaxX(const std::vector<lv::graphics::CVertex>& all, float fromY, float toY)
    {
        const long frame = FirstAt(all, 366, 166);
        float x = -1.0f;
        for (long i = 0; i < (frame < 0 ? static_cast<long>(all.size()) : frame); ++i)
            if (all[static_cast<size_t>(i)].y >= fromY && all[static_cast<size_t>(i)].y <= toY)
                x = std::max(x, all[static_cast<size_t>(i)].x);
        return x;
    }

    std::shared_ptr<lv::platform::CRecordingLog> m_Log;
    std::unique_ptr<lv::graphics::CRenderer> m_Renderer;
    size_t m_QuadVertices = 0;

private:
    CStackDrawHost m_Host;
};

TEST_F(SceneStackDraw, AMinisceneGetsItsShadeThenItsViewThenItsFrame)
{
    Start();
    EXPECT_EQ(CountColour(DrawStack(), kShade), 0u);
    Window->OpenScene("closeup", false, false);
    const auto all = DrawStack();
    EXPECT_EQ(CountColour(all, kShade), 1u);
    const long shade = static_cast<long>(std::find_if(all.begin(), all.end(), [](const auto& v) { return v.diffuse == kShade; }) - all.begin());
    // "close_over" at (540, 20) of the close-up placed at (383, 184); the close button at (986, 166).
    const long content = FirstAt(all, 383 + 540, 184 + 20);
    const long close = FirstAt(all, 986, 166);
    ASSERT_GE(content, 0);
    ASSERT_GE(close, 0);
    EXPECT_LT(shade, content);
    EXPECT_LT(content, close);
}

TEST_F(SceneStackDraw, DrawingStartsAtTheHighestMinisceneThatIsNotPlain)
{
    struct SCase
    {
        std::vector<const char*> open;
        size_t shades;
        bool closeupFrame; // the close-up's close button is drawn
    };
    const SCase cases[] = {
        {{"closeup", "mini3"}, 1, true},           // "mini3" (flag 4) only renders over the close-up
        {{"closeup", "mini2"}, 1, false},          // the close-up under "mini2" is not drawn
        {{"mini3"}, 0, false},                     // all plain: the top one only renders
        {{"closeup", "mini2", "mini3"}, 1, false}, // from "mini2" up
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.open.size() << " open, top " << c.open.back());
        Start();
        for (const char* name : c.open)
            Window->OpenScene(name, false, false);
        const auto all = DrawStack();
        EXPECT_EQ(CountColour(all, kShade), c.shades);
        EXPECT_EQ(FirstAt(all, 986, 166) >= 0, c.closeupFrame);
        EXPECT_EQ(FirstAt(all, 383 + 540, 184 + 20) >= 0, c.closeupFrame);
    }
}

TEST_F(SceneStackDraw, TheInteractiveVeilCoversTheMainViewInInventoryModeThree)
{
    Start();
    EXPECT_EQ(CountColour(DrawStack(), kVeil), 0u);
    Window->GetHud().GetInventory().SetModeValue(game::CHudInventory::kModeInteractive);
    const auto all = DrawStack();
    ASSERT_EQ(CountColour(all, kVeil), 1u);
    EXPECT_GE(FirstAt(all, 0, 0), 0);
    EXPECT_GE(FirstAt(all, 1366, 768), 0);
}

TEST_F(SceneStackDraw, PopupClippingCutsTheMinisceneAtItsEdge)
{
    Start();
    Window->OpenScene("closeup", false, false);
    // "edge" spans x 570..610 of the 600-wide close-up, y 280..320: on screen 953..993, 464..504.
    EXPECT_NEAR(ViewMaxX(DrawStack(), 460, 510), 993.0f, 1.0f);
    Window->SetPopupClipping(true);
    EXPECT_NEAR(ViewMaxX(DrawStack(), 460, 510), 983.0f, 1.0f);
}

// A minigame active in the miniscene clips it as popup clipping does.
TEST_F(SceneStackDraw, AnActiveMinigameInTheMinisceneClipsItToo)
{
    qe::CMinigameFactory::Instance().Register("still", MakeStillMinigame);
    std::string xml = scenestacktest::StackQuestXml();
    for (int record = 1; record <= 4; ++record)
    {
        const std::string p = std::to_string(record);
        size_t at = xml.find("<scene_content guid=\"" + p + "12\">");
        ASSERT_NE(at, std::string::npos);
        at = xml.find("<scripts>", at) + std::string("<scripts>").size();
        xml.insert(at, "<minigame_block guid=\"" + p + "d1\" id=\"still_game\" minigame=\"still\"><arguments/></minigame_block>");
    }
    qe::CQuestData::Instance().Clear();
    qe::CScriptData::Instance().Release();
    lv::core::CSettings scripts;
    ASSERT_TRUE(qe::CQuestData::Instance().BuildFromXmlText(xml));
    ASSERT_TRUE(scripts.LoadXmlText(xml));
    qe::CScriptData::Instance().Compile(scripts.GetFirstChild());
    Start();
    Window->OpenScene("closeup", false, false);
    ASSERT_TRUE(Window->GetMinigameHost().HasMinisceneMinigame(nullptr));
    EXPECT_NEAR(ViewMaxX(DrawStack(), 460, 510), 983.0f, 1.0f);
    // The scripts compiled from this quest go before their text does.
    Window.reset();
    qe::CScriptData::Instance().Release();
    qe::CMinigameFactory::Instance().Unregister("still");
}

// The skip question darkens the whole design size with "scenes_black" at alpha 205 in place of
// the tip.
TEST_F(SceneStackDraw, TheSkipTutorialQuestionDarkensTheScreen)
{
    constexpr u32 kDark = 0xCDFFFFFFu;
    Start();
    Window->SetTutorialStep(5);
    const auto drawWindow = [this] {
        m_Log->Draws.clear();
        Window->Draw(*m_Renderer);
        m_Renderer->Flush();
        return Vertices();
    };
    EXPECT_EQ(CountColour(drawWindow(), kDark), 0u);
    Window->OnEvent("pressed", Window->FindChild(CFixedString("skip_tutorial"), true).get());
    ASSERT_TRUE(Window->IsSkipTutorialQuestionShown());
    const auto all = drawWindow();
    ASSERT_EQ(CountColour(all, kDark), 1u);
    const auto first = std::find_if(all.begin(), all.end(), [](const auto& v) { return v.diffuse == kDark; });
    float maxX = 0, maxY = 0;
    for (auto v = first; v != all.end() && v != first + static_cast<long>(m_QuadVertices); ++v)
    {
        maxX = std::max(maxX, v->x);
        maxY = std::max(maxY, v->y);
    }
    // Within the device's half-pixel offset.
    EXPECT_NEAR(first->x, 0.0f, 1.0f);
    EXPECT_NEAR(first->y, 0.0f, 1.0f);
    EXPECT_NEAR(maxX, 1366.0f, 1.0f);
    EXPECT_NEAR(maxY, 768.0f, 1.0f);
}

} // namespace
