// Texture declarations: the XML compiler's frames, delays and maps, the binary index lookups, the
// checks every blob passes, and the caps that keep the compiler inside its records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/ImageWriter.h"
#include "content/TextureDeclarationWriter.h"
#include "TextureTestSupport.h"
#include "graphics/ImageInfo.h"
#include "graphics/TextureDeclarationCompiler.h"
#include "graphics/TextureDeclarations.h"

using namespace lv::graphics;

namespace {

// A content folder as the working folder, with PNG surfaces of the given sizes.
class CContent : public CContentFolder
{
public:
    void Png(const std::string& path, u32 w, u32 h)
    {
        std::vector<u8> file;
        EXPECT_TRUE(lv::content::EncodePngArgb(w, h, std::vector<u32>(w * h, 0xFF000000u), false, file));
        Write(path, file);
    }
    void Xml(const std::string& body) { Tmp().Write("properties/resources.xml", Document(body)); }
    static std::string Document(const std::string& body) { return "<?xml version=\"1.0\"?>\n<resources>" + body + "</resources>"; }
};

std::string Surface(const std::string& path, int w = 0, int h = 0)
{
    return "<surface path=\"" + path + "\" width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\"/>";
}

std::string Group(const std::string& images, const std::string& attributes = "id=\"g\"")
{
    return "<group " + attributes + ">" + images + "</group>";
}

const CImageInfo* Info(const CTextureDeclarations& d, const char* name)
{
    const CImageIndexEntry* entry = d.FindEntry(CFixedString(name));
    return entry ? d.GetInfo(*entry) : nullptr;
}

std::vector<int> Map(const CImageInfo* info)
{
    return std::vector<int>(info->frameMap, info->frameMap + info->mapCount);
}

std::vector<int> Delays(const CImageInfo* info)
{
    return std::vector<int>(info->delays, info->delays + info->delayCount);
}

std::vector<u8> Compile(const std::string& body)
{
    std::vector<u8> blob;
    lv::content::CompileTextureDeclarations(CContent::Document(body), blob);
    return blob;
}

} // namespace

TEST(TextureDeclarationsTest, PingPongExampleOfAFourCellStrip)
{
    CContent content;
    content.Png("gfx/strip.png", 256, 64);
    content.Xml("<surfaces>" + Surface("gfx/strip.png") + "</surfaces>" +
                Group("<image id=\"walk\" path=\"gfx/strip.png\" cols=\"4\" rows=\"1\" anim_type=\"pingpong\" "
                      "frame_delay=\"100\"/>",
                      "id=\"ui\" flags=\"load_on_demand\""));
    CTextureDeclarations d;
    ASSERT_TRUE(d.LoadFile("properties/resources.bindump"));
    ASSERT_EQ(d.GetImageCount(), 1u);
    ASSERT_EQ(d.GetSurfaceCount(), 1u);
    const CImageInfo* info = Info(d, "walk");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->frameWidth, 64);
    EXPECT_EQ(info->frameHeight, 64);
    EXPECT_EQ(info->animationType, 3u);
    EXPECT_EQ(info->flags, 0x3u);
    ASSERT_EQ(info->frameCount, 4);
    for (int i = 0; i < 4; ++i) {
        const CFloatRect& f = info->GetFrames()[i];
        EXPECT_FLOAT_EQ(f.X, 0.25f * i);
        EXPECT_FLOAT_EQ(f.Y, 0.0f);
        EXPECT_FLOAT_EQ(f.Width, 0.25f * (i + 1));
        EXPECT_FLOAT_EQ(f.Height, 1.0f);
    }
    EXPECT_EQ(Delays(info), (std::vector<int>{100, 100, 100, 100}));
    EXPECT_EQ(info->delays[4], -1);
    EXPECT_EQ(Map(info), (std::vector<int>{0, 1, 2, 3, 2, 1}));
    EXPECT_EQ(info->frameMap[6], 255);
    EXPECT_EQ(info->totalDuration, 600);
    EXPECT_EQ(info->surfaceOffset, 16u);
    const CSurfaceRecord& surface = d.GetSurfaces()[0];
    EXPECT_STREQ(surface.path.GetText(), "gfx/strip.png");
    EXPECT_EQ(surface.width, 256);
    EXPECT_EQ(surface.format, 1);
    EXPECT_STREQ(d.GetGroups()[0].id.GetText(), "ui");
    EXPECT_EQ(d.GetGroups()[0].flags, 1u);
}

TEST(TextureDeclarationsTest, DelaysMapsAndAnimationTypes)
{
    CContent content;
    content.Png("s4.png", 40, 10);
    content.Png("s3.png", 30, 10);
    content.Png("s2.png", 20, 10);
    const std::string images =
        "<image id=\"d1\" path=\"s4.png\" cols=\"4\" rows=\"1\" anim_type=\"loop\" frame_delay=\"100\"/>"
        "<image id=\"d2\" path=\"s4.png\" cols=\"4\" rows=\"1\" anim_type=\"loop\" frame_delay=\"100 50\"/>"
        "<image id=\"pp2\" path=\"s2.png\" cols=\"2\" rows=\"1\" anim_type=\"pingpong\"/>"
        "<image id=\"bpp2\" path=\"s2.png\" cols=\"2\" rows=\"1\" anim_type=\"backward pingpong\"/>"
        "<image id=\"bl3\" path=\"s3.png\" cols=\"3\" rows=\"1\" anim_type=\"backward loop\"/>"
        "<image id=\"back\" path=\"s3.png\" cols=\"3\" rows=\"1\" anim_type=\"BACK\"/>"
        "<image id=\"caps\" path=\"s3.png\" cols=\"3\" rows=\"1\" anim_type=\"LOOP\"/>"
        "<image id=\"bpp4\" path=\"s4.png\" cols=\"4\" rows=\"1\" anim_type=\"backward pingpong\"/>"
        "<image id=\"map\" path=\"s4.png\" cols=\"4\" rows=\"1\" anim_type=\"loop\" frame_map=\"3, 3,1\" "
        "frame_delay=\"10,20,30,40\"/>"
        "<image id=\"still\" path=\"s4.png\" cols=\"1\" rows=\"1\"/>"
        "<image id=\"parts\" path=\"s4.png\"><part rect_x=\"4\" rect_y=\"2\" rect_w=\"8\" rect_h=\"5\"/>"
        "<part rect_x=\"20\"/></image>";
    content.Xml("<surfaces>" + Surface("s4.png") + Surface("s3.png") + Surface("s2.png") + "</surfaces>" +
                Group(images));
    CTextureDeclarations d;
    ASSERT_TRUE(d.LoadXml("properties/resources.xml"));
    EXPECT_EQ(Delays(Info(d, "d1")), (std::vector<int>{100, 100, 100, 100}));
    EXPECT_EQ(Delays(Info(d, "d2")), (std::vector<int>{100, 50, 50, 50}));
    EXPECT_EQ(Info(d, "d2")->totalDuration, 250);
    EXPECT_EQ(Map(Info(d, "pp2")), (std::vector<int>{0, 1}));
    EXPECT_EQ(Map(Info(d, "bpp2")), (std::vector<int>{0, 1}));
    EXPECT_EQ(Map(Info(d, "bl3")), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(Info(d, "back")->animationType, 4u);
    EXPECT_EQ(Info(d, "caps")->animationType, 2u);
    EXPECT_EQ(Map(Info(d, "bpp4")), (std::vector<int>{3, 2, 1, 0, 1, 2}));
    EXPECT_EQ(Map(Info(d, "map")), (std::vector<int>{3, 3, 1}));
    EXPECT_EQ(Info(d, "map")->totalDuration, 100);
    const CImageInfo* still = Info(d, "still");
    EXPECT_EQ(still->frameCount, 1);
    EXPECT_EQ(Delays(still), std::vector<int>{0});
    EXPECT_EQ(Map(still), std::vector<int>{0});
    const CImageInfo* parts = Info(d, "parts");
    ASSERT_EQ(parts->frameCount, 2);
    EXPECT_EQ(parts->frameWidth, 8);
    EXPECT_EQ(parts->frameHeight, 5);
    EXPECT_FLOAT_EQ(parts->GetFrames()[0].X, 0.1f);
    EXPECT_FLOAT_EQ(parts->GetFrames()[0].Height, 0.7f);
    // The second part keeps y, w and h of the part before it at that position: none, so 0.
    EXPECT_FLOAT_EQ(parts->GetFrames()[1].X, 0.5f);
    EXPECT_FLOAT_EQ(parts->GetFrames()[1].Width, 0.5f);
}

TEST(TextureDeclarationsTest, LookupsWithFewAndManyEntries)
{
    CContent content;
    content.Png("s.png", 8, 8);
    for (int n : {0, 1, 2, 7}) {
        SCOPED_TRACE(n);
        std::string images;
        for (int i = 0; i < n; ++i)
            images += "<image id=\"img" + std::to_string(i) + "\" path=\"s.png\" cols=\"1\" rows=\"1\"/>";
        const std::vector<u8> blob = Compile("<surfaces>" + Surface("s.png") + "</surfaces>" + Group(images));
        CTextureDeclarations d;
        ASSERT_TRUE(d.LoadBlob(blob.data(), static_cast<u32>(blob.size())));
        EXPECT_EQ(d.GetImageCount(), static_cast<u32>(n));
        for (int i = 0; i < n; ++i) {
            const CImageIndexEntry* entry = d.FindEntry(CFixedString(("img" + std::to_string(i)).c_str()));
            ASSERT_NE(entry, nullptr) << i;
            EXPECT_EQ(entry - d.GetIndex(), i);
        }
        for (const char* missing : {"", "img", "img00", "zzz", "a"})
            EXPECT_EQ(d.FindEntry(CFixedString(missing)), nullptr) << missing;
    }
}

TEST(TextureDeclarationsTest, OtherRevisionIsRejectedWithoutXmlFallback)
{
    CContent content;
    content.Png("s.png", 8, 8);
    content.Xml("<surfaces>" + Surface("s.png") + "</surfaces>" + Group("<image id=\"a\" path=\"s.png\" cols=\"1\" rows=\"1\"/>"));
    std::vector<u8> blob = Compile("<surfaces>" + Surface("s.png") + "</surfaces>");
    blob[3] = 2;
    content.Write("properties/resources.bindump", blob);
    CScratchLogCapture log;
    CTextureDeclarations d;
    EXPECT_FALSE(d.Load());
    EXPECT_EQ(d.GetBlob(), nullptr);
    EXPECT_TRUE(log.Contains("[texman][3]: Textures bindump is corrupted or has another version. Current revision: 1, "
                             "bindump's revision2"));
}

TEST(TextureDeclarationsTest, DamagedBlobsAreRejected)
{
    CContent content;
    content.Png("s.png", 8, 8);
    const std::vector<u8> good = Compile("<surfaces>" + Surface("s.png") + "</surfaces>" +
                                         Group("<image id=\"a\" path=\"s.png\" cols=\"2\" rows=\"1\" anim_type=\"loop\"/>"
                                               "<image id=\"b\" path=\"s.png\" cols=\"1\" rows=\"1\"/>"));
    ASSERT_TRUE(CTextureDeclarations::Validate(good.data(), static_cast<u32>(good.size())));
    const u32 indexAt = 16 + 136 + 104;
    u32 infoA = 0;
    std::memcpy(&infoA, good.data() + indexAt + 96, 4);
    struct CDamage
    {
        const char* what;
        size_t at;
        std::vector<u8> bytes;
    };
    const CDamage damages[] = {
        {"surface count", 4, {2}},
        {"image count", 12, {0xFF, 0xFF, 0xFF, 0x7F}},
        {"path length", 16, {200}},
        {"index name hash", indexAt + 4, {0, 0}},
        {"info offset", indexAt + 96, {0xF0, 0xFF}},
        {"unaligned info", indexAt + 96, {static_cast<u8>(infoA + 1)}},
        {"frame map entry", infoA + 172, {32}},
        {"map count", infoA + 215, {33}},
        {"delay count", infoA + 214, {40}},
        {"surface offset", infoA + 208, {17}},
        {"group offset", infoA + 204, {1}},
        {"shared flag", infoA + 100, {0}},
        {"frame count", infoA + 218, {0xFF, 0xFF}},
        {"index order", indexAt + 8, {'c'}},
    };
    for (const CDamage& damage : damages) {
        std::vector<u8> bad = good;
        std::copy(damage.bytes.begin(), damage.bytes.end(), bad.begin() + damage.at);
        EXPECT_FALSE(CTextureDeclarations::Validate(bad.data(), static_cast<u32>(bad.size()))) << damage.what;
        CTextureDeclarations d;
        EXPECT_FALSE(d.LoadBlob(bad.data(), static_cast<u32>(bad.size()))) << damage.what;
        EXPECT_EQ(d.GetBlob(), nullptr);
    }
    for (u32 cut : {0u, 3u, 15u, static_cast<u32>(good.size() - 1)})
        EXPECT_FALSE(CTextureDeclarations::Validate(good.data(), cut)) << cut;
}

TEST(TextureDeclarationsTest, CompilerCapsWhatItsRecordsCannotHold)
{
    CContent content;
    content.Png("grid.png", 80, 80);
    const std::string longPath = std::string(130, 'p') + ".png";
    const std::string longId = std::string(95, 'i');
    CScratchLogCapture log;
    std::string frames40;
    for (int i = 0; i < 40; ++i)
        frames40 += std::to_string(i % 5) + " ";
    const std::vector<u8> blob = Compile(
        "<surfaces>" + Surface("grid.png") + Surface(longPath, 4, 4) + "</surfaces>" +
        Group("<image id=\"big\" path=\"grid.png\" cols=\"8\" rows=\"8\" anim_type=\"loop\" frame_delay=\"" + frames40 + "\"/>"
              "<image id=\"pp\" path=\"grid.png\" cols=\"20\" rows=\"1\" anim_type=\"pingpong\"/>"
              "<image id=\"map\" path=\"grid.png\" cols=\"4\" rows=\"1\" anim_type=\"loop\" frame_map=\"" + frames40 + "\"/>"
              "<image id=\"norows\" path=\"grid.png\" cols=\"4\" rows=\"0\"/>"
              "<image id=\"nosurface\" path=\"missing.png\" cols=\"1\" rows=\"1\"/>"
              "<image id=\"" + longId + "\" path=\"grid.png\" cols=\"1\" rows=\"1\"/>") +
        "<image id=\"nogroup\" path=\"grid.png\" cols=\"1\" rows=\"1\"/>");
    CTextureDeclarations d;
    ASSERT_TRUE(d.LoadBlob(blob.data(), static_cast<u32>(blob.size())));
    const CImageInfo* big = Info(d, "big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->frameCount, 32);
    EXPECT_EQ(big->delayCount, 32);
    EXPECT_EQ(big->mapCount, 32);
    const CImageInfo* pp = Info(d, "pp");
    EXPECT_EQ(pp->mapCount, 32);
    EXPECT_EQ(pp->frameMap[31], 7); // 0..19, then 18 down to 7
    EXPECT_EQ(Info(d, "map")->mapCount, 32);
    EXPECT_EQ(Info(d, "norows"), nullptr);
    EXPECT_EQ(Info(d, "nosurface"), nullptr);
    EXPECT_EQ(Info(d, "nogroup"), nullptr);
    EXPECT_NE(Info(d, std::string(87, 'i').c_str()), nullptr);
    EXPECT_EQ(d.GetSurfaces()[1].path.GetLength(), 119);
    EXPECT_TRUE(log.Contains("[texman][2]: Surface path \"" + longPath + "\" is longer than 119 characters"));
    EXPECT_TRUE(log.Contains("[texman][2]: Image id \"" + longId + "\" is longer than 87 characters"));
    EXPECT_TRUE(log.Contains("Image \"norows\" has no rows or columns and is skipped"));
    EXPECT_TRUE(log.Contains("Image \"nosurface\" names no declared surface \"missing.png\" and is skipped"));
    EXPECT_TRUE(log.Contains("Image \"big\" has 64 frames; only the first 32 animate"));
    EXPECT_TRUE(log.Contains("An image outside every group is ignored"));
}

TEST(TextureDeclarationsTest, UnreadableSurfaceIsLoggedAndHasNoSize)
{
    CContent content;
    CScratchLogCapture log;
    const std::vector<u8> blob = Compile("<surfaces>" + Surface("gone.png", 64, 64) + "</surfaces>" +
                                         Group("<image id=\"a\" path=\"gone.png\" cols=\"1\" rows=\"1\"/>"
                                               "<image id=\"b\" path=\"gone.png\" cols=\"2\" rows=\"2\"/>"));
    CTextureDeclarations d;
    ASSERT_TRUE(d.LoadBlob(blob.data(), static_cast<u32>(blob.size())));
    EXPECT_EQ(Info(d, "a")->frameWidth, 0);
    EXPECT_EQ(d.GetSurfaces()[0].width, 0);
    EXPECT_EQ(CountOf(log.Text(), "[texman][3]: Cannot load surface dimensions: \"gone.png\""), 1u);
}

TEST(TextureDeclarationsTest, ToolBlobEqualsTheGameCompiledOne)
{
    CContent content;
    content.Png("b.png", 64, 32);
    content.Png("a.png", 16, 16);
    const std::string body = "<surfaces>" + Surface("b.png") + Surface("a.png") + "</surfaces>" +
                             Group(Group("<image id=\"z\" path=\"a.png\" cols=\"2\" rows=\"2\" anim_type=\"once\" "
                                         "frame_delay=\"5 6\"/>",
                                         "id=\"inner\"") +
                                   "<image id=\"y\" path=\"b.png\" cols=\"1\" rows=\"1\"/>");
    content.Xml(body);
    CTextureDeclarations d;
    ASSERT_TRUE(d.Load()); // no bindump: compiled from the XML
    const std::vector<u8> tool = Compile(body);
    ASSERT_EQ(d.GetBlobSize(), tool.size());
    EXPECT_EQ(std::memcmp(d.GetBlob(), tool.data(), tool.size()), 0);
    EXPECT_STREQ(d.GetSurfaces()[0].path.GetText(), "a.png"); // sorted by path
    EXPECT_EQ(d.GetGroups()[1].parentOffset, 16u + 2 * 136);
    EXPECT_EQ(d.FindEntry(CFixedString("z"))->groupOffset, 16u + 2 * 136 + 104);
    // Saved and loaded again, the same bytes are used in place.
    ASSERT_TRUE(d.Save());
    CTextureDeclarations again;
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.GetBlobSize(), tool.size());
    EXPECT_EQ(std::memcmp(again.GetBlob(), tool.data(), tool.size()), 0);
}

TEST(TextureDeclarationsTest, NamesEndAtAZeroCharacter)
{
    // Damaged XML whose group id starts with zero characters once compiled to a record the
    // loader refuses.
    const std::string xml("\x78\x78\x6d\x6c\x3e\xb1\x3c\x70\x3e\x3c\x78\x6d\x6c\x3e\x3c\x67\x72\x6f\x75\x70\xb1\x20\x69\x64\x3d\x22\x00\x00\x2f\x6d\x78\x6d\xff\xff\xff\x22\x69\x6d\x61\x67\x65\xff\xff\x22\xde\x9e\x9b\x8c\xc2\xdd\xdd\x94\x64\x5f\x6f\x6e\x6d\x61\x6e\x64\x22\x22", 62);
    std::vector<u8> blob;
    CTextureDeclarationCompiler compiler;
    compiler.Compile(xml.data(), xml.size(), blob);
    EXPECT_TRUE(CTextureDeclarations::Validate(blob.data(), static_cast<u32>(blob.size())));
}
