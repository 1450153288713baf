#include "core/Log.h"

#include "core/PathUtils.h"
#include "core/TextConvert.h"
#include "core/ValueFormat.h"
#include "platform/Clock.h"
#include "platform/Files.h"

#include <string>

namespace lv::core {

namespace {

constexpr u32 kFlushIntervalMs = 1000;

} // namespace

CLog& CLog::Instance()
{
    static CLog* const s_Log = new CLog;
    return *s_Log;
}

CLog::CLog() : m_Ticks(&lv::platform::GetTickCountMs) {}

CLog::~CLog()
{
    Close();
}

void CLog::Open(const WChar* path)
{
    // The running instance owns the file; a second instance that starts only to hand over to it
    // appends instead of wiping the first one's log. The file open now is closed first: its lock
    // would make this process look like another instance when the same file is opened again.
    {
        std::lock_guard<std::mutex> lock(m_Lock);
        if (m_File)
            std::fclose(m_File);
        m_File = nullptr;
        bool owned = false;
        m_File = path ? lv::platform::OpenOwnedTextLog(PathToUtf8(WStringView(path)).c_str(), owned) : nullptr;
        m_OpenTime = m_Ticks();
        m_LastFlush = m_OpenTime;
        m_Unflushed = false;
    }
    Print("log", 1, "log created");
}

bool CLog::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_File != nullptr;
}

void CLog::Print(const char* channel, s32 level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintV(channel, level, format, args);
    va_end(args);
}

void CLog::PrintV(const char* channel, s32 level, const char* format, va_list args)
{
    if (!IsOpen() || !format)
        return;
    char small[1024];
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (n < 0)
        return;
    if (static_cast<size_t>(n) < sizeof(small)) {
        WriteLine(channel, level, small, static_cast<size_t>(n));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(big.data(), big.size(), format, args);
    WriteLine(channel, level, big.data(), static_cast<size_t>(n));
}

void CLog::PrintW(const char* channel, s32 level, const WChar* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintWV(channel, level, format, args);
    va_end(args);
}

void CLog::PrintWV(const char* channel, s32 level, const WChar* format, va_list args)
{
    if (!IsOpen() || !format)
        return;
    // The wide formatter only cuts, so grow the buffer while the text fills it.
    constexpr size_t kMaxLine = 1u << 20;
    WString buffer(1024, u'\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const size_t n = FormatWideV(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n + 1 < buffer.size() || buffer.size() >= kMaxLine) {
            buffer.resize(n);
            break;
        }
        buffer.assign(buffer.size() * 4, u'\0');
    }
    const std::string text = WideToUtf8(buffer);
    WriteLine(channel, level, text.data(), text.size());
}

void CLog::WriteLine(const char* channel, s32 level, const char* text, size_t length)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_File)
        return;
    char prefix[256];
    const u32 now = m_Ticks();
    const size_t p = FormatPrefix(prefix, sizeof(prefix), now - m_OpenTime, channel, level);
    std::string line;
    line.reserve(p + length + 1);
    line.append(prefix, p);
    line.append(text, length);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), m_File);
    m_Unflushed = true;
    if (level >= 3 || now - m_LastFlush >= kFlushIntervalMs)
        FlushLocked(now);
}

void CLog::FlushLocked(u32 now)
{
    std::fflush(m_File);
    m_LastFlush = now;
    m_Unflushed = false;
}

void CLog::Flush()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_File)
        FlushLocked(m_Ticks());
}

void CLog::FlushIfDue()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_File || !m_Unflushed)
        return;
    const u32 now = m_Ticks();
    if (now - m_LastFlush >= kFlushIntervalMs)
        FlushLocked(now);
}

void CLog::TryFlush()
{
    std::unique_lock<std::mutex> lock(m_Lock, std::try_to_lock);
    if (lock.owns_lock() && m_File)
        std::fflush(m_File);
}

void CLog::Close()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_File)
        std::fclose(m_File);
    m_File = nullptr;
}

size_t CLog::FormatPrefix(char* buffer, size_t capacity, u32 elapsedMs, const char* channel, s32 level)
{
    if (capacity == 0)
        return 0;
    const u32 e = elapsedMs;
    const int n = std::snprintf(buffer, capacity, "[%02u:%02u:%02u:%03u][%s][%i]: ", e / 3600000u,
                                e / 60000u % 60u, e / 1000u % 60u, e % 1000u, channel ? channel : "", level);
    if (n < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < capacity ? static_cast<size_t>(n) : capacity - 1;
}

void CLog::SetTickSource(TickSource source)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Ticks = source ? source : &lv::platform::GetTickCountMs;
}

} // namespace lv::core
