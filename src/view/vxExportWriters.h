#pragma once

// The writers of the formats other than VRML. Each fills and commits the
// files it is given, or leaves them uncommitted and reports why.
#include "vxAtomicFile.h"
#include "vxExportScene.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class vxModel;

namespace vxExport {

// Passes progress on every 64 parts and at the end.
struct Progress {
    std::function<void(std::size_t done, std::size_t total)> fn;
    void operator()(std::size_t done, std::size_t total) const
    {
        if (fn && (done % 64 == 0 || done == total))
            fn(done, total);
    }
};

// The bytes of the parts first to last - 1.
using MakeBlock = std::function<void(std::size_t first, std::size_t last, std::string& out)>;
// The parts in runs of about `triangles` triangles (whole parts): run k is
// bounds[k] to bounds[k + 1] - 1.
std::vector<std::size_t> partBlocks(const Scene& scene, std::uint64_t triangles);
// Makes runs of parts on helper threads, several at a time, and writes them
// to the file in order; memory holds a few runs, not the file. make must
// only read what it shares with the others.
void writeBlocks(const Scene& scene, const std::vector<std::size_t>& bounds, const MakeBlock& make,
                 vxAtomicFile& file, const Progress& progress);

vxWriteResult writeStl(const Scene& scene, vxAtomicFile& file, const Progress& progress);
// mtlName: the material file's name as the OBJ file refers to it.
vxWriteResult writeObj(const Scene& scene, const vxModel& model, vxAtomicFile& obj, vxAtomicFile& mtl,
                       const std::string& mtlName, const Progress& progress);
// binary: a .glb file; else a .gltf file with its buffer embedded.
vxWriteResult writeGltf(const Scene& scene, const vxModel& model, vxAtomicFile& file, bool binary,
                        const Progress& progress);

// The name of colour k of the scene in both material formats: colour1_FF8800.
std::string materialName(const Scene& scene, std::size_t k);

} // namespace vxExport
