#include "vxExportScene.h"
#include "vxBaseSceneObject.h"
#include "vxModel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>

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

namespace {

// A mesh's usable triangles counted and the reach of their corners.
Mesh measure(const std::vector<vxVertice>& triangles)
{
    Mesh mesh{&triangles, 0};
    for (const vxVertice& t : triangles) {
        if (!usable(t))
            continue;
        ++mesh.usable;
        for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()}) {
            mesh.reach[0] = std::max(mesh.reach[0], std::abs(double{v->x()}));
            mesh.reach[1] = std::max(mesh.reach[1], std::abs(double{v->y()}));
            mesh.reach[2] = std::max(mesh.reach[2], std::abs(double{v->z()}));
        }
    }
    return mesh;
}

// Whether every number the writers make of the placed mesh stays within
// kLargestCoordinate millimetres: the placement's entries, and for each axis
// the sum of the sizes of the terms that make a corner's coordinate.
bool fitsTheFiles(const Placement& f, const Mesh& mesh)
{
    constexpr double kMillimetres = 10.0;
    for (float x : f)
        if (!(std::abs(double{x}) * kMillimetres < kLargestCoordinate))
            return false; // NaN and infinities too
    for (int r = 0; r < 3; ++r) {
        const double bound =
            (std::abs(double{f[r]}) * mesh.reach[0] + std::abs(double{f[4 + r]}) * mesh.reach[1] +
             std::abs(double{f[8 + r]}) * mesh.reach[2] + std::abs(double{f[12 + r]})) *
            kMillimetres;
        if (!(bound < kLargestCoordinate))
            return false;
    }
    return true;
}

// Whether the placement's axes span at most a line, so that every triangle
// it places has no area. Products of floats are exact in double precision,
// so a cross product is zero exactly when the axes are parallel.
bool flat(const Placement& f)
{
    const auto crossIsZero = [&](int a, int b) {
        const double x = double{f[a + 1]} * f[b + 2] - double{f[a + 2]} * f[b + 1];
        const double y = double{f[a + 2]} * f[b] - double{f[a]} * f[b + 2];
        const double z = double{f[a]} * f[b + 1] - double{f[a + 1]} * f[b];
        return x == 0.0 && y == 0.0 && z == 0.0;
    };
    return crossIsZero(0, 4) && crossIsZero(0, 8) && crossIsZero(4, 8);
}

} // namespace

std::vector<std::string> leftOutFindings(const Scene& scene)
{
    std::vector<std::string> findings;
    for (const LeftOutBecause because : {LeftOutBecause::kNotFinite, LeftOutBecause::kNoArea}) {
        std::size_t count = 0;
        std::string names;
        constexpr std::size_t kNamed = 10;
        for (const LeftOut& l : scene.leftOut) {
            if (l.because != because)
                continue;
            if (++count <= kNamed)
                names +=
                    (count > 1 ? ", part " : "part ") + std::to_string(l.number) + " " + l.part->partName();
        }
        if (count == 0)
            continue;
        if (count > kNamed)
            names += " and " + std::to_string(count - kNamed) + " more";
        const bool one = count == 1;
        std::string text =
            std::to_string(count) + (one ? " part is" : " parts are") + " left out of the export: ";
        text += because == LeftOutBecause::kNotFinite
                    ? std::string(one ? "its" : "their") +
                          " placed corners are not finite or too large to be written (" + names + ")"
                    : std::string(one ? "its placement flattens it" : "their placements flatten them") +
                          " to a line or a point, so that nothing of " + (one ? "it" : "them") +
                          " can be seen (" + names + ")";
        findings.push_back(std::move(text));
    }
    return findings;
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

        const auto [m, newMesh] = meshIndex.add(mesh);
        if (newMesh)
            scene.meshes.push_back(measure(mesh->triangles));
        const Mesh& exported = scene.meshes[m];
        if (exported.usable == 0)
            return;
        // A tube's surface is made of finite nodes and is never flat; should
        // one be, it is left out without a finding of its own.
        if (!fitsTheFiles(f, exported)) {
            if (part)
                scene.leftOut.push_back({number, part, LeftOutBecause::kNotFinite});
            return;
        }
        if (flat(f)) {
            if (part)
                scene.leftOut.push_back({number, part, LeftOutBecause::kNoArea});
            return;
        }

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
