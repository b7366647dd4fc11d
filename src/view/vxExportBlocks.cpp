// Formatting runs of parts on helper threads while the file is written in
// order: text formats cost more than the disk takes to write them.
#include "vxExportWriters.h"

#include <algorithm>
#include <deque>
#include <future>
#include <thread>

namespace vxExport {

std::vector<std::size_t> partBlocks(const Scene& scene, std::uint64_t triangles)
{
    std::vector<std::size_t> bounds = {0};
    std::uint64_t inBlock = 0;
    for (std::size_t p = 0; p < scene.parts.size(); ++p) {
        inBlock += scene.meshes[scene.parts[p].mesh].usable;
        if (inBlock >= triangles || p + 1 == scene.parts.size()) {
            bounds.push_back(p + 1);
            inBlock = 0;
        }
    }
    return bounds;
}

void writeBlocks(const Scene& scene, const std::vector<std::size_t>& bounds, const MakeBlock& make,
                 vxAtomicFile& file, const Progress& progress)
{
    // As many runs in the making as there are processors, and one more, so
    // that a processor is busy while the writer waits for the next run.
    const std::size_t ahead = std::max(1u, std::thread::hardware_concurrency()) + 1;
    const std::size_t blocks = bounds.size() - 1;
    std::deque<std::future<std::string>> pending;
    std::vector<std::string> spare; // texts written, kept for their memory
    std::size_t next = 0;
    for (std::size_t done = 0; done < blocks && file.ok(); ++done) {
        for (; next < blocks && pending.size() < ahead; ++next) {
            std::string text;
            if (!spare.empty()) {
                text = std::move(spare.back());
                spare.pop_back();
            }
            pending.push_back(
                std::async(std::launch::async, [&make, first = bounds[next], last = bounds[next + 1],
                                                out = std::move(text)]() mutable {
                    out.clear();
                    make(first, last, out);
                    return std::move(out);
                }));
        }
        spare.push_back(pending.front().get());
        pending.pop_front();
        file.write(spare.back());
        if (progress.fn)
            progress.fn(bounds[done + 1], scene.parts.size());
    }
    // Runs still in the making are waited for as their futures go.
}

} // namespace vxExport
