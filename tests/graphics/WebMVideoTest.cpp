#include "graphics/WebMOpaqueVideo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "VideoTestSupport.h"
#include "content/PackWriter.h"
#include "content/WebMWriter.h"
#include "core/Checksum.h"
#include "core/FileSystem.h"
#include "core/TempFolder.h"
#include "core/ThreadPool.h"
#include "graphics/VideoFactory.h"
#include "graphics/WebMStream.h"
#include "graphics/WebMTranslucentVideo.h"

using lv::content::CWebMWriter;
using lv::content::CWebMWriterOptions;
using lv::content::CYuvFrame;
using lv::graphics::CWebMOpaqueVideo;
using lv::graphics::CWebMStream;
using lv::graphics::CWebMTranslucentVideo;
using lv::mt::CThreadPool;

namespace {

// Frame k: luma 16 + 7k with a moving bright bar, so frames differ and P-frames carry change.
CYuvFrame Picture(u32 k, u32 w, u32 h, u8 base = 16)
{
    CYuvFrame f(w, h, static_cast<u8>(base + 7 * k), static_cast<u8>(100 + k), static_cast<u8>(150 - k));
    for (u32 y = 0; y < h; ++y)
        for (u32 x = (k * 8) % w; x < std::min(w, (k * 8) % w + 8); ++x)
            f.Y(x, y) = 235;
    return f;
}

bool WriteVideo(const std::string& path, u32 w = 320, u32 h = 240, u32 frames = 30, u8 base = 16)
{
    CWebMWriterOptions options;
    options.width = w;
    options.height = h;
    CWebMWriter writer(options);
    for (u32 k = 0; k < frames; ++k)
        if (!writer.AddFrame(Picture(k, w, h, base)))
            return false;
    return writer.WriteFile(path);
}

// Grey of the left edge (the bar starts at x = 0 only on frame 0 and every 40th).
int EdgeGrey(const u8* rgba, u32 w)
{
    return rgba ? rgba[(10 * w + w - 1) * 4 + 2] : -1;
}

class WebMVideoTest : public VideoTest
{
protected:
    void SetUp() override
    {
        VideoTest::SetUp();
        m_Path = m_Folder / "clip.webm";
        ASSERT_TRUE(WriteVideo(m_Path));
    }
    template <class Video> void Step(Video& video, s32 ms)
    {
        Advance(ms);
        video.Update();
    }
    // Checksum of what the texture holds now.
    u32 Shown(lv::graphics::CVideo& video)
    {
        const std::vector<u32> pixels = Uploaded(video.GetFrameTexture());
        return lv::core::Crc32(pixels.data(), static_cast<u32>(pixels.size() * 4));
    }

    CTempFolder m_Folder;
    std::string m_Path;
};

} // namespace

TEST_F(WebMVideoTest, TheWrittenDurationAndTrackAreRead)
{
    CWebMStream stream;
    ASSERT_TRUE(stream.Open(m_Path.c_str()));
    EXPECT_EQ(stream.GetDuration(), 1200);
    EXPECT_EQ(stream.GetWidth(), 320);
    EXPECT_EQ(stream.GetHeight(), 240);
    stream.DecodeNext();
    s64 time = -1, duration = -1;
    stream.GetCurrentTimes(&time, &duration);
    EXPECT_EQ(time, 0);
    EXPECT_EQ(duration, 40);
    stream.PeekNextTimes(&time, &duration);
    EXPECT_EQ(time, 40);
    EXPECT_EQ(duration, 40);
    ASSERT_NE(stream.GetFrame(), nullptr);
    EXPECT_EQ(stream.GetFrame()->d_w, 320u);
    // The last frame lasts until the duration.
    stream.SkipBlocks(29);
    stream.GetCurrentTimes(&time, &duration);
    EXPECT_EQ(time, 1160);
    EXPECT_EQ(duration, 40);
    stream.PeekNextTimes(&time, &duration);
    EXPECT_EQ(time, 0);
    EXPECT_EQ(duration, 0);
    CWebMStream missing;
    EXPECT_FALSE(missing.Open((m_Folder / "missing.webm").c_str()));
    EXPECT_FALSE(missing.Open(nullptr));
}

TEST_F(WebMVideoTest, SeeksDecodeFromTheRightBlock)
{
    CWebMStream stream;
    ASSERT_TRUE(stream.Open(m_Path.c_str()));
    stream.DecodeNext(); // frame 0 shown
    const struct
    {
        s64 to;
        u32 decodes; // decoder calls the seek makes
        s64 shownTime;
    } cases[] = {
        {0, 0, 0},      // the shown frame
        {30, 0, 0},     // inside the shown frame
        {200, 5, 200},  // forward in the group: frames 1..5
        {220, 0, 200},  //
        {360, 4, 360},  // forward again: 6..9
        {420, 1, 400},  // past the key frame at 400: from it
        {100, 3, 80},   // backward: key frame 0, frames 0..2
        {1000, 6, 1000}, // forward past the key frame at 800: from it, 800..1000
        {1100, 2, 1080}, // 1040, 1080 after the shown 1000
        {1199, 2, 1160},
        {1200, 0, 1160}, // the duration: nothing
        {520, 4, 520},  // backward into the second group: 400..520
    };
    for (const auto& c : cases) {
        const u32 before = stream.GetDecodeCount();
        stream.Seek(c.to);
        s64 time = -1, duration = 0;
        stream.GetCurrentTimes(&time, &duration);
        EXPECT_EQ(stream.GetDecodeCount() - before, c.decodes) << c.to;
        EXPECT_EQ(time, c.shownTime) << c.to;
    }
}

TEST_F(WebMVideoTest, WithoutLoopThePlayerEndsAndASeekBackClearsIt)
{
    CWebMOpaqueVideo video(nullptr);
    video.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(m_Path.c_str()));
    EXPECT_FALSE(video.HasTask());
    EXPECT_EQ(video.GetDuration(), 1200);
    EXPECT_EQ(video.GetWidth(), 320u);
    EXPECT_EQ(video.GetDecodeCount(), 1u);
    for (int i = 0; i < 59; ++i)
        Step(video, 20);
    EXPECT_EQ(video.GetPosition(), 1180u);
    EXPECT_FALSE(video.IsEnded());
    EXPECT_EQ(video.GetDecodeCount(), 30u);
    const u32 last = Shown(video);
    Step(video, 20);
    EXPECT_TRUE(video.IsEnded());
    Step(video, 100);
    EXPECT_EQ(video.GetDecodeCount(), 30u);
    EXPECT_EQ(Shown(video), last);
    // Exactly the duration is ignored; earlier clears the end.
    video.Seek(1200);
    EXPECT_TRUE(video.IsEnded());
    video.Seek(440);
    EXPECT_FALSE(video.IsEnded());
    EXPECT_EQ(video.GetPosition(), 440u);
    EXPECT_EQ(video.GetDecodeCount(), 32u); // key frame 400, then 440
    Step(video, 40);
    EXPECT_EQ(video.GetDecodeCount(), 33u);
}

TEST_F(WebMVideoTest, LoopContinuesFromTheKeyFrameBefore)
{
    CWebMOpaqueVideo video(nullptr);
    video.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(m_Path.c_str()));
    video.SetLooping(true);
    for (int i = 0; i < 29; ++i)
        Step(video, 40);
    EXPECT_EQ(video.GetPosition(), 1160u);
    const u32 before = video.GetDecodeCount();
    Step(video, 80);
    EXPECT_EQ(video.GetPosition(), 40u);
    EXPECT_FALSE(video.IsEnded());
    // 1240 wraps to 40: key frame 0 and frame 1.
    EXPECT_EQ(video.GetDecodeCount() - before, 2u);
}

TEST_F(WebMVideoTest, PoolAndMainThreadShowTheSameFrames)
{
    CThreadPool pool(2);
    ASSERT_TRUE(pool.Start());
    CWebMOpaqueVideo ahead(&pool), here(nullptr);
    ASSERT_TRUE(ahead.HasTask());
    ASSERT_FALSE(here.HasTask());
    ahead.SetTimeSystem(&m_Time);
    here.SetTimeSystem(&m_Time);
    ASSERT_TRUE(ahead.Open(m_Path.c_str()));
    ASSERT_TRUE(here.Open(m_Path.c_str()));
    ahead.SetLooping(true);
    here.SetLooping(true);
    EXPECT_EQ(Shown(ahead), Shown(here));
    const s32 steps[] = {20, 20, 40, 13, 27, 80, 40, 40, 200, 40};
    for (int i = 0; i < 90; ++i) {
        const s32 ms = steps[i % 10];
        Advance(ms);
        ahead.Update();
        here.Update();
        ASSERT_EQ(ahead.GetPosition(), here.GetPosition());
        ASSERT_EQ(Shown(ahead), Shown(here)) << "at " << ahead.GetPosition();
        if (i == 45) {
            ahead.Seek(300);
            here.Seek(300);
            ASSERT_EQ(Shown(ahead), Shown(here));
        }
    }
    ahead.Close();
    pool.Stop();
}

TEST_F(WebMVideoTest, RefusedTaskDecodesOnTheMainThread)
{
    // One worker held by a task that waits, and ten queued tasks behind it fill the queue.
    struct CHold final : CThreadPool::CTask
    {
        std::atomic<bool> release{false};
        bool Run(lv::mt::CWorkerState&) override
        {
            while (!release)
                std::this_thread::yield();
            return false;
        }
    } hold;
    CThreadPool pool(1);
    ASSERT_TRUE(pool.Start());
    ASSERT_NE(pool.Enqueue(&hold), -1);
    while (pool.GetTaskStatus(0) == CThreadPool::kStatusQueued)
        std::this_thread::yield();
    std::vector<s32> filler;
    while (filler.size() < 20) {
        const s32 id = pool.Enqueue(&hold);
        if (id == -1)
            break;
        filler.push_back(id);
    }
    CWebMOpaqueVideo video(&pool), reference(nullptr);
    // However the test ends, the worker is let go before the players wait for their tasks.
    struct CRelease
    {
        std::atomic<bool>& flag;
        ~CRelease() { flag = true; }
    } release{hold.release};
    video.SetTimeSystem(&m_Time);
    reference.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(m_Path.c_str()));
    ASSERT_TRUE(reference.Open(m_Path.c_str()));
    for (int i = 0; i < 20; ++i) {
        Step(video, 40);
        reference.Update();
        ASSERT_EQ(Shown(video), Shown(reference)) << i;
    }
    EXPECT_EQ(video.GetDecodeCount(), 21u);
}

TEST_F(WebMVideoTest, ManyPlayersShareTheQueue)
{
    CThreadPool pool(2);
    ASSERT_TRUE(pool.Start());
    std::vector<std::unique_ptr<CWebMOpaqueVideo>> players;
    for (int i = 0; i < 12; ++i) {
        players.push_back(std::make_unique<CWebMOpaqueVideo>(&pool));
        players.back()->SetTimeSystem(&m_Time);
        ASSERT_TRUE(players.back()->Open(m_Path.c_str()));
        players.back()->SetLooping(true);
    }
    CWebMOpaqueVideo reference(nullptr);
    reference.SetTimeSystem(&m_Time);
    ASSERT_TRUE(reference.Open(m_Path.c_str()));
    reference.SetLooping(true);
    for (int step = 0; step < 40; ++step) {
        Advance(40);
        reference.Update();
        for (auto& p : players)
            p->Update();
    }
    for (auto& p : players) {
        EXPECT_EQ(p->GetPosition(), reference.GetPosition());
        EXPECT_EQ(Shown(*p), Shown(reference));
    }
    players.clear();
    pool.Stop();
}

TEST_F(WebMVideoTest, PackEntryPlaysLikeTheDiskFile)
{
    lv::content::CPackWriter pack;
    ASSERT_TRUE(pack.AddDiskFile("videos/clip.webm", m_Path));
    const std::string packPath = m_Folder / "videos.pack";
    ASSERT_TRUE(pack.WriteFile(packPath));
    auto& files = lv::core::CFileSystem::Instance();
    ASSERT_TRUE(files.MountPack(packPath.c_str()));
    CWebMOpaqueVideo packed(nullptr), disk(nullptr);
    packed.SetTimeSystem(&m_Time);
    disk.SetTimeSystem(&m_Time);
    const bool opened = packed.Open("videos/clip.webm");
    files.UnmountPack(packPath.c_str());
    ASSERT_TRUE(opened);
    ASSERT_TRUE(disk.Open(m_Path.c_str()));
    for (int i = 0; i < 35; ++i) {
        Step(packed, 40);
        disk.Update();
        ASSERT_EQ(Shown(packed), Shown(disk)) << i;
    }
}

TEST_F(WebMVideoTest, FramesLargerThanTheTrackKeepTheLastFrame)
{
    // The track says 160 x 120 but the frames are 320 x 240: nothing may be written past the
    // buffer of the track's size.
    CWebMWriterOptions options;
    options.width = 320;
    options.height = 240;
    options.trackWidth = 160;
    options.trackHeight = 120;
    CWebMWriter writer(options);
    for (u32 k = 0; k < 5; ++k)
        ASSERT_TRUE(writer.AddFrame(Picture(k, 320, 240)));
    const std::string path = m_Folder / "liar.webm";
    ASSERT_TRUE(writer.WriteFile(path));
    CWebMOpaqueVideo video(nullptr);
    video.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(path.c_str()));
    EXPECT_EQ(video.GetWidth(), 160u);
    for (int i = 0; i < 4; ++i)
        Step(video, 40);
    EXPECT_EQ(video.GetDecodeCount(), 5u);
    // The buffer still holds its opening fill.
    EXPECT_EQ(video.GetFrame()[0], 0xFF);
}

TEST_F(WebMVideoTest, TranslucentPairNeedsEqualSizesAndMergesAlpha)
{
    const std::string narrow = m_Folder / "narrow.webm";
    ASSERT_TRUE(WriteVideo(narrow, 318, 240, 5));
    {
        CWebMTranslucentVideo video(nullptr);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(video.Open(m_Path.c_str(), narrow.c_str()));
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "Video \"" + m_Path + "\" and alpha video \"" + narrow + "\" has diffrent width or height\n");
        EXPECT_FALSE(video.IsOpen());
    }
    // Alpha from a video whose frames are luma 126 + 7k (with the bar at 235).
    const std::string alpha = m_Folder / "alpha.webm";
    ASSERT_TRUE(WriteVideo(alpha, 320, 240, 30, 126));
    CThreadPool pool(1);
    ASSERT_TRUE(pool.Start());
    CWebMTranslucentVideo ahead(&pool), here(nullptr);
    for (CWebMTranslucentVideo* v : {&ahead, &here}) {
        v->SetTimeSystem(&m_Time);
        ASSERT_TRUE(v->Open(m_Path.c_str(), alpha.c_str()));
    }
    EXPECT_EQ(ahead.GetDuration(), 1200);
    for (int i = 0; i < 12; ++i) {
        Advance(40);
        ahead.Update();
        here.Update();
        ASSERT_EQ(Shown(ahead), Shown(here)) << i;
    }
    here.WaitForTask();
    const u8* rgba = here.GetFrame();
    // Frame 12: alpha luma 126 + 84 = 210 gives (210 - 16) * 255 / 219 = 225, within coding error.
    EXPECT_NEAR(rgba[(10 * 320 + 319) * 4 + 3], 225, 6);
    // The colour of frame 12: luma 100, U 112, V 138.
    const u8 y = 100, u = 112, v = 138;
    lv::graphics::CYuvPicture p;
    p.width = p.height = 1;
    p.y = &y;
    p.u = &u;
    p.v = &v;
    u8 expected[4] = {};
    lv::graphics::YuvToRgbaOpaque(expected, p);
    EXPECT_NEAR(EdgeGrey(rgba, 320), expected[2], 6);
    ahead.Close();
    pool.Stop();
}

TEST_F(WebMVideoTest, FactoryPicksWebMForOtherNames)
{
    bool ok = false;
    std::unique_ptr<lv::graphics::CVideo> video(lv::graphics::CreateOpaqueVideo(m_Path.c_str(), &ok));
    EXPECT_TRUE(ok);
    ASSERT_NE(dynamic_cast<CWebMOpaqueVideo*>(video.get()), nullptr);
    const std::string missing = m_Folder / "missing.webm";
    std::unique_ptr<lv::graphics::CVideo> failed(lv::graphics::CreateOpaqueVideo(missing.c_str(), &ok));
    EXPECT_FALSE(ok);
    ASSERT_NE(dynamic_cast<CWebMOpaqueVideo*>(failed.get()), nullptr);
    failed->Draw(*m_Renderer, 0, 0);
    std::unique_ptr<lv::graphics::CVideo> pair(
        lv::graphics::CreateTranslucentVideo(m_Path.c_str(), m_Path.c_str(), &ok));
    EXPECT_TRUE(ok);
    ASSERT_NE(dynamic_cast<CWebMTranslucentVideo*>(pair.get()), nullptr);
    std::unique_ptr<lv::graphics::CVideo> badPair(
        lv::graphics::CreateTranslucentVideo(m_Path.c_str(), missing.c_str(), &ok));
    EXPECT_FALSE(ok);
}
