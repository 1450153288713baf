#include "content/QuestDataWriter.h"
#include "content/WebMWriter.h"
#include "core/ContentTestSupport.h"
#include "core/MessageBox.h"
#include "core/TempFolder.h"
#include "graphics/LogCapture.h"
#include "graphics/Video.h"
#include "graphics/VideoTestSupport.h"
#include "qe/BinaryReader.h"
#include "qe/ByteBuffer.h"
#include "qe/ObjectFactory.h"
#include "qe/VideoObject.h"

#include <gtest/gtest.h>

#include <memory>

using namespace lv::content;
using lv::core::SetQuietMessageBoxes;

namespace {

std::vector<u8> VideoRecord(s32 animationFlags, const char* alpha = "")
{
    SQuestObject o;
    o.kind = EQuestObjectKind::Video;
    o.id = "tv";
    o.guid = 77;
    o.resource = "video/missing.webm";
    o.alphaVideo = alpha;
    o.animationFlags = animationFlags;
    o.offset[0] = 10;
    o.offset[1] = 20;
    o.size[0] = 30;
    o.size[1] = 40;
    o.angle = 0.5f;
    o.flipH = true;
    o.color = {1, 2, 3, 4};
    return CQuestDataWriter::BuildObjectRecord(o);
}

} // namespace

TEST(VideoObject, RecordGivesPlacementAndFlags)
{
    const auto record = VideoRecord(3, "video/alpha.webm");
    std::unique_ptr<qe::CSceneObject> object(qe::CreateObjectFromRecord(nullptr, record.data()));
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->GetType(), qe::CSceneObject::kTypeVideo);
    auto* video = static_cast<qe::CVideoObject*>(object.get());
    EXPECT_EQ(video->GetPosition().Y, 20.0f);
    EXPECT_EQ(video->GetSize().X, 30.0f);
    EXPECT_EQ(video->GetAngle(), 0.5f);
    EXPECT_EQ(video->GetVideoFlags(), qe::CVideoObject::kTranslucent | qe::CVideoObject::kAutoPlay | qe::CVideoObject::kFlipH);
    EXPECT_TRUE(video->IsLooped());
    EXPECT_FALSE(video->IsOpen());
    EXPECT_EQ(video->GetLength(), 0);
    EXPECT_EQ(qe::GetRecordEnd(record.data()), record.data() + record.size());
}

TEST(VideoObject, MissingFileLeavesNoVideo)
{
    SetQuietMessageBoxes(true);
    const auto record = VideoRecord(1);
    qe::CVideoObject video(nullptr);
    video.InitFromRecord(record.data());
    video.Play();
    EXPECT_FALSE(video.IsOpen());
    EXPECT_EQ(video.GetLength(), 0);
    EXPECT_EQ(video.GetPlayPosition(), 0u);
    EXPECT_FALSE(video.HitTest({10, 20}));
    video.Update();
    SetQuietMessageBoxes(false);
}

TEST(VideoObject, AutoPlaySurvivesLeavingOnlyWhenLooped)
{
    SetQuietMessageBoxes(true);
    const struct
    {
        s32 animationFlags;
        bool autoPlayAfterLeave;
    } cases[] = {{1, false}, {3, true}, {2, true}, {0, false}};
    for (const auto& c : cases)
    {
        const auto record = VideoRecord(c.animationFlags);
        qe::CVideoObject video(nullptr);
        video.InitFromRecord(record.data());
        video.OnSceneEnter();
        if (c.animationFlags == 2)
            video.Play(); // a looped video played by hand becomes auto-play
        video.OnSceneLeave();
        EXPECT_EQ((video.GetVideoFlags() & qe::CVideoObject::kAutoPlay) != 0, c.autoPlayAfterLeave) << c.animationFlags;
    }
    SetQuietMessageBoxes(false);
}

TEST(VideoObject, StateCarriesAutoPlay)
{
    const auto record = VideoRecord(1);
    qe::CVideoObject video(nullptr);
    video.InitFromRecord(record.data());
    video.SetFlags(0x10);
    qe::CByteBuffer buffer;
    buffer.Allocate(12);
    video.Save(buffer);
    ASSERT_EQ(buffer.GetLength(), 12);
    EXPECT_EQ(buffer.GetData()[11], 0x40);
    EXPECT_EQ(buffer.GetData()[8], 0x10);

    qe::CVideoObject other(nullptr);
    const auto stopped = VideoRecord(0);
    other.InitFromRecord(stopped.data());
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(other.Load(reader));
    EXPECT_TRUE(other.GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_EQ(other.GetFlags(), 0x10);
    EXPECT_FALSE(other.IsOpen()); // loading opens nothing

    std::unique_ptr<qe::CSceneObject> clone(other.Clone());
    EXPECT_FALSE(static_cast<qe::CVideoObject*>(clone.get())->IsOpen());
}

namespace {

// A 64 x 48 WebM of 10 frames of 40 ms, "video/ten.webm" in a scratch working folder, and video
// objects showing it at (200, 100), twice its size.
class QeVideoObjectTest : public VideoTest
{
protected:
    void SetUp() override
    {
        VideoTest::SetUp();
        SetQuietMessageBoxes(true);
        std::filesystem::create_directories(m_Folder.Path() / "video");
        lv::content::CWebMWriterOptions options;
        options.width = 64;
        options.height = 48;
        lv::content::CWebMWriter writer(options);
        for (u32 k = 0; k < 10; ++k)
            ASSERT_TRUE(writer.AddFrame(lv::content::CYuvFrame(64, 48, static_cast<u8>(40 + 10 * k))));
        ASSERT_TRUE(writer.WriteFile(m_Folder.Path() / "video" / "ten.webm"));
    }
    void TearDown() override
    {
        SetQuietMessageBoxes(false);
        VideoTest::TearDown();
    }

    std::unique_ptr<qe::CVideoObject> Make(s32 animationFlags, const char* file = "video/ten.webm")
    {
        SQuestObject o;
        o.kind = EQuestObjectKind::Video;
        o.id = "tv";
        o.guid = 78;
        o.resource = file;
        o.animationFlags = animationFlags;
        o.offset[0] = 200;
        o.offset[1] = 100;
        o.size[0] = 128;
        o.size[1] = 96;
        o.color = {255, 255, 255, 255};
        m_Records.push_back(CQuestDataWriter::BuildObjectRecord(o));
        auto video = std::make_unique<qe::CVideoObject>(nullptr);
        video->InitFromRecord(m_Records.back().data());
        return video;
    }
    // Opens the object's video on the test clock.
    void Clocked(qe::CVideoObject& video)
    {
        if (video.GetVideo())
            video.GetVideo()->SetTimeSystem(&m_Time);
    }
    size_t DrawnQuads(qe::CVideoObject& video)
    {
        video.Render(*m_Renderer);
        return Drawn().size();
    }

    CTempFolder m_Folder;
    CWorkingFolder m_Cwd{m_Folder.Path()};
    std::vector<std::vector<u8>> m_Records;
};

} // namespace

TEST_F(QeVideoObjectTest, LoopedVideoPlaysOnEverySceneEntry)
{
    auto video = Make(2); // looped, no auto-play
    video->OnSceneEnter();
    EXPECT_FALSE(video->IsOpen());
    video->Play();
    ASSERT_TRUE(video->IsOpen());
    EXPECT_EQ(video->GetLength(), 400);
    for (int entry = 0; entry < 3; ++entry)
    {
        video->OnSceneLeave();
        EXPECT_FALSE(video->IsOpen()) << entry;
        EXPECT_TRUE(video->GetVideoFlags() & qe::CVideoObject::kAutoPlay) << entry;
        video->OnSceneEnter();
        EXPECT_TRUE(video->IsOpen()) << entry;
    }
    // A looped video is never released at its end.
    Clocked(*video);
    for (int frame = 0; frame < 20; ++frame)
    {
        Advance(40);
        video->Update();
    }
    EXPECT_TRUE(video->IsOpen());
    video->Stop();
    EXPECT_FALSE(video->IsOpen());
    video->OnSceneEnter();
    EXPECT_FALSE(video->IsOpen());
}

TEST_F(QeVideoObjectTest, AutoPlayVideoPlaysOnceAndIsReleasedAtItsEnd)
{
    auto video = Make(1); // auto-play, not looped
    video->OnSceneEnter();
    ASSERT_TRUE(video->IsOpen());
    Clocked(*video);
    EXPECT_EQ(video->GetLength(), 400);
    EXPECT_GT(DrawnQuads(*video), 0u);
    // Hit inside its frame only: 128 x 96 around (200, 100).
    EXPECT_TRUE(video->HitTest({263, 147}));
    EXPECT_TRUE(video->HitTest({136, 52}));
    EXPECT_FALSE(video->HitTest({265, 100}));
    EXPECT_FALSE(video->HitTest({200, 149}));

    int frames = 0;
    while (video->IsOpen() && frames < 30)
    {
        Advance(40);
        video->Update();
        ++frames;
    }
    EXPECT_FALSE(video->IsOpen());
    EXPECT_GE(frames, 10);
    EXPECT_EQ(video->GetLength(), 0);
    EXPECT_EQ(video->GetPlayPosition(), 0u);
    EXPECT_EQ(DrawnQuads(*video), 0u);
    EXPECT_FALSE(video->HitTest({200, 100}));
    EXPECT_TRUE(video->GetVideoFlags() & qe::CVideoObject::kAutoPlay) << "the end keeps auto-play";

    // Left, it is not played again on the next entry.
    video->OnSceneEnter();
    EXPECT_TRUE(video->IsOpen());
    video->OnSceneLeave();
    EXPECT_FALSE(video->IsOpen());
    video->OnSceneEnter();
    EXPECT_FALSE(video->IsOpen());
}

TEST_F(QeVideoObjectTest, MissingFileIsReportedAndLeavesNoVideo)
{
    auto video = Make(1, "video/absent.webm");
    CScratchLogCapture log;
    video->OnSceneEnter();
    EXPECT_FALSE(video->IsOpen());
    EXPECT_TRUE(log.Contains("Can't load opaque WebM video: video/absent.webm")) << log.Text();
    EXPECT_EQ(video->GetLength(), 0);
    EXPECT_EQ(DrawnQuads(*video), 0u);
    EXPECT_FALSE(video->HitTest({200, 100}));

    // Saved with auto-play; loading opens nothing.
    qe::CByteBuffer buffer;
    buffer.Allocate(12);
    video->Save(buffer);
    EXPECT_EQ(buffer.GetData()[11], 0x40);
    auto other = Make(0);
    qe::CBinaryReader reader(buffer.GetData(), buffer.GetLength());
    EXPECT_TRUE(other->Load(reader));
    EXPECT_TRUE(other->GetVideoFlags() & qe::CVideoObject::kAutoPlay);
    EXPECT_FALSE(other->IsOpen());
    other->OnSceneEnter();
    EXPECT_TRUE(other->IsOpen());
}
