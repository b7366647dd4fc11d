// Exports made in runs on helper threads while the file is written in order.
#include "vxExportWriters.h"

namespace vxExport {

std::vector<std::size_t> partBlocks(const Scene& scene, std::uint64_t triangles)
{
    return blocks(scene.parts.size(), triangles,
                  [&](std::size_t p) { return scene.meshes[scene.parts[p].mesh].usable; });
}

void writeBlocks(const std::vector<std::size_t>& bounds, const MakeBlock& make, vxAtomicFile& file,
                 const Progress& progress, const std::function<void(std::size_t run)>& afterRun)
{
    if (!file.ok())
        return;
    vxOrderedRuns::makeInOrder(bounds, make, [&](std::size_t k, const std::string& text) {
        file.write(text);
        if (afterRun)
            afterRun(k);
        if (progress.fn)
            progress.fn(bounds[k + 1], bounds.back());
        return file.ok();
    });
}

} // namespace vxExport
