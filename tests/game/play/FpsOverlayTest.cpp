#include "game/play/FpsOverlay.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/FontTestSupport.h"
#include "graphics/Vertex.h"
#include "gui/RecordingRenderer.h"

using game::CFpsOverlay;

namespace {

// Every vertex colour drawn since the last call, with the smallest x of each colour's vertices.
struct SDrawnColour
{
    u32 Argb;
    float MinX;
};

std::vector<SDrawnColour> DrawnColours(CRecordingRenderer& recording)
{
    recording.Renderer->Flush();
    std::vector<SDrawnColour> colours;
    for (const lv::platform::CRecordedDraw& draw : recording.Log->Draws) {
        if (draw.Stride != sizeof(lv::graphics::CVertex))
            continue;
        for (size_t at = 0; at + draw.Stride <= draw.Vertices.size(); at += draw.Stride) {
            lv::graphics::CVertex vertex;
            std::memcpy(&vertex, draw.Vertices.data() + at, sizeof(vertex));
            bool found = false;
            for (SDrawnColour& c : colours) {
                if (c.Argb == vertex.diffuse) {
                    c.MinX = std::min(c.MinX, vertex.x);
                    found = true;
                }
            }
            if (!found)
                colours.push_back({vertex.diffuse, vertex.x});
        }
    }
    recording.Log->Draws.clear();
    return colours;
}

const SDrawnColour* FindColour(const std::vector<SDrawnColour>& colours, u32 argb)
{
    for (const SDrawnColour& c : colours)
        if (c.Argb == argb)
            return &c;
    return nullptr;
}

class FpsOverlayTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CFpsOverlay::ResetShared();
        m_Font = m_Fonts.LoadOne(TestFontXml("<Char Code=\" \" Rect=\"0 0 0 0\" Width=\"4\" TopOffset=\"0\"/>"));
        ASSERT_NE(m_Font, nullptr);
        CFpsOverlay::SetFont(m_Font);
    }
    void TearDown() override { CFpsOverlay::ResetShared(); }

    CRecordingRenderer m_Recording;
    CFontFixture m_Fonts;
    lv::graphics::CFont* m_Font = nullptr;
};

} // namespace

TEST_F(FpsOverlayTest, DrawsNothingWhileBothSwitchesAreOff)
{
    CFpsOverlay overlay("cheatfont");
    for (int t = 0; t <= 2000; t += 100)
        overlay.DrawAt(*m_Recording.Renderer, static_cast<float>(t), 1e6f, 1e6f);
    EXPECT_TRUE(DrawnColours(m_Recording).empty());
    EXPECT_TRUE(CFpsOverlay::GetFpsLine().empty());
    EXPECT_EQ(overlay.GetFramesPerSecond(), 0);
}

TEST_F(FpsOverlayTest, AfterASecondOfFramesTheTextShowsTheRateOverABlackBox)
{
    CFpsOverlay overlay("cheatfont");
    overlay.SetTextShown(true);
    // 100 frames 10 ms apart, then the one at 1000 ms refreshes.
    for (int t = 0; t < 1000; t += 10)
        overlay.DrawAt(*m_Recording.Renderer, static_cast<float>(t), 3500000.0f, 120.0f);
    EXPECT_TRUE(CFpsOverlay::GetFpsLine().empty());
    DrawnColours(m_Recording);
    overlay.DrawAt(*m_Recording.Renderer, 1000.0f, 3500000.0f, 120.0f);
    EXPECT_EQ(overlay.GetFramesPerSecond(), 101);
    EXPECT_EQ(CFpsOverlay::GetFpsLine(), u"FPS: 101, frame time: 9.90");
    EXPECT_EQ(CFpsOverlay::GetParticleLine(),
              u"particles fillrate:      3500000\nparticles source pixels:          120");
    const std::vector<SDrawnColour> colours = DrawnColours(m_Recording);
    const SDrawnColour* black = FindColour(colours, 0xFF000000u);
    ASSERT_NE(black, nullptr);
    EXPECT_NEAR(black->MinX, 0.0f, 1.0f);
    EXPECT_EQ(FindColour(colours, 0xFF00FF00u), nullptr) << "the bar is off";
}

TEST_F(FpsOverlayTest, BarColourFollowsTheFillRatioAndSitsAtTheRight)
{
    const struct
    {
        float Ratio;
        u32 Argb;
    } cases[] = {{0.5f, 0xFF00FF00u}, {0.7f, 0xFF00FF00u}, {0.8f, 0xFFFFFF00u}, {1.0f, 0xFFFF0000u}, {1.5f, 0xFFFF0000u}};
    // The recording renderer's design width is 800.
    const float left = 800 + 910 - 1024;
    for (const auto& c : cases) {
        EXPECT_EQ(CFpsOverlay::GetBarColor(c.Ratio).ToArgb(), c.Argb) << c.Ratio;
        CFpsOverlay overlay("cheatfont");
        overlay.SetBarShown(true);
        overlay.DrawAt(*m_Recording.Renderer, 5000.0f, c.Ratio * CFpsOverlay::kFullFillRate, 0);
        const std::vector<SDrawnColour> colours = DrawnColours(m_Recording);
        const SDrawnColour* bar = FindColour(colours, c.Argb);
        ASSERT_NE(bar, nullptr) << c.Ratio;
        EXPECT_NEAR(bar->MinX, left + 2, 1.0f) << c.Ratio;
        const SDrawnColour* panel = FindColour(colours, 0xFF000000u);
        ASSERT_NE(panel, nullptr);
        EXPECT_NEAR(panel->MinX, left, 1.0f);
    }
}

TEST_F(FpsOverlayTest, WithoutItsFontTheOverlayDrawsNothing)
{
    CFpsOverlay::ResetShared();
    CFpsOverlay overlay("no_such_font");
    overlay.SetTextShown(true);
    overlay.SetBarShown(true);
    overlay.DrawAt(*m_Recording.Renderer, 1500.0f, 100.0f, 100.0f);
    EXPECT_TRUE(DrawnColours(m_Recording).empty());
    EXPECT_FALSE(CFpsOverlay::GetFpsLine().empty()) << "the statistics still refresh";
}
