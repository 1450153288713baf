#include "platform/ThreadPriority.h"

#include <initializer_list>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lv::platform {

bool RaiseCurrentThreadPriority()
{
    // Real-time scheduling needs a privilege or an rtprio limit; ordinary users usually lack it.
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_RR);
    if (param.sched_priority > 0 && pthread_setschedparam(pthread_self(), SCHED_RR, &param) == 0)
        return true;
    // On Linux a nice value set through the thread id applies to that thread alone. Lowering it
    // needs a privilege or a nice limit too; try a few steps from the strongest.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    for (int nice : {-20, -10, -5, -1})
        if (setpriority(PRIO_PROCESS, tid, nice) == 0)
            return true;
    return false;
}

} // namespace lv::platform
