// Binary STL for 3D printing: every triangle of the exported parts in the
// model's own axes, in millimetres, with unit normals computed from the
// corners (a triangle without area gets the zero normal).
#include "vxExportScene.h"
#include "vxExportWriters.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace vxExport {

static_assert(std::endian::native == std::endian::little, "the writers put floats as they are in memory");

namespace {

constexpr std::size_t kRecord = 50;
constexpr float kMillimetres = 10.0f; // model units are centimetres

} // namespace

vxWriteResult writeStl(const Scene& scene, vxAtomicFile& file, const Progress& progress)
{
    if (scene.triangles > std::numeric_limits<std::uint32_t>::max())
        return {false, "cannot write " + file.path() + ": more triangles than a binary STL file can hold"};

    char header[80];
    std::memset(header, ' ', sizeof header);
    constexpr std::string_view kTitle = "Kolbrik Viewer STL export, millimetres, Y up";
    std::memcpy(header, kTitle.data(), kTitle.size());
    file.write(header, sizeof header);
    const auto count = static_cast<std::uint32_t>(scene.triangles);
    file.write(&count, 4);

    const auto make = [&scene](std::size_t first, std::size_t last, std::string& out) {
        for (std::size_t p = first; p < last; ++p) {
            const Part& part = scene.parts[p];
            const Mesh& mesh = scene.meshes[part.mesh];
            const bool allUsable = mesh.usable == mesh.triangles->size();
            // The placement in millimetres, in single precision as the view draws.
            float m[16];
            part.matrix->toArray(m);
            for (float& x : m)
                x *= kMillimetres;
            std::size_t at = out.size();
            out.resize(at + kRecord * mesh.usable);
            for (const vxVertice& tri : *mesh.triangles) {
                if (!allUsable && !usable(tri))
                    continue;
                float record[12];
                float* c = record + 3;
                for (const vxVector* v : {&tri.v1(), &tri.v2(), &tri.v3()}) {
                    const float x = v->x(), y = v->y(), z = v->z();
                    c[0] = m[0] * x + m[4] * y + m[8] * z + m[12];
                    c[1] = m[1] * x + m[5] * y + m[9] * z + m[13];
                    c[2] = m[2] * x + m[6] * y + m[10] * z + m[14];
                    c += 3;
                }
                // The unit normal of the corners as written (zero without area).
                const float u[3] = {record[6] - record[3], record[7] - record[4], record[8] - record[5]};
                const float v[3] = {record[9] - record[3], record[10] - record[4], record[11] - record[5]};
                const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                    u[0] * v[1] - u[1] * v[0]};
                const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                const bool flat = length > 0.0f && std::isfinite(length);
                for (int k = 0; k < 3; ++k)
                    record[k] = flat ? n[k] / length : 0.0f;
                std::memcpy(out.data() + at, record, sizeof record);
                out[at + 48] = 0;
                out[at + 49] = 0;
                at += kRecord;
            }
        }
    };
    writeBlocks(scene, partBlocks(scene, 21000), make, file, progress); // runs of over 1 MB
    return file.commit();
}

} // namespace vxExport
