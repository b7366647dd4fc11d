#pragma once

// The parts an export writes, gathered from the view's scene: their meshes
// (shared as the view shares them), placements and colours.
#include "vxMatrix.h"
#include "vxVector.h"
#include "vxVertice.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class vxOpenGLView;
class vxPart;

namespace vxExport {

struct Part {
    std::uint32_t number; // 1-based, as in the model file
    const vxPart* part;
    const vxMatrix* matrix;
    std::uint32_t mesh;   // index into Scene::meshes
    std::uint32_t colour; // index into Scene::colours
};

struct Mesh {
    const std::vector<vxVertice>* triangles;
    std::uint64_t usable; // triangles whose corners are all finite
};

struct Scene {
    std::vector<Part> parts;       // in the model's order
    std::vector<Mesh> meshes;      // in the order of first use
    std::vector<vxVector> colours; // red, green, blue; in the order of first use
    std::uint64_t triangles = 0;   // usable triangles of all parts
};

// The parts with at least one usable triangle and a finite placement, of
// phase `phase` or earlier (or of phase 0 or less) when a phase is given.
Scene collect(const vxOpenGLView& view, std::optional<std::int32_t> phase);

// Whether a triangle's corners are all finite; the others are left out of
// every export.
bool usable(const vxVertice& t);

// The linear part and translation of a placement, in double precision.
struct Transform {
    std::array<double, 16> m; // column-major, as the placement matrix

    explicit Transform(const vxMatrix& matrix);
    std::array<double, 3> apply(const vxVector& v) const
    {
        return {m[0] * v.x() + m[4] * v.y() + m[8] * v.z() + m[12],
                m[1] * v.x() + m[5] * v.y() + m[9] * v.z() + m[13],
                m[2] * v.x() + m[6] * v.y() + m[10] * v.z() + m[14]};
    }
};

// The unit normal of the triangle a, b, c, counter-clockwise seen from the
// front; none for a triangle without area.
std::optional<std::array<double, 3>>
facetNormal(const std::array<double, 3>& a, const std::array<double, 3>& b, const std::array<double, 3>& c);
std::array<double, 3> corner(const vxVector& v);

// The colour of a part in sRGB (what the view shows) turned into the linear
// values that physically based renderers expect.
float linearFromSrgb(float c);

} // namespace vxExport
