#pragma once
// The program's diagnostic log: one text file to which every subsystem writes single lines
// tagged with the time since opening, a channel name and a level
// (0 trace, 1 information, 2 warning, 3 error). Nothing is filtered; level 3 and above reach
// the disk at once, and other lines at most a second after they were written (a line written
// a second or more after the last write-out goes out at once, and the frame loop calls
// FlushIfDue), so a killed process loses at most its last second.
#include "core/Types.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace lv::core {

class CLog
{
public:
    using TickSource = u32 (*)();

    // The process-wide log, created on first use without a file and never destroyed, so that
    // late lines at process exit are still safe.
    static CLog& Instance();

    CLog();
    ~CLog();
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // Opens (replacing) the file in text mode and writes "log created". While another process
    // holds the same file, its content is kept and this one's lines are appended. When it cannot be
    // opened the log stays closed and drops every line. A file already open is closed first.
    void Open(const WChar* path);
    bool IsOpen() const;

    void Print(const char* channel, s32 level, const char* format, ...) __attribute__((format(printf, 4, 5)));
    void PrintV(const char* channel, s32 level, const char* format, va_list args);
    // The same with a UTF-16 format for FormatWide ("%s" and "%ls" take UTF-16 text); the line
    // is written as UTF-8.
    void PrintW(const char* channel, s32 level, const WChar* format, ...);
    void PrintWV(const char* channel, s32 level, const WChar* format, va_list args);

    void Flush();
    // Writes buffered lines out when the last write-out is a second or more ago.
    void FlushIfDue();
    // Flushes unless another thread holds the log at this moment; for the crash handler, which
    // must never wait.
    void TryFlush();

    // Closes the file; later lines are dropped until the next Open.
    void Close();

    // "[hh:mm:ss:mmm][channel][level]: " for a time in milliseconds since opening; hours are
    // not limited to two digits. Returns the length written (cut to the buffer).
    static size_t FormatPrefix(char* buffer, size_t capacity, u32 elapsedMs, const char* channel, s32 level);

    // The millisecond clock the line times come from; tests replace it.
    void SetTickSource(TickSource source);

private:
    // Writes one whole line with a single call, so lines from several threads never mix.
    void WriteLine(const char* channel, s32 level, const char* text, size_t length);
    // Under the lock.
    void FlushLocked(u32 now);

    mutable std::mutex m_Lock;
    FILE* m_File = nullptr;
    u32 m_OpenTime = 0;
    u32 m_LastFlush = 0;
    bool m_Unflushed = false;
    TickSource m_Ticks;
};

} // namespace lv::core
