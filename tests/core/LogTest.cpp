#include "core/Log.h"

#include "TempFolder.h"
#include "core/TextConvert.h"

#include <cstdio>
#include <sstream>
#include <thread>
#include <vector>

using lv::core::CLog;

namespace {

u32 g_Now = 0;
u32 FakeTicks()
{
    return g_Now;
}

WString Wide(const std::string& s)
{
    return Utf8ToWide(s);
}

} // namespace

TEST(Log, LinesHavePrefixAndCrLfAndNothingBeforeOpen)
{
    CTempFolder tmp;
    CLog log;
    log.SetTickSource(&FakeTicks);
    log.Print("app", 1, "dropped %d", 1);
    EXPECT_FALSE(log.IsOpen());

    g_Now = 5000;
    log.Open(Wide(tmp / "log.lvlog").c_str());
    g_Now = 6250;
    log.Print("app", 1, "app init...");
    log.Print("message", 1, "caption: %s\nmessage: %s", "Error", "x 5");
    log.Flush();
    EXPECT_EQ(tmp.Read("log.lvlog"), "[00:00:00:000][log][1]: log created\r\n"
                                     "[00:00:01:250][app][1]: app init...\r\n"
                                     "[00:00:01:250][message][1]: caption: Error\r\nmessage: x 5\r\n");
}

TEST(Log, PrefixFieldsAndClockWrap)
{
    struct
    {
        u32 Elapsed;
        const char* Expected;
    } cases[] = {
        {0, "[00:00:00:000][c][0]: "},
        {3723004, "[01:02:03:004][c][0]: "},
        {100u * 3600000u, "[100:00:00:000][c][0]: "},
        {0xFFFFFFFFu, "[1193:02:47:295][c][0]: "},
    };
    for (const auto& c : cases) {
        char buffer[64];
        const size_t n = CLog::FormatPrefix(buffer, sizeof(buffer), c.Elapsed, "c", 0);
        EXPECT_EQ(std::string(buffer, n), c.Expected);
    }

    // The tick count wraps between opening and printing.
    CTempFolder tmp;
    CLog log;
    log.SetTickSource(&FakeTicks);
    g_Now = 0xFFFFFF00u;
    log.Open(Wide(tmp / "wrap.lvlog").c_str());
    g_Now = 0x100;
    log.Print("core", 2, "late");
    log.Flush();
    EXPECT_NE(tmp.Read("wrap.lvlog").find("[00:00:00:512][core][2]: late\r\n"), std::string::npos);
}

TEST(Log, ErrorLinesReachTheFileAtOnce)
{
    CTempFolder tmp;
    CLog log;
    log.SetTickSource(&FakeTicks);
    g_Now = 1000;
    log.Open(Wide(tmp / "log.lvlog").c_str());
    log.Print("app", 2, "warning stays buffered");
    EXPECT_EQ(tmp.Read("log.lvlog").find("warning"), std::string::npos);
    log.Print("app", 3, "error %s", "now");
    const std::string disk = tmp.Read("log.lvlog");
    EXPECT_NE(disk.find("warning stays buffered\r\n"), std::string::npos);
    EXPECT_NE(disk.find("[app][3]: error now\r\n"), std::string::npos);
}

TEST(Log, OtherLinesReachTheFileWithinASecond)
{
    CTempFolder tmp;
    CLog log;
    log.SetTickSource(&FakeTicks);
    g_Now = 1000;
    log.Open(Wide(tmp / "log.lvlog").c_str());
    const auto onDisk = [&](const char* text) { return tmp.Read("log.lvlog").find(text) != std::string::npos; };

    g_Now = 1500;
    log.Print("app", 1, "first");
    log.FlushIfDue();
    EXPECT_FALSE(onDisk("first")) << "written out before a second had passed";
    g_Now = 1999;
    log.FlushIfDue();
    EXPECT_FALSE(onDisk("first"));
    g_Now = 2000;
    log.FlushIfDue(); // the frame loop's call: a second since the last write-out
    EXPECT_TRUE(onDisk("first"));

    g_Now = 2400;
    log.Print("app", 1, "second");
    EXPECT_FALSE(onDisk("second"));
    g_Now = 3000;
    log.Print("app", 0, "third"); // a line a second after the last write-out takes both along
    EXPECT_TRUE(onDisk("second"));
    EXPECT_TRUE(onDisk("third"));
}

TEST(Log, OpeningTheSameFileAgainStartsANewLog)
{
    CTempFolder tmp;
    CLog log;
    const WString path = Wide(tmp / "log.lvlog");
    log.Open(path.c_str());
    log.Print("app", 3, "old run");
    log.Open(path.c_str());
    log.Print("app", 3, "new run");
    const std::string disk = tmp.Read("log.lvlog");
    EXPECT_EQ(disk.find("old run"), std::string::npos) << disk;
    EXPECT_NE(disk.find("new run"), std::string::npos);
    log.Close();
    log.Open(path.c_str()); // after a close too
    EXPECT_EQ(tmp.Read("log.lvlog").find("new run"), std::string::npos);
}

TEST(Log, LongLinesAndUnopenableFile)
{
    CTempFolder tmp;
    CLog log;
    log.Open(Wide(tmp / "missing-folder/log.lvlog").c_str());
    EXPECT_FALSE(log.IsOpen());
    log.Print("app", 3, "nothing");

    log.Open(Wide(tmp / "log.lvlog").c_str());
    const std::string big(5000, 'x');
    log.Print("app", 3, "%s|", big.c_str());
    EXPECT_NE(tmp.Read("log.lvlog").find(big + "|\r\n"), std::string::npos);
}

TEST(Log, LinesFromManyThreadsStayWhole)
{
    CTempFolder tmp;
    CLog log;
    log.Open(Wide(tmp / "log.lvlog").c_str());
    constexpr int kThreads = 4, kLines = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            for (int i = 0; i < kLines; ++i)
                log.Print("worker", 1, "thread %d line %d end", t, i);
        });
    }
    for (auto& th : threads)
        th.join();
    log.Flush();

    std::istringstream in(tmp.Read("log.lvlog"));
    int count = 0;
    for (std::string s; std::getline(in, s); ++count) {
        unsigned h, m, sec, ms;
        int thread, index, used = 0;
        const bool created = std::sscanf(s.c_str(), "[%2u:%2u:%2u:%3u][log][1]: log created\r%n", &h, &m,
                                         &sec, &ms, &used) == 4;
        const bool worker = std::sscanf(s.c_str(), "[%2u:%2u:%2u:%3u][worker][1]: thread %d line %d end\r%n",
                                        &h, &m, &sec, &ms, &thread, &index, &used) == 6;
        ASSERT_TRUE((created || worker) && static_cast<size_t>(used) == s.size()) << s;
    }
    EXPECT_EQ(count, kThreads * kLines + 1);
}
