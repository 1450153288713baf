#include "content/OggVorbisWriter.h"
#include "core/ContentTestSupport.h"
#include "sound/OggVorbisStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using lv::content::EncodeOggVorbis;
using lv::content::MakeTone;
using lv::sound::COggVorbisStream;

namespace {

// Every sample of the stream from where it stands.
std::vector<s16> ReadAll(COggVorbisStream& stream)
{
    std::vector<s16> all;
    s16 buffer[2048];
    while (u32 got = stream.Read(buffer, sizeof(buffer)))
        all.insert(all.end(), buffer, buffer + got / 2);
    return all;
}

double Rms(const std::vector<s16>& samples, s32 channels, s32 channel)
{
    double sum = 0.0;
    size_t n = 0;
    for (size_t i = channel; i < samples.size(); i += channels, ++n)
        sum += static_cast<double>(samples[i]) * samples[i];
    return n ? std::sqrt(sum / n) : 0.0;
}

} // namespace

TEST(OggVorbisStream, MonoReadsTwoByteFrames)
{
    const std::vector<u8> file = EncodeOggVorbis(MakeTone(1, 22050, 0.5, 441, 0.5f));
    COggVorbisStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    EXPECT_EQ(stream.GetSampleRate(), 22050);
    EXPECT_FALSE(stream.IsStereo());
    s16 buffer[600];
    EXPECT_EQ(stream.Read(buffer, 1001), 1000u);
    EXPECT_EQ(stream.Read(buffer, 1), 0u);
    const size_t rest = ReadAll(stream).size();
    EXPECT_EQ(500 + rest, 11025u);
    EXPECT_TRUE(stream.IsAtEnd());
}

TEST(OggVorbisStream, StereoInterleavesLeftAndRight)
{
    const std::vector<u8> file = EncodeOggVorbis(MakeTone(2, 44100, 0.5, 882, 0.5f, 1));
    COggVorbisStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    EXPECT_TRUE(stream.IsStereo());
    EXPECT_EQ(stream.Read(nullptr, 7), 4u); // whole frames only
    const std::vector<s16> all = ReadAll(stream);
    EXPECT_EQ(all.size() % 2, 0u);
    EXPECT_GT(Rms(all, 2, 0), 10000.0);
    EXPECT_LT(Rms(all, 2, 1), 300.0);
}

TEST(OggVorbisStream, SeekLandsOnTheExactSample)
{
    // The second file cuts its pages small, so that many pages end no packet.
    for (s32 pageBytes : {0, 200}) {
        const std::vector<u8> file = EncodeOggVorbis(MakeTone(2, 44100, 3.0, 441, 0.5f), 0.4f, false, pageBytes);
        COggVorbisStream full;
        ASSERT_TRUE(full.OpenMemory(file.data(), static_cast<u32>(file.size())));
        const std::vector<s16> reference = ReadAll(full);
        for (double at : {1.5, 0.01, 1.7, 2.5, 2.9}) {
            COggVorbisStream stream;
            ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
            ASSERT_TRUE(stream.SeekTime(at)) << at;
            std::vector<s16> part(4096);
            ASSERT_EQ(stream.Read(part.data(), 8192), 8192u);
            const size_t first = static_cast<size_t>(at * 44100) * 2;
            ASSERT_LE(first + part.size(), reference.size());
            EXPECT_TRUE(std::equal(part.begin(), part.end(), reference.begin() + static_cast<std::ptrdiff_t>(first)))
                << "seek to " << at << " with pages of " << pageBytes;
        }
    }
}

TEST(OggVorbisStream, SeekBelowAMillisecondIsRefused)
{
    const std::vector<u8> file = EncodeOggVorbis(MakeTone(1, 44100, 0.5, 441, 0.5f));
    COggVorbisStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    EXPECT_FALSE(stream.SeekTime(0.0009));
    EXPECT_FALSE(stream.SeekTime(-1.0));
}

TEST(OggVorbisStream, TotalTimeComesFromTheLastGranule)
{
    for (s32 channels : {1, 2}) {
        const std::vector<u8> file = EncodeOggVorbis(MakeTone(channels, 44100, 2.0, 441, 0.5f));
        COggVorbisStream stream(1024); // a small window: the search steps back over several chunks
        ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
        EXPECT_DOUBLE_EQ(stream.GetTotalTime(), 2.0);
    }
    COggVorbisStream closed;
    EXPECT_DOUBLE_EQ(closed.GetTotalTime(), 0.0);
}

TEST(OggVorbisStream, ReadingPastTheEndGivesNothingAndRewindStartsAgain)
{
    const std::vector<u8> file = EncodeOggVorbis(MakeTone(2, 44100, 0.3, 441, 0.5f));
    COggVorbisStream stream;
    ASSERT_TRUE(stream.OpenMemory(file.data(), static_cast<u32>(file.size())));
    const std::vector<s16> first = ReadAll(stream);
    s16 buffer[64];
    EXPECT_EQ(stream.Read(buffer, sizeof(buffer)), 0u);
    EXPECT_TRUE(stream.IsAtEnd());
    ASSERT_TRUE(stream.Rewind());
    EXPECT_FALSE(stream.IsAtEnd());
    EXPECT_EQ(ReadAll(stream), first);
}

TEST(OggVorbisStream, FindsTheVorbisStreamBehindAnotherAndRefusesThreeChannels)
{
    const std::vector<u8> behind = EncodeOggVorbis(MakeTone(1, 44100, 0.2, 441, 0.5f), 0.4f, true);
    COggVorbisStream stream;
    ASSERT_TRUE(stream.OpenMemory(behind.data(), static_cast<u32>(behind.size())));
    EXPECT_EQ(stream.GetSampleRate(), 44100);
    EXPECT_EQ(ReadAll(stream).size(), 8820u);

    const std::vector<u8> three = EncodeOggVorbis(MakeTone(3, 44100, 0.2, 441, 0.5f));
    ASSERT_FALSE(three.empty());
    EXPECT_FALSE(stream.OpenMemory(three.data(), static_cast<u32>(three.size())));
    EXPECT_FALSE(stream.IsOpen());
    const u8 junk[] = "OggS but nothing else";
    EXPECT_FALSE(stream.OpenMemory(junk, sizeof(junk)));
}

TEST(OggVorbisStream, OpensFilesThroughTheFileSystem)
{
    CTempFolder tmp;
    CWorkingFolder cwd(tmp.Path());
    WriteBytes(tmp, "sfx/tone.ogg", EncodeOggVorbis(MakeTone(1, 44100, 0.2, 441, 0.5f)));
    COggVorbisStream stream;
    EXPECT_FALSE(stream.Open("sfx/missing.ogg"));
    ASSERT_TRUE(stream.Open("sfx/tone.ogg"));
    EXPECT_EQ(ReadAll(stream).size(), 8820u);
    stream.Close();
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_TRUE(stream.IsAtEnd());
}

TEST(OggVorbisStream, FullScaleSamplesAreClamped)
{
    const struct
    {
        float in;
        s16 out;
    } cases[] = {{1.0f, 32767}, {-1.0f, -32768}, {1.5f, 32767}, {-2.0f, -32768}, {0.5f, 16384}, {-0.00002f, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(COggVorbisStream::ToSample(c.in), c.out) << c.in;
}
