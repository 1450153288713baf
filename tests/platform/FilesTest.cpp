#include "platform/Files.h"

#include "platform/Clock.h"
#include "platform/MappedFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lv::platform;

namespace {

std::filesystem::path FreshFolder()
{
    const char* root = std::getenv("GAME_TEST_TMP");
    std::filesystem::path base = root && *root ? root : testing::TempDir();
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    auto dir = base / (std::string("platform-") + info->name() + "-" +
                       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(PlatformFiles, TextStreamsTranslateOnlyWrites)
{
    const auto dir = FreshFolder();
    const std::string path = (dir / "t.txt").string();
    FILE* f = OpenFile(path.c_str(), "w+");
    ASSERT_NE(f, nullptr);
    EXPECT_LT(fileno(f), 0); // a translating stream, not the plain file
    std::fputs("ab\ncd\n", f);
    EXPECT_TRUE(SyncFile(f));
    EXPECT_EQ(ReadAll(dir / "t.txt"), "ab\r\ncd\r\n");
    std::rewind(f);
    char buffer[16] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof(buffer), f), 8u);
    EXPECT_EQ(std::string(buffer, 8), "ab\r\ncd\r\n");
    EXPECT_EQ(std::fclose(f), 0);

    // Modes with 'b' and the runtime's 't' and encoding suffixes.
    f = OpenFile(path.c_str(), "ab");
    std::fputs("\n", f);
    EXPECT_GE(fileno(f), 0);
    EXPECT_TRUE(SyncFile(f));
    std::fclose(f);
    EXPECT_EQ(ReadAll(dir / "t.txt"), "ab\r\ncd\r\n\n");
    f = OpenFile(path.c_str(), "wt, ccs=UTF-8");
    ASSERT_NE(f, nullptr);
    std::fputs("x\n", f);
    std::fclose(f);
    EXPECT_EQ(ReadAll(dir / "t.txt"), "x\r\n");

    for (const char* bad : {"", "z", "+w"})
        EXPECT_EQ(OpenFile(path.c_str(), bad), nullptr) << bad;
    EXPECT_EQ(OpenFile((dir / "t.txt").string().c_str(), "wbx"), nullptr); // exists already
    std::filesystem::remove_all(dir);
}

TEST(PlatformFiles, FoldersAndMappings)
{
    const auto dir = FreshFolder();
    const std::string d = dir.string();
    EXPECT_EQ(MakeDirectory((d + "/sub").c_str()), EMakeDirResult::Created);
    EXPECT_EQ(MakeDirectory((d + "\\sub").c_str()), EMakeDirResult::Exists);
    EXPECT_EQ(MakeDirectory((d + "/no/sub").c_str()), EMakeDirResult::Failed);
    std::ofstream(dir / "file") << "12345";
    std::ofstream(dir / "empty");

    std::vector<SDirEntry> entries;
    ASSERT_TRUE(ReadDirectory(d.c_str(), entries));
    ASSERT_EQ(entries.size(), 3u);
    for (const auto& e : entries)
        EXPECT_EQ(e.IsDirectory, e.Name == "sub") << e.Name;
    EXPECT_FALSE(ReadDirectory((d + "/missing").c_str(), entries));

    u64 size = 0;
    EXPECT_TRUE(GetFileSize((d + "/file").c_str(), size));
    EXPECT_EQ(size, 5u);
    EXPECT_FALSE(GetFileSize((d + "/sub").c_str(), size));
    EXPECT_TRUE(IsDirectory((d + "/sub").c_str()));
    EXPECT_FALSE(IsDirectory((d + "/file").c_str()));

    u32 mapped = 0;
    const void* view = MapFileView((d + "/file").c_str(), mapped);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(mapped, 5u);
    EXPECT_EQ(std::string(static_cast<const char*>(view), 5), "12345");
    UnmapFileView(view, mapped);
    EXPECT_EQ(MapFileView((d + "/empty").c_str(), mapped), nullptr);
    EXPECT_EQ(MapFileView((d + "/sub").c_str(), mapped), nullptr);
    std::filesystem::remove_all(dir);
}

TEST(PlatformClock, TickCountAdvances)
{
    const u32 a = GetTickCountMs();
    const u32 b = GetTickCountMs();
    EXPECT_LT(b - a, 1000u);
}

// A second instance of the program opens the same log while the first still writes it: the first
// one's lines must survive, the second's are appended, and the file is emptied again only once
// nobody holds it.
TEST(PlatformFiles, OwnedLogIsNeverEmptiedUnderItsOwner)
{
    const auto dir = FreshFolder();
    const std::string path = (dir / "log.lvlog").string();
    {
        std::ofstream old(path);
        old << "previous run\n";
    }
    bool owned = false;
    FILE* first = OpenOwnedTextLog(path.c_str(), owned);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(owned);
    std::fputs("first\n", first);
    std::fflush(first);
    EXPECT_EQ(ReadAll(dir / "log.lvlog"), "first\r\n");

    FILE* second = OpenOwnedTextLog(path.c_str(), owned);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(owned);
    std::fputs("second\n", second);
    std::fclose(second);
    std::fputs("first again\n", first);
    std::fflush(first);
    EXPECT_EQ(ReadAll(dir / "log.lvlog"), "first\r\nsecond\r\nfirst again\r\n");
    std::fclose(first);

    FILE* next = OpenOwnedTextLog(path.c_str(), owned);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(owned);
    std::fclose(next);
    EXPECT_EQ(ReadAll(dir / "log.lvlog"), "");
    EXPECT_EQ(OpenOwnedTextLog((dir / "missing" / "log").string().c_str(), owned), nullptr);
}
