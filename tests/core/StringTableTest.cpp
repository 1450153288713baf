#include "ContentTestSupport.h"
#include "core/ByteOrder.h"
#include "content/StringTableWriter.h"
#include "core/FileSystem.h"
#include "core/LocalizedText.h"
#include "core/StringBlock.h"
#include "core/StringTable.h"

#include <gtest/gtest.h>

using lv::core::PutU32;

using namespace lv::core;
using lv::content::CPackWriter;
using lv::content::CStringTableWriter;

namespace {

const char* const WrongEncoding = "caption: Error\r\nmessage: strings.bindump is corrupted or contains wrong encoding.";

std::vector<u8> Bindump(std::initializer_list<std::pair<s32, const char*>> strings)
{
    CStringTableWriter writer;
    for (const auto& [id, text] : strings)
        writer.AddUtf8(id, text);
    return writer.BuildBindump();
}

std::string Xml(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<strings>\n" + body + "\n</strings>\n";
}

std::string Narrow(const WChar* text)
{
    return WideToUtf8(text);
}

class StringTableTest : public testing::Test
{
protected:
    StringTableTest() : m_Cwd(m_Tmp.Path()) {}

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd;
    CFileSystem m_Files{""};
};

} // namespace

TEST_F(StringTableTest, BindumpLookupsFoundAndNotFound)
{
    WriteBytes(m_Tmp, "properties/strings.bindump", Bindump({{9, "nine"}, {1, "one"}, {5, "five"}}));
    m_Tmp.Write("properties/strings.xml", Xml("<s id=\"5\">from xml</s>"));
    CStringTable table;
    table.Load(m_Files);
    ASSERT_TRUE(table.IsLoaded());
    EXPECT_EQ(table.IsOwned(), 0); // the file image itself
    EXPECT_EQ(Narrow(table.GetString(1)), "one");
    EXPECT_EQ(Narrow(table.GetString(5)), "five");
    EXPECT_EQ(Narrow(table.GetString(9)), "nine");
    EXPECT_EQ(Narrow(table.GetString(4)), "! string 4 is not found !");
    EXPECT_EQ(Narrow(table.GetString(10)), "! string 10 is not found !");
    EXPECT_EQ(Narrow(table.GetString(-1)), "! string -1 is not found !");
}

TEST_F(StringTableTest, BindumpInsideAPackAndTheUtf16Image)
{
    CPackWriter pack;
    pack.AddFile("properties/strings.bindump", Bindump({{3, "packed"}}));
    pack.AddLanguageFile("de", "properties/strings.bindump", Bindump({{3, "gepackt"}}));
    WritePack(m_Tmp, "game.pack", pack);
    CFileSystem de("de");
    ASSERT_TRUE(de.MountPack("game.pack"));
    CStringTable table;
    table.Load(de);
    EXPECT_EQ(Narrow(table.GetString(3)), "gepackt");

    // Without a bindump the UTF-16 image is read; it carries the other magic.
    CStringTableWriter writer;
    writer.AddUtf8(7, "image");
    WriteBytes(m_Tmp, "properties/strings.xml.bin_utf16le", writer.BuildUtf16Image());
    CStringTable fromImage;
    fromImage.Load(m_Files);
    EXPECT_EQ(Narrow(fromImage.GetString(7)), "image");
}

TEST_F(StringTableTest, UnusableBindumpShowsTheBoxOnceAndFallsBackToXml)
{
    const std::vector<u8> good = Bindump({{1, "one"}, {2, "two"}});
    struct Case
    {
        const char* what;
        void (*damage)(std::vector<u8>&);
    };
    const Case cases[] = {
        {"wrong magic", [](std::vector<u8>& b) { b[3] = 'L'; }},
        {"truncated", [](std::vector<u8>& b) { b.resize(b.size() / 2); }},
        {"header only", [](std::vector<u8>& b) { b.resize(6); }},
        {"index past the end", [](std::vector<u8>& b) { PutU32(b, 4, 1000); }},
        {"offset past the end", [](std::vector<u8>& b) { PutU32(b, 12, 0x10000); }},
        {"text not terminated", [](std::vector<u8>& b) {
             b.pop_back();
             b.pop_back();
         }},
        {"index out of order", [](std::vector<u8>& b) { PutU32(b, 8, 5); }},
    };
    m_Tmp.Write("properties/strings.xml", Xml("<s id=\"1\">xml one</s>"));
    for (const Case& c : cases) {
        std::vector<u8> bad = good;
        c.damage(bad);
        WriteBytes(m_Tmp, "properties/strings.bindump", bad);
        CLogCapture log(m_Tmp);
        CStringTable table;
        table.Load(m_Files);
        EXPECT_EQ(log.Count(WrongEncoding), 1u) << c.what;
        EXPECT_EQ(table.IsOwned(), 1) << c.what;
        EXPECT_EQ(Narrow(table.GetString(1)), "xml one") << c.what;
        EXPECT_EQ(Narrow(table.GetString(2)), "! string 2 is not found !") << c.what;
    }
}

TEST_F(StringTableTest, ImageAtAnOddAddressIsCopied)
{
    // A pack whose only blob starts at an odd offset: the texts would be misaligned UTF-16.
    CPackWriter writer;
    writer.AddFile("properties/strings.bindump", Bindump({{1, "odd"}}));
    std::vector<u8> image = writer.Build();
    const size_t directoryEnd = PackHeaderSize + PackEntrySize;
    image.insert(image.begin() + directoryEnd, 0xAA);
    PutU32(image, 8, static_cast<u32>(image.size()));
    PutU32(image, PackHeaderSize + 124, GetPackDirectory(image.data())[0].GetDataOffset() + 1);
    WriteBytes(m_Tmp, "game.pack", image);
    ASSERT_TRUE(m_Files.MountPack("game.pack"));
    ASSERT_EQ(reinterpret_cast<uintptr_t>(m_Files.LoadFile("properties/strings.bindump")) % 2, 1u);

    CStringTable table;
    table.Load(m_Files);
    EXPECT_EQ(table.IsOwned(), 1);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(table.GetString(1)) % 2, 0u);
    EXPECT_EQ(Narrow(table.GetString(1)), "odd");
}

TEST_F(StringTableTest, NoFileAtAllLeavesTheTableEmpty)
{
    CLogCapture log(m_Tmp);
    CStringTable table;
    table.Load(m_Files);
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_TRUE(log.Contains("[StringTable][3]: Failed to load StringTable data\r\n"));
    EXPECT_EQ(Narrow(table.GetString(0)), "! string 0 is not found !");
}

TEST_F(StringTableTest, XmlRules)
{
    m_Tmp.Write("properties/strings.xml",
                Xml("<s id=\"7\">\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</s>\n" // Cyrillic
                    "<s ID=\"8\">upper</s>\n"
                    "<s i=\"9\">one letter</s>\n"
                    "<s idx=\"10\">not an id</s>\n"
                    "<s id=\"11\"/>\n"               // no text: defines nothing...
                    "<t>taken by nobody</t>\n"        // ...and the id is not left pending
                    "<s id=\"12\">first</s>\n"
                    "<s id=\"12\">second</s>\n"       // duplicate: the first stays
                    "<s id=\"13\">a &amp; b &lt;c&gt;</s>\n"
                    "<s id=\"99999999999\">saturated</s>\n"
                    "<g id=\"14\"><s>child text</s></g>\n" // the id belongs to the group, not the child
                    "<s id=\" -3\">negative</s>"));
    CLogCapture log(m_Tmp);
    CStringTable table;
    table.Load(m_Files);
    ASSERT_TRUE(table.IsLoaded());
    EXPECT_EQ(WString(table.GetString(7)), u"\u041F\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(Narrow(table.GetString(8)), "upper");
    EXPECT_EQ(Narrow(table.GetString(9)), "one letter");
    EXPECT_EQ(Narrow(table.GetString(10)), "! string 10 is not found !");
    EXPECT_EQ(Narrow(table.GetString(11)), "! string 11 is not found !");
    EXPECT_EQ(Narrow(table.GetString(12)), "first");
    EXPECT_EQ(Narrow(table.GetString(13)), "a & b <c>");
    EXPECT_EQ(Narrow(table.GetString(2147483647)), "saturated");
    EXPECT_EQ(Narrow(table.GetString(14)), "! string 14 is not found !");
    EXPECT_EQ(Narrow(table.GetString(-3)), "negative");
    EXPECT_TRUE(log.Contains("[StringTable][2]: Duplicate string id 12"));

    // The compiler makes the same block from the same document.
    CStringTableWriter writer;
    ASSERT_TRUE(writer.AddXml(m_Tmp.Read("properties/strings.xml")));
    const std::vector<u8> compiled = writer.BuildUtf16Image();
    EXPECT_EQ(compiled, std::vector<u8>(table.GetData(), table.GetData() + table.GetSize()));
}

TEST_F(StringTableTest, CompiledBindumpReadsBackLikeTheXml)
{
    const std::string xml = Xml("<s id=\"2\">two $1</s><s id=\"1\">\xD0\xB4\xD0\xB0</s>");
    CStringTableWriter writer;
    std::vector<s32> duplicates;
    ASSERT_TRUE(writer.AddXml(xml, &duplicates));
    EXPECT_TRUE(duplicates.empty());
    std::filesystem::create_directories(m_Tmp.Path() / "properties");
    ASSERT_TRUE(writer.WriteBindump(m_Tmp / "properties/strings.bindump"));
    CStringTable table;
    table.Load(m_Files);
    EXPECT_EQ(table.IsOwned(), 0);
    WString expanded;
    table.ExpandReferences(expanded, table.GetString(2));
    EXPECT_EQ(expanded, u"two \u0434\u0430");

    EXPECT_FALSE(CStringTableWriter().AddXml("no prolog"));
}

TEST_F(StringTableTest, ExpandReferences)
{
    WriteBytes(m_Tmp, "properties/strings.bindump", Bindump({{0, "zero"}, {1, "one"}, {12, "twelve"}}));
    CStringTable table;
    table.Load(m_Files);
    const struct
    {
        const char16_t* text;
        const char* expected;
    } cases[] = {
        {u"$12.", "twelve."},
        {u"$$12", "$12"},
        {u"end $", "end zero"},
        {u"$x", "zerox"},
        {u"$1$12", "onetwelve"},
        {u"$$$1", "$one"},
        {u"$4", "! string 4 is not found !"},
        {u"$99999999999999!", "! string 2147483647 is not found !!"},
        {u"", ""},
        {u"plain", "plain"},
    };
    for (const auto& c : cases) {
        WString out = u"old";
        table.ExpandReferences(out, c.text);
        EXPECT_EQ(WideToUtf8(out), c.expected) << WideToUtf8(c.text);
    }
    WString out;
    table.ExpandReferencesA(out, "caf\xC3\xA9 $1");
    EXPECT_EQ(out, u"caf\u00E9 one");
    table.ExpandReferencesC(out, nullptr);
    EXPECT_TRUE(out.empty());
    table.ExpandReferencesC(out, "$12");
    EXPECT_EQ(out, u"twelve");
}

TEST_F(StringTableTest, LocalizedTextExpandsThroughTheProcessTable)
{
    WriteBytes(m_Tmp, "properties/strings.bindump", Bindump({{11, "Player"}}));
    CStringTable& table = CStringTable::Instance();
    table.Load(m_Files);
    CLocalizedText text(u"Hello $11");
    EXPECT_EQ(text.GetText(), u"Hello Player");
    EXPECT_EQ(text.GetSource(), u"Hello $11");
    EXPECT_TRUE(text.EqualsText(u"Hello $11"));
    EXPECT_TRUE(text.EqualsText(u"Hello Player"));
    text.SetUserValue(5);
    CLocalizedText copy = text;
    EXPECT_TRUE(copy.Equals(text));
    EXPECT_EQ(copy.GetUserValue(), 5u);
    copy.SetText(u"direct");
    EXPECT_EQ(copy.GetSource(), u"Hello $11");
    EXPECT_FALSE(copy.Equals(text));
    table.Release(); // the file system of this test goes away
}

TEST_F(StringTableTest, SaveBinaryFormsWritesBothWidths)
{
    CStringTable empty;
    EXPECT_FALSE(empty.SaveBinaryForms());

    m_Tmp.Write("properties/strings.xml", Xml("<s id=\"1\">a\xF0\x9F\x98\x80</s>"));
    CStringTable table;
    table.Load(m_Files);
    ASSERT_TRUE(table.SaveBinaryForms());
    const std::string utf16 = m_Tmp.Read("strings.xml.bin_utf16le");
    EXPECT_EQ(utf16.size(), table.GetSize());
    const std::string utf32 = m_Tmp.Read("strings.xml.bin_utf32le");
    // Header, one index entry, then 'a', the two surrogates widened one by one, and the zero.
    ASSERT_EQ(utf32.size(), 8u + 8 + 4 * 4);
    const std::vector<u8> b(utf32.begin(), utf32.end());
    auto u32At = [&](size_t at) { return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (u32(b[at + 3]) << 24); };
    EXPECT_EQ(u32At(0), StringBlockMagicUtf32);
    EXPECT_EQ(u32At(4), 1u);
    EXPECT_EQ(u32At(8), 1u);
    EXPECT_EQ(u32At(12), 16u);
    EXPECT_EQ(u32At(16), u32('a'));
    EXPECT_EQ(u32At(20), 0xD83Du);
    EXPECT_EQ(u32At(24), 0xDE00u);
    EXPECT_EQ(u32At(28), 0u);
}
