#include "core/CrashReport.h"

#include "core/Log.h"
#include "core/TextConvert.h"
#include "platform/CrashSignals.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace lv::core {
namespace {

void FlushLogBeforeReport()
{
    CLog::Instance().TryFlush();
}

// An exception that escaped every handler: its description goes into the report, then abort()
// raises SIGABRT, whose handler writes the report.
[[noreturn]] void OnTerminate()
{
    std::string note = "std::terminate called without an active exception";
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            note = std::string("uncaught exception: ") + e.what();
        } catch (...) {
            note = "uncaught exception of a type not derived from std::exception";
        }
    }
    lv::platform::SetCrashNote(note.c_str());
    CLog::Instance().Print("app", 3, "%s", note.c_str());
    std::fprintf(stderr, "%s\n", note.c_str());
    std::abort();
}

} // namespace

void InstallCrashHandler()
{
    // The log is made now: made first inside the signal handler, it would allocate there.
    CLog::Instance();
    lv::platform::InstallCrashSignalHandlers(&FlushLogBeforeReport);
    std::set_terminate(&OnTerminate);
}

void SetCrashDumpFolder(WStringView folder)
{
    const std::string path = WideToUtf8(folder);
    lv::platform::SetCrashDumpFolder(path.c_str());
}

} // namespace lv::core
