#include "vxNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vxNumberFormat {

namespace {

char* formatFixed6General(char* dst, float f)
{
    // to_chars never looks at the locale; with a precision it prints what
    // printf("%f") prints in the C locale, digit for digit (the exact binary
    // value, rounded half to even), including "-0.000000", "nan" and "-nan".
    return std::to_chars(dst, dst + kMaxFixed6, static_cast<double>(f), std::chars_format::fixed, 6).ptr;
}

} // namespace

char* formatFixed6(char* dst, float f)
{
    // Fast path for the magnitudes a model holds (below 2^43): a float is
    // m * 2^e with a 24-bit m, so its value in millionths, m * 10^6 * 2^e,
    // is computed exactly in 64 bits and rounded half to even, as printf
    // rounds the exact value. Larger and non-finite values take the general
    // path.
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased == 0xFF)
        return formatFixed6General(dst, f);
    const std::uint64_t m = (bits & 0x7FFFFFu) | (biased ? 0x800000u : 0u);
    const int e = (biased ? biased : 1) - 150;
    std::uint64_t millionths;
    if (e >= 0) {
        if (e > 19) // m * 2^e * 10^6 might not fit in 63 bits
            return formatFixed6General(dst, f);
        millionths = (m << e) * 1000000u;
    } else if (-e > 44) {
        millionths = 0; // m * 10^6 < 2^44: the value is below half a millionth
    } else {
        const int k = -e;
        const std::uint64_t scaled = m * 1000000u;
        millionths = scaled >> k;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << k) - 1);
        const std::uint64_t half = std::uint64_t{1} << (k - 1);
        if (rest > half || (rest == half && (millionths & 1)))
            ++millionths;
    }
    char* w = dst;
    if (bits >> 31)
        *w++ = '-'; // also for -0.0 and for negatives that round to zero
    w = std::to_chars(w, dst + kMaxFixed6, millionths / 1000000u).ptr;
    *w++ = '.';
    auto fraction = static_cast<std::uint32_t>(millionths % 1000000u);
    for (int i = 5; i >= 0; --i) {
        w[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return w + 6;
}

char* formatShortest(char* dst, float f)
{
    // Whole numbers, the most common in placements and millimetre corners,
    // take the integer path: below 2^24 their shortest text is the integer.
    if (f == static_cast<float>(static_cast<std::int32_t>(f)) && f > -16777216.0f && f < 16777216.0f) {
        if (std::signbit(f))
            *dst++ = '-'; // -0 keeps its sign, as below
        return std::to_chars(dst, dst + kMaxShortest, std::abs(static_cast<std::int32_t>(f))).ptr;
    }
    return std::to_chars(dst, dst + kMaxShortest, f, std::chars_format::fixed).ptr;
}

void appendFixed6(std::string& out, float f)
{
    char buf[kMaxFixed6];
    out.append(buf, formatFixed6(buf, f));
}

void appendShortest(std::string& out, float f)
{
    char buf[kMaxShortest];
    out.append(buf, formatShortest(buf, f));
}

} // namespace vxNumberFormat
