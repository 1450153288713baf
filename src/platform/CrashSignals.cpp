#include "platform/CrashSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

// Everything the handler does after a crash is async-signal-safe: no allocation, no locks, no
// stdio. Text is assembled by hand in fixed buffers and written with write(2).

namespace lv::platform {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kFolderCapacity = 4096;
constexpr size_t kNoteCapacity = 1024;
constexpr int kMaxFrames = 128;

std::atomic<CrashHook> g_BeforeReport{nullptr};
// The folder and the note are written by normal code and read by the handler. A sequence flag
// tells the handler whether a copy is complete; a half-written folder means no dump.
char g_Folder[kFolderCapacity];
std::atomic<bool> g_FolderValid{false};
std::atomic<long> g_UtcOffsetSeconds{0};
char g_Note[kNoteCapacity];
std::atomic<bool> g_NoteValid{false};
std::atomic<bool> g_Handling{false};
std::atomic<long> g_HandlingThread{0};
std::atomic<bool> g_ReportDone{false};
std::atomic<bool> g_Installed{false};
// Big enough for the back-trace machinery; SIGSTKSZ is no compile-time constant any more.
alignas(16) char g_AltStack[128 * 1024];

class CTextBuffer
{
public:
    void Append(const char* text)
    {
        while (text && *text && m_Length + 1 < sizeof(m_Data))
            m_Data[m_Length++] = *text++;
        m_Data[m_Length] = '\0';
    }
    void AppendUnsigned(u64 value, u32 base = 10, s32 minDigits = 1)
    {
        char digits[24];
        s32 n = 0;
        do {
            const u32 d = static_cast<u32>(value % base);
            digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
            value /= base;
        } while (value != 0 && n < 24);
        while (n < minDigits && n < 24)
            digits[n++] = '0';
        char text[25];
        for (s32 i = 0; i < n; ++i)
            text[i] = digits[n - 1 - i];
        text[n] = '\0';
        Append(text);
    }
    void AppendSigned(s64 value)
    {
        if (value < 0) {
            Append("-");
            AppendUnsigned(0 - static_cast<u64>(value));
        } else {
            AppendUnsigned(static_cast<u64>(value));
        }
    }
    void AppendHex(u64 value)
    {
        Append("0x");
        AppendUnsigned(value, 16, 1);
    }
    const char* Data() const { return m_Data; }
    size_t Length() const { return m_Length; }

private:
    char m_Data[kFolderCapacity + 256] = {};
    size_t m_Length = 0;
};

const char* SignalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "unknown signal";
    }
}

// What the signal's code says about the fault, for the codes the kernel sends with faults.
const char* CodeName(int sig, int code)
{
    if (code == SI_USER)
        return "sent by kill";
    if (code == SI_TKILL)
        return "sent by tkill";
    if (code == SI_QUEUE)
        return "sent by sigqueue";
    switch (sig) {
    case SIGSEGV:
        if (code == SEGV_MAPERR)
            return "address not mapped";
        if (code == SEGV_ACCERR)
            return "invalid permissions";
        break;
    case SIGBUS:
        if (code == BUS_ADRALN)
            return "invalid address alignment";
        if (code == BUS_ADRERR)
            return "nonexistent physical address";
        if (code == BUS_OBJERR)
            return "object-specific hardware error";
        break;
    case SIGFPE:
        if (code == FPE_INTDIV)
            return "integer divide by zero";
        if (code == FPE_INTOVF)
            return "integer overflow";
        if (code == FPE_FLTDIV)
            return "floating-point divide by zero";
        if (code == FPE_FLTOVF)
            return "floating-point overflow";
        if (code == FPE_FLTUND)
            return "floating-point underflow";
        if (code == FPE_FLTRES)
            return "floating-point inexact result";
        if (code == FPE_FLTINV)
            return "floating-point invalid operation";
        break;
    case SIGILL:
        if (code == ILL_ILLOPC)
            return "illegal opcode";
        if (code == ILL_PRVOPC)
            return "privileged opcode";
        break;
    default: break;
    }
    return "";
}

u64 InstructionPointer(void* context)
{
    if (!context)
        return 0;
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return static_cast<u64>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<u64>(uc->uc_mcontext.pc);
#elif defined(__i386__)
    return static_cast<u64>(uc->uc_mcontext.gregs[REG_EIP]);
#else
    (void)uc;
    return 0;
#endif
}

// Civil date from days since 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(s64 days, s32& year, s32& month, s32& day)
{
    days += 719468;
    const s64 era = (days >= 0 ? days : days - 146096) / 146097;
    const s64 doe = days - era * 146097;
    const s64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const s64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const s64 mp = (5 * doy + 2) / 153;
    day = static_cast<s32>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<s32>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<s32>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void WriteAllOrGiveUp(int fd, const char* data, size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        data += n;
        length -= static_cast<size_t>(n);
    }
}

void WriteReport(int sig, siginfo_t* info, void* context)
{
    if (!g_FolderValid.load(std::memory_order_acquire))
        return;

    struct timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    const s64 local = static_cast<s64>(now.tv_sec) + g_UtcOffsetSeconds.load();
    s64 days = local / 86400;
    s64 seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    s32 year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    const s32 hour = static_cast<s32>(seconds / 3600);
    const s32 minute = static_cast<s32>(seconds / 60 % 60);

    CTextBuffer path;
    path.Append(g_Folder);
    if (path.Length() > 0 && path.Data()[path.Length() - 1] != '/')
        path.Append("/");
    char name[64];
    FormatCrashDumpName(name, sizeof(name), year, month, day, hour, minute);
    path.Append(name);

    const int fd = ::open(path.Data(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;

    CTextBuffer text;
    text.Append("Crash report\n");
    text.Append("Signal: ");
    text.Append(SignalName(sig));
    text.Append(" (");
    text.AppendSigned(sig);
    text.Append(")");
    if (info) {
        text.Append(", code ");
        text.AppendSigned(info->si_code);
        const char* what = CodeName(sig, info->si_code);
        if (*what) {
            text.Append(": ");
            text.Append(what);
        }
    }
    text.Append("\n");
    const bool fault = info && info->si_code > 0 && sig != SIGABRT;
    text.Append("Fault address: ");
    if (fault)
        text.AppendHex(reinterpret_cast<u64>(info->si_addr));
    else
        text.Append("none");
    text.Append("\n");
    text.Append("Instruction: ");
    text.AppendHex(InstructionPointer(context));
    text.Append("\n");
    text.Append("Process: ");
    text.AppendSigned(::getpid());
    text.Append("\n");
    text.Append("Thread: ");
    text.AppendSigned(static_cast<s64>(::syscall(SYS_gettid)));
    text.Append("\n");
    text.Append("Time: ");
    text.AppendSigned(year);
    text.Append("-");
    text.AppendUnsigned(static_cast<u64>(month), 10, 2);
    text.Append("-");
    text.AppendUnsigned(static_cast<u64>(day), 10, 2);
    text.Append(" ");
    text.AppendUnsigned(static_cast<u64>(hour), 10, 2);
    text.Append(":");
    text.AppendUnsigned(static_cast<u64>(minute), 10, 2);
    text.Append(":");
    text.AppendUnsigned(static_cast<u64>(seconds % 60), 10, 2);
    text.Append("\n");
    if (g_NoteValid.load(std::memory_order_acquire)) {
        text.Append("Note: ");
        text.Append(g_Note);
        text.Append("\n");
    }
    text.Append("Back-trace:\n");
    WriteAllOrGiveUp(fd, text.Data(), text.Length());

    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    if (count > 0)
        ::backtrace_symbols_fd(frames, count, fd);
    static const char kEnd[] = "End of report\n";
    WriteAllOrGiveUp(fd, kEnd, sizeof(kEnd) - 1);
    ::fsync(fd);
    ::close(fd);
}

void RestoreDefault(int sig)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
}

void OnCrashSignal(int sig, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    // One report per process. A fault inside the handler itself goes straight to the default
    // action.
    const long thread = static_cast<long>(::syscall(SYS_gettid));
    if (!g_Handling.exchange(true)) {
        g_HandlingThread.store(thread);
        if (CrashHook hook = g_BeforeReport.load())
            hook();
        WriteReport(sig, info, context);
        g_ReportDone.store(true);
    } else if (g_HandlingThread.load() != thread) {
        // Another thread is writing the report: give it a moment to finish before this signal
        // ends the process.
        for (int i = 0; i < 200 && !g_ReportDone.load(); ++i) {
            struct timespec pause = {0, 10 * 1000 * 1000};
            ::nanosleep(&pause, nullptr);
        }
    }
    RestoreDefault(sig);
    errno = savedErrno;
    // The signal is blocked while its handler runs, so it is delivered with the default action
    // as soon as the handler returns. A fault that is not re-raised (a kernel-sent SIGSEGV) would
    // also recur when the faulting instruction runs again.
    ::raise(sig);
}

} // namespace

void InstallCrashSignalHandlers(CrashHook beforeReport)
{
    g_BeforeReport.store(beforeReport);
    if (g_Installed.exchange(true))
        return;

    // The first back-trace loads the unwinder library; doing it now keeps dlopen out of the
    // handler.
    void* warm[4];
    ::backtrace(warm, 4);

    stack_t stack = {};
    stack.ss_sp = g_AltStack;
    stack.ss_size = sizeof(g_AltStack);
    stack.ss_flags = 0;
    ::sigaltstack(&stack, nullptr);

    for (int sig : kSignals) {
        struct sigaction action = {};
        action.sa_sigaction = &OnCrashSignal;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        sigemptyset(&action.sa_mask);
        ::sigaction(sig, &action, nullptr);
    }
}

void SetCrashDumpFolder(const char* folder)
{
    g_FolderValid.store(false, std::memory_order_release);
    if (!folder || !*folder)
        return;
    const size_t length = std::strlen(folder);
    if (length >= kFolderCapacity)
        return; // a cut path would put the dump somewhere unexpected; better none
    std::memcpy(g_Folder, folder, length + 1);

    const time_t now = std::time(nullptr);
    struct tm local = {};
    if (::localtime_r(&now, &local))
        g_UtcOffsetSeconds.store(local.tm_gmtoff);
    g_FolderValid.store(true, std::memory_order_release);
}

void SetCrashNote(const char* text)
{
    g_NoteValid.store(false, std::memory_order_release);
    if (!text)
        return;
    size_t n = std::strlen(text);
    if (n >= kNoteCapacity)
        n = kNoteCapacity - 1;
    std::memcpy(g_Note, text, n);
    g_Note[n] = '\0';
    for (size_t i = 0; i < n; ++i) {
        if (g_Note[i] == '\n' || g_Note[i] == '\r')
            g_Note[i] = ' ';
    }
    g_NoteValid.store(true, std::memory_order_release);
}

size_t FormatCrashDumpName(char* buffer, size_t capacity, s32 year, s32 month, s32 day, s32 hour, s32 minute)
{
    if (!buffer || capacity == 0)
        return 0;
    CTextBuffer text;
    text.Append("crashdump-");
    text.AppendSigned(year);
    const s32 parts[] = {month, day, hour, minute};
    for (s32 part : parts) {
        text.Append("-");
        if (part < 0) {
            text.AppendSigned(part);
        } else {
            text.AppendUnsigned(static_cast<u64>(part), 10, 2);
        }
    }
    text.Append(".dmp");
    size_t n = text.Length();
    if (n >= capacity)
        n = capacity - 1;
    std::memcpy(buffer, text.Data(), n);
    buffer[n] = '\0';
    return n;
}

} // namespace lv::platform
