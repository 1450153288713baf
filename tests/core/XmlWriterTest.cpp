#include "core/XmlWriter.h"

#include "TempFolder.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/AtomicFile.h"

#include <filesystem>
#include <string>

using namespace lv::core;
namespace fs = std::filesystem;

namespace {

std::string Text(const CXmlWriter& w)
{
    std::unique_ptr<char[]> buffer;
    u32 size = 0;
    EXPECT_TRUE(w.GetBuffer(buffer, size));
    return std::string(buffer.get(), size);
}

class XmlWriterFiles : public testing::Test
{
protected:
    void TearDown() override
    {
        lv::platform::SetAtomicWriteFailAfter(-1);
        std::error_code ec;
        fs::permissions(m_Tmp.Path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }

    WString Path(const std::string& name) const { return Utf8ToWide(m_Tmp / name); }
    size_t FileCount() const
    {
        return std::distance(fs::directory_iterator(m_Tmp.Path()), fs::directory_iterator());
    }

    CTempFolder m_Tmp;
};

} // namespace

TEST(XmlWriter, ElementsAttributesAndEscaping)
{
    CXmlWriter w(false);
    {
        CXmlWriter::CElement root(w, "root");
        root.SetAttribute("n", -5);
        root.SetAttribute("u", u16(65535));
        root.SetAttribute("t", true);
        root.SetAttribute("f", false);
        CXmlWriter::CElement a(root, "a");
        a.SetAttribute("raw", "say \"hi\" & <go>");
        a.SetAttribute("wide", u"say \"hi\"\t\u00E9");
        a.Close();
        a.Close();
        CXmlWriter::CElement b(root, "b");
        b.SetAttribute("null", static_cast<const char*>(nullptr));
        b.Close();
        root.Close();
        root.Close();
    }
    EXPECT_EQ(Text(w), "<root n=\"-5\" u=\"65535\" t=\"true\" f=\"false\" >\n"
                       "<a raw=\"say \"hi\" & <go>\" wide=\"say &quot;hi&quot;&#x09;\xC3\xA9\" />\n"
                       "<b null=\"\" />\n"
                       "</root>\n");
}

TEST(XmlWriter, BlockBoundary)
{
    CXmlWriter w(false);
    const std::string block(CXmlWriter::kBlockSize - 1, 'x');
    w.Write(block.c_str());
    w.Write("y", 1);
    EXPECT_EQ(w.GetBlockCount(), 1u);
    EXPECT_EQ(w.GetSize(), CXmlWriter::kBlockSize);
    w.Write("z");
    EXPECT_EQ(w.GetBlockCount(), 2u);
    // A write spanning several blocks keeps the text in order.
    const std::string big(2 * CXmlWriter::kBlockSize + 10, 'q');
    w.Write(big.data(), static_cast<s64>(big.size()));
    EXPECT_EQ(w.GetBlockCount(), 4u);
    EXPECT_EQ(Text(w), block + "yz" + big);
}

TEST_F(XmlWriterFiles, SavesWithCrLf)
{
    CXmlWriter w(true);
    CXmlWriter::CElement profile(w, "Profile");
    profile.SetAttribute("name", u"A&B");
    profile.SetAttribute("sound_vol", 80);
    profile.Close();
    ASSERT_TRUE(w.SaveToFile(Path("p.prf")));
    EXPECT_EQ(m_Tmp.Read("p.prf"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                   "<Profile name=\"A&amp;B\" sound_vol=\"80\" />\r\n");
    EXPECT_EQ(FileCount(), 1u);
}

TEST_F(XmlWriterFiles, SavesUnderNamesUpToTheFileNameLimit)
{
    CXmlWriter w(true);
    CXmlWriter::CElement profile(w, "Profile");
    profile.Close();
    for (size_t length : {200u, 245u, 250u, 255u}) {
        const std::string name = std::string(length - 4, 'p') + ".prf";
        ASSERT_TRUE(w.SaveToFile(Path(name))) << length;
        EXPECT_NE(m_Tmp.Read(name).find("<Profile />"), std::string::npos) << length;
        ASSERT_TRUE(w.SaveToFile(Path(name))) << "replacing, " << length;
    }
    EXPECT_EQ(FileCount(), 4u); // no temporary file left behind
}

TEST_F(XmlWriterFiles, FailedSaveKeepsTheOldFile)
{
    const std::string old = "<?xml?>\r\n<old />\r\n";
    m_Tmp.Write("p.prf", old);
    CXmlWriter w(true);
    const std::string big(3 * CXmlWriter::kBlockSize, 'n');
    w.Write(big.c_str());

    for (s64 failAfter : {s64(0), s64(1), s64(100000), s64(CXmlWriter::kBlockSize) * 2}) {
        lv::platform::SetAtomicWriteFailAfter(failAfter);
        EXPECT_FALSE(w.SaveToFile(Path("p.prf"))) << failAfter;
        EXPECT_EQ(m_Tmp.Read("p.prf"), old) << failAfter;
        EXPECT_EQ(FileCount(), 1u) << "temporary file left behind";
    }
    lv::platform::SetAtomicWriteFailAfter(-1);

    // A target folder that does not exist, and a target that is a folder.
    EXPECT_FALSE(w.SaveToFile(Path("missing/p.prf")));
    fs::create_directory(m_Tmp.Path() / "folder");
    EXPECT_FALSE(w.SaveToFile(Path("folder")));
    EXPECT_TRUE(fs::is_directory(m_Tmp.Path() / "folder"));
    EXPECT_EQ(FileCount(), 2u);

    ASSERT_TRUE(w.SaveToFile(Path("p.prf")));
    EXPECT_EQ(m_Tmp.Read("p.prf"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + big);
}

TEST_F(XmlWriterFiles, ReadOnlyFolderKeepsTheOldFile)
{
    const std::string old = "<old />\r\n";
    m_Tmp.Write("p.prf", old);
    fs::permissions(m_Tmp.Path(), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    if (std::ofstream(m_Tmp.Path() / "probe"))
        GTEST_SKIP() << "folder permissions are not enforced for this user";
    CXmlWriter w(true);
    CXmlWriter::CElement e(w, "new");
    e.Close();
    EXPECT_FALSE(w.SaveToFile(Path("p.prf")));
    EXPECT_EQ(m_Tmp.Read("p.prf"), old);
}

TEST_F(XmlWriterFiles, FailuresAreLoggedAsErrors)
{
    CTempFolder logs;
    CLog& log = CLog::Instance();
    log.Open(Utf8ToWide(logs / "log.lvlog").c_str());
    CXmlWriter w(true);
    EXPECT_FALSE(w.SaveToFile(Path("missing/p.prf")));
    lv::platform::SetAtomicWriteFailAfter(10);
    EXPECT_FALSE(w.SaveToFile(Path("p.prf")));
    log.Close();
    const std::string text = logs.Read("log.lvlog");
    EXPECT_NE(
        text.find("[xmlwriter][3]: Cannot open file to save (\"" + (m_Tmp / "missing/p.prf") + "\")\r\n"),
        std::string::npos)
        << text;
    EXPECT_NE(text.find("[xmlwriter][3]: Cannot write file to save (\"" + (m_Tmp / "p.prf") + "\")"),
              std::string::npos)
        << text;
}
