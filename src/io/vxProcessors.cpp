#include "vxProcessors.h"

#include <cerrno>
#include <cstddef>
#include <sched.h>
#include <thread>

namespace vxProcessors {

unsigned usable()
{
    // A set for more processors than cpu_set_t holds is asked for again,
    // bigger, as long as the system says it is too small.
    for (int processors = CPU_SETSIZE; processors <= (1 << 16); processors *= 2) {
        cpu_set_t* set = CPU_ALLOC(processors);
        if (!set)
            break;
        const std::size_t size = CPU_ALLOC_SIZE(processors);
        CPU_ZERO_S(size, set);
        const bool read = ::sched_getaffinity(0, size, set) == 0;
        const int count = read ? CPU_COUNT_S(size, set) : 0;
        CPU_FREE(set);
        if (read)
            return count > 0 ? static_cast<unsigned>(count) : 1u;
        if (errno != EINVAL)
            break;
    }
    const unsigned all = std::thread::hardware_concurrency();
    return all > 0 ? all : 1u;
}

} // namespace vxProcessors
