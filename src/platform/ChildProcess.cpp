#include "platform/ChildProcess.h"

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace lv::platform {

CChildProcess::~CChildProcess()
{
    if (m_Pid > 0) {
        Kill();
        SChildExit ignored;
        Wait(5000, ignored);
    }
}

bool CChildProcess::Start(Body body, void* context)
{
    if (m_Pid > 0 || !body)
        return false;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const s32 code = body(context);
        std::fflush(nullptr);
        ::_exit(code);
    }
    m_Pid = static_cast<s32>(pid);
    return true;
}

void CChildProcess::Kill()
{
    if (m_Pid > 0)
        ::kill(m_Pid, SIGKILL);
}

bool CChildProcess::Wait(s32 timeoutMs, SChildExit& exit)
{
    if (m_Pid <= 0)
        return false;
    for (s32 waited = 0;; waited += 5) {
        int status = 0;
        const pid_t done = ::waitpid(m_Pid, &status, WNOHANG);
        if (done == m_Pid) {
            exit = SChildExit();
            if (WIFEXITED(status)) {
                exit.Exited = true;
                exit.Code = WEXITSTATUS(status);
            } else if (WIFSIGNALED(status)) {
                exit.Signalled = true;
                exit.Signal = WTERMSIG(status);
            }
            m_Pid = -1;
            return true;
        }
        if (done < 0) {
            m_Pid = -1;
            return false;
        }
        if (waited >= timeoutMs)
            return false;
        struct timespec pause = {0, 5 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
}

s32 KillSignalNumber()
{
    return SIGKILL;
}

} // namespace lv::platform
