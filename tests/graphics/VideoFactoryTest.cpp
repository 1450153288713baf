#include "graphics/VideoFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "LogCapture.h"
#include "VideoTestSupport.h"
#include "content/TheoraWriter.h"
#include "core/TempFolder.h"
#include "graphics/TheoraOpaqueVideo.h"
#include "graphics/TheoraTranslucentVideo.h"

using namespace lv::graphics;

namespace {

class VideoFactoryTest : public VideoTest
{
protected:
    std::string WriteRamp(const std::string& name)
    {
        lv::content::CTheoraWriter writer({});
        for (u32 k = 0; k < 5; ++k)
            writer.AddFrame(lv::content::CYuvFrame(64, 48, static_cast<u8>(16 + 8 * k)));
        EXPECT_TRUE(writer.WriteFile(m_Folder / name));
        return m_Folder / name;
    }

    CTempFolder m_Folder;
};

} // namespace

TEST_F(VideoFactoryTest, OgvAnywhereInTheNamePicksTheora)
{
    for (const char* name : {"clip.ogv", "x.ogv.webm"}) {
        bool ok = false;
        std::unique_ptr<CVideo> video(CreateOpaqueVideo(WriteRamp(name).c_str(), &ok));
        EXPECT_TRUE(ok) << name;
        auto* theora = dynamic_cast<CTheoraOpaqueVideo*>(video.get());
        ASSERT_NE(theora, nullptr) << name;
        EXPECT_TRUE(theora->IsOpen());
    }
    const std::string colour = WriteRamp("c.ogv"), alpha = WriteRamp("a.ogv");
    bool ok = false;
    std::unique_ptr<CVideo> video(CreateTranslucentVideo(colour.c_str(), alpha.c_str(), &ok));
    EXPECT_TRUE(ok);
    ASSERT_NE(dynamic_cast<CTheoraTranslucentVideo*>(video.get()), nullptr);
    EXPECT_TRUE(static_cast<CTheoraTranslucentVideo*>(video.get())->IsOpen());
}

TEST_F(VideoFactoryTest, FailedOpenReportsAndReturnsAPlayerThatDrawsNothing)
{
    const std::string missing = m_Folder / "missing.ogv";
    const std::string colour = WriteRamp("c.ogv");
    const struct
    {
        std::function<CVideo*(bool*)> create;
        std::string message;
    } cases[] = {
        {[&](bool* ok) { return CreateOpaqueVideo(missing.c_str(), ok); },
         "Can't load opaque Theora video: " + missing},
        {[&](bool* ok) { return CreateTranslucentVideo(colour.c_str(), missing.c_str(), ok); },
         "Can't load translucent Theora video: '" + colour + "' and '" + missing + "'"},
    };
    for (const auto& c : cases) {
        CScratchLogCapture log;
        bool ok = true;
        std::unique_ptr<CVideo> video(c.create(&ok));
        ASSERT_NE(video, nullptr);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(log.Contains(c.message)) << log.Text();
        video->Update();
        video->Draw(*m_Renderer, 10, 10, 100, 100);
        EXPECT_TRUE(Drawn().empty());
        // Without an ok flag the call is the same.
        std::unique_ptr<CVideo> again(c.create(nullptr));
        EXPECT_NE(again, nullptr);
    }
}

TEST_F(VideoFactoryTest, NegativeSizeTakesTheTexturesSide)
{
    bool ok = false;
    std::unique_ptr<CVideo> video(CreateOpaqueVideo(WriteRamp("clip.ogv").c_str(), &ok));
    ASSERT_TRUE(ok);
    const struct
    {
        float w, h, expectW, expectH;
    } cases[] = {{-1, 50, 64, 50}, {100, -1, 100, 48}, {-1, -1, 64, 48}, {30, 20, 30, 20}};
    for (const auto& c : cases) {
        video->Draw(*m_Renderer, 10, 20, c.w, c.h, CColor(0x80FFFFFFu));
        const auto v = Drawn();
        ASSERT_FALSE(v.empty());
        const auto [minX, maxX] = std::minmax_element(v.begin(), v.end(), [](auto& a, auto& b) { return a.x < b.x; });
        const auto [minY, maxY] = std::minmax_element(v.begin(), v.end(), [](auto& a, auto& b) { return a.y < b.y; });
        EXPECT_FLOAT_EQ(maxX->x - minX->x, c.expectW) << c.w << "," << c.h;
        EXPECT_FLOAT_EQ(maxY->y - minY->y, c.expectH) << c.w << "," << c.h;
    }
    // The two-argument form draws at the video's own size.
    video->Draw(*m_Renderer, 0, 0);
    const auto v = Drawn();
    ASSERT_FALSE(v.empty());
    const auto [minX, maxX] = std::minmax_element(v.begin(), v.end(), [](auto& a, auto& b) { return a.x < b.x; });
    EXPECT_FLOAT_EQ(maxX->x - minX->x, 64);
}
