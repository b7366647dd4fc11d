#pragma once

// The parts an export writes, gathered from a model's scene objects: their
// meshes (shared as the view shares them), placements and colours.
#include "vxMatrix.h"
#include "vxVector.h"
#include "vxVertice.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class vxModel;
class vxPart;
class vxTubeSceneObject;

namespace vxExport {

// The placement of a part, column-major (vxMatrix::toArray), copied from the
// scene object: the writers read it several times, and the objects of a
// large model are far apart in memory.
using Placement = std::array<float, 16>;

struct Part {
    std::uint32_t number; // 1-based, as in the model file (of the tube, for a tube)
    std::uint32_t mesh;   // index into Scene::meshes
    std::uint32_t colour; // index into Scene::colours
    const vxPart* part;   // null for a tube's surface
    Placement matrix;
};

struct Mesh {
    const std::vector<vxVertice>* triangles;
    std::uint64_t usable; // triangles whose corners are all finite
    double reach[3] = {}; // the largest size of a usable corner's x, y and z
};

// Why a part that has triangles is not exported.
enum class LeftOutBecause {
    kNotFinite, // its placed corners are not finite, or too large for the files' numbers
    kNoArea,    // its placement flattens it to a line or a point (zero or parallel axes)
};

struct LeftOut {
    std::uint32_t number; // 1-based, as in the model file
    const vxPart* part;
    LeftOutBecause because;
};

struct Scene {
    std::vector<Part> parts;       // in the model's order, then the tubes
    std::vector<Mesh> meshes;      // in the order of first use
    std::vector<vxVector> colours; // red, green, blue; in the order of first use
    std::uint64_t triangles = 0;   // usable triangles of all parts
    std::vector<LeftOut> leftOut;  // in the model's order
};

// The largest size of a placed corner's coordinate, in millimetres, that the
// writers take: every sum and difference they make of such numbers in single
// precision stays finite.
inline constexpr double kLargestCoordinate = 1e37;

// Numbers keys in the order they first come: 0, 1, 2 and so on. An open
// table of numbers beside the keys in their order; it allocates nothing per
// key, for models with a hundred thousand colours and more. Each slot holds
// some bits of its key's hash too, so that a search rarely reads a key that
// is not the one it looks for. Hash may be plain: its value is spread over
// the table.
template <class Key, class Hash> class FirstIndex {
  public:
    // Room for `expected` keys to begin with; more make the table grow.
    explicit FirstIndex(std::size_t expected = 0)
    {
        m_keys.reserve(expected);
        resize(std::bit_ceil(std::max<std::size_t>(16, 2 * expected)));
    }
    // The number of key, and whether the key came for the first time.
    std::pair<std::uint32_t, bool> add(const Key& key)
    {
        if (2 * (m_keys.size() + 1) > m_slots.size())
            resize(2 * m_slots.size());
        const std::uint64_t h = spread(key);
        const auto check = static_cast<std::uint32_t>(h);
        for (std::size_t i = slotOf(h);; i = (i + 1) & (m_slots.size() - 1)) {
            const Slot s = m_slots[i];
            if (s.number == kFree) {
                m_slots[i] = {static_cast<std::uint32_t>(m_keys.size()), check};
                m_keys.push_back(key);
                return {m_slots[i].number, true};
            }
            if (s.check == check && m_keys[s.number] == key)
                return {s.number, false};
        }
    }

  private:
    static constexpr std::uint32_t kFree = UINT32_MAX;
    struct Slot {
        std::uint32_t number = kFree;
        std::uint32_t check = 0; // the low bits of the key's spread hash
    };
    // The hash times 2^64 / golden ratio: its high bits choose the slot.
    static std::uint64_t spread(const Key& key) { return std::uint64_t{Hash{}(key)} * 0x9E3779B97F4A7C15u; }
    std::size_t slotOf(std::uint64_t spread) const { return static_cast<std::size_t>(spread >> m_shift); }
    // size: a power of two.
    void resize(std::size_t size)
    {
        m_slots.assign(size, Slot{});
        m_shift = 64 - std::countr_zero(size);
        for (std::size_t n = 0; n < m_keys.size(); ++n) {
            const std::uint64_t h = spread(m_keys[n]);
            std::size_t i = slotOf(h);
            while (m_slots[i].number != kFree)
                i = (i + 1) & (size - 1);
            m_slots[i] = {static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(h)};
        }
    }

    std::vector<Slot> m_slots;
    std::vector<Key> m_keys;
    int m_shift = 64;
};

// The parts of the model, each with the scene object made of it, that have
// at least one usable triangle and a finite placement, of phase `phase` or
// earlier (or of phase 0 or less) when a phase is given; then the surfaces
// of the tubes given (made, in every phase) in their order.
// Parts whose placed corners would not be finite in millimetres (or beyond
// kLargestCoordinate), and parts whose placement leaves their triangles no
// area, are left out (Scene::leftOut), as the view draws nothing of them.
Scene collect(const vxModel& model, std::optional<std::int32_t> phase,
              const std::vector<std::shared_ptr<vxTubeSceneObject>>& tubes = {});

// One sentence for each reason parts were left out, naming the first few.
std::vector<std::string> leftOutFindings(const Scene& scene);

// Whether a triangle's corners are all finite; the others are left out of
// every export.
bool usable(const vxVertice& t);

// The linear part and translation of a placement, in double precision.
struct Transform {
    std::array<double, 16> m; // column-major, as the placement matrix

    explicit Transform(const Placement& matrix) { std::copy(matrix.begin(), matrix.end(), m.begin()); }
    std::array<double, 3> apply(const vxVector& v) const
    {
        return {m[0] * v.x() + m[4] * v.y() + m[8] * v.z() + m[12],
                m[1] * v.x() + m[5] * v.y() + m[9] * v.z() + m[13],
                m[2] * v.x() + m[6] * v.y() + m[10] * v.z() + m[14]};
    }
};

// The unit normal n of the triangle a, b, c, counter-clockwise seen from the
// front; false, and n zero, for a triangle without area.
bool unitNormal(const float a[3], const float b[3], const float c[3], float n[3]);

// The colour of a part in sRGB (what the view shows) turned into the linear
// values that physically based renderers expect.
float linearFromSrgb(float c);

} // namespace vxExport
