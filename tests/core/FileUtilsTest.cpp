#include "core/FileUtils.h"

#include "TempFolder.h"
#include "core/PathUtils.h"
#include "core/TextConvert.h"

using namespace lv::core;

namespace {

WString WidePath(const std::string& s)
{
    return Utf8ToWide(s);
}

} // namespace

TEST(FileUtils, OpenWriteTextAndBinary)
{
    CTempFolder tmp;
    FILE* f = FileOpenW(WidePath(tmp / "t.txt").c_str(), u"wt");
    ASSERT_NE(f, nullptr);
    std::fputs("a\nb\n", f);
    std::fprintf(f, "%s", std::string(10000, '\n').c_str());
    EXPECT_EQ(std::fclose(f), 0);
    EXPECT_EQ(
        tmp.Read("t.txt"), "a\r\nb\r\n" + [] {
            std::string s;
            for (int i = 0; i < 10000; ++i)
                s += "\r\n";
            return s;
        }());

    f = FileOpen((tmp / "b.bin").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("a\nb", f);
    std::fclose(f);
    EXPECT_EQ(tmp.Read("b.bin"), "a\nb");

    // Appending in text mode; reading is never translated.
    f = FileOpen((tmp / "b.bin").c_str(), "a");
    std::fputs("\n", f);
    std::fclose(f);
    f = FileOpenW(WidePath(tmp / "b.bin").c_str(), u"rt");
    char line[16] = {};
    ASSERT_NE(std::fgets(line, sizeof(line), f), nullptr);
    EXPECT_STREQ(line, "a\n");
    ASSERT_NE(std::fgets(line, sizeof(line), f), nullptr);
    EXPECT_STREQ(line, "b\r\n");
    std::fclose(f);

    // Backslashes in data paths work as separators.
    tmp.Write("sub/x.txt", "x");
    f = FileOpen((tmp.Path().string() + "\\sub\\x.txt").c_str(), "rb");
    EXPECT_NE(f, nullptr);
    if (f)
        std::fclose(f);
    EXPECT_EQ(FileOpen((tmp / "missing").c_str(), "rb"), nullptr);
    EXPECT_EQ(FileOpen((tmp / "x").c_str(), "q"), nullptr);
}

TEST(FileUtils, AccessDeleteExistsRename)
{
    CTempFolder tmp;
    tmp.Write("f.txt", "1");
    const WString f = WidePath(tmp / "f.txt");
    EXPECT_EQ(FileAccessW(f.c_str(), 0), 0);
    EXPECT_EQ(FileAccess((tmp / "f.txt").c_str(), 4), 0);
    EXPECT_EQ(FileAccess((tmp / "f.txt").c_str(), 6), 0);
    EXPECT_EQ(FileAccess((tmp / "f.txt").c_str(), 3), -1);
    EXPECT_EQ(FileAccess((tmp / "nope").c_str(), 0), -1);
    EXPECT_TRUE(FileExistsW(f.c_str()));
    EXPECT_TRUE(FileExists(WidePath(tmp.Path().string())));
    EXPECT_NE(FileDeleteW(WidePath(tmp.Path().string()).c_str()), 1); // never a folder

    const WString g = WidePath(tmp / "g.txt");
    EXPECT_TRUE(FileRenameW(f.c_str(), g.c_str()));
    EXPECT_FALSE(FileExistsW(f.c_str()));
    EXPECT_EQ(FileDeleteW(g.c_str()), 1);
    EXPECT_EQ(FileDeleteW(g.c_str()), 0);
    EXPECT_FALSE(FileExists(g));

    FILE* text = FileOpenW(g.c_str(), u"wt");
    std::fputs("x\n", text);
    EXPECT_TRUE(FileSyncToDisk(text));
    EXPECT_EQ(tmp.Read("g.txt"), "x\r\n");
    std::fclose(text);
}

TEST(FileUtils, CreateDirectoriesAndWorkingDirectory)
{
    CTempFolder tmp;
    const WString deep = WidePath(tmp / "a/b\\c/");
    EXPECT_TRUE(CreateDirectories(deep.c_str()));
    EXPECT_TRUE(FileExistsW(WidePath(tmp / "a/b/c").c_str()));
    EXPECT_FALSE(CreateDirectories(deep.c_str())); // existed already
    EXPECT_FALSE(CreateDirectories(WidePath(tmp / "a").c_str()));
    tmp.Write("file", "");
    EXPECT_FALSE(CreateDirectories(WidePath(tmp / "file/sub").c_str()));
    EXPECT_FALSE(CreateDirectories(u""));

    WChar before[255];
    ASSERT_TRUE(GetWorkingDirectory(before));
    EXPECT_TRUE(SetWorkingDirectory(WidePath(tmp / "a").c_str()));
    EXPECT_TRUE(CreateDirectories(u"rel/x"));
    EXPECT_TRUE(FileExistsW(WidePath(tmp / "a/rel/x").c_str()));
    EXPECT_FALSE(SetWorkingDirectory(u"missing"));
    EXPECT_TRUE(SetWorkingDirectory(before));
}

TEST(FileUtils, MaskMatching)
{
    struct
    {
        const char16_t* Name;
        const char16_t* Mask;
        bool Match;
    } cases[] = {
        {u"a.xml", u"*.xml", true},
        {u"A.XML", u"*.xml", true},
        {u"a.xmlx", u"*.xml", false},
        {u"README", u"*.*", true},
        {u"a.b.c", u"*.*", true},
        {u"README", u"*.", true},
        {u"a.txt", u"*.", false},
        {u"file", u"file.*", true},
        {u"file1.txt", u"file?.txt", true},
        {u"file.txt", u"file?.txt", false},
        {u"p01.xml", u"p*1.x?l", true},
        {u"x", u"y", false},
        {u"\u00e9t\u00e9.XML", u"\u00c9T\u00c9.xml", true},
        {u"", u"*", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesFileMask(c.Name, c.Mask), c.Match)
            << WideToUtf8(c.Name) << " " << WideToUtf8(c.Mask);
}

TEST(FileUtils, ListFilesSortedWithMaskFolder)
{
    CTempFolder tmp;
    for (const char* n : {"profiles/b.xml", "profiles/A.XML", "profiles/_c.xml", "profiles/c.txt",
                          "profiles/sub.xml/x", "profiles/noext"})
        tmp.Write(n, "x");
    const WString root = WidePath(tmp.Path().string());

    std::vector<WString> list{u"kept"};
    ListFiles(list, (root + u"/profiles/*.xml").c_str());
    EXPECT_EQ(list, (std::vector<WString>{u"kept", root + u"/profiles/A.XML", root + u"/profiles/b.xml",
                                          root + u"/profiles/sub.xml", root + u"/profiles/_c.xml"}));

    std::vector<WString> back;
    ListFiles(back, (root + u"\\profiles\\*.*").c_str());
    EXPECT_EQ(back.size(), 6u);
    EXPECT_EQ(back.back(), root + u"/profiles/_c.xml");

    std::vector<WString> none;
    ListFiles(none, (root + u"/profiles/*.png").c_str());
    ListFiles(none, (root + u"/missing/*.xml").c_str());
    ListFiles(none, (root + u"/profiles/").c_str());
    EXPECT_TRUE(none.empty());

    // A relative mask gives relative paths; a mask without a folder lists the working folder.
    WChar before[255];
    ASSERT_TRUE(GetWorkingDirectory(before));
    ASSERT_TRUE(SetWorkingDirectory(root.c_str()));
    std::vector<WString> rel;
    ListFilesNarrow(rel, "profiles/b.*");
    ListFiles(rel, u"profiles");
    EXPECT_EQ(rel, (std::vector<WString>{u"profiles/b.xml", u"profiles"}));
    EXPECT_TRUE(SetWorkingDirectory(before));
}

TEST(FileUtils, EnumerateDiskFilesSkipsFolders)
{
    CTempFolder tmp;
    for (const char* n : {"data/b.png", "data/a.xml", "data/noext", "data/sub/inner.xml"})
        tmp.Write(n, "x");
    WChar before[255];
    ASSERT_TRUE(GetWorkingDirectory(before));
    ASSERT_TRUE(SetWorkingDirectory(WidePath(tmp.Path().string()).c_str()));

    auto collect = [](const char* prefix) {
        std::vector<std::string> paths;
        EnumerateDiskFiles(
            prefix,
            [](void* user, const char* path) {
                static_cast<std::vector<std::string>*>(user)->push_back(path);
            },
            &paths);
        return paths;
    };
    const std::vector<std::string> expected{"data/a.xml", "data/b.png", "data/noext"};
    EXPECT_EQ(collect("data"), expected);
    EXPECT_EQ(collect("data/"), expected);
    EXPECT_EQ(collect("data\\"), expected);
    EXPECT_TRUE(collect("").empty());
    EXPECT_TRUE(collect("missing").empty());
    EXPECT_TRUE(SetWorkingDirectory(before));
}
