#include "core/CrashReport.h"

#include "TempFolder.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/CrashSignals.h"

#include <csignal>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

// Reads through the address as the machine would, without the sanitizers' own checks, so that
// the child dies by the signal itself. Outside the anonymous namespace, so the back-trace can
// name it.
__attribute__((noinline, no_sanitize("address", "undefined"))) int CrashTestReadFrom(std::uintptr_t address)
{
    return *reinterpret_cast<volatile int*>(address);
}

namespace {

volatile std::uintptr_t g_BadAddress = 0;

void ThrowOut()
{
    throw std::runtime_error("the bridge is out");
}

// An exception leaving a noexcept function ends the program through std::terminate.
void LetExceptionEscape() noexcept
{
    ThrowOut();
}

void CrashWithFolder(const std::string& folder, std::uintptr_t address)
{
    lv::core::InstallCrashHandler();
    lv::core::SetCrashDumpFolder(Utf8ToWide(folder));
    lv::core::CLog::Instance().Open(Utf8ToWide(folder + "/log.lvlog").c_str());
    // Level 1 is not flushed by itself: it reaches the file only through the crash handler.
    lv::core::CLog::Instance().Print("app", 1, "before the crash");
    g_BadAddress = address;
    CrashTestReadFrom(g_BadAddress);
}

std::vector<std::filesystem::path> DumpFiles(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> dumps;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("crashdump-", 0) == 0 && entry.path().extension() == ".dmp")
            dumps.push_back(entry.path());
    }
    return dumps;
}

// "crashdump-" digits "-" two digits four times ".dmp".
bool IsDumpName(const std::string& name)
{
    const std::string prefix = "crashdump-";
    if (name.rfind(prefix, 0) != 0 || name.size() < prefix.size() + 4 + 12 + 4)
        return false;
    const std::string tail = name.substr(name.size() - 16);
    for (size_t i = 0; i < 12; ++i) {
        const char c = tail[i];
        if (i % 3 == 0 ? c != '-' : (c < '0' || c > '9'))
            return false;
    }
    return tail.substr(12) == ".dmp";
}

} // namespace

TEST(CrashReport, DumpNameFollowsTheLocalDateAndTime)
{
    struct SCase
    {
        s32 Year, Month, Day, Hour, Minute;
        const char* Name;
    };
    const SCase cases[] = {
        {2014, 7, 9, 13, 5, "crashdump-2014-07-09-13-05.dmp"},
        {2026, 12, 31, 0, 0, "crashdump-2026-12-31-00-00.dmp"},
        {999, 1, 1, 23, 59, "crashdump-999-01-01-23-59.dmp"},
    };
    for (const SCase& c : cases) {
        char name[64];
        const size_t n = lv::platform::FormatCrashDumpName(name, sizeof(name), c.Year, c.Month, c.Day, c.Hour,
                                                           c.Minute);
        EXPECT_STREQ(name, c.Name);
        EXPECT_EQ(n, std::strlen(c.Name));
    }
    char small[12];
    EXPECT_EQ(lv::platform::FormatCrashDumpName(small, sizeof(small), 2014, 7, 9, 13, 5), 11u);
    EXPECT_STREQ(small, "crashdump-2");
}

TEST(CrashReportDeathTest, NullReadWritesDumpWithBackTraceAndDiesBySigsegv)
{
    CTempFolder tmp;
    const std::string folder = tmp.Path().string();
    EXPECT_EXIT(CrashWithFolder(folder, 0), testing::KilledBySignal(SIGSEGV), "");

    const auto dumps = DumpFiles(tmp.Path());
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_TRUE(IsDumpName(dumps[0].filename().string())) << dumps[0];
    const std::string report = tmp.Read(dumps[0].filename().string());
    EXPECT_NE(report.find("Signal: SIGSEGV (11)"), std::string::npos) << report;
    EXPECT_NE(report.find("address not mapped"), std::string::npos) << report;
    EXPECT_NE(report.find("Fault address: 0x0\n"), std::string::npos) << report;
    EXPECT_NE(report.find("\nThread: "), std::string::npos) << report;
    const size_t trace = report.find("Back-trace:\n");
    ASSERT_NE(trace, std::string::npos) << report;
    // Every frame is a line with its address in brackets; the crashing function is among them,
    // by name, since the program exports its symbols.
    EXPECT_NE(report.find("[0x", trace), std::string::npos) << report;
    EXPECT_NE(report.find("CrashTestReadFrom", trace), std::string::npos) << report;
    EXPECT_NE(report.find("End of report\n"), std::string::npos) << report;

    // The log was flushed before the report.
    EXPECT_NE(tmp.Read("log.lvlog").find("before the crash"), std::string::npos);
}

TEST(CrashReportDeathTest, FaultAddressIsReported)
{
    CTempFolder tmp;
    const std::string folder = tmp.Path().string();
    EXPECT_EXIT(CrashWithFolder(folder, 0x10), testing::KilledBySignal(SIGSEGV), "");
    const auto dumps = DumpFiles(tmp.Path());
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_NE(tmp.Read(dumps[0].filename().string()).find("Fault address: 0x10\n"), std::string::npos);
}

TEST(CrashReportDeathTest, NoDumpWithoutApplicationFolder)
{
    CTempFolder tmp;
    const std::string folder = tmp.Path().string();
    EXPECT_EXIT(
        {
            lv::core::InstallCrashHandler();
            lv::core::SetCrashDumpFolder(Utf8ToWide(folder));
            lv::core::SetCrashDumpFolder(u"");
            g_BadAddress = 0;
            CrashTestReadFrom(g_BadAddress);
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_TRUE(DumpFiles(tmp.Path()).empty());
}

TEST(CrashReportDeathTest, UncaughtExceptionIsNamedAndEndsBySigabrt)
{
    CTempFolder tmp;
    const std::string folder = tmp.Path().string();
    EXPECT_EXIT(
        {
            lv::core::InstallCrashHandler();
            lv::core::SetCrashDumpFolder(Utf8ToWide(folder));
            LetExceptionEscape();
        },
        testing::KilledBySignal(SIGABRT), "uncaught exception: the bridge is out");
    const auto dumps = DumpFiles(tmp.Path());
    ASSERT_EQ(dumps.size(), 1u);
    const std::string report = tmp.Read(dumps[0].filename().string());
    EXPECT_NE(report.find("Signal: SIGABRT (6)"), std::string::npos) << report;
    EXPECT_NE(report.find("Note: uncaught exception: the bridge is out\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Fault address: none\n"), std::string::npos) << report;
}
