#pragma once

// Reads a binary STL file for the tests, independently of the generator,
// into a mesh welded on exact float coordinates.
#include "vxMeshKit.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

namespace vxTest {

// The file's triangles with every corner moved by offset (added in float, as
// the viewer's loader does); empty when the size disagrees with the count.
inline vxGen::vxMesh readStl(const std::string& bytes, const std::array<float, 3>& offset = {0, 0, 0})
{
    vxGen::vxMesh m;
    auto f32 = [&](std::size_t at) {
        float x;
        std::memcpy(&x, bytes.data() + at, 4); // little-endian hosts only
        return x;
    };
    std::uint32_t count = 0;
    if (bytes.size() >= 84)
        std::memcpy(&count, bytes.data() + 80, 4);
    if (bytes.size() < 84 || bytes.size() != 84 + 50ull * count)
        return m;
    std::map<std::array<float, 3>, int> index;
    for (std::size_t r = 84; r < bytes.size(); r += 50) {
        std::array<int, 3> t{};
        for (std::size_t k = 0; k < 3; ++k) {
            const std::array<float, 3> p{f32(r + 12 + 12 * k), f32(r + 16 + 12 * k), f32(r + 20 + 12 * k)};
            auto [it, added] = index.emplace(p, static_cast<int>(m.vertices.size()));
            if (added)
                m.vertices.push_back({p[0] + offset[0], p[1] + offset[1], p[2] + offset[2]});
            t[k] = it->second;
        }
        m.triangles.push_back(t);
    }
    return m;
}

} // namespace vxTest
