// Binary STL for 3D printing: every triangle of the exported parts in the
// model's own axes, in millimetres, with unit normals computed from the
// corners (a triangle without area gets the zero normal).
#include "vxExportScene.h"
#include "vxExportWriters.h"

#include <bit>
#include <cstring>
#include <limits>

namespace vxExport {

static_assert(std::endian::native == std::endian::little, "the writers put floats as they are in memory");

namespace {

constexpr std::size_t kRecord = 50;
constexpr double kMillimetres = 10.0; // model units are centimetres

void putFloats(char*& w, const float* f, int n)
{
    std::memcpy(w, f, sizeof(float) * static_cast<std::size_t>(n));
    w += sizeof(float) * static_cast<std::size_t>(n);
}

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

    std::vector<char> chunk(kRecord * 2048);
    char* w = chunk.data();
    for (std::size_t p = 0; p < scene.parts.size() && file.ok(); ++p) {
        const Part& part = scene.parts[p];
        const Transform t(*part.matrix);
        for (const vxVertice& tri : *scene.meshes[part.mesh].triangles) {
            if (!usable(tri))
                continue;
            std::array<double, 3> c[3] = {t.apply(tri.v1()), t.apply(tri.v2()), t.apply(tri.v3())};
            float corners[9];
            for (int k = 0; k < 3; ++k)
                for (int a = 0; a < 3; ++a) {
                    corners[3 * k + a] = static_cast<float>(c[k][a] * kMillimetres);
                    c[k][a] = corners[3 * k + a]; // the normal of the corners written
                }
            float normal[3] = {0, 0, 0};
            if (const auto n = facetNormal(c[0], c[1], c[2]))
                for (int a = 0; a < 3; ++a)
                    normal[a] = static_cast<float>((*n)[a]);
            putFloats(w, normal, 3);
            putFloats(w, corners, 9);
            *w++ = 0;
            *w++ = 0;
            if (w == chunk.data() + chunk.size()) {
                file.write(chunk.data(), chunk.size());
                w = chunk.data();
            }
        }
        progress(p + 1, scene.parts.size());
    }
    file.write(chunk.data(), static_cast<std::size_t>(w - chunk.data()));
    return file.commit();
}

} // namespace vxExport
