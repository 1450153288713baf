#include "anim/ClipHeader.h"
#include "core/ByteOrder.h"
#include "anim/ClipItem.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"
#include "content/ClipImageWriter.h"
#include "core/ContentTestSupport.h"
#include "core/FileSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using lv::core::PutU32;

using namespace lv::misc::anim;
using lv::content::CClipImageWriter;
using lv::core::CFileSystem;

namespace {

std::string Xml(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n" + body + "\n";
}

// One clip of every item kind, with key points, sound points, markers and path points.
const char* const EveryKind = R"(<Clip id="every" x="-10" y="-20" w="300" h="200" absolute_transform="true">
  <path id="track" closed="1" vis="true">
    <p p1="1 2" p2="3 4" a="5 6"/>
    <p p1="7 8" p2="9 10" a="11 12"/>
    <kp t="0" k="0.25"/>
  </path>
  <image id="pic" i_id="gui_button" p="10 20" py="-5 -5 5 -5 5 5 -5 5" a="0.5" c="-16711936" flip="2"
         uflags="7" at="1" ad="1" path="track" snap="true" add_b="true" vis="true">
    <kp t="0" p="1 2" itpl="true"/>
    <kp t="500" p="3 4" c="-1" fl="1" cf="4" a="1.5" k="0.5" py="1 2 3 4 5 6 7 8"/>
    <sd k="0" id="snd_a"/>
    <sd k="500" id="snd_b"/>
    <kpid k="500" id="half"/>
  </image>
  <particle id="sparks" p_id="fire" adv_time="250" fix_emit="true" scale="yes" vis="true"/>
  <clip id="inner" clip_id="other_clip"/>
  <text id="label" ft="main_font" tx_fl="3" bnd="1 2 3 4" bk="panel" bk_c="255" ins="5 6 7 8" tx="héllo &amp; co"/>
</Clip>)";

std::vector<u8> Compile(const std::vector<std::string>& documents)
{
    CClipImageWriter writer;
    for (const std::string& document : documents)
        EXPECT_TRUE(writer.AddXml(Xml(document)));
    return writer.Build();
}

std::vector<const CClipItem*> Items(const CClipHeader* clip)
{
    std::vector<const CClipItem*> items;
    for (const CClipItem* item = clip->GetFirstItem(); item->Size != 0; item = item->GetNext())
        items.push_back(item);
    return items;
}

u32 GetU32(const std::vector<u8>& b, size_t at)
{
    u32 v = 0;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

class ClipManagerTest : public testing::Test
{
protected:
    ClipManagerTest() : m_Cwd(m_Tmp.Path()) {}

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd;
    CLogCapture m_Log{m_Tmp};
    CFileSystem m_Files{""};
    CClipManager m_Clips;
};

} // namespace

TEST_F(ClipManagerTest, XmlOfEveryKindBuildsTheSameImageAsTheWriter)
{
    m_Tmp.Write("properties/clips.xml", Xml(EveryKind));
    ASSERT_TRUE(m_Clips.Load(m_Files));
    ASSERT_TRUE(m_Clips.IsBuilt());
    const std::vector<u8> written = Compile({EveryKind});
    ASSERT_EQ(std::vector<u8>(m_Clips.GetImage(), m_Clips.GetImage() + m_Clips.GetImageSize()), written);
    EXPECT_TRUE(CClipManager::CheckImage(written.data(), written.size()));
    EXPECT_TRUE(m_Log.Contains("[anim][0]: Loaded clip: 'properties/clips.xml'"));
    EXPECT_TRUE(m_Log.Contains("[anim][1]: Clips loaded"));

    const CClipHeader* clip = m_Clips.FindClip("every");
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->Flags, 1u);
    EXPECT_EQ(clip->Rect, CFloatRect(-10, -20, 300, 200));
    const auto items = Items(clip);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(clip->Size, 120 + 4 + items[0]->Size + items[1]->Size + items[2]->Size + items[3]->Size + items[4]->Size);

    const CClipItem& path = *items[0];
    EXPECT_EQ(path.Kind, ClipItemPath);
    EXPECT_EQ(path.GetPathData().Closed, 1);
    ASSERT_EQ(path.GetPathData().PointCount, 2);
    EXPECT_EQ(path.GetPathData().GetPoints()[1].Anchor, CVector2(11, 12));
    ASSERT_EQ(path.KeyPointCount, 1);
    EXPECT_FLOAT_EQ(path.GetKeyPoints()[0].PathPosition, 0.25f);
    EXPECT_EQ(path.Size, 276u + 4 + 48 + 72);

    const CClipItem& image = *items[1];
    EXPECT_EQ(image.Kind, ClipItemImage);
    EXPECT_STREQ(image.Name.GetText(), "pic");
    EXPECT_STREQ(image.GetImageData().ImageName.GetText(), "gui_button");
    EXPECT_EQ(image.Position, CVector2(10, 20));
    EXPECT_EQ(image.Corners.Corners[2], CVector2(5, 5));
    EXPECT_FLOAT_EQ(image.Angle, 0.5f);
    EXPECT_EQ(image.Color, CColor(0xFF00FF00u));
    EXPECT_EQ(image.Flip, 2);
    EXPECT_EQ(image.UserFlags, 7);
    EXPECT_EQ(image.AnimMode, 1);
    EXPECT_EQ(image.Reverse, 1);
    EXPECT_STREQ(image.ParentName.GetText(), "track");
    EXPECT_EQ(image.Snap + image.Additive + image.Visible, 3);
    ASSERT_EQ(image.KeyPointCount, 2);
    const CClipKeyPoint& first = image.GetKeyPoints()[0];
    const CClipKeyPoint& second = image.GetKeyPoints()[1];
    EXPECT_EQ(first.Color, CColor(0u)) << "a key point without c is (0, 0, 0, 0)";
    EXPECT_EQ(first.Interpolate, 1);
    EXPECT_EQ(second.Time, 500);
    EXPECT_EQ(second.Position, CVector2(3, 4));
    EXPECT_EQ(second.Color, CColor(0xFFFFFFFFu));
    EXPECT_EQ(second.MirrorFlags, 1);
    EXPECT_EQ(second.EmitFlags, 4);
    EXPECT_FLOAT_EQ(second.Angle, 1.5f);
    EXPECT_EQ(second.Corners.Corners[3], CVector2(7, 8));
    EXPECT_EQ(second.Interpolate, 0);
    ASSERT_EQ(image.SoundPointCount, 2);
    EXPECT_STREQ(image.GetSoundPoints()[1].Name.GetText(), "snd_b");
    EXPECT_EQ(image.GetSoundPoints()[1].KeyTime, 500);
    ASSERT_EQ(image.MarkerCount, 1);
    EXPECT_STREQ(image.GetMarkers()[0].Name.GetText(), "half");
    EXPECT_EQ(image.Size, 276u + 96 + 2 * 72 + 2 * 100 + 100);

    const CClipItem& particle = *items[2];
    EXPECT_EQ(particle.Kind, ClipItemParticle);
    EXPECT_STREQ(particle.GetParticleData().ParticleName.GetText(), "fire");
    EXPECT_EQ(particle.GetParticleData().AdvanceTime, 250);
    EXPECT_EQ(particle.GetParticleData().FixEmit, 1);
    EXPECT_EQ(particle.GetParticleData().Scale, 0) << "booleans are true only for \"true\"";

    const CClipItem& nested = *items[3];
    EXPECT_EQ(nested.Kind, ClipItemClip);
    EXPECT_STREQ(nested.GetNestedData().ClipName.GetText(), "other_clip");
    EXPECT_EQ(nested.Visible, 0) << "an item without vis=\"true\" stays in the image, invisible";
    EXPECT_EQ(nested.Color, CColor()) << "an item's colour defaults to opaque white";

    const CClipItem& text = *items[4];
    EXPECT_EQ(text.Kind, ClipItemText);
    EXPECT_STREQ(text.GetTextData().Font.GetText(), "main_font");
    EXPECT_EQ(text.GetTextData().TextFlags, 3);
    EXPECT_EQ(text.GetTextData().Bounds, CFloatRect(1, 2, 3, 4));
    EXPECT_STREQ(text.GetTextData().Background.GetText(), "panel");
    EXPECT_EQ(text.GetTextData().BackgroundColor, CColor(0x000000FFu));
    EXPECT_EQ(text.GetTextData().Insets, CFloatRect(5, 6, 7, 8));
    EXPECT_STREQ(text.GetTextData().Text.GetText(), "h\xC3\xA9llo & co");
}

TEST_F(ClipManagerTest, ImageOfOneClipFindsItAndNothingElse)
{
    WriteBytes(m_Tmp, "properties/clips.bindump", Compile({R"(<Clip id="only"><image id="a" vis="true"/></Clip>)"}));
    m_Tmp.Write("properties/clips.xml", Xml(R"(<Clip id="from_xml"/>)"));
    m_Clips.Load(m_Files);
    EXPECT_FALSE(m_Clips.IsBuilt());
    EXPECT_EQ(m_Clips.GetClipCount(), 1u);
    const CClipHeader* clip = m_Clips.FindClip("only");
    ASSERT_NE(clip, nullptr);
    EXPECT_STREQ(clip->Name.GetText(), "only");
    for (const char* other : {"", "onl", "only2", "from_xml", "a", "ONLY"})
        EXPECT_EQ(m_Clips.FindClip(other), nullptr) << other;
}

TEST_F(ClipManagerTest, LookupsOverManyClips)
{
    std::string body;
    for (int i = 0; i < 40; ++i)
        body += "<Clip id=\"clip_" + std::to_string(i * 7 % 40) + "\"/>";
    ASSERT_TRUE(m_Clips.LoadImage(Compile({body}).data(), static_cast<u32>(Compile({body}).size())));
    for (int i = 0; i < 40; ++i) {
        const std::string name = "clip_" + std::to_string(i);
        const CClipHeader* clip = m_Clips.FindClip(name.c_str());
        ASSERT_NE(clip, nullptr) << name;
        EXPECT_STREQ(clip->Name.GetText(), name.c_str());
    }
    EXPECT_EQ(m_Clips.FindClip("clip_40"), nullptr);
    EXPECT_EQ(m_Clips.FindClip(std::string(200, 'c').c_str()), nullptr);
}

TEST_F(ClipManagerTest, WithoutClipsXmlTheFolderIsReadExceptGroupsAndState)
{
    m_Tmp.Write("clips/a.xml", Xml(R"(<Clip id="shared" w="1"/><Clip id="from_a"/>)"));
    m_Tmp.Write("clips/b.xml", Xml(R"(<Clip id="shared" w="2"/>)"));
    m_Tmp.Write("clips/groups.xml", Xml(R"(<Clip id="from_groups"/>)"));
    m_Tmp.Write("clips/state.xml", Xml(R"(<Clip id="from_state"/>)"));
    m_Tmp.Write("clips/notes.txt", Xml(R"(<Clip id="from_txt"/>)"));
    m_Clips.Load(m_Files);
    EXPECT_TRUE(m_Log.Contains("[anim][3]: Can't load clip: 'properties/clips.xml'"));
    EXPECT_TRUE(m_Log.Contains("[anim][0]: Found 4 clips"));
    EXPECT_EQ(m_Clips.GetClipCount(), 2u);
    ASSERT_NE(m_Clips.FindClip("from_a"), nullptr);
    ASSERT_NE(m_Clips.FindClip("shared"), nullptr);
    EXPECT_EQ(m_Clips.FindClip("shared")->Rect.Width, 2) << "the later definition wins";
    EXPECT_EQ(m_Clips.FindClip("from_groups"), nullptr);
    EXPECT_EQ(m_Clips.FindClip("from_state"), nullptr);
    EXPECT_EQ(m_Clips.FindClip("from_txt"), nullptr);
}

TEST_F(ClipManagerTest, VersionOneImageIsReportedAndLoadsNoClips)
{
    std::vector<u8> image = Compile({R"(<Clip id="x"/>)"});
    image[3] = 1;
    WriteBytes(m_Tmp, "properties/clips.bindump", image);
    m_Tmp.Write("properties/clips.xml", Xml(R"(<Clip id="x"/>)"));
    EXPECT_TRUE(m_Clips.Load(m_Files));
    EXPECT_TRUE(m_Log.Contains("'properties/clips.bindump' has wrong format version or is corrupted."));
    EXPECT_TRUE(m_Log.Contains("Supported format: 2, format in bindump: 1"));
    EXPECT_EQ(m_Clips.GetClipCount(), 0u);
    EXPECT_EQ(m_Clips.FindClip("x"), nullptr) << "the XML is not tried after a bad image";
}

TEST_F(ClipManagerTest, DamagedImagesAreRejected)
{
    const std::vector<u8> good = Compile({EveryKind, R"(<Clip id="second"><image vis="true"/></Clip>)"});
    ASSERT_TRUE(CClipManager::CheckImage(good.data(), good.size()));
    const u32 firstClip = GetU32(good, 8 + 96);
    const u32 firstItem = firstClip + 120;
    const std::vector<std::pair<const char*, std::function<void(std::vector<u8>&)>>> damages = {
        {"cut in the head", [](std::vector<u8>& b) { b.resize(6); }},
        {"cut in the index", [](std::vector<u8>& b) { b.resize(150); }},
        {"cut in the last record", [](std::vector<u8>& b) { b.erase(b.end() - 4, b.end()); }},
        {"count beyond the image", [](std::vector<u8>& b) { PutU32(b, 4, 0x40000000); }},
        {"offset beyond the image", [](std::vector<u8>& b) { PutU32(b, 8 + 96, static_cast<u32>(b.size())); }},
        {"offset into the index", [](std::vector<u8>& b) { PutU32(b, 8 + 96, 8); }},
        {"unaligned offset", [&](std::vector<u8>& b) { PutU32(b, 8 + 96, firstClip + 2); }},
        {"clip size beyond the image", [&](std::vector<u8>& b) { PutU32(b, firstClip, 0x10000000); }},
        {"clip size too small", [&](std::vector<u8>& b) { PutU32(b, firstClip, 8); }},
        {"item size too large", [&](std::vector<u8>& b) { PutU32(b, firstItem, GetU32(b, firstItem) + 72); }},
        {"item size too small", [&](std::vector<u8>& b) { PutU32(b, firstItem, 4); }},
        {"item count not matching", [&](std::vector<u8>& b) { b[firstItem + 271] += 1; }},
        {"unknown kind", [&](std::vector<u8>& b) { PutU32(b, firstItem + 4, 9); }},
        {"missing terminator", [&](std::vector<u8>& b) { PutU32(b, firstClip, GetU32(b, firstClip) - 4); }},
        {"name without hash", [](std::vector<u8>& b) { b[8 + 4] = b[8 + 5] = 0; }},
        {"name too long", [](std::vector<u8>& b) { b[8] = 88; }},
        {"item name without hash", [&](std::vector<u8>& b) { b[firstItem + 8 + 4] ^= 1; }},
    };
    for (const auto& [what, damage] : damages) {
        std::vector<u8> image = good;
        damage(image);
        const char* problem = nullptr;
        EXPECT_FALSE(CClipManager::CheckImage(image.data(), image.size(), &problem)) << what;
        EXPECT_NE(problem, nullptr) << what;
        EXPECT_FALSE(m_Clips.LoadImage(image.data(), static_cast<u32>(image.size()))) << what;
        EXPECT_EQ(m_Clips.FindClip("every"), nullptr) << what;
    }
    EXPECT_TRUE(m_Log.Contains("Supported format: 2, format in bindump: 2"));

    // Through the file system too: a truncated file loads no clips.
    std::vector<u8> truncated = good;
    truncated.resize(good.size() / 2);
    WriteBytes(m_Tmp, "properties/clips.bindump", truncated);
    m_Clips.Load(m_Files);
    EXPECT_EQ(m_Clips.FindClip("every"), nullptr);
    EXPECT_TRUE(m_Log.Contains("[anim][3]: properties/clips.bindump rejected"));
}

TEST_F(ClipManagerTest, SavedImageIsTheBuiltImageAndLoadsInPlace)
{
    m_Tmp.Write("properties/clips.xml", Xml(EveryKind));
    m_Clips.Load(m_Files);
    m_Clips.Save();
    const std::string saved = m_Tmp.Read("properties/clips.bindump");
    ASSERT_EQ(saved, std::string(m_Clips.GetImage(), m_Clips.GetImage() + m_Clips.GetImageSize()));
    CClipManager fromFile;
    fromFile.Load(m_Files);
    EXPECT_FALSE(fromFile.IsBuilt());
    ASSERT_NE(fromFile.FindClip("every"), nullptr);
    EXPECT_EQ(Items(fromFile.FindClip("every")).size(), 5u);
}

// One content file must not end the game: a clip beyond a limit is logged and dropped, and the
// other clips load.
TEST_F(ClipManagerTest, OverfullClipsAreDroppedAndTheOthersKept)
{
    const auto repeat = [](const std::string& element, int count) {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += element;
        return out;
    };
    const struct
    {
        const char* message;
        std::string body;
    } cases[] = {
        {"ClipsLoader - clip can't have more than 255 keypoints, aborting",
         "<image vis=\"true\">" + repeat("<kp t=\"1\"/>", 256) + "</image>"},
        {"ClipsLoader - clip can't have more than 255 soundpoints, aborting",
         "<image>" + repeat("<sd k=\"1\" id=\"s\"/>", 256) + "</image>"},
        {"ClipsLoader - clip can't have more than 255 soundpoints, aborting",
         "<text>" + repeat("<kpid k=\"1\" id=\"m\"/>", 256) + "</text>"},
        {"ClipsLoader - path can't have more than 255 points, aborting",
         "<path>" + repeat("<p p1=\"1 1\"/>", 256) + "</path>"},
        {"ClipsLoader - clip 'bad' does not fit the 262144-byte work area",
         repeat("<image>" + repeat("<kp t=\"1\"/>", 250) + "</image>", 16)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        m_Tmp.Write("properties/clips.xml",
                    Xml("<Clip id=\"before\"/><Clip id=\"bad\">" + c.body + "</Clip><Clip id=\"after\"/>"));
        m_Clips.Load(m_Files);
        EXPECT_NE(m_Clips.FindClip("before"), nullptr);
        EXPECT_NE(m_Clips.FindClip("after"), nullptr);
        EXPECT_EQ(m_Clips.FindClip("bad"), nullptr);
        EXPECT_TRUE(m_Log.Contains(std::string("[anim][3]: ") + c.message));
        EXPECT_TRUE(m_Log.Contains("[anim][3]: ClipsLoader - clip 'bad' dropped"));
    }
    // Exactly 255 of each still loads.
    m_Tmp.Write("properties/clips.xml",
                Xml("<Clip id=\"full\"><path>" + repeat("<p/>", 255) + repeat("<kp/>", 255) + repeat("<sd/>", 255) +
                    repeat("<kpid/>", 255) + "</path></Clip>"));
    m_Clips.Load(m_Files);
    ASSERT_NE(m_Clips.FindClip("full"), nullptr);
    const CClipItem* path = m_Clips.FindClip("full")->GetFirstItem();
    EXPECT_EQ(path->GetPathData().PointCount, 255);
    EXPECT_EQ(path->KeyPointCount + path->SoundPointCount + path->MarkerCount, 3 * 255);
}

TEST_F(ClipManagerTest, LongNamesAndValuesAreCut)
{
    const std::string longName(100, 'n');
    const std::string longText = std::string(2000, '1');
    const std::vector<u8> image = Compile(
        {"<Clip id=\"" + longName + "\"><text vis=\"true\" tx=\"" + std::string(60, 't') + "\" tx_fl=\"" + longText +
         "\" bk=\"" + std::string(86, 'b') + "\xC3\xA9\"/></Clip>"});
    ASSERT_TRUE(CClipManager::CheckImage(image.data(), image.size()));
    m_Clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    const CClipHeader* clip = m_Clips.FindClip(longName.substr(0, 87).c_str());
    ASSERT_NE(clip, nullptr);
    const CClipTextData& text = clip->GetFirstItem()->GetTextData();
    EXPECT_EQ(text.Text.GetLength(), 55);
    EXPECT_EQ(text.Background.GetLength(), 86) << "a name is never cut inside a character";
    EXPECT_EQ(text.TextFlags, -1) << "an integer too large for its field wraps as the C library's atoi does";
    EXPECT_TRUE(m_Log.Contains("[anim][2]: ClipsLoader - clip name '" + longName.substr(0, 87) +
                               "...' is longer than 87 characters, cut"));
    EXPECT_TRUE(m_Log.Contains("[anim][2]: ClipsLoader - value of 'tx_fl' is longer than 1023 bytes, cut"));
}

TEST_F(ClipManagerTest, RecordsKeepTheirLayoutWhateverTheElementOrder)
{
    const std::vector<u8> ordered = Compile({R"(<Clip id="c"><path>
        <p p1="1 1"/><p p1="2 2"/><kp t="1"/><kp t="2"/><sd k="1" id="s1"/><kpid k="2" id="m1"/></path></Clip>)"});
    const std::vector<u8> mixed = Compile({R"(<Clip id="c"><path>
        <kpid k="2" id="m1"/><sd k="1" id="s1"/><kp t="1"/><p p1="1 1"/><kp t="2"/><p p1="2 2"/></path></Clip>)"});
    EXPECT_EQ(mixed, ordered);
}

TEST_F(ClipManagerTest, NestingAndStrayElementsAreIgnored)
{
    // Objects do not nest, paths count only as direct children, and records outside an object
    // or objects outside a clip change nothing. (Attributes of an ignored element still go to
    // the innermost open record, so these carry none that would matter.)
    const std::vector<u8> image = Compile({R"(<image id="stray"/><kp t="5"/>
        <Clip id="c"><kp t="9"/><image id="outer" vis="true"><clip clip_id="x"/><kp t="1"/></image>
        <group><path/></group><Clip/></Clip>)"});
    ASSERT_TRUE(CClipManager::CheckImage(image.data(), image.size()));
    m_Clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    EXPECT_EQ(m_Clips.GetClipCount(), 1u);
    const auto items = Items(m_Clips.FindClip("c"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_STREQ(items[0]->Name.GetText(), "outer");
    EXPECT_EQ(items[0]->KeyPointCount, 1);
}

TEST_F(ClipManagerTest, AClipEndedInsideAnObjectKeepsTheObjectAndItsTerminator)
{
    // The empty end tag closes the key point's parent early, so the clip ends with its image
    // still open: the image must count, not stand where the terminator goes.
    const char xml[] = R"(<?xml version="1.0"?><Clip id="c"><image id="i" vis="true"><kp t="0"/></><kp t="1"/></Clip>)";
    CClipsBuilder builder;
    builder.AddXml(xml, sizeof(xml) - 1);
    const std::vector<u8> image = builder.Build();
    const char* problem = nullptr;
    ASSERT_TRUE(CClipManager::CheckImage(image.data(), image.size(), &problem)) << problem;
    m_Clips.LoadImage(image.data(), static_cast<u32>(image.size()));
    const auto items = Items(m_Clips.FindClip("c"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_STREQ(items[0]->Name.GetText(), "i");
}
