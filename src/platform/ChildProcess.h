#pragma once
// Running a function in a forked copy of the process, for checks that need a second process
// (single-instance locking, crashes). The child never returns into the caller's code: it ends
// with the function's result as its exit code.
#include "core/Types.h"

namespace lv::platform {

struct SChildExit
{
    bool Exited = false;   // ended by exit with Code
    s32 Code = 0;
    bool Signalled = false; // killed by Signal
    s32 Signal = 0;
};

class CChildProcess
{
public:
    using Body = s32 (*)(void* context);

    CChildProcess() = default;
    // Kills and reaps a child still running.
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    bool Start(Body body, void* context);
    bool IsRunning() const { return m_Pid > 0; }
    // Ends the child at once (SIGKILL); it cannot clean anything up.
    void Kill();
    // Waits up to the time for the child to end; false when it is still running.
    bool Wait(s32 timeoutMs, SChildExit& exit);

private:
    s32 m_Pid = -1;
};

// The number of SIGKILL, for comparing with SChildExit::Signal.
s32 KillSignalNumber();

} // namespace lv::platform
