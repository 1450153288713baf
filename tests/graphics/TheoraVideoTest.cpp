#include "graphics/TheoraOpaqueVideo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "VideoTestSupport.h"
#include "content/TheoraWriter.h"
#include "core/TempFolder.h"
#include "graphics/TheoraStream.h"
#include "graphics/TheoraTranslucentVideo.h"

using lv::content::CTheoraWriter;
using lv::content::CTheoraWriterOptions;
using lv::content::CYuvFrame;
using lv::graphics::CTheoraOpaqueVideo;
using lv::graphics::CTheoraStream;
using lv::graphics::CTheoraTranslucentVideo;

namespace {

using FrameMaker = std::function<CYuvFrame(u32 index)>;

std::vector<u8> EncodeVideo(const CTheoraWriterOptions& options, u32 frames, const FrameMaker& make)
{
    CTheoraWriter writer(options);
    for (u32 k = 0; k < frames; ++k)
        EXPECT_TRUE(writer.AddFrame(make(k)));
    std::vector<u8> bytes = writer.Finish();
    EXPECT_FALSE(bytes.empty());
    return bytes;
}

// Frame k is one grey of luma 16 + 8k.
CYuvFrame Ramp(u32 k, u32 w = 64, u32 h = 48)
{
    return CYuvFrame(w, h, static_cast<u8>(16 + 8 * k));
}

std::vector<u8> RampVideo(u32 frames = 25)
{
    return EncodeVideo({}, frames, [](u32 k) { return Ramp(k); });
}

// A frame of noise, which compresses badly and so makes big pages.
CYuvFrame Noise(u32 k, u32 w, u32 h)
{
    std::mt19937 random(k + 1);
    CYuvFrame f(w, h);
    for (u8& y : f.y)
        y = static_cast<u8>(16 + random() % 220);
    return f;
}

void Save(const std::string& path, const std::vector<u8>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// Red channel of the first pixel of the converted frame.
int ShownGrey(const u8* frame)
{
    return frame ? frame[2] : -1;
}

// Granule position of the first page with a time that starts after `from` (a page starting right
// there is the one the boundary search consumes); -1 when none.
s64 FirstGranuleAfter(const std::vector<u8>& file, size_t from)
{
    size_t at = from + 1;
    while (at + 27 <= file.size() && std::memcmp(&file[at], "OggS", 4) != 0)
        ++at;
    while (at + 27 <= file.size()) {
        s64 granule = 0;
        for (int i = 7; i >= 0; --i)
            granule = (granule << 8) | file[at + 6 + i];
        const u32 segments = file[at + 26];
        size_t body = 0;
        for (u32 i = 0; i < segments && at + 27 + i < file.size(); ++i)
            body += file[at + 27 + i];
        if (granule > 0)
            return at + 27 + segments + body <= file.size() ? granule : -1;
        at += 27 + segments + body;
    }
    return -1;
}

class TheoraVideoTest : public VideoTest
{
protected:
    std::string Write(const std::string& name, const std::vector<u8>& bytes)
    {
        const std::string path = m_Folder / name;
        Save(path, bytes);
        return path;
    }
    // Advances game time to `t` ms of video time in frames of 20 ms, updating the player.
    void PlayTo(lv::graphics::CVideo& video, u32 t)
    {
        while (video.GetPosition() < t) {
            Advance(static_cast<s32>(std::min<u32>(20, t - video.GetPosition())));
            video.Update();
        }
    }

    CTempFolder m_Folder;
};

} // namespace

TEST(TheoraStreamTest, ChunkSizeFollowsTheFileSize)
{
    const struct
    {
        u32 size, chunk;
    } cases[] = {{40000, 8192}, {100000, 32768}, {65536, 32768}, {65535, 8192}, {4096, 512}, {3000, 512}, {1, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(CTheoraStream::ChunkSizeFor(c.size), c.chunk) << c.size;
}

TEST(TheoraStreamTest, FilesAreHandedOverInChunksOfTheirSize)
{
    for (const u32 size : {40000u, 100000u}) {
        std::vector<u8> file = RampVideo();
        ASSERT_LT(file.size(), size);
        file.resize(size, 0); // bytes after the last page are skipped by the sync layer
        CTheoraStream stream;
        ASSERT_TRUE(stream.OpenMemory(file.data(), size));
        ASSERT_TRUE(stream.StartDecoder());
        // The search looks at most 64 KiB back from the end.
        EXPECT_EQ(stream.ComputeDuration(), size < 65536 ? 1000u : 0u);
        const u32 chunk = CTheoraStream::ChunkSizeFor(size);
        u32 total = 0;
        for (u32 n; (n = stream.ReadChunk()) != 0; total += n)
            EXPECT_EQ(n, std::min(chunk, size - total));
        EXPECT_EQ(total, size);
    }
}

TEST(TheoraStreamTest, DurationComesFromTheFirstVideoPageOfTheLastWindow)
{
    CTheoraWriterOptions options;
    options.pagePerFrame = true;
    options.keyframeInterval = 1;
    options.quality = 16;
    const std::vector<u8> file = EncodeVideo(options, 25, [](u32 k) { return Noise(k, 64, 48); });
    ASSERT_GT(file.size(), 3u * 4096);
    const s64 granule = FirstGranuleAfter(file, file.size() - 4096);
    ASSERT_GT(granule, 0);
    // Key frame every frame: the frame count is the granule's upper part plus its lower part.
    const s64 frames = (granule >> 6) + (granule & 63);
    ASSERT_LT(frames, 25); // the page is not the last one
    CTheoraStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    ASSERT_TRUE(stream.StartDecoder());
    EXPECT_EQ(stream.ComputeDuration(), static_cast<u32>(frames * 40));
}

TEST(TheoraStreamTest, DurationOfAFileShorterThanTheWindowReadsOnlyTheFile)
{
    // Held on the heap so that a read before the first byte is caught.
    const std::vector<u8> file = RampVideo(3);
    ASSERT_LT(file.size(), 4096u);
    CTheoraStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    ASSERT_TRUE(stream.StartDecoder());
    EXPECT_EQ(stream.ComputeDuration(), 120u);
    // The search rewinds to the first byte: the three headers come round again before frame 0.
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(stream.DecodeFrame());
    EXPECT_TRUE(stream.DecodeFrame());
    EXPECT_EQ(stream.GetFrameTime(), 40u);
}

TEST(TheoraStreamTest, BadInputFailsTheOpen)
{
    const std::vector<u8> good = RampVideo(2);
    const std::vector<std::vector<u8>> cases = {
        {},
        std::vector<u8>(5000, 0),
        std::vector<u8>(good.begin(), good.begin() + 100), // ends inside the headers
        std::vector<u8>(good.begin() + 58, good.end()),    // no beginning page
    };
    for (const auto& bytes : cases) {
        CTheoraStream stream;
        EXPECT_FALSE(stream.OpenMemory(bytes.data(), static_cast<u32>(bytes.size()))) << bytes.size();
        EXPECT_FALSE(stream.IsOpen());
    }
    CTheoraStream stream;
    EXPECT_FALSE(stream.Open("no/such/video.ogv"));
}

TEST(TheoraStreamTest, NoPictureIsAskedForBeforeAFrameIsDecoded)
{
    // Headers only: the decoder has nothing to show and must not be asked for a picture.
    const std::vector<u8> file = CTheoraWriter({}).Finish();
    ASSERT_FALSE(file.empty());
    CTheoraStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    ASSERT_TRUE(stream.StartDecoder());
    EXPECT_EQ(stream.ComputeDuration(), 0u);
    yuv_buffer picture;
    for (int i = 0; i < 5; ++i) {
        stream.DecodeFrame();
        EXPECT_FALSE(stream.GetPicture(picture));
    }
    EXPECT_TRUE(stream.IsEndOfStream());
}

TEST_F(TheoraVideoTest, OpenShowsTheFirstFrameAndReadsTheDuration)
{
    CTheoraOpaqueVideo video;
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    EXPECT_EQ(video.GetDuration(), 1000);
    EXPECT_EQ(video.GetPosition(), 0u);
    EXPECT_EQ(video.GetWidth(), 64u);
    EXPECT_EQ(video.GetHeight(), 48u);
    // Four packets after the rewind of the duration search: the three headers again, then frame 0.
    EXPECT_EQ(video.GetStream().GetDecodeCount(), 4u);
    EXPECT_EQ(video.GetStream().GetFrameTime(), 40u);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16), 3);
    // Opaque video keeps alpha 255, and the texture holds the converted frame.
    EXPECT_EQ(video.GetFrame()[3], 255);
    const std::vector<u32> uploaded = Uploaded(video.GetFrameTexture());
    ASSERT_EQ(uploaded.size(), 64u * 48u);
    EXPECT_EQ(0, std::memcmp(uploaded.data(), video.GetFrame(), uploaded.size() * 4));
}

TEST_F(TheoraVideoTest, DrawShowsTheFrameOfThePosition)
{
    CTheoraOpaqueVideo video;
    video.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    // Frame k ends at 40 (k + 1) ms; Draw decodes up to the first frame ending at or after t.
    const struct
    {
        u32 time;
        u32 frame;
    } cases[] = {{100, 2}, {120, 2}, {160, 3}, {161, 4}, {400, 9}, {590, 14}, {999, 24}, {1000, 24}};
    for (const auto& c : cases) {
        PlayTo(video, c.time);
        video.Draw(*m_Renderer, 0, 0);
        EXPECT_EQ(video.GetPosition(), c.time);
        EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(static_cast<u8>(16 + 8 * c.frame)), 3) << c.time;
    }
    EXPECT_EQ(Uploaded(video.GetFrameTexture())[0] & 0xFF, video.GetFrame()[0]);
}

TEST_F(TheoraVideoTest, SeekToThePositionDoesNothingAndBackwardsDecodesFromTheStart)
{
    CTheoraOpaqueVideo video;
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    video.Seek(400);
    EXPECT_EQ(video.GetPosition(), 400u);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16 + 8 * 9), 3);
    const u32 decoded = video.GetStream().GetDecodeCount();
    EXPECT_EQ(decoded, 4u + 9u);
    video.Seek(400);
    EXPECT_EQ(video.GetStream().GetDecodeCount(), decoded);
    // One frame back: from the first packet again, the three headers and frames 0 to 8.
    video.Seek(360);
    EXPECT_EQ(video.GetStream().GetDecodeCount(), decoded + 3 + 9);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16 + 8 * 8), 3);
    // Past the duration is ignored.
    video.Seek(1001);
    EXPECT_EQ(video.GetPosition(), 360u);
}

TEST_F(TheoraVideoTest, LoopingWrapsAndWithoutLoopTheLastFrameStays)
{
    const std::string path = Write("ramp.ogv", RampVideo());
    CTheoraOpaqueVideo looping, once;
    ASSERT_TRUE(looping.Open(path.c_str()));
    ASSERT_TRUE(once.Open(path.c_str()));
    looping.SetTimeSystem(&m_Time);
    once.SetTimeSystem(&m_Time);
    looping.SetLooping(true);
    for (u32 t = 0; t < 1300; t += 20) {
        Advance(20);
        looping.Update();
        once.Update();
        looping.Draw(*m_Renderer, 0, 0);
        once.Draw(*m_Renderer, 0, 0);
    }
    EXPECT_EQ(looping.GetPosition(), 300u);
    EXPECT_NEAR(ShownGrey(looping.GetFrame()), GreyOf(16 + 8 * 7), 3);
    EXPECT_EQ(once.GetPosition(), 1300u);
    EXPECT_TRUE(once.GetStream().IsEndOfStream());
    EXPECT_NEAR(ShownGrey(once.GetFrame()), GreyOf(16 + 8 * 24), 3);
}

TEST_F(TheoraVideoTest, PausedPlayerNeitherMovesNorDecodes)
{
    CTheoraOpaqueVideo video;
    video.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    PlayTo(video, 200);
    video.Draw(*m_Renderer, 0, 0);
    const u32 decoded = video.GetStream().GetDecodeCount();
    video.Pause();
    video.Pause();
    Advance(100);
    video.Update();
    video.Draw(*m_Renderer, 0, 0);
    EXPECT_EQ(video.GetPosition(), 200u);
    EXPECT_EQ(video.GetStream().GetDecodeCount(), decoded);
    video.Resume();
    Advance(100);
    video.Update();
    EXPECT_EQ(video.GetPosition(), 200u);
    video.Resume();
    Advance(100);
    video.Update();
    EXPECT_EQ(video.GetPosition(), 300u);
}

TEST_F(TheoraVideoTest, PaddedFramesShowOnlyThePictureTopRowFirst)
{
    // 40 x 28 lies at an offset inside a 48 x 32 coded frame; rows get brighter downwards and the
    // left half is brighter than the right.
    CTheoraWriterOptions options;
    options.width = 40;
    options.height = 28;
    const auto frame = [](u32) {
        CYuvFrame f(40, 28);
        for (u32 r = 0; r < 28; ++r)
            for (u32 c = 0; c < 40; ++c)
                f.Y(c, r) = static_cast<u8>(16 + r * 6 + (c < 20 ? 40 : 0));
        return f;
    };
    CTheoraOpaqueVideo video;
    ASSERT_TRUE(video.Open(Write("padded.ogv", EncodeVideo(options, 5, frame)).c_str()));
    ASSERT_EQ(video.GetWidth(), 40u);
    ASSERT_EQ(video.GetHeight(), 28u);
    const u8* rgba = video.GetFrame();
    const auto grey = [&](u32 c, u32 r) { return static_cast<int>(rgba[(r * 40 + c) * 4 + 2]); };
    for (u32 r : {0u, 13u, 27u}) {
        EXPECT_NEAR(grey(2, r), GreyOf(static_cast<u8>(56 + r * 6)), 4) << r;
        EXPECT_NEAR(grey(37, r), GreyOf(static_cast<u8>(16 + r * 6)), 4) << r;
    }
}

TEST_F(TheoraVideoTest, CloseReleasesAndAClosedPlayerDrawsNothing)
{
    CTheoraOpaqueVideo video;
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    video.Draw(*m_Renderer, 0, 0);
    EXPECT_FALSE(Drawn().empty());
    lv::graphics::CTexture* texture = video.GetFrameTexture();
    ASSERT_NE(texture, nullptr);
    video.Close();
    EXPECT_FALSE(video.IsOpen());
    EXPECT_EQ(video.GetFrameTexture(), nullptr);
    EXPECT_EQ(texture->GetRefCount(), 0);
    EXPECT_EQ(texture->PeekDeviceTexture(), nullptr);
    EXPECT_EQ(video.GetFrame(), nullptr);
    video.Seek(100);
    video.Update();
    video.Draw(*m_Renderer, 0, 0);
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(video.GetWidth(), 0u);
    // Reopening over an open player closes it first.
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    ASSERT_TRUE(video.Open(Write("ramp.ogv", RampVideo()).c_str()));
    EXPECT_EQ(video.GetStream().GetDecodeCount(), 4u);
}

TEST_F(TheoraVideoTest, TranslucentPairTakesAlphaFromTheSecondVideo)
{
    const std::string colour = Write("colour.ogv", RampVideo());
    // The alpha video runs the other way: frame k has luma 235 - 8k.
    const std::string alpha = Write("alpha.ogv", EncodeVideo({}, 25, [](u32 k) {
                                        return CYuvFrame(64, 48, static_cast<u8>(235 - 8 * k));
                                    }));
    const auto alphaOf = [](u32 k) { return (235 - 8 * static_cast<int>(k) - 16) * 255 / 219; };
    CTheoraTranslucentVideo video;
    video.SetTimeSystem(&m_Time);
    ASSERT_TRUE(video.Open(colour.c_str(), alpha.c_str()));
    EXPECT_EQ(video.GetDuration(), 1000);
    // The colour stream was rewound by the duration search, so of its four decodes three read the
    // headers again: both streams start at their first frame.
    EXPECT_EQ(video.GetColourStream().GetDecodeCount(), 4u);
    EXPECT_EQ(video.GetAlphaStream().GetDecodeCount(), 1u);
    EXPECT_EQ(video.GetColourStream().GetFrameTime(), 40u);
    EXPECT_EQ(video.GetAlphaStream().GetFrameTime(), 40u);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16), 3);
    EXPECT_NEAR(video.GetFrame()[3], alphaOf(0), 3);
    // Both catch up with the position together.
    PlayTo(video, 100);
    video.Draw(*m_Renderer, 0, 0);
    EXPECT_EQ(video.GetColourStream().GetDecodeCount(), 6u);
    EXPECT_EQ(video.GetAlphaStream().GetDecodeCount(), 3u);
    EXPECT_NEAR(video.GetFrame()[3], alphaOf(2), 3);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16 + 8 * 2), 3);
    PlayTo(video, 400);
    video.Draw(*m_Renderer, 0, 0);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16 + 8 * 9), 3);
    EXPECT_NEAR(video.GetFrame()[3], alphaOf(9), 3);
    const std::vector<u32> uploaded = Uploaded(video.GetFrameTexture());
    ASSERT_FALSE(uploaded.empty());
    EXPECT_EQ(uploaded[0] >> 24, video.GetFrame()[3]);
    // Backwards: both streams restart.
    video.Seek(200);
    EXPECT_NEAR(ShownGrey(video.GetFrame()), GreyOf(16 + 8 * 4), 3);
    EXPECT_NEAR(video.GetFrame()[3], alphaOf(4), 3);
    // At the duration the translucent player ignores the seek.
    video.Seek(1000);
    EXPECT_EQ(video.GetPosition(), 200u);
}

TEST_F(TheoraVideoTest, TranslucentPairFailsWhenEitherFileDoes)
{
    const std::string colour = Write("colour.ogv", RampVideo());
    CTheoraTranslucentVideo video;
    EXPECT_FALSE(video.Open(colour.c_str(), (m_Folder / "missing.ogv").c_str()));
    EXPECT_FALSE(video.Open((m_Folder / "missing.ogv").c_str(), colour.c_str()));
    EXPECT_FALSE(video.IsOpen());
    video.Draw(*m_Renderer, 0, 0);
    EXPECT_TRUE(Drawn().empty());
}
