#include "vxJson.h"

#include "vxJsonString.h"
#include "vxTextFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vxJson {

std::string str(std::string_view s)
{
    std::string out = "\"";
    vxJsonString::escape(s, vxJsonString::Controls::kShort, [&out](std::string_view piece) { out += piece; });
    out += '"';
    return out;
}

std::string printable(std::string_view s)
{
    if (isPlainAscii(s))
        return std::string(s);
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = utf8SequenceLength(s, i);
        char buf[8];
        if (len == 0 || (len == 1 && (c < 0x20 || c == 0x7F))) {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
            ++i;
        } else if (len == 2 && c == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0) {
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned char>(s[i + 1]));
            out += buf;
            i += 2;
        } else {
            out.append(s, i, len);
            i += len;
        }
    }
    return out;
}

namespace {

bool isPlainByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
}

// Whether the eight bytes w are all plain: no byte below 0x20, none from
// 0x7F up (a carry out of 0xFF only follows a byte that is caught itself).
bool isPlainWord(std::uint64_t w)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    return ((((w - 0x20 * kOnes) & ~w) | (w + kOnes) | w) & (0x80 * kOnes)) == 0;
}

} // namespace

char* copyPlainAscii(char* out, std::string_view s)
{
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (!isPlainWord(w))
            return nullptr;
        std::memcpy(out + i, &w, 8);
    }
    for (; i < s.size(); ++i) {
        if (!isPlainByte(s[i]))
            return nullptr;
        out[i] = s[i];
    }
    return out + s.size();
}

bool isPlainAscii(std::string_view s)
{
    const auto plain = [&](std::size_t at) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + at, 8);
        return isPlainWord(w);
    };
    if (s.size() < 8)
        return std::all_of(s.begin(), s.end(), isPlainByte);
    // Eight bytes at a time, the last eight overlapping the others.
    for (std::size_t i = 0; i + 8 < s.size(); i += 8)
        if (!plain(i))
            return false;
    return plain(s.size() - 8);
}

namespace {

// For a float that is a decimal of at most six significant digits with at
// most six after the point (most coordinates of a model: 0, -392.5, 12.25):
// its digits written out in fixed notation, which is then both the shortest
// text and the six-digit one. Null for any other float.
char* writeShortDecimal(char* out, float f)
{
    static constexpr double kScale[7] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    // f is m * 2^e with m odd, so it has max(0, -e) digits after the point.
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const auto exponent = static_cast<int>((bits >> 23) & 0xFF);
    const std::uint32_t mantissa = bits & 0x7FFFFF;
    int k = 0;
    if (exponent == 0) {
        if (mantissa != 0)
            return nullptr; // subnormal, far below a short decimal
    } else {
        const int lowest = exponent - 150 + __builtin_ctz(mantissa | 0x800000);
        k = lowest < 0 ? -lowest : 0;
    }
    if (k > 6)
        return nullptr;
    // |f| * 10^k, exact in a double (24 + 20 bits): the digits when they are
    // at most six.
    const double scaled = std::fabs(static_cast<double>(f)) * kScale[k];
    if (!(scaled < 1e6))
        return nullptr;
    auto n = static_cast<std::uint32_t>(scaled);
    // The digits from the last, two at a time, with the point after k of
    // them and a zero before it when nothing else is.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    const auto whole = static_cast<std::uint32_t>(std::fabs(f));
    const int wholeDigits = whole < 10       ? 1
                            : whole < 100    ? 2
                            : whole < 1000   ? 3
                            : whole < 10000  ? 4
                            : whole < 100000 ? 5
                                             : 6;
    if (bits >> 31)
        *out++ = '-';
    char* const end = out + wholeDigits + (k > 0 ? k + 1 : 0);
    char* at = end;
    auto pair = [&](std::uint32_t twoDigits) {
        at -= 2;
        std::memcpy(at, kPairs + 2 * twoDigits, 2);
    };
    int i = 0;
    for (; i + 2 <= k; i += 2, n /= 100)
        pair(n % 100);
    if (i < k) {
        *--at = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (k > 0)
        *--at = '.';
    for (; at - out >= 2; n /= 100)
        pair(n % 100);
    if (at != out)
        *--at = static_cast<char>('0' + n);
    return end;
}

} // namespace

char* writeNum(char* out, float f)
{
    if (!std::isfinite(f))
        return std::copy_n("null", 4, out);
    // Whole numbers from 100000 on may be shorter in scientific notation
    // (1e+05), which the shortest text then takes.
    if (std::fabs(f) < 1e5f)
        if (char* end = writeShortDecimal(out, f))
            return end;
    return std::to_chars(out, out + kNumberRoom, f).ptr;
}

namespace {

// Texts of digits are handled eight bytes at a time as words whose lowest
// byte is the first character (on any machine: store8 puts it first).
void store8(char* at, std::uint64_t w)
{
    if constexpr (std::endian::native == std::endian::big)
        w = __builtin_bswap64(w);
    std::memcpy(at, &w, 8);
}

// The three digits of every n below 1000 (leading zeros included), with in
// the top byte the number of trailing zero digits (3 for 0).
constexpr std::array<std::uint32_t, 1000> kThreeDigits = [] {
    std::array<std::uint32_t, 1000> t{};
    for (std::uint32_t n = 0; n < 1000; ++n) {
        const std::uint32_t zeros = n == 0 ? 3 : n % 100 == 0 ? 2 : n % 10 == 0 ? 1 : 0;
        t[n] = ('0' + n / 100) | ('0' + n / 10 % 10) << 8 | ('0' + n % 10) << 16 | zeros << 24;
    }
    return t;
}();

// The floats from 2^-14 to below 2^20 (those from 10^-4 to below 10^6 that
// %g writes in fixed notation among them) by their exponent e: the decade x
// of 2^e (10^x <= 2^e < 10^(x + 1)), in which f is or in the next, with
// 10^(5 - x) and 10^(4 - x), exact in a double (the latter where f can be in
// the next decade).
struct Binade {
    double scale;
    double scaleNext;
    int decade;
};
constexpr int kFirstExponent = 127 - 14;
constexpr std::array<Binade, 34> kBinades = [] {
    std::array<Binade, 34> t{};
    for (int i = 0; i < 34; ++i) {
        const int e = i - 14;
        // The decade of 2^e, counted in whole numbers: the greatest x with
        // 10^x <= 2^e, or for e < 0 the least x with 2^-e <= 10^-x.
        int x = 0;
        if (e >= 0) {
            for (std::uint64_t p = 10; p <= (std::uint64_t{1} << e); p *= 10)
                ++x;
        } else {
            for (std::uint64_t p = 1; p < (std::uint64_t{1} << -e); p *= 10)
                --x;
        }
        const auto power = [](int k) {
            double p = 1;
            for (int j = 0; j < k; ++j)
                p *= 10;
            return p;
        };
        t[static_cast<std::size_t>(i)] = {power(5 - x), x < 5 ? power(4 - x) : 0, x};
    }
    return t;
}();

} // namespace

char* writeUnsigned(char* out, std::uint32_t n)
{
    if (n >= 1000000)
        return std::to_chars(out, out + kNumberRoom, n).ptr;
    const std::uint32_t high = n / 1000;
    const std::uint64_t six = (kThreeDigits[high] & 0xFFFFFF) |
                              static_cast<std::uint64_t>(kThreeDigits[n - high * 1000] & 0xFFFFFF) << 24;
    // The leading zeros are dropped (all but the last for 0).
    const int skip = n >= 100000 ? 0 : n >= 10000 ? 1 : n >= 1000 ? 2 : n >= 100 ? 3 : n >= 10 ? 4 : 5;
    store8(out, six >> 8 * skip);
    return out + 6 - skip;
}

char* writeGeneral(char* out, float f)
{
    // Six significant digits of |f| from 10^-4 up to below 10^6, which %g
    // writes in fixed notation without trailing zeros: |f| * 10^(5 - x) for
    // its decade x is exact in a double (24 bits of f times 5^10 < 2^24 at
    // most), so it rounds to the six digits as %g does, half to even (in the
    // default rounding of doubles).
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const double a = std::fabs(static_cast<double>(f));
    if (a >= 1e-4 && a < 1e6) { // no NaN
        const Binade& b = kBinades[((bits >> 23) & 0xFF) - kFirstExponent];
        const double inDecade = a * b.scale;
        const bool next = inDecade >= 1e6;
        int x = b.decade + next;
        const double scaled = next ? a * b.scaleNext : inDecade;
        // Below 2^52, adding 2^52 rounds to a whole number, half to even.
        auto n = static_cast<std::uint32_t>((scaled + 0x1p52) - 0x1p52);
        if (n == 1000000) { // rounded up into the next decade
            n = 100000;
            ++x;
        }
        if (x < 6) {
            *out = '-';
            out += bits >> 31;
            const std::uint32_t high = kThreeDigits[n / 1000];
            const std::uint32_t low = kThreeDigits[n % 1000];
            const std::uint64_t six = (high & 0xFFFFFF) | static_cast<std::uint64_t>(low & 0xFFFFFF) << 24;
            // At most 5: n >= 10^5.
            const int zeros = low >> 24 == 3 ? 3 + static_cast<int>(high >> 24) : static_cast<int>(low >> 24);
            // Below 1: "0.", -x - 1 zeros and the digits; else the digits
            // with the point after the whole part, which goes when no
            // fraction is left. Both are written alike (the point and what
            // follows it in any case), and counted as they are.
            const bool belowOne = x < 0;
            const int lead = belowOne ? 1 - x : 0;
            const int whole = belowOne ? 6 : x + 1;
            const int fraction = std::max(5 - x - zeros, 0);
            std::memcpy(out, "0.000000", 8);
            store8(out + lead, six);
            out[lead + whole] = '.';
            store8(out + lead + whole + 1, six >> 8 * whole);
            return out + (belowOne ? lead + 6 - zeros : whole + fraction + (fraction != 0));
        }
    } else if (a == 0) {
        *out = '-';
        out += bits >> 31;
        *out = '0';
        return out + 1;
    }
    return std::to_chars(out, out + kNumberRoom, f, std::chars_format::general, 6).ptr;
}

std::string num(float f)
{
    char buf[kNumberRoom];
    return std::string(buf, writeNum(buf, f));
}

} // namespace vxJson
