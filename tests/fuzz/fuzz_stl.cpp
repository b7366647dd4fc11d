// Fuzzes the binary STL reader on the bytes of a mesh file, as a scene
// object reads them after loading the file, and checks the number of
// triangles it gives.
#include "vxSTLReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<vxVertice> triangles(1); // the reader appends to what is there
    const std::size_t n = vxAppendSTLTriangles(bytes, 1.5f, -2.0f, 0.25f, triangles);

    // Whole records only, never more than declared or present.
    std::size_t expected = 0;
    if (size >= 84) {
        std::uint32_t declared;
        std::memcpy(&declared, data + 80, 4); // little-endian host
        expected = std::min<std::size_t>(declared, (size - 84) / 50);
    }
    if (n != expected || triangles.size() != n + 1)
        __builtin_trap();

    volatile float sum = 0.0f;
    for (const vxVertice& t : triangles)
        sum = sum + t.v1().x() + t.v3().z() + t.n2().y();
    return 0;
}
