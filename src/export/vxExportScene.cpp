#include "vxExportScene.h"
#include "vxBaseSceneObject.h"
#include "vxModel.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vxExport {

bool usable(const vxVertice& t)
{
    for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()})
        if (!std::isfinite(v->x()) || !std::isfinite(v->y()) || !std::isfinite(v->z()))
            return false;
    return true;
}

bool unitNormal(const float a[3], const float b[3], const float c[3], float n[3])
{
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    const bool flat = length > 0.0f && std::isfinite(length);
    for (int k = 0; k < 3; ++k)
        n[k] = flat ? n[k] / length : 0.0f;
    return flat;
}

float linearFromSrgb(float c)
{
    const double s = std::clamp(static_cast<double>(c), 0.0, 1.0);
    return static_cast<float>(s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
}

Scene collect(const vxModel& model, std::optional<std::int32_t> phase,
              const std::vector<std::shared_ptr<vxTubeSceneObject>>& tubes)
{
    Scene scene;
    // Colours by the bits of red, green and blue.
    using Rgb = std::array<std::uint32_t, 3>;
    struct RgbHash {
        std::uint64_t operator()(const Rgb& k) const
        {
            return k[0] ^ (std::uint64_t{k[1]} * 0xC2B2AE3D27D4EB4Fu) ^ (std::uint64_t{k[2]} << 32);
        }
    };
    struct PointerHash {
        std::uint64_t operator()(const vxSharedMesh* p) const { return reinterpret_cast<std::uintptr_t>(p); }
    };
    const auto rgbOf = [](const vxVector& c) {
        // +0.0f: -0 and 0 are the same colour
        return Rgb{std::bit_cast<std::uint32_t>(c.x() + 0.0f), std::bit_cast<std::uint32_t>(c.y() + 0.0f),
                   std::bit_cast<std::uint32_t>(c.z() + 0.0f)};
    };
    const auto& parts = model.partList();
    FirstIndex<Rgb, RgbHash> colourIndex(parts.size());
    FirstIndex<const vxSharedMesh*, PointerHash> meshIndex;
    // One more part of the scene, unless it has nothing to write.
    const auto add = [&](const vxBaseSceneObject& object, const vxSharedMesh* mesh, const vxVector& c,
                         std::uint32_t number, const vxPart* part) {
        if (!mesh || mesh->triangles.empty())
            return; // draws nothing
        Placement f;
        object.localMatrix().toArray(f.data());
        if (!std::all_of(f.begin(), f.end(), [](float x) { return std::isfinite(x); }))
            return;

        const auto [m, newMesh] = meshIndex.add(mesh);
        if (newMesh) {
            const auto usableCount = static_cast<std::uint64_t>(
                std::count_if(mesh->triangles.begin(), mesh->triangles.end(), usable));
            scene.meshes.push_back({&mesh->triangles, usableCount});
        }
        const Mesh& exported = scene.meshes[m];
        if (exported.usable == 0)
            return;

        const auto [k, newColour] = colourIndex.add(rgbOf(c));
        if (newColour)
            scene.colours.emplace_back(c.x(), c.y(), c.z());

        scene.parts.push_back({number, m, k, part, f});
        scene.triangles += exported.usable;
    };
    scene.parts.reserve(parts.size());
    // The objects of a large model lie far apart in memory: what the object
    // of a part a few ahead holds is asked for while this one is gathered.
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i + kAhead < parts.size()) {
            const vxPart& later = *parts[i + kAhead];
            if (const vxBaseSceneObject* o = later.baseSceneObject().get()) {
                __builtin_prefetch(&o->localMatrix());
                __builtin_prefetch(&o->sharedMesh());
            }
        }
        const vxPart& part = *parts[i];
        if (phase && part.phase() > 0 && part.phase() > *phase)
            continue;
        if (const vxBaseSceneObject* object = part.baseSceneObject().get())
            add(*object, object->sharedMesh().get(), part.color(), static_cast<std::uint32_t>(i + 1), &part);
    }
    for (std::size_t j = 0; j < tubes.size(); ++j)
        add(*tubes[j], tubes[j]->surface().get(), tubes[j]->colorDiffuse(), static_cast<std::uint32_t>(j + 1),
            nullptr);
    return scene;
}

} // namespace vxExport
