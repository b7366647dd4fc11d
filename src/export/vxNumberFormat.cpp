#include "vxNumberFormat.h"

#include <bit>
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
    // The entries of turns by right angles come first.
    if (f == 0.0f || f == 1.0f || f == -1.0f) {
        if (std::signbit(f))
            *dst++ = '-'; // -0 keeps its sign, as below
        *dst = f == 0.0f ? '0' : '1';
        return dst + 1;
    }
    // (The range first: a float beyond 32 bits has no int32_t value.)
    if (f > -16777216.0f && f < 16777216.0f && f == static_cast<float>(static_cast<std::int32_t>(f))) {
        if (std::signbit(f))
            *dst++ = '-'; // -0 keeps its sign, as below
        return std::to_chars(dst, dst + kMaxShortest, std::abs(static_cast<std::int32_t>(f))).ptr;
    }
    // Halves, quarters, eighths and the like (0.75, -26.125), next in
    // placements: f = odd / 2^j is exactly a decimal of j places ending in 5,
    // so any text of fewer places is at least 5 * 10^-j away from it. When
    // half a unit in the last place of f is less than that, no shorter text
    // reads back as f, and the exact digits are the shortest text.
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased != 0 && biased != 0xFF) {
        static constexpr std::uint64_t kPow5[] = {1,     5,     25,     125,     625,    3125,
                                                  15625, 78125, 390625, 1953125, 9765625};
        const std::uint32_t m = (bits & 0x7FFFFFu) | 0x800000u;
        const int zeros = std::countr_zero(m);
        const int j = 150 - biased - zeros; // f = (m >> zeros) / 2^j, j > 0 as f is not whole
        // Half the unit, 2^(biased - 151) = 2^(-j - zeros - 1), is below
        // 5 * 10^-j exactly when 5^(j - 1) < 2^(zeros + 1).
        if (j > 0 && j <= 11 && kPow5[j - 1] < (std::uint64_t{1} << (zeros + 1))) {
            std::uint64_t n = std::uint64_t{m >> zeros};
            for (int k = 0; k < j; ++k)
                n *= 5; // n / 10^j == f
            std::uint64_t unit = 1;
            for (int k = 0; k < j; ++k)
                unit *= 10;
            if (bits >> 31)
                *dst++ = '-';
            dst = std::to_chars(dst, dst + 20, n / unit).ptr;
            *dst = '.';
            n %= unit;
            for (int k = j; k > 0; --k, n /= 10)
                dst[k] = static_cast<char>('0' + n % 10);
            return dst + j + 1;
        }
    }
    return std::to_chars(dst, dst + kMaxShortest, f, std::chars_format::fixed).ptr;
}

char* formatRounded4(char* dst, double v)
{
    if (!(std::abs(v) < 1e14))
        return formatShortest(dst, static_cast<float>(v));
    const double scaled = v * 10000.0;
    const auto n = static_cast<std::int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    if (n < 0)
        *dst++ = '-';
    const std::uint64_t a = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    dst = std::to_chars(dst, dst + 20, a / 10000).ptr;
    const auto fraction = static_cast<unsigned>(a % 10000);
    if (fraction == 0)
        return dst;
    dst[0] = '.';
    dst[1] = static_cast<char>('0' + fraction / 1000);
    dst[2] = static_cast<char>('0' + fraction / 100 % 10);
    dst[3] = static_cast<char>('0' + fraction / 10 % 10);
    dst[4] = static_cast<char>('0' + fraction % 10);
    int end = 4;
    while (dst[end] == '0')
        --end;
    return dst + end + 1;
}

void appendFixed6(std::string& out, float f)
{
    char buf[kMaxFixed6];
    out.append(buf, formatFixed6(buf, f));
}

} // namespace vxNumberFormat
