#pragma once
// Scheduling priority of the calling thread.

namespace lv::platform {

// Asks for the highest priority the system grants the calling thread (real-time round-robin,
// else a lower nice value). Returns false when the system refuses; the thread then keeps its
// priority, which callers accept.
bool RaiseCurrentThreadPriority();

} // namespace lv::platform
