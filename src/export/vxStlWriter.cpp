// Binary STL for 3D printing: every triangle of the exported parts in
// millimetres, with z up as 3D printing tools take it (or in the model's own
// axes, y up), with unit normals computed from the
// corners as written (a triangle without area gets the zero normal), as the
// programs that check them compute them. Corners and normals are made four
// floats at a time.
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

// A column of the placement, or a point or direction with a spare fourth
// float: the compiler keeps it in one vector register.
using Column = float __attribute__((vector_size(16)));

Column column(const float* f)
{
    Column c;
    std::memcpy(&c, f, sizeof c);
    return c;
}

// The cross product of a and b, from lanes turned round.
Column cross(Column a, Column b)
{
    const Column ayzx = __builtin_shufflevector(a, a, 1, 2, 0, 3),
                 azxy = __builtin_shufflevector(a, a, 2, 0, 1, 3);
    const Column byzx = __builtin_shufflevector(b, b, 1, 2, 0, 3),
                 bzxy = __builtin_shufflevector(b, b, 2, 0, 1, 3);
    return ayzx * bzxy - azxy * byzx;
}

} // namespace

vxWriteResult writeStl(const Scene& scene, vxAtomicFile& file, bool zUp, const Progress& progress)
{
    if (scene.triangles > std::numeric_limits<std::uint32_t>::max())
        return {false, "cannot write " + file.path() + ": more triangles than a binary STL file can hold"};

    char header[80];
    std::memset(header, ' ', sizeof header);
    const std::string_view title =
        zUp ? "Kolbrik Viewer STL export, millimetres, Z up" : "Kolbrik Viewer STL export, millimetres, Y up";
    std::memcpy(header, title.data(), title.size());
    file.write(header, sizeof header);
    const auto count = static_cast<std::uint32_t>(scene.triangles);
    file.write(&count, 4);

    const auto make = [&](std::size_t first, std::size_t last, std::string& out) {
        // Records are put together in a small piece that stays in the cache
        // and appended to the run from there. Each value is stored in a
        // piece of 16 bytes whose spare float the next one overwrites; the
        // last spills over the record by two bytes.
        char piece[kRecord * 128 + 16];
        std::size_t used = 0;
        for (std::size_t p = first; p < last; ++p) {
            const Part& part = scene.parts[p];
            const Mesh& mesh = scene.meshes[part.mesh];
            const bool allUsable = mesh.usable == mesh.triangles->size();
            // The placement in millimetres, in single precision as the view draws.
            Placement m = part.matrix;
            for (float& f : m)
                f *= kMillimetres;
            Column x = column(&m[0]), y = column(&m[4]), z = column(&m[8]), w = column(&m[12]);
            if (zUp) {
                // Turned about the x axis and about the new up axis: the
                // model's y becomes z and its front (-z) faces -y, where 3D
                // printing tools have their front. A proper rotation, and
                // exact: winding and normals stay outward.
                for (Column* c : {&x, &y, &z, &w})
                    *c = __builtin_shufflevector(*c, *c, 0, 2, 1, 3) * Column{-1.0f, 1.0f, 1.0f, 1.0f};
            }
            for (const vxVertice& tri : *mesh.triangles) {
                if (!allUsable && !usable(tri))
                    continue;
                const vxVector &a = tri.v1(), &b = tri.v2(), &c = tri.v3();
                const Column pa = x * a.x() + y * a.y() + z * a.z() + w;
                const Column pb = x * b.x() + y * b.y() + z * b.z() + w;
                const Column pc = x * c.x() + y * c.y() + z * c.z() + w;
                // The unit normal of the corners as written (zero without area).
                Column n = cross(pb - pa, pc - pa);
                const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                n = length > 0.0f && std::isfinite(length) ? n / length : Column{};
                char* r = piece + used;
                std::memcpy(r, &n, 16);
                std::memcpy(r + 12, &pa, 16);
                std::memcpy(r + 24, &pb, 16);
                std::memcpy(r + 36, &pc, 16);
                r[48] = r[49] = 0;
                used += kRecord;
                if (used == kRecord * 128) {
                    out.append(piece, used);
                    used = 0;
                }
            }
        }
        out.append(piece, used);
    };
    writeBlocks(partBlocks(scene, 21000), make, file, progress); // runs of over 1 MB
    return file.commit();
}

} // namespace vxExport
