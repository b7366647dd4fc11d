#include "vxSectionText.h"

#include "vxSectionPass.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace vxSectionText {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

using detail::KeyLine;
using detail::upperChar;

thread_local NumberWatch* t_watch = nullptr;
thread_local const KeyLine* t_keyLine = nullptr;
thread_local int t_passDepth = 0;

bool onlySpaceFrom(std::string_view v, std::size_t i)
{
    for (; i < v.size(); ++i)
        if (!isSpace(v[i]))
            return false;
    return true;
}

} // namespace

std::string quoted(std::string_view text, std::int64_t* length)
{
    // A character starts at every byte that is not a UTF-8 continuation
    // byte (10xxxxxx).
    std::int64_t characters = 0;
    std::size_t cut = text.size();
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 &&
            characters++ == static_cast<std::int64_t>(BadNumber::kQuoted))
            cut = std::min(cut, i);
    *length = characters;
    return std::string(text.substr(0, cut));
}

void reportBadNumber(std::string_view value, const std::string& readAs)
{
    // The key line of the handler that runs: its pass is the outermost one
    // and watched, and has reached a key line.
    if (!t_keyLine || !t_keyLine->lineStart)
        return;
    NumberWatch& w = *t_watch;
    ++w.total;
    if (w.found.size() >= NumberWatch::kKept)
        return;
    const KeyLine& at = *t_keyLine;
    BadNumber b;
    b.key =
        toUpper(std::string_view(at.lineStart, static_cast<std::size_t>(at.value.data() - 1 - at.lineStart)));
    b.section = quoted(at.section, &b.sectionLength);
    b.value = quoted(value, &b.valueLength);
    b.readAs = readAs;
    b.line = at.lines->lineOf(at.lineStart);
    w.found.push_back(std::move(b));
}

NumberWatch::NumberWatch() : m_outer(t_watch)
{
    t_watch = this;
}

NumberWatch::~NumberWatch()
{
    t_watch = m_outer;
}

namespace detail {

std::int64_t LineCounter::lineOf(const char* lineStart)
{
    while (m_at < lineStart) {
        const auto* lf =
            static_cast<const char*>(std::memchr(m_at, '\n', static_cast<std::size_t>(lineStart - m_at)));
        if (!lf)
            break;
        m_line += lf > m_start && lf[-1] == '\r' ? 1 : 0;
        m_at = lf + 1;
    }
    m_at = lineStart;
    return m_line;
}

PassScope::PassScope(const KeyLine* line) : m_saved(t_keyLine)
{
    ++t_passDepth;
    m_watched = t_watch != nullptr && t_passDepth == 1;
    t_keyLine = m_watched ? line : nullptr;
}

PassScope::~PassScope()
{
    --t_passDepth;
    t_keyLine = m_saved;
}

} // namespace detail

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = text.find("\r\n", start);
        if (pos == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, pos - start));
        start = pos + 2;
    }
    return lines;
}

std::string toUpper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = upperChar(c);
    return out;
}

namespace {

std::int32_t convertInteger(std::string_view v, std::size_t& end, bool& anyDigit)
{
    std::size_t i = 0;
    while (i < v.size() && isSpace(v[i]))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) {
        negative = v[i] == '-';
        ++i;
    }
    std::int64_t acc = 0;
    bool saturated = false;
    anyDigit = i < v.size() && isDigit(v[i]);
    for (; i < v.size() && isDigit(v[i]); ++i) {
        if (!saturated) {
            acc = acc * 10 + (v[i] - '0');
            if (acc > static_cast<std::int64_t>(INT32_MAX) + 1)
                saturated = true;
        }
    }
    end = i;
    if (negative)
        acc = -acc;
    if (saturated || acc > INT32_MAX)
        return negative ? INT32_MIN : INT32_MAX;
    if (acc < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(acc);
}

float convertDecimal(std::string_view v, std::size_t& end, bool& anyDigit)
{
    std::size_t i = 0;
    while (i < v.size() && isSpace(v[i]))
        ++i;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) {
        negative = v[i] == '-';
        ++i;
    }
    // The extent of digits [ . digits ] [ e [sign] digits ], with "," standing
    // for ".".
    const std::size_t intBegin = i;
    while (i < v.size() && isDigit(v[i]))
        ++i;
    const std::size_t intEnd = i;
    std::size_t fracBegin = i, fracEnd = i;
    if (i < v.size() && (v[i] == '.' || v[i] == ',')) {
        std::size_t j = i + 1;
        while (j < v.size() && isDigit(v[j]))
            ++j;
        if (intEnd - intBegin + (j - i - 1) > 0) {
            fracBegin = i + 1;
            fracEnd = j;
            i = j;
        }
    }
    anyDigit = intEnd > intBegin || fracEnd > fracBegin;
    end = i;
    if (!anyDigit)
        return 0.0f;
    std::size_t expBegin = i, expEnd = i;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < v.size() && (v[j] == '+' || v[j] == '-'))
            ++j;
        const std::size_t digitsAt = j;
        while (j < v.size() && isDigit(v[j]))
            ++j;
        if (j > digitsAt) {
            expEnd = j;
            i = j;
        }
    }
    end = i;

    // The number with "." as its separator, on the stack unless very long.
    const std::size_t length = (intEnd - intBegin) + 1 + (fracEnd - fracBegin) + (expEnd - expBegin);
    char small[96];
    std::string large;
    char* text = small;
    if (length > sizeof small) {
        large.resize(length);
        text = large.data();
    }
    char* out = std::copy(v.data() + intBegin, v.data() + intEnd, text);
    if (fracEnd > fracBegin) {
        *out++ = '.';
        out = std::copy(v.data() + fracBegin, v.data() + fracEnd, out);
    }
    out = std::copy(v.data() + expBegin, v.data() + expEnd, out);

    float f = 0.0f;
    auto res = std::from_chars(text, out, f, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Beyond the float range: infinity when the value is at least 1,
        // zero when it is below. Its decimal exponent says which: the
        // position of the first significant digit, plus the exponent.
        std::int64_t position = 0;
        bool found = false;
        for (std::size_t k = intBegin; k < intEnd && !found; ++k)
            if (v[k] != '0') {
                position = static_cast<std::int64_t>(intEnd - k);
                found = true;
            }
        for (std::size_t k = fracBegin; k < fracEnd && !found; ++k)
            if (v[k] != '0') {
                position = -static_cast<std::int64_t>(k - fracBegin);
                found = true;
            }
        std::int64_t exponent = 0;
        if (expEnd > expBegin) {
            std::size_t k = expBegin + 1;
            const bool expNegative = v[k] == '-';
            if (v[k] == '+' || v[k] == '-')
                ++k;
            for (; k < expEnd; ++k)
                exponent = std::min<std::int64_t>(exponent * 10 + (v[k] - '0'), std::int64_t(1) << 40);
            if (expNegative)
                exponent = -exponent;
        }
        f = found && position + exponent >= 1 ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (res.ec != std::errc()) {
        f = 0.0f;
    }
    return negative ? -f : f;
}

} // namespace

namespace detail {

std::int32_t integerInFull(std::string_view v, bool report)
{
    std::size_t end = 0;
    bool anyDigit = false;
    const std::int32_t n = convertInteger(v, end, anyDigit);
    if (report && (!anyDigit || !onlySpaceFrom(v, end)))
        reportBadNumber(v, std::to_string(n));
    return n;
}

float decimalInFull(std::string_view v, bool report)
{
    std::size_t end = 0;
    bool anyDigit = false;
    const float f = convertDecimal(v, end, anyDigit);
    if (report && (!anyDigit || !onlySpaceFrom(v, end) || std::isinf(f))) {
        char text[32];
        const auto r = std::to_chars(text, text + sizeof text, f);
        reportBadNumber(v, std::string(text, r.ptr));
    }
    return f;
}

} // namespace detail

void splitKeyValue(std::string_view line, std::string& key, std::string_view& value)
{
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        key.clear();
        value = std::string_view();
        return;
    }
    key.assign(line.substr(0, eq));
    for (char& c : key)
        c = upperChar(c);
    std::size_t eq2 = line.find('=', eq + 1);
    value = line.substr(eq + 1, eq2 == std::string_view::npos ? std::string_view::npos : eq2 - eq - 1);
}

std::optional<std::int32_t> numberedHeaderIndex(std::string_view upper, std::string_view prefix)
{
    if (upper.size() < 7 || upper.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    const std::size_t count = upper.size() - 6;
    const std::int64_t n = toInteger(upper.substr(prefix.size(), count));
    const std::int64_t index = n - 1;
    return static_cast<std::int32_t>(index < INT32_MIN ? INT32_MIN : index);
}

void runPlainPass(const std::optional<std::string>& text, std::initializer_list<std::string_view> headers,
                  std::initializer_list<int> codes, int initialSection, const Handler& handler)
{
    if (!text)
        return;
    detail::runPass(
        *text, initialSection,
        [&](std::string_view line) {
            auto code = codes.begin();
            for (std::string_view h : headers) {
                if (detail::equalsInUpperCase(line, h))
                    return *code;
                ++code;
            }
            return -1;
        },
        handler);
}

void runNumberedPass(const std::optional<std::string>& text, std::string_view prefix, int initialIndex,
                     const Handler& handler)
{
    if (!text)
        return;
    detail::runPass(
        *text, initialIndex, [&](std::string_view line) { return detail::numberedSection(line, prefix); },
        handler);
}

} // namespace vxSectionText
