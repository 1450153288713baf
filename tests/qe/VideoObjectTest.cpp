#include "content/QuestDataWriter.h"
#include "core/MessageBox.h"
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
