#include "ContentTestSupport.h"
#include "core/FileSystem.h"
#include "core/MappedFile.h"

#include <gtest/gtest.h>

using namespace lv::core;
using lv::content::CPackWriter;

namespace {

std::string Load(CFileSystem& fs, const char* path)
{
    u32 size = 0;
    const u8* data = fs.LoadFile(path, &size);
    if (!data)
        return "<null>";
    std::string text(reinterpret_cast<const char*>(data), size);
    fs.FreeFile(data);
    return text;
}

std::vector<u8> Bytes(const std::string& s)
{
    return std::vector<u8>(s.begin(), s.end());
}

std::vector<std::string> Enumerate(const CFileSystem& fs, const char* prefix)
{
    std::vector<std::string> names;
    fs.EnumerateFiles(prefix, [](void* user, const char* name) {
        static_cast<std::vector<std::string>*>(user)->push_back(name);
    }, &names);
    return names;
}

// A working folder with game.pack (plain x.png and a de copy of it, plain p.txt),
// game2v1.pack (a de copy of p.txt, plain only2.txt) and loose disk files.
class FileSystemTest : public testing::Test
{
protected:
    FileSystemTest() : m_Cwd(m_Tmp.Path())
    {
        CPackWriter main;
        main.AddFile("x.png", "main x");
        main.AddLanguageFile("de", "x.png", Bytes("main de x"));
        main.AddFile("p.txt", "main p");
        main.AddFile("y.txt", "main y");
        main.AddFile("sounds/a.ogg", "a");
        WritePack(m_Tmp, "game.pack", main);

        CPackWriter second;
        second.AddLanguageFile("de", "p.txt", Bytes("second de p"));
        second.AddFile("only2.txt", "second only");
        second.AddFile("sounds/b.ogg", "b");
        WritePack(m_Tmp, "game2v1.pack", second);

        m_Tmp.Write("!langs/de/y.txt", "disk de y");
        m_Tmp.Write("!langs/de/d.txt", "disk de d");
        m_Tmp.Write("d.txt", "disk d");
        m_Tmp.Write("e.txt", "disk e");
        m_Tmp.Write("data/one.txt", "1");
        m_Tmp.Write("data/two.txt", "2");
    }

    CTempFolder m_Tmp;
    CWorkingFolder m_Cwd;
};

} // namespace

TEST_F(FileSystemTest, LookupOrderPacksInNameOrderThenDiskLanguageCopyThenDisk)
{
    CFileSystem fs("de");
    ASSERT_TRUE(fs.IsOverlayOn());
    ASSERT_TRUE(fs.MountPack("game2v1.pack"));
    ASSERT_TRUE(fs.MountPack("game.pack"));

    const struct
    {
        const char* path;
        const char* expected;
    } cases[] = {
        {"x.png", "main de x"},       // the pack's own language copy first
        {"p.txt", "main p"},          // a plain entry in game.pack beats a de copy in game2v1.pack
        {"only2.txt", "second only"}, // later packs are searched too
        {"y.txt", "main y"},          // any pack entry beats a disk language copy
        {"d.txt", "disk de d"},       // disk language copy beats the plain disk file
        {"e.txt", "disk e"},
        {"missing.txt", "<null>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(fs, c.path), c.expected) << c.path;

    CFileSystem plain("");
    EXPECT_FALSE(plain.IsOverlayOn());
    ASSERT_TRUE(plain.MountPack("game.pack"));
    ASSERT_TRUE(plain.MountPack("game2v1.pack"));
    EXPECT_EQ(Load(plain, "x.png"), "main x");
    EXPECT_EQ(Load(plain, "d.txt"), "disk d");
}

TEST_F(FileSystemTest, FreeingKeepsPackDataAndReleasesDiskMappings)
{
    CFileSystem fs("de");
    ASSERT_TRUE(fs.MountPack("game.pack"));
    u32 size = 0;
    const u8* packData = fs.LoadFile("p.txt", &size);
    ASSERT_NE(packData, nullptr);
    EXPECT_EQ(fs.GetLoadedSize(packData), size);
    fs.FreeFile(packData);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(packData), size), "main p");
    EXPECT_EQ(Load(fs, "p.txt"), "main p");

    const u8* diskData = fs.LoadFile("e.txt", &size);
    ASSERT_NE(diskData, nullptr);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(fs.GetLoadedSize(diskData), 6u);
    fs.FreeFile(diskData);
    EXPECT_EQ(GetMappedFileSize(diskData), 0u);

    int local = 0;
    EXPECT_EQ(fs.GetLoadedSize(&local), 0u);
    fs.FreeFile(&local); // ignored
    fs.FreeFile(nullptr);
}

TEST_F(FileSystemTest, ExistenceAndLocalizedFiles)
{
    for (const char* code : {"de", ""}) {
        CFileSystem fs(code);
        ASSERT_TRUE(fs.MountPack("game.pack"));
        EXPECT_FALSE(fs.FileExists("missing.txt")) << code;
        EXPECT_TRUE(fs.FileExists("x.png")) << code;
        EXPECT_TRUE(fs.FileExists("e.txt")) << code;
    }
    CFileSystem de("de");
    ASSERT_TRUE(de.MountPack("game.pack"));
    EXPECT_TRUE(de.FileExists("d.txt"));
    EXPECT_TRUE(de.HasLocalizedFile("x.png")); // in the pack
    EXPECT_TRUE(de.HasLocalizedFile("y.txt")); // on disk
    EXPECT_FALSE(de.HasLocalizedFile("e.txt"));
    CFileSystem off("");
    ASSERT_TRUE(off.MountPack("game.pack"));
    EXPECT_FALSE(off.HasLocalizedFile("x.png"));
}

TEST_F(FileSystemTest, EmptyLanguageCodeNeverTriesLanguageFolders)
{
    m_Tmp.Write("!langs/z.txt", "reachable only as !langs//z.txt");
    CFileSystem fs("");
    EXPECT_EQ(Load(fs, "z.txt"), "<null>");
    EXPECT_FALSE(fs.FileExists("z.txt"));
}

TEST_F(FileSystemTest, LanguageCopyPathThatDoesNotFitIsSkippedNotCut)
{
    // "!langs/de/" + 251 characters needs 262 bytes: more than the 260-byte path buffer. A cut
    // path would name the file written here under the language folder.
    const std::string folder(100, 'f');
    const std::string name(150, 'n');
    const std::string path = folder + "/" + name;
    const std::string cut = ("!langs/de/" + path).substr(0, 259);
    m_Tmp.Write(cut, "cut");
    m_Tmp.Write(path, "plain");
    CFileSystem fs("de");
    EXPECT_EQ(Load(fs, path.c_str()), "plain");
    EXPECT_FALSE(fs.HasLocalizedFile(path.c_str()));

    // Just fitting: 259 characters are tried.
    const std::string fitting = folder + "/" + std::string(148, 'm');
    m_Tmp.Write("!langs/de/" + fitting, "de copy");
    m_Tmp.Write(fitting, "plain");
    EXPECT_EQ(Load(fs, fitting.c_str()), "de copy");
}

TEST_F(FileSystemTest, MountingAndUnmounting)
{
    CFileSystem fs("de");
    EXPECT_FALSE(fs.IsPackMounted("game.pack"));
    ASSERT_TRUE(fs.MountPack("game.pack"));
    EXPECT_TRUE(fs.MountPack("game.pack"));
    EXPECT_TRUE(fs.IsPackMounted("game.pack"));
    EXPECT_FALSE(fs.MountPack("game3v1.pack")); // missing
    EXPECT_FALSE(fs.IsPackMounted("game3v1.pack"));

    m_Tmp.Write("broken.pack", "LVP\x01 not a pack at all");
    {
        CLogCapture log(m_Tmp);
        EXPECT_FALSE(fs.MountPack("broken.pack"));
        EXPECT_TRUE(log.Contains("[gamepack][3]: game.pack is invalid\r\n"));
    }
    EXPECT_FALSE(fs.IsPackMounted("broken.pack"));

    fs.UnmountPack("game5.pack"); // not mounted: nothing happens
    EXPECT_EQ(Load(fs, "x.png"), "main de x");
    fs.UnmountPack("game.pack");
    EXPECT_FALSE(fs.IsPackMounted("game.pack"));
    EXPECT_EQ(Load(fs, "x.png"), "<null>");
    EXPECT_EQ(Load(fs, "e.txt"), "disk e");
}

TEST_F(FileSystemTest, OffsetsAndStreamsComeOnlyFromPacks)
{
    CFileSystem fs("de");
    ASSERT_TRUE(fs.MountPack("game.pack"));
    u32 size = 0;
    const s64 offset = fs.GetFileOffset("x.png", size);
    ASSERT_GT(offset, 0);
    EXPECT_EQ(size, 9u); // the de copy
    EXPECT_EQ(fs.GetFileOffset("e.txt", size), -1);
    s64 streamOffset = 0;
    FILE* stream = fs.OpenFileStream("x.png", streamOffset, size);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(streamOffset, offset);
    std::fclose(stream);
    EXPECT_EQ(fs.OpenFileStream("e.txt", streamOffset, size), nullptr);
}

TEST_F(FileSystemTest, EnumerationListsPacksOrTheDiskFolder)
{
    CFileSystem fs("de");
    EXPECT_TRUE(Enumerate(fs, "").empty());
    EXPECT_EQ(Enumerate(fs, "data"), (std::vector<std::string>{"data/one.txt", "data/two.txt"}));

    ASSERT_TRUE(fs.MountPack("game.pack"));
    ASSERT_TRUE(fs.MountPack("game2v1.pack"));
    EXPECT_EQ(Enumerate(fs, "sounds/"), (std::vector<std::string>{"sounds/a.ogg", "sounds/b.ogg"}));
    EXPECT_TRUE(Enumerate(fs, "data").empty()); // disk is not listed while a pack is mounted
    EXPECT_EQ(Enumerate(fs, "").size(), 8u);
    EXPECT_EQ(Enumerate(fs, "!langs/de/"), (std::vector<std::string>{"!langs/de/x.png", "!langs/de/p.txt"}));
}

TEST_F(FileSystemTest, UnmountWaitsForThePrefetchOfThatPack)
{
    CPackWriter big;
    big.AddFile("big.bin", std::vector<u8>(16u << 20, 1));
    WritePack(m_Tmp, "game4.pack", big);
    CFileSystem fs("");
    fs.EnablePrefetch();
    ASSERT_TRUE(fs.MountPack("game4.pack"));
    fs.UnmountPack("game4.pack");
    EXPECT_FALSE(fs.IsPackMounted("game4.pack"));
}

TEST_F(FileSystemTest, EmptyEntriesAnywhereInAPackAreOwnedAndEmpty)
{
    // "a" sorts first, "m" in the middle and "zz" last, where the builder gives the empty entry
    // the pack's size as its offset.
    // The filler makes the image exactly two pages, so that the end of its mapping can be the
    // start of the next one.
    const auto makeWriter = [](size_t filler) {
        CPackWriter writer;
        writer.AddFile("a.txt", "");
        writer.AddFile("b.txt", "bee");
        writer.AddFile("m.txt", "");
        writer.AddFile("n.bin", std::vector<u8>(filler, 'n'));
        writer.AddFile("zz.txt", "");
        return writer;
    };
    const size_t overhead = makeWriter(0).Build().size();
    const CPackWriter writer = makeWriter(8192 - overhead);
    ASSERT_EQ(writer.Build().size(), 8192u);
    WritePack(m_Tmp, "empty.pack", writer);
    m_Tmp.Write("disk.bin", std::string(4096, 'd'));

    CFileSystem fs("");
    // A disk mapping made before the pack is likely to start right where the pack's mapping ends.
    u32 diskSize = 0;
    const u8* disk = fs.LoadFile("disk.bin", &diskSize);
    ASSERT_NE(disk, nullptr);
    ASSERT_TRUE(fs.MountPack("empty.pack"));

    for (const char* name : {"a.txt", "m.txt", "zz.txt"}) {
        u32 size = 1;
        const u8* data = fs.LoadFile(name, &size);
        ASSERT_NE(data, nullptr) << name;
        EXPECT_EQ(size, 0u) << name;
        EXPECT_EQ(fs.GetLoadedSize(data), 0u) << name;
        EXPECT_NE(data, disk) << name;
        fs.FreeFile(data);
        EXPECT_EQ(fs.GetLoadedSize(disk), 4096u) << name << " freed another file's mapping";
    }
    EXPECT_EQ(Load(fs, "b.txt"), "bee");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(disk), diskSize), std::string(4096, 'd'));
    fs.FreeFile(disk);
}
