#include "content/SoundDeclarationsWriter.h"
#include "core/ContentTestSupport.h"
#include "sound/SoundDeclarations.h"

#include <gtest/gtest.h>

#include <cstring>

using lv::content::CSoundDeclarationsWriter;
using lv::sound::CSoundDeclarationRecord;
using lv::sound::CSoundDeclarations;

namespace {

std::string Xml(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\n<sounds>\n" + body + "\n</sounds>\n";
}

class SoundDeclarationsTest : public testing::Test
{
protected:
    CSoundDeclarationRecord Record(u32 index) const
    {
        CSoundDeclarationRecord record;
        EXPECT_TRUE(m_Declarations.GetRecord(index, record));
        return record;
    }

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd{m_Tmp.Path()};
    CSoundDeclarations m_Declarations;
};

} // namespace

TEST_F(SoundDeclarationsTest, XmlBuildsTheSameImageAsTheCompilerWrites)
{
    const std::string xml = Xml(R"(<sound id="door" file="Sfx\Door.OGG" group_template="sound" balance="-0.5"
        volume="80" priority="3" repeat="-1" max_concurrent_sound_play="2" concurrent_sound_play_delay="250"
        speed="1.5"/>
      <sound_group flags="load_on_demand"><sound id="theme" file="music/theme.ogg" group_template="music"/></sound_group>)");
    m_Tmp.Write("properties/sounds.xml", xml);
    CSoundDeclarationsWriter writer;
    ASSERT_TRUE(writer.AddXmlFile(m_Tmp / "properties/sounds.xml"));
    ASSERT_TRUE(writer.WriteBindump(m_Tmp / "compiled.bindump"));

    ASSERT_TRUE(m_Declarations.Load());
    EXPECT_TRUE(m_Declarations.IsBuilt());
    const std::string compiled = m_Tmp.Read("compiled.bindump");
    ASSERT_EQ(compiled.size(), m_Declarations.GetSize());
    EXPECT_EQ(std::memcmp(compiled.data(), m_Declarations.GetBlob(), compiled.size()), 0);
    EXPECT_EQ(compiled.substr(0, 4), "SNDS");
    ASSERT_EQ(m_Declarations.GetCount(), 2u);

    const CSoundDeclarationRecord door = Record(0);
    EXPECT_STREQ(door.m_File.GetText(), "sfx/door.ogg");
    EXPECT_STREQ(door.m_Id.GetText(), "door");
    EXPECT_STREQ(door.m_Group.GetText(), "sound");
    EXPECT_FLOAT_EQ(door.m_Balance, -0.5f);
    EXPECT_FLOAT_EQ(door.m_Volume, 80.0f);
    EXPECT_EQ(door.m_Priority, 3);
    EXPECT_EQ(door.m_Repeat, -1);
    EXPECT_EQ(door.m_MaxConcurrent, 2);
    EXPECT_FLOAT_EQ(door.m_PlayDelay, 250.0f);
    EXPECT_FLOAT_EQ(door.m_Speed, 1.5f);
    EXPECT_EQ(door.m_Flags, 0);
    EXPECT_EQ(Record(1).m_Flags, 1);
    // The hash is stored with the name.
    EXPECT_NE(static_cast<u8>(compiled[8 + 128 + 4]) | static_cast<u8>(compiled[8 + 128 + 5]), 0);
}

TEST_F(SoundDeclarationsTest, OmittedValuesAreThoseOfANewSoundType)
{
    m_Tmp.Write("properties/sounds.xml", Xml(R"(<sound id="a" file="a.ogg"/>)"));
    ASSERT_TRUE(m_Declarations.Load());
    const CSoundDeclarationRecord a = Record(0);
    EXPECT_FLOAT_EQ(a.m_Volume, 100.0f);
    EXPECT_FLOAT_EQ(a.m_Balance, 0.0f);
    EXPECT_EQ(a.m_Priority, 0);
    EXPECT_EQ(a.m_Repeat, 1);
    EXPECT_EQ(a.m_MaxConcurrent, -1);
    EXPECT_FLOAT_EQ(a.m_PlayDelay, -1.0f);
    EXPECT_FLOAT_EQ(a.m_Speed, 1.0f);
    EXPECT_TRUE(a.m_Group.IsEmpty());
}

TEST_F(SoundDeclarationsTest, TheInnermostGroupDecidesTheFlags)
{
    m_Tmp.Write("properties/sounds.xml", Xml(R"(
      <sound id="outside" file="a.ogg" flags="load_on_demand"/>
      <sound_group flags="load_on_demand">
        <sound id="outer" file="a.ogg"/>
        <sound_group><sound id="inner_plain" file="a.ogg"/></sound_group>
        <sound_group flags="stream,load_on_demand"><sound id="inner_flagged" file="a.ogg"/></sound_group>
        <sound id="outer_again" file="a.ogg"/>
      </sound_group>
      <sound_group flags="none"><sound id="plain" file="a.ogg"/></sound_group>)"));
    ASSERT_TRUE(m_Declarations.Load());
    const struct
    {
        const char* id;
        s32 flags;
    } expected[] = {{"outside", 0}, {"outer", 1}, {"inner_plain", 0}, {"inner_flagged", 1}, {"outer_again", 1}, {"plain", 0}};
    ASSERT_EQ(m_Declarations.GetCount(), std::size(expected));
    for (u32 i = 0; i < std::size(expected); ++i) {
        EXPECT_STREQ(Record(i).m_Id.GetText(), expected[i].id);
        EXPECT_EQ(Record(i).m_Flags, expected[i].flags) << expected[i].id;
    }
}

TEST_F(SoundDeclarationsTest, AnXmlWithoutSoundsGivesAnEmptyImage)
{
    m_Tmp.Write("properties/sounds.xml", Xml("<sound_group flags=\"load_on_demand\"/>"));
    ASSERT_TRUE(m_Declarations.Load());
    ASSERT_EQ(m_Declarations.GetSize(), 8u);
    EXPECT_EQ(std::memcmp(m_Declarations.GetBlob(), "SNDS\0\0\0\0", 8), 0);
    EXPECT_EQ(m_Declarations.GetCount(), 0u);
}

TEST_F(SoundDeclarationsTest, NeitherFileGivesNothing)
{
    EXPECT_FALSE(m_Declarations.Load());
    EXPECT_EQ(m_Declarations.GetBlob(), nullptr);
    EXPECT_EQ(m_Declarations.GetCount(), 0u);
}

TEST_F(SoundDeclarationsTest, ABindumpBesideTheXmlWins)
{
    m_Tmp.Write("properties/sounds.xml", Xml(R"(<sound id="from_xml" file="a.ogg"/>)"));
    CSoundDeclarationsWriter writer;
    CSoundDeclarationRecord record;
    record.m_Id = "from_bindump";
    writer.Add(record);
    ASSERT_TRUE(writer.WriteBindump(m_Tmp / "properties/sounds.bindump"));
    ASSERT_TRUE(m_Declarations.Load());
    EXPECT_FALSE(m_Declarations.IsBuilt());
    ASSERT_EQ(m_Declarations.GetCount(), 1u);
    EXPECT_STREQ(Record(0).m_Id.GetText(), "from_bindump");
    // Only a built image is saved.
    EXPECT_FALSE(m_Declarations.SaveBindump());
}

TEST_F(SoundDeclarationsTest, SavedImageLoadsBackToTheSameRecords)
{
    m_Tmp.Write("properties/sounds.xml",
                Xml(R"(<sound id="a" file="A.ogg" volume="40" repeat="3"/><sound id="b" file="b.ogg" group_template="music"/>)"));
    ASSERT_TRUE(m_Declarations.Load());
    const std::string built(reinterpret_cast<const char*>(m_Declarations.GetBlob()), m_Declarations.GetSize());
    ASSERT_TRUE(m_Declarations.SaveBindump());
    EXPECT_EQ(m_Tmp.Read("properties/sounds.bindump"), built);

    ASSERT_TRUE(m_Declarations.Load());
    EXPECT_FALSE(m_Declarations.IsBuilt());
    ASSERT_EQ(m_Declarations.GetCount(), 2u);
    EXPECT_STREQ(Record(0).m_File.GetText(), "a.ogg");
    EXPECT_FLOAT_EQ(Record(0).m_Volume, 40.0f);
    EXPECT_EQ(Record(0).m_Repeat, 3);
    EXPECT_STREQ(Record(1).m_Group.GetText(), "music");
    m_Declarations.Free();
    EXPECT_EQ(m_Declarations.GetBlob(), nullptr);
}

TEST_F(SoundDeclarationsTest, AnImageTooShortForItsCountFallsBackToTheXml)
{
    m_Tmp.Write("properties/sounds.xml", Xml(R"(<sound id="from_xml" file="a.ogg"/>)"));
    CSoundDeclarationsWriter writer;
    writer.Add(CSoundDeclarationRecord());
    std::vector<u8> image = writer.Build();
    const struct
    {
        const char* what;
        std::vector<u8> bytes;
    } cases[] = {
        {"count past the end", [&] { auto b = image; b[4] = 2; return b; }()},
        {"huge count", [&] { auto b = image; b[7] = 0xFF; return b; }()},
        {"header cut", {'S', 'N', 'D'}},
    };
    for (const auto& c : cases) {
        CLogCapture log(m_Tmp);
        WriteBytes(m_Tmp, "properties/sounds.bindump", c.bytes);
        ASSERT_TRUE(m_Declarations.Load()) << c.what;
        EXPECT_TRUE(m_Declarations.IsBuilt()) << c.what;
        ASSERT_EQ(m_Declarations.GetCount(), 1u) << c.what;
        EXPECT_STREQ(Record(0).m_Id.GetText(), "from_xml");
        EXPECT_TRUE(log.Contains("cannot hold")) << c.what;
    }
}

TEST_F(SoundDeclarationsTest, NamesLongerThanTheirFieldsAreCutAndLogged)
{
    const std::string id(100, 'x');
    const std::string file(130, 'f');
    m_Tmp.Write("properties/sounds.xml", Xml("<sound id=\"" + id + "\" file=\"" + file + "\" group_template=\"music\"/>"));
    CLogCapture log(m_Tmp);
    ASSERT_TRUE(m_Declarations.Load());
    const CSoundDeclarationRecord record = Record(0);
    EXPECT_EQ(std::string(record.m_Id.GetText()), id.substr(0, 87));
    EXPECT_EQ(std::string(record.m_File.GetText()), file.substr(0, 119));
    EXPECT_STREQ(record.m_Group.GetText(), "music");
    EXPECT_TRUE(log.Contains("[sound][2]: sounds.xml: id \"" + id + "\" is longer than 87 characters, cut"));
    EXPECT_TRUE(log.Contains("[sound][2]: sounds.xml: file"));
}

TEST_F(SoundDeclarationsTest, ARecordWithABadNameLengthIsNotRead)
{
    CSoundDeclarationsWriter writer;
    writer.Add(CSoundDeclarationRecord());
    std::vector<u8> image = writer.Build();
    image[8 + 128] = 200; // id length beyond its field
    WriteBytes(m_Tmp, "properties/sounds.bindump", image);
    ASSERT_TRUE(m_Declarations.Load());
    CSoundDeclarationRecord record;
    EXPECT_FALSE(m_Declarations.GetRecord(0, record));
    EXPECT_FALSE(m_Declarations.GetRecord(1, record));
}
