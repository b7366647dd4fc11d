#pragma once

// The pass over the lines of a section text as a template, so that a pass
// that meets many key lines (the parts of a big model) runs its handler
// inline. The rules are those of vxSectionText.h; runPlainPass and
// runNumberedPass are this pass with a general handler.
#include "vxSectionText.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
// The SSE2 paths, unless the build asks for the scalar code alone
// (KOLBRIK_NO_SIMD), which stands beside each of them.
#if defined(__SSE2__) && !defined(KOLBRIK_NO_SIMD)
#define VX_SECTION_SSE2 1
#include <emmintrin.h>
#endif

namespace vxSectionText::detail {

// Whether the SSE2 paths are built.
#if defined(VX_SECTION_SSE2)
inline constexpr bool kSse2 = true;
#else
inline constexpr bool kSse2 = false;
#endif

inline char upperChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Eight bytes at a time: a word of eight bytes, and its bytes' top bits.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kTops = 0x8080808080808080ull;

// The top bit of every byte of x from the ASCII character low to high.
inline std::uint64_t bytesBetween(std::uint64_t x, char low, char high)
{
    const std::uint64_t low7 = x & ~kTops;
    const std::uint64_t fromLow = low7 + static_cast<std::uint64_t>(0x80 - low) * kOnes;       // at least low
    const std::uint64_t pastHigh = low7 + static_cast<std::uint64_t>(0x80 - high - 1) * kOnes; // beyond high
    return fromLow & ~pastHigh & ~x & kTops;
}

// Eight bytes in ASCII upper case at once; other bytes are kept.
inline std::uint64_t upperWord(std::uint64_t x)
{
    return x ^ (bytesBetween(x, 'a', 'z') >> 2);
}

// Copies the n bytes at src, which lie before end, in upper case to dst,
// which has room for n rounded up to a multiple of sixteen.
inline void copyUpper(const char* src, const char* end, std::size_t n, char* dst)
{
    std::size_t k = 0;
#if defined(VX_SECTION_SSE2)
    auto block = [&](std::size_t at) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
        // Bytes from 0x80 up count as negative here, so they are no letters.
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('a' - 1)),
                                            _mm_cmplt_epi8(x, _mm_set1_epi8('z' + 1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at),
                         _mm_xor_si128(x, _mm_and_si128(lower, _mm_set1_epi8(0x20))));
    };
    if (n <= 16 && end - src >= 16) { // the common key, in one block
        block(0);
        return;
    }
    for (; k < n && end - (src + k) >= 16; k += 16)
        block(k);
#endif
    for (; k < n && end - (src + k) >= 8; k += 8) {
        std::uint64_t w;
        std::memcpy(&w, src + k, 8);
        w = upperWord(w);
        std::memcpy(dst + k, &w, 8);
    }
    for (; k < n; ++k)
        dst[k] = upperChar(src[k]);
}

// The bytes of text as a little-endian number, the way they lie in memory.
constexpr std::uint64_t bytesOf(std::string_view text)
{
    std::uint64_t w = 0;
    for (std::size_t k = text.size(); k-- > 0;)
        w = (w << 8) | static_cast<unsigned char>(text[k]);
    return w;
}

// The lowest n bytes of a word (n from 0 to 8).
constexpr std::uint64_t lowBytes(unsigned n)
{
    return n >= 8 ? ~std::uint64_t(0) : (std::uint64_t(1) << (8 * n)) - 1;
}

// Plain numbers eight bytes at a time. Each of the next three gives the top
// bit of every byte for which it holds.
inline std::uint64_t zeroBytes(std::uint64_t x)
{
    return ~(((x & ~kTops) + ~kTops) | x) & kTops;
}

inline std::uint64_t bytesEqual(std::uint64_t x, char c)
{
    return zeroBytes(x ^ (static_cast<unsigned char>(c) * kOnes));
}

inline std::uint64_t digitBytes(std::uint64_t x)
{
    return bytesBetween(x, '0', '9');
}

// Eight digit values, one a byte and the first in the lowest, as a number.
inline std::uint32_t eightDigits(std::uint64_t d)
{
    d = d * 10 + (d >> 8);
    return static_cast<std::uint32_t>(((d & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
                                       ((d >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
                                      32);
}

// The length of the value at `at` when a CR LF follows it within sixteen
// bytes; false when it does not, or when the text ends too soon to look at
// it this way (at least seventeen bytes are needed).
inline bool shortValue(const char* at, const char* end, unsigned& length)
{
#if defined(VX_SECTION_SSE2)
    if (end - at < 17)
        return false;
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\r'))));
    if (crs == 0)
        return false;
    length = static_cast<unsigned>(__builtin_ctz(crs));
    return at[length + 1] == '\n';
#else
    (void)at;
    (void)end;
    (void)length;
    return false;
#endif
}

// The value at `at` when it is a decimal in the form that decimalAtOnce
// takes, up to the CR LF that ends its line: its value in f and the start of
// the next line; null otherwise (nothing is read then). Without a branch
// that depends on the digits.
inline const char* quickDecimal(const char* at, const char* end, float& f)
{
    static constexpr float kPowers[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    // A single digit first: the axes of a part are mostly 0 and 1.
    if (end - at >= 3 && at[1] == '\r' && at[2] == '\n' && static_cast<unsigned>(at[0] - '0') <= 9) {
        f = static_cast<float>(at[0] - '0');
        return at + 3;
    }
    unsigned length;
    if (!shortValue(at, end, length))
        return nullptr;
    const bool negative = *at == '-';
    const unsigned n = length - (negative ? 1 : 0); // characters after the sign
    if (n - 1 > 7)                                  // none, or more than eight
        return nullptr;
    std::uint64_t x;
    std::memcpy(&x, at + (negative ? 1 : 0), 8);
    const std::uint64_t mask = lowBytes(n);
    const std::uint64_t digits = digitBytes(x) & mask;
    const std::uint64_t points = (bytesEqual(x, '.') | bytesEqual(x, ',')) & mask;
    if ((digits | points) != (mask & kTops) || (points & (points - 1)) != 0)
        return nullptr;
    const unsigned count = n - (points != 0 ? 1 : 0);
    if (count == 0 || count > 7)
        return nullptr;
    // The digits' values with the point taken out, the last one in the top
    // byte.
    std::uint64_t d = x & (0x0F * kOnes) & ((digits >> 7) * 0xFF);
    const unsigned point = points != 0 ? static_cast<unsigned>(__builtin_ctzll(points)) / 8 : n;
    d = (d & lowBytes(point)) | (((d >> (8 * point)) >> 8) << (8 * point));
    d <<= 8 * (8 - count);
    const float g = static_cast<float>(static_cast<std::int32_t>(eightDigits(d))) /
                    kPowers[points != 0 ? n - point - 1 : 0];
    f = negative ? -g : g;
    return at + length + 2;
}

// As quickDecimal for an integer in the form integerAtOnce takes, of at most
// eight digits.
inline const char* quickInteger(const char* at, const char* end, std::int32_t& value)
{
    unsigned length;
    if (!shortValue(at, end, length))
        return nullptr;
    const bool negative = *at == '-';
    const unsigned n = length - (negative ? 1 : 0);
    if (n - 1 > 7)
        return nullptr;
    std::uint64_t x;
    std::memcpy(&x, at + (negative ? 1 : 0), 8);
    const std::uint64_t mask = lowBytes(n);
    if ((digitBytes(x) & mask) != (mask & kTops))
        return nullptr;
    const auto k = static_cast<std::int32_t>(eightDigits((x & (0x0F * kOnes) & mask) << (8 * (8 - n))));
    value = negative ? -k : k;
    return at + length + 2;
}

// Line numbers of a pass's text, counted only when a bad number asks for
// one, onwards from the last point asked (points only move forward).
class LineCounter {
  public:
    explicit LineCounter(const char* text) : m_at(text), m_start(text) {}
    std::int64_t lineOf(const char* lineStart);

  private:
    const char* m_at;
    const char* m_start;
    std::int64_t m_line = 1;
};

// The key line whose handler is running in a pass watched for bad numbers.
// Its key is the upper-cased text from lineStart to the first "=".
struct KeyLine {
    std::string_view value;
    std::string_view section; // the header line of its section as written
    const char* lineStart = nullptr;
    LineCounter* lines = nullptr;
};

// One pass on this thread. Only an outermost pass run while a NumberWatch
// lives is watched: it publishes its key line for the whole pass, and keeps
// it up to date before each handler runs. A pass nested in a handler hides
// the key line of the pass around it, and restores it when it ends.
class PassScope {
  public:
    explicit PassScope(const KeyLine* line);
    ~PassScope();
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;
    bool watched() const { return m_watched; }

  private:
    const KeyLine* m_saved;
    bool m_watched = false;
};

// Where a line ends (its CR LF, or the end of the text) and where its
// first two "=" stand (null when missing).
struct LineShape {
    const char* eol;
    const char* eq1;
    const char* eq2;
};

inline LineShape scanLine(const char* line, const char* end)
{
    const char* eq1 = nullptr;
    const char* eq2 = nullptr;
    const char* q = line;
#if defined(VX_SECTION_SSE2)
    // Sixteen bytes at a time while seventeen remain (the LF of a CR in the
    // last of them included): most lines end in the first block.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i eq = _mm_set1_epi8('=');
    while (end - q > 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1));
        const auto crlf = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(next, lf))));
        auto eqs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, eq)));
        if (crlf != 0)
            eqs &= (crlf & -crlf) - 1; // the "=" before the CR LF
        if (eqs != 0 && !eq2) {
            if (!eq1) {
                eq1 = q + __builtin_ctz(eqs);
                eqs &= eqs - 1;
            }
            if (eqs != 0)
                eq2 = q + __builtin_ctz(eqs);
        }
        if (crlf != 0)
            return {q + __builtin_ctz(crlf), eq1, eq2};
        q += 16;
    }
#endif
    for (; q < end; ++q) {
        if (*q == '\r' && q + 1 < end && q[1] == '\n')
            return {q, eq1, eq2};
        if (*q == '=') {
            if (!eq1)
                eq1 = q;
            else if (!eq2)
                eq2 = q;
        }
    }
    return {end, eq1, eq2};
}

// The start of the first line after the one ending at eol that begins with
// "[", or nullptr when there is none.
inline const char* nextHeaderLine(const char* eol, const char* end)
{
    for (const char* p = eol + 2; p < end;) {
        const auto* b = static_cast<const char*>(std::memchr(p, '[', static_cast<std::size_t>(end - p)));
        if (!b)
            return nullptr;
        if (b == eol + 2 || (b[-2] == '\r' && b[-1] == '\n'))
            return b;
        p = b + 1;
    }
    return nullptr;
}

// One pass over the lines of text. header(line) gives the new current
// section for a line beginning with "[" (headers are told apart without
// regard to case); handler(section, key, value) runs
// for every key line with a non-empty key while the section is not -1.
// Lines while it is -1 matter only if they are headers: they are skipped
// unread, so that each pass over a model costs what its own sections hold.
// quick(section, line, end) may first take a line while the section is not
// -1: it returns the start of the next line when it has done all that the
// handler would do with the line, and null to leave the line to the rest of
// the pass. It never takes a line whose handler would note a bad number.
template <class Header, class Handler, class Quick>
void runPass(std::string_view text, int section, const Header& header, const Handler& handler,
             const Quick& quick)
{
    LineCounter lines(text.data());
    KeyLine here;
    here.lines = &lines;
    const PassScope scope(&here);
    const bool watched = scope.watched();
    const char* const end = text.data() + text.size();
    std::string longKey;
    char shortKey[48];
    for (const char* line = text.data();;) {
        if (section != -1)
            if (const char* next = quick(section, line, end)) {
                line = next;
                continue;
            }
        const LineShape shape = scanLine(line, end);
        if (shape.eol > line && *line == '[') {
            here.section = std::string_view(line, static_cast<std::size_t>(shape.eol - line));
            section = header(here.section);
        }
        if (section != -1 && shape.eq1 && shape.eq1 != line) {
            const auto keyLength = static_cast<std::size_t>(shape.eq1 - line);
            char* key = shortKey;
            if (keyLength > sizeof shortKey - 16) {
                longKey.resize(keyLength + 16);
                key = longKey.data();
            }
            copyUpper(line, end, keyLength, key);
            const std::string_view value(
                shape.eq1 + 1, static_cast<std::size_t>((shape.eq2 ? shape.eq2 : shape.eol) - shape.eq1 - 1));
            if (watched) {
                here.value = value;
                here.lineStart = line;
            }
            handler(section, std::string_view(key, keyLength), value);
        }
        if (shape.eol == end)
            break;
        line = section == -1 ? nextHeaderLine(shape.eol, end) : shape.eol + 2;
        if (!line)
            break;
    }
}

template <class Header, class Handler>
void runPass(std::string_view text, int section, const Header& header, const Handler& handler)
{
    runPass(text, section, header, handler,
            [](int, const char*, const char*) -> const char* { return nullptr; });
}

// Whether text in upper case is upperText.
inline bool equalsInUpperCase(std::string_view text, std::string_view upperText)
{
    if (text.size() != upperText.size())
        return false;
    for (std::size_t k = 0; k < text.size(); ++k)
        if (upperChar(text[k]) != upperText[k])
            return false;
    return true;
}

// The index that a header line selects in a numbered pass with prefix (in
// upper case): n - 1, or -1 when the line is no such header or n is below 1.
// As numberedHeaderIndex, but on the line as written: case matters only to
// the prefix, as the number stops at the first letter either way.
inline int numberedSection(std::string_view line, std::string_view prefix)
{
    if (line.size() < 7 || !equalsInUpperCase(line.substr(0, prefix.size()), prefix))
        return -1;
    const std::int32_t n = toInteger(line.substr(prefix.size(), line.size() - 6));
    return n >= 1 ? n - 1 : -1;
}

} // namespace vxSectionText::detail
