#include "anim/ParticleDefinition.h"
#include "anim/ParticleManager.h"
#include "content/ParticleImageWriter.h"
#include "core/ContentTestSupport.h"
#include "core/FileSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace lv::misc::anim;
using lv::content::CParticleImageWriter;
using lv::core::CFileSystem;

namespace {

std::string ParticleXml(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<particles>" + body + "</particles>\n";
}

std::vector<u8> Compile(const std::string& body)
{
    CParticleImageWriter writer;
    EXPECT_TRUE(writer.AddXml(ParticleXml(body)));
    return writer.Build();
}

void PutParticleU32(std::vector<u8>& b, size_t at, u32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<u8>(v >> (8 * i));
}

class ParticleManagerTest : public testing::Test
{
protected:
    ParticleManagerTest() : m_Cwd(m_Tmp.Path()) {}

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd;
    CLogCapture m_Log{m_Tmp};
    CFileSystem m_Files{""};
    CParticleManager m_Particles;
};

const char* const Full =
    R"(<group name="g"><particle id="fire" tex_id="spark" pos="1.5 -2" direction="0.5" spread="1"
  start_speed_max="100" start_speed_min="50" rad_acc_max="3" rad_acc_min="2" tang_acc_max="5" tang_acc_min="4"
  grav_max="7" grav_min="6" wind_max="9" wind_min="8" life_time_max="1000" life_time_min="500"
  max_life_particles="64" emission="10.5" system_life_time="2000" flags="3" wind_direction="1.25"
  emiter_type="1" emiter_size="20 10" emiter_angle="0.75" spin="1 2 3 0.5 0.25" size="0.5 1"
  start_color="-1" mid_color="2130706687" end_color="-16711936" var_color="0" base_var_color="255"
  unknown="7"/></group>)";

} // namespace

TEST_F(ParticleManagerTest, EveryKeyFillsItsField)
{
    m_Tmp.Write("properties/particle.xml", ParticleXml(Full));
    ASSERT_TRUE(m_Particles.Load(m_Files));
    ASSERT_TRUE(m_Particles.OwnsBlob());
    EXPECT_EQ(m_Particles.GetSize(), 8u + 384u);
    const ParticleDefinition* d = m_Particles.FindParticle("fire");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->tex_id.CompareText("spark"), 0);
    EXPECT_FLOAT_EQ(d->pos[0], 1.5f);
    EXPECT_FLOAT_EQ(d->pos[1], -2.0f);
    EXPECT_FLOAT_EQ(d->direction, 0.5f);
    EXPECT_FLOAT_EQ(d->start_speed_min, 50.0f);
    EXPECT_FLOAT_EQ(d->tang_acc_max, 5.0f);
    EXPECT_FLOAT_EQ(d->wind_min, 8.0f);
    EXPECT_FLOAT_EQ(d->life_time_min, 500.0f);
    EXPECT_EQ(d->max_life_particles, 64);
    EXPECT_FLOAT_EQ(d->emission, 10.5f);
    EXPECT_FLOAT_EQ(d->reserved, 0.0001f);
    EXPECT_FLOAT_EQ(d->system_life_time, 2000.0f);
    EXPECT_EQ(d->flags, 3u);
    EXPECT_EQ(d->emiter_type, 1);
    EXPECT_FLOAT_EQ(d->emiter_size[0], 20.0f);
    EXPECT_FLOAT_EQ(d->emiter_angle, 0.75f);
    EXPECT_FLOAT_EQ(d->spin.base_var, 0.25f);
    // A short list leaves the rest as it was.
    EXPECT_FLOAT_EQ(d->size.start, 0.5f);
    EXPECT_FLOAT_EQ(d->size.mid, 1.0f);
    EXPECT_FLOAT_EQ(d->size.end, 0.0f);
    EXPECT_EQ(d->start_color.ToArgb(), 0xFFFFFFFFu);
    EXPECT_EQ(d->mid_color.A, 127);
    EXPECT_EQ(d->mid_color.B, 255);
    EXPECT_EQ(d->end_color.G, 255);
    EXPECT_EQ(d->end_color.R, 0);
    EXPECT_EQ(d->var_color.A, 0);
    EXPECT_EQ(d->base_var_color.B, 255);
    EXPECT_EQ(d->base_var_color.R, 0);
    EXPECT_EQ(d->wind_vector[0], 0.0f);
}

TEST_F(ParticleManagerTest, DefaultsWithoutAttributes)
{
    m_Tmp.Write("properties/particle.xml", ParticleXml(R"(<particle id="bare"/>)"));
    m_Particles.Load(m_Files);
    const ParticleDefinition* d = m_Particles.FindParticle("bare");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->flags, 0u);
    EXPECT_EQ(d->base_var_color.ToArgb(), 0xFFFFFFFFu) << "every channel may gain up to 255";
    EXPECT_TRUE(d->tex_id.IsEmpty());
}

TEST_F(ParticleManagerTest, BindumpOfOneDefinitionFindsItAndNothingElse)
{
    WriteBytes(m_Tmp, "properties/particles.bindump", Compile(R"(<particle id="only" emission="3"/>)"));
    m_Tmp.Write("properties/particle.xml", ParticleXml(R"(<particle id="xml"/>)"));
    m_Particles.Load(m_Files);
    EXPECT_FALSE(m_Particles.OwnsBlob());
    ASSERT_NE(m_Particles.FindParticle("only"), nullptr);
    EXPECT_FLOAT_EQ(m_Particles.FindParticle("only")->emission, 3.0f);
    for (const char* other : {"xml", "onl", "only2", "Only", ""})
        EXPECT_EQ(m_Particles.FindParticle(other), nullptr) << other;
    EXPECT_FALSE(m_Particles.Save()) << "a bindump is never written back";
}

TEST_F(ParticleManagerTest, BadBindumpsAreReportedAndLeaveNoDefinitions)
{
    struct Case
    {
        const char* what;
        std::vector<u8> bytes;
        int found;
    };
    std::vector<u8> version = Compile(R"(<particle id="a"/>)");
    version[3] = 2;
    std::vector<u8> miscounted = Compile(R"(<particle id="a"/><particle id="b"/><particle id="c"/>)");
    PutParticleU32(miscounted, 4, 4);
    const Case cases[] = {
        {"version 2", version, 2},
        {"8 + 3 records counted as 4", miscounted, 1},
        {"shorter than its head", {0x50, 0x41, 0x52, 0x01, 0}, 1},
    };
    for (const Case& c : cases) {
        WriteBytes(m_Tmp, "properties/particles.bindump", c.bytes);
        m_Tmp.Write("properties/particle.xml", ParticleXml(R"(<particle id="a"/>)"));
        CLogCapture log(m_Tmp);
        EXPECT_TRUE(m_Particles.Load(m_Files)) << c.what;
        EXPECT_TRUE(log.Contains("'properties/particles.bindump' has wrong format version or is corrupted."));
        EXPECT_TRUE(log.Contains("Supported format: 1, format in bindump: " + std::to_string(c.found))) << c.what;
        EXPECT_EQ(m_Particles.GetCount(), 0u) << c.what;
        EXPECT_EQ(m_Particles.FindParticle("a"), nullptr) << "no XML fallback: " << c.what;
    }
}

TEST_F(ParticleManagerTest, TrailingBytesBelowOneRecordPass)
{
    std::vector<u8> image = Compile(R"(<particle id="a"/>)");
    image.resize(image.size() + 383, 0xEE);
    WriteBytes(m_Tmp, "properties/particles.bindump", image);
    m_Particles.Load(m_Files);
    EXPECT_NE(m_Particles.FindParticle("a"), nullptr);
}

TEST_F(ParticleManagerTest, FolderIsReadOnlyWithoutParticleXml)
{
    m_Tmp.Write("properties/particles/one.xml", ParticleXml(R"(<particle id="same" emission="1"/><particle id="b"/>)"));
    m_Tmp.Write("properties/particles/two.xml", ParticleXml(R"(<particle id="same" emission="2"/>)"));
    m_Particles.Load(m_Files);
    EXPECT_EQ(m_Particles.GetCount(), 3u) << "definitions of one name are all kept";
    ASSERT_NE(m_Particles.FindParticle("same"), nullptr);
    EXPECT_NE(m_Particles.FindParticle("b"), nullptr);

    m_Tmp.Write("properties/particle.xml", ParticleXml(R"(<particle id="main"/>)"));
    m_Particles.Load(m_Files);
    EXPECT_EQ(m_Particles.GetCount(), 1u);
    EXPECT_EQ(m_Particles.FindParticle("b"), nullptr);
    EXPECT_NE(m_Particles.FindParticle("main"), nullptr);
}

TEST_F(ParticleManagerTest, NoFilesGiveAnEmptyBlock)
{
    EXPECT_TRUE(m_Particles.Load(m_Files));
    EXPECT_EQ(m_Particles.GetSize(), 8u);
    EXPECT_EQ(m_Particles.FindParticle("x"), nullptr);
}

TEST_F(ParticleManagerTest, NamesSortCaseSensitivelyUpperCaseFirst)
{
    std::string body;
    for (const char* name : {"spark", "Spark", "b", "a", "Z", "spark_2", "fire", "smoke"})
        body += std::string("<particle id=\"") + name + "\" emission=\"" + std::to_string(name[0]) + "\"/>";
    const std::vector<u8> image = Compile(body);
    const auto nameAt = [&](u32 i) { return std::string(reinterpret_cast<const char*>(image.data() + 8 + 384 * i + 8)); };
    EXPECT_EQ(nameAt(0), "Spark");
    EXPECT_EQ(nameAt(1), "Z");
    EXPECT_EQ(nameAt(7), "spark_2");
    m_Tmp.Write("properties/particle.xml", ParticleXml(body));
    m_Particles.Load(m_Files);
    EXPECT_EQ(m_Particles.GetSize(), image.size());
    EXPECT_EQ(std::memcmp(m_Particles.GetBlob(), image.data(), image.size()), 0) << "the writer builds the game's block";
    for (const char* name : {"spark", "Spark", "b", "a", "Z", "spark_2", "fire", "smoke"}) {
        const ParticleDefinition* d = m_Particles.FindParticle(name);
        ASSERT_NE(d, nullptr) << name;
        EXPECT_EQ(d->id.CompareText(name), 0);
    }
    EXPECT_EQ(m_Particles.FindParticle("SPARK"), nullptr);
}

TEST_F(ParticleManagerTest, LongNamesAreCutAndReported)
{
    const std::string longName(100, 'n');
    m_Tmp.Write("properties/particle.xml", ParticleXml("<particle id=\"" + longName + "\" tex_id=\"" + longName + "\"/>"));
    m_Particles.Load(m_Files);
    const ParticleDefinition* d = m_Particles.FindParticle(longName.substr(0, 87).c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->tex_id.GetLength(), 87);
    EXPECT_TRUE(m_Log.Contains("is longer than 87 characters, cut"));
}

TEST_F(ParticleManagerTest, SaveWritesTheBuiltBlockWithAForwardSlash)
{
    m_Tmp.Write("properties/particle.xml", ParticleXml(R"(<particle id="a"/><particle id="b"/>)"));
    m_Particles.Load(m_Files);
    ASSERT_TRUE(m_Particles.Save());
    EXPECT_FALSE(std::filesystem::exists(m_Tmp.Path() / "properties\\particles.bindump"));
    std::ifstream in(m_Tmp.Path() / "properties/particles.bindump", std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(saved.size(), m_Particles.GetSize());
    EXPECT_EQ(std::memcmp(saved.data(), m_Particles.GetBlob(), saved.size()), 0);
}

TEST_F(ParticleManagerTest, BlocksInMemoryAreCheckedAndCopied)
{
    std::vector<u8> image = Compile(R"(<particle id="a"/>)");
    ASSERT_TRUE(m_Particles.LoadImage(image.data(), static_cast<u32>(image.size())));
    image[8 + 8] = 'z';
    EXPECT_NE(m_Particles.FindParticle("a"), nullptr) << "the manager keeps its own copy";
    image[3] = 7;
    EXPECT_FALSE(m_Particles.LoadImage(image.data(), static_cast<u32>(image.size())));
    EXPECT_EQ(m_Particles.GetCount(), 0u);
}

TEST_F(ParticleManagerTest, EmptyNamesAreStoredWithHashZeroAndFound)
{
    const std::vector<u8> image = Compile(R"(<particle id="" emission="2"/><particle emission="3"/>)");
    ASSERT_EQ(image.size(), 8u + 2 * 384u);
    for (size_t record : {8u, 8u + 384u}) {
        EXPECT_EQ(image[record + 4] | image[record + 5], 0) << "hash of the empty name";
        EXPECT_EQ(image[record + 288 + 4] | image[record + 288 + 5], 0) << "hash of the empty tex_id";
    }
    ASSERT_TRUE(m_Particles.LoadImage(image.data(), static_cast<u32>(image.size())));
    EXPECT_NE(m_Particles.FindParticle(""), nullptr);
}
