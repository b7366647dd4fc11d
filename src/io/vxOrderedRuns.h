// Text made in runs on helper threads and handed on in order: formatting
// many items costs more than writing the bytes, so helpers make the next
// runs while one thread writes the earlier ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vxOrderedRuns {

// The bytes of the items (parts, say) first to last - 1, appended to out.
using MakeRun = std::function<void(std::size_t first, std::size_t last, std::string& out)>;
// Takes run k once it is made, on the calling thread, in order; false stops
// the work (no later run is handed on).
using TakeRun = std::function<bool(std::size_t run, const std::string& text)>;

// Items 0 to count - 1 in runs whose weights (1 each without weight) add
// up to about `size`, whole items: run k is bounds[k] to bounds[k + 1] - 1.
std::vector<std::size_t> blocks(std::size_t count, std::uint64_t size,
                                const std::function<std::uint64_t(std::size_t)>& weight = {});

// Makes the runs of bounds with make, one helper per usable processor (see
// vxProcessors; on one, or for one run, all on the calling thread), and
// hands them to take in order; memory holds a few runs, never all. make must only
// read what it shares with the others. An exception thrown by make reaches
// the caller once the helpers have stopped.
void makeInOrder(const std::vector<std::size_t>& bounds, const MakeRun& make, const TakeRun& take);

} // namespace vxOrderedRuns
