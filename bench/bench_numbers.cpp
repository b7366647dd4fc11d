// The report writers' numbers: floats as `kolbrik info` writes a part's
// position (six significant digits), of a model's grid (short decimals, the
// common case) and of any bits in the range written in fixed notation; and
// whole numbers (the parts' numbers and phases).
#include "vxJson.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Coordinates on a grid 3.75 apart, at a height of 0.75.
std::vector<float> gridFloats()
{
    std::vector<float> v;
    for (int i = 0; i < 30000; ++i) {
        v.push_back(static_cast<float>(i % 1000) * 3.75f);
        v.push_back(0.75f);
        v.push_back(static_cast<float>(i / 1000) * 3.75f);
    }
    return v;
}

// Floats of random bits from 10^-4 up to 10^6, either sign.
std::vector<float> anyFloats()
{
    std::vector<float> v;
    std::uint32_t bits = 2463534242u;
    while (v.size() < 90000) {
        bits ^= bits << 13;
        bits ^= bits >> 17;
        bits ^= bits << 5;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (f == f && (f < 0 ? -f : f) >= 1e-4f && (f < 0 ? -f : f) < 1e6f)
            v.push_back(f);
    }
    return v;
}

template <class Value, class Write>
void writeAll(benchmark::State& state, const std::vector<Value>& values, Write write)
{
    std::vector<char> out(values.size() * vxJson::kNumberRoom);
    for (auto _ : state) {
        char* at = out.data();
        for (Value v : values)
            at = write(at, v);
        benchmark::DoNotOptimize(at);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

void BM_GeneralGridFloats(benchmark::State& state)
{
    writeAll(state, gridFloats(), vxJson::writeGeneral);
}
BENCHMARK(BM_GeneralGridFloats);

void BM_GeneralAnyFloats(benchmark::State& state)
{
    writeAll(state, anyFloats(), vxJson::writeGeneral);
}
BENCHMARK(BM_GeneralAnyFloats);

void BM_WholeNumbers(benchmark::State& state)
{
    std::vector<std::uint32_t> v;
    for (std::uint32_t i = 1; i <= 100000; ++i)
        v.push_back(i);
    writeAll(state, v, vxJson::writeUnsigned);
}
BENCHMARK(BM_WholeNumbers);

} // namespace
