#pragma once

// The writers of the formats other than VRML. Each fills and commits the
// files it is given, or leaves them uncommitted and reports why.
#include "vxAtomicFile.h"
#include "vxExportScene.h"

#include <cstddef>
#include <functional>
#include <string>

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
