#include "framework/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

void RaiseCurrentThreadPriority() {
    // On Linux a nice value belongs to a thread, named by its kernel id. The highest priority
    // of ordinary scheduling is used rather than a real-time policy, so that a thread that
    // never sleeps can slow the rest of the machine but never freeze it. A refusal (no
    // privilege) leaves the thread as it was, which is fine.
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -20);
}
