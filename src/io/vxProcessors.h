#pragma once

// How many threads work pays for: the processors this process may run on.
namespace vxProcessors {

// The processors in this thread's CPU affinity (what `taskset` or a
// container's CPU set allows), at least 1; the processors the system has
// when the affinity cannot be read. Every choice of a thread count goes by
// this, so that a program confined to one processor starts no helpers.
unsigned usable();

} // namespace vxProcessors
