#include "vxSTLReader.h"

#include <bit>
#include <cstdint>

namespace {

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kRecordSize = 50;

std::uint32_t readUint32LE(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

float readFloatLE(const unsigned char* p)
{
    return std::bit_cast<float>(readUint32LE(p));
}

// The file's value plus the offset, then divided by ten.
float corner(float value, float offset)
{
    return static_cast<float>(static_cast<double>(value + offset) / 10.0);
}

} // namespace

std::size_t vxAppendSTLTriangles(std::string_view data, float offsetX, float offsetY, float offsetZ,
                                 std::vector<vxVertice>& out)
{
    if (data.size() < kSTLFirstRecord)
        return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::uint64_t declared = readUint32LE(bytes + kHeaderSize);
    const std::uint64_t present = (data.size() - kSTLFirstRecord) / kRecordSize;
    const std::size_t count = static_cast<std::size_t>(declared < present ? declared : present);
    out.reserve(out.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* r = bytes + kSTLFirstRecord + kRecordSize * i;
        vxVertice t;
        const vxVector normal(readFloatLE(r), readFloatLE(r + 4), readFloatLE(r + 8), 0.0f);
        t.n1() = normal;
        t.n2() = normal;
        t.n3() = normal;
        vxVector* corners[3] = {&t.v1(), &t.v2(), &t.v3()};
        for (int c = 0; c < 3; ++c) {
            const unsigned char* p = r + 12 + 12 * c;
            corners[c]->setVector3f(corner(readFloatLE(p), offsetX), corner(readFloatLE(p + 4), offsetY),
                                    corner(readFloatLE(p + 8), offsetZ));
        }
        out.push_back(t);
    }
    return count;
}
