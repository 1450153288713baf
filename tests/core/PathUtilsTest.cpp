#include "core/PathUtils.h"

#include <gtest/gtest.h>

using namespace lv::core;

TEST(PathUtils, RemoveLastPathComponent)
{
    struct
    {
        const char16_t* In;
        bool Result;
        const char16_t* Out;
    } cases[] = {
        {u"a/b/c", true, u"a/b"},
        {u"a\\b\\c", true, u"a\\b"},
        {u"a\\b/c", true, u"a\\b"},
        {u"a/b\\", false, u"a/b\\"},
        {u"a/b/", false, u"a/b/"},
        {u"name", true, u""},
        {u"/name", true, u""},
        {u"ab", true, u""},
        {u"a", false, u"a"},
        {u"/", false, u"/"},
        {u"", false, u""},
        {u"//", false, u"//"},
        {u"profiles/*.xml", true, u"profiles"},
    };
    for (const auto& c : cases) {
        WChar buffer[kMaxPath];
        WString(c.In).copy(buffer, kMaxPath);
        buffer[WString(c.In).size()] = 0;
        EXPECT_EQ(RemoveLastPathComponent(buffer), c.Result) << WStringView(c.In).size();
        EXPECT_EQ(WString(buffer), WString(c.Out));
    }
}

TEST(PathUtils, JoinCombineAppend)
{
    struct
    {
        const char16_t* Folder;
        const char16_t* Name;
        const char16_t* Joined;
    } cases[] = {
        {u"D:\\a", u"b.xml", u"D:/a/b.xml"},
        {u"D:\\a\\", u"b.xml", u"D:/a/b.xml"},
        {u"/home/u", u"saves", u"/home/u/saves"},
        {u"/home/u/", u"\\saves", u"/home/u/saves"},
        {u"", u"b.xml", u"b.xml"},
        {u"a", u"", u"a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JoinPath(c.Folder, c.Name), WString(c.Joined));
        WChar buffer[kMaxPath];
        WString(c.Folder).copy(buffer, kMaxPath);
        buffer[WString(c.Folder).size()] = 0;
        EXPECT_TRUE(AppendPath(buffer, c.Name));
        EXPECT_EQ(WString(buffer), WString(c.Joined));
    }

    WChar out[kMaxPath];
    EXPECT_EQ(WString(CombinePath(out, u"/data", u"x/y.png")), u"/data/x/y.png");
    EXPECT_EQ(WString(CombinePath(out, u"/data", u"/abs/y.png")), u"/abs/y.png");
    EXPECT_EQ(CombinePath(out, nullptr, nullptr), nullptr);

    // A result that does not fit the buffer fails and leaves the path as it was.
    const WString longName(kMaxPath - 3, u'n');
    WChar path[kMaxPath] = u"ab";
    EXPECT_FALSE(AppendPath(path, longName.c_str()));
    EXPECT_EQ(WString(path), u"ab");
    EXPECT_EQ(CombinePath(out, u"ab", longName.c_str()), nullptr);
    EXPECT_EQ(JoinPath(u"ab", longName).size(), longName.size() + 3);
}

TEST(PathUtils, ExtensionFileNameRelative)
{
    struct
    {
        const char16_t* Path;
        const char16_t* Extension;
        const char16_t* FileName;
    } cases[] = {
        {u"a/b/c.png", u".png", u"c.png"},     {u"a\\b.d\\c", u"", u"c"},
        {u"c.tar.gz", u".gz", u"c.tar.gz"},    {u"a/b/", u"", u"b/"},
        {u"file.my ext", u"", u"file.my ext"}, {u"", u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WString(FindExtension(c.Path)), WString(c.Extension));
        EXPECT_EQ(WString(FindFileName(c.Path)), WString(c.FileName));
    }
    EXPECT_TRUE(IsRelativePath(u"a/b"));
    EXPECT_TRUE(IsRelativePath(u""));
    EXPECT_FALSE(IsRelativePath(u"/a"));
    EXPECT_FALSE(IsRelativePath(u"\\a"));
    EXPECT_EQ(PathToUtf8(u"a\\b/c\u00e9"), "a/b/c\xC3\xA9");
}
