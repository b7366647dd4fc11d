#include "vxExportScene.h"
#include "vxOpenGLView.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>

namespace vxExport {

bool usable(const vxVertice& t)
{
    for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()})
        if (!std::isfinite(v->x()) || !std::isfinite(v->y()) || !std::isfinite(v->z()))
            return false;
    return true;
}

Transform::Transform(const vxMatrix& matrix)
{
    float f[16];
    matrix.toArray(f);
    std::copy(f, f + 16, m.begin());
}

std::array<double, 3> corner(const vxVector& v)
{
    return {v.x(), v.y(), v.z()};
}

std::optional<std::array<double, 3>>
facetNormal(const std::array<double, 3>& a, const std::array<double, 3>& b, const std::array<double, 3>& c)
{
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    std::array<double, 3> n = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                               u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0) || !std::isfinite(length))
        return std::nullopt;
    for (double& x : n)
        x /= length;
    return n;
}

float linearFromSrgb(float c)
{
    const double s = std::clamp(static_cast<double>(c), 0.0, 1.0);
    return static_cast<float>(s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
}

Scene collect(const vxOpenGLView& view, std::optional<std::int32_t> phase)
{
    Scene scene;
    std::unordered_map<const vxSharedMesh*, std::uint32_t> meshIndex;
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>, std::uint32_t> colourIndex;
    const auto& parts = view.model()->partList();
    scene.parts.reserve(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const vxPart& part = *parts[i];
        if (phase && part.phase() > 0 && part.phase() > *phase)
            continue;
        const vxBaseSceneObject* object = part.baseSceneObject().get();
        const vxSharedMesh* mesh = object ? object->sharedMesh().get() : nullptr;
        if (!mesh || mesh->triangles.empty())
            continue; // draws nothing
        float f[16];
        object->localMatrix().toArray(f);
        if (!std::all_of(f, f + 16, [](float x) { return std::isfinite(x); }))
            continue;

        auto [m, newMesh] = meshIndex.try_emplace(mesh, static_cast<std::uint32_t>(scene.meshes.size()));
        if (newMesh) {
            const auto usableCount = static_cast<std::uint64_t>(
                std::count_if(mesh->triangles.begin(), mesh->triangles.end(), usable));
            scene.meshes.push_back({&mesh->triangles, usableCount});
        }
        const Mesh& exported = scene.meshes[m->second];
        if (exported.usable == 0)
            continue;

        const vxVector& c = part.color();
        auto [k, newColour] = colourIndex.try_emplace({std::bit_cast<std::uint32_t>(c.x() + 0.0f),
                                                       std::bit_cast<std::uint32_t>(c.y() + 0.0f),
                                                       std::bit_cast<std::uint32_t>(c.z() + 0.0f)},
                                                      static_cast<std::uint32_t>(scene.colours.size()));
        if (newColour)
            scene.colours.emplace_back(c.x(), c.y(), c.z());

        scene.parts.push_back(
            {static_cast<std::uint32_t>(i + 1), &part, &object->localMatrix(), m->second, k->second});
        scene.triangles += exported.usable;
    }
    return scene;
}

} // namespace vxExport
