#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The line-oriented section format shared by model and definition files:
// "[HEADER]" lines and KEY=VALUE lines separated by CR LF.
namespace vxSectionText {

// Splits at every CR LF; nothing else separates lines. The empty line after
// a final CR LF is part of the result.
std::vector<std::string_view> splitLines(std::string_view text);

// ASCII upper case; other bytes are kept.
std::string toUpper(std::string_view s);

namespace detail {
// The conversions below in full; with report, a value that is not wholly a
// number is reported (see readInteger).
std::int32_t integerInFull(std::string_view value, bool report);
float decimalInFull(std::string_view value, bool report);
} // namespace detail

namespace detail {
// The common form of an integer, wholly a number: an optional "-" and one to
// nine digits. Whether value has it, and then its value in n.
inline bool integerAtOnce(std::string_view value, std::int32_t& n)
{
    const char* p = value.data();
    const char* const end = p + value.size();
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    if (p == end || end - p > 9)
        return false;
    std::int32_t k = 0;
    for (; p != end; ++p) {
        const auto digit = static_cast<unsigned>(*p - '0');
        if (digit > 9)
            return false;
        k = k * 10 + static_cast<std::int32_t>(digit);
    }
    n = negative ? -k : k;
    return true;
}

// The common form of a decimal, wholly a number: an optional "-" and at most
// seven digits with at most one "." or ",". Whether value has it, and then
// its value in f. Its digits as an integer, exact in a float, divided by an
// exact power of ten give the correctly rounded value, as the full
// conversion does.
inline bool decimalAtOnce(std::string_view value, float& f)
{
    static constexpr float kPowers[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    // A single digit first: the axes of a part are mostly 0 and 1.
    if (value.size() == 1 && static_cast<unsigned>(value[0] - '0') <= 9) {
        f = static_cast<float>(value[0] - '0');
        return true;
    }
    const char* p = value.data();
    const char* const end = p + value.size();
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    if (end - p > 8)
        return false;
    std::int32_t n = 0;
    const char* point = nullptr;
    for (const char* q = p; q != end; ++q) {
        const auto digit = static_cast<unsigned>(*q - '0');
        if (digit <= 9)
            n = n * 10 + static_cast<std::int32_t>(digit);
        else if ((*q == '.' || *q == ',') && !point)
            point = q;
        else
            return false;
    }
    const auto digits = (end - p) - (point ? 1 : 0);
    if (digits < 1 || digits > 7)
        return false;
    const float g = static_cast<float>(n) / kPowers[point ? end - point - 1 : 0];
    f = negative ? -g : g;
    return true;
}

// The conversions below: the common forms at once, others in full.
inline std::int32_t integer(std::string_view value, bool report)
{
    std::int32_t n;
    return integerAtOnce(value, n) ? n : integerInFull(value, report);
}

inline float decimal(std::string_view value, bool report)
{
    float f;
    return decimalAtOnce(value, f) ? f : decimalInFull(value, report);
}
} // namespace detail

// Leading white space, optional sign, decimal digits; clamped to 32 bits;
// no digits gives 0.
inline std::int32_t toInteger(std::string_view value)
{
    return detail::integer(value, false);
}

// Every "," read as "."; leading white space, optional sign, digits with an
// optional fraction and exponent; no number gives 0.0; beyond the float
// range gives +-infinity. Independent of the locale.
inline float toDecimal(std::string_view value)
{
    return detail::decimal(value, false);
}

// The conversions of a value that a key handler reads as a number: as
// toInteger and toDecimal, and a value that is not wholly a number (or a
// decimal beyond the float range) is reported as a bad number of the key
// line (see reportBadNumber).
inline std::int32_t readInteger(std::string_view value)
{
    return detail::integer(value, true);
}

inline float readDecimal(std::string_view value)
{
    return detail::decimal(value, true);
}

// Key (upper-cased first piece) and value (second piece, as written) of a
// line; both empty when the line holds no "=".
void splitKeyValue(std::string_view line, std::string& key, std::string_view& value);

using Handler = std::function<void(int section, std::string_view key, std::string_view value)>;

// A pass with plain headers matched on the whole upper-cased line; the i-th
// header sets the current section to codes[i]. The handler runs for every
// key line with a non-empty key while the current section is not -1. Lines
// while it is -1 matter only if they are headers: the passes skip the others
// unread, so that each pass over a model costs what its own sections hold.
void runPlainPass(const std::optional<std::string>& text, std::initializer_list<std::string_view> headers,
                  std::initializer_list<int> codes, int initialSection, const Handler& handler);

// A pass with numbered headers "[PREFIX" n "]"; the current section is the
// element index n - 1. The handler runs for key lines while the index is >= 0.
void runNumberedPass(const std::optional<std::string>& text, std::string_view prefix, int initialIndex,
                     const Handler& handler);

// The index n - 1 that an upper-cased line selects as a numbered header for
// prefix, or nullopt when the line is no such header.
std::optional<std::int32_t> numberedHeaderIndex(std::string_view upperLine, std::string_view prefix);

// A value that a key handler read as a number but that is not wholly one
// ("12abc", "", "abc", "1e40" beyond the float range). It is still converted
// as far as it goes; this only tells that it happened. Texts of the file are
// quoted up to kQuoted characters (of UTF-8).
struct BadNumber {
    static constexpr std::size_t kQuoted = 40;

    std::string key;              // upper case, as the handler saw it
    std::string section;          // the header line of its section as written, quoted; empty before the first
    std::string value;            // as written, quoted
    std::int64_t valueLength = 0; // the characters of the whole value
    std::int64_t sectionLength = 0; // the characters of the whole header line
    std::string readAs;             // what the conversion gave ("12", "0", "inf")
    std::int64_t line = 0;          // 1-based
};

// The first kQuoted characters of text (cut before a character, never
// inside one), and in *length the characters of the whole.
std::string quoted(std::string_view text, std::int64_t* length);

// Told by a key handler of the key line it runs for: its value, as the
// handler has it, is not a number and was read as readAs. It is kept by the
// NumberWatch of an outermost pass on this thread; outside such a pass's
// key handler, and in a pass nested in one, it is ignored.
void reportBadNumber(std::string_view value, const std::string& readAs);

// Collects the bad numbers of the passes run on this thread while it lives.
// Only the key lines of outermost passes are watched: a definition read
// inside a model's part pass is not. Only what key handlers report counts
// (see readInteger): conversions of header numbers, or of node numbers
// taken from a key, are never reported.
class NumberWatch {
  public:
    static constexpr std::size_t kKept = 20;

    NumberWatch();
    ~NumberWatch();
    NumberWatch(const NumberWatch&) = delete;
    NumberWatch& operator=(const NumberWatch&) = delete;

    std::vector<BadNumber> found; // the first kKept
    std::int64_t total = 0;       // all of them

  private:
    NumberWatch* m_outer;
};

} // namespace vxSectionText
