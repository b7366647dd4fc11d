#include "vxSectionText.h"

#include <charconv>
#include <climits>
#include <cmath>
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

char upperChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The key line whose handler is running in a watched pass.
struct KeyLine {
    const std::string* key;
    std::string_view value;
    std::string_view section;
    std::int64_t line;
};

thread_local NumberWatch* t_watch = nullptr;
thread_local const KeyLine* t_keyLine = nullptr;
thread_local int t_passDepth = 0;

// One pass on this thread. A pass nested in a handler hides the key line of
// the pass around it, and restores it when it ends.
class PassScope {
  public:
    PassScope() : m_saved(t_keyLine)
    {
        ++t_passDepth;
        t_keyLine = nullptr;
    }
    ~PassScope()
    {
        --t_passDepth;
        t_keyLine = m_saved;
    }
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;
    bool watched() const { return t_watch != nullptr && t_passDepth == 1; }

  private:
    const KeyLine* m_saved;
};

// Runs the handler for one key line, watched when the pass is.
void handle(const PassScope& scope, const Handler& handler, int section, const std::string& key,
            std::string_view value, std::string_view header, std::int64_t line)
{
    if (!scope.watched()) {
        handler(section, key, value);
        return;
    }
    const KeyLine here{&key, value, header, line};
    t_keyLine = &here;
    handler(section, key, value);
    t_keyLine = nullptr;
}

// Whether v is the value of the watched key line (not a piece of its key or
// a header).
bool isWatchedValue(std::string_view v)
{
    return t_keyLine != nullptr && v.data() == t_keyLine->value.data() && v.size() == t_keyLine->value.size();
}

bool onlySpaceFrom(std::string_view v, std::size_t i)
{
    for (; i < v.size(); ++i)
        if (!isSpace(v[i]))
            return false;
    return true;
}

void noteBadNumber(std::string readAs)
{
    NumberWatch& w = *t_watch;
    ++w.total;
    if (w.found.size() < NumberWatch::kKept)
        w.found.push_back({*t_keyLine->key, std::string(t_keyLine->section), std::string(t_keyLine->value),
                           std::move(readAs), t_keyLine->line});
}

} // namespace

NumberWatch::NumberWatch() : m_outer(t_watch)
{
    t_watch = this;
}

NumberWatch::~NumberWatch()
{
    t_watch = m_outer;
}

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
    // Find the extent of digits [ . digits ] [ e [sign] digits ], with ","
    // standing for ".".
    std::string num;
    std::size_t digits = 0;
    for (; i < v.size() && isDigit(v[i]); ++i, ++digits)
        num.push_back(v[i]);
    if (i < v.size() && (v[i] == '.' || v[i] == ',')) {
        std::size_t j = i + 1;
        std::size_t frac = 0;
        std::string fracText;
        for (; j < v.size() && isDigit(v[j]); ++j, ++frac)
            fracText.push_back(v[j]);
        if (digits + frac > 0) {
            num.push_back('.');
            num += fracText;
            digits += frac;
            i = j;
        }
    }
    anyDigit = digits > 0;
    end = i;
    if (digits == 0)
        return 0.0f;
    if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
        std::size_t j = i + 1;
        std::string expText = "e";
        if (j < v.size() && (v[j] == '+' || v[j] == '-'))
            expText.push_back(v[j++]);
        std::size_t expDigits = 0;
        for (; j < v.size() && isDigit(v[j]); ++j, ++expDigits)
            expText.push_back(v[j]);
        if (expDigits > 0) {
            num += expText;
            i = j;
        }
    }
    end = i;
    float f = 0.0f;
    auto res = std::from_chars(num.data(), num.data() + num.size(), f, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Overflow gives infinity, underflow zero. A double tells which.
        double d = 0.0;
        auto rd = std::from_chars(num.data(), num.data() + num.size(), d, std::chars_format::general);
        bool overflow;
        if (rd.ec == std::errc())
            overflow = std::fabs(d) > 1.0;
        else
            overflow = num.find("e-") == std::string::npos;
        f = overflow ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (res.ec != std::errc()) {
        f = 0.0f;
    }
    return negative ? -f : f;
}

} // namespace

std::int32_t toInteger(std::string_view v)
{
    std::size_t end = 0;
    bool anyDigit = false;
    const std::int32_t n = convertInteger(v, end, anyDigit);
    if (isWatchedValue(v) && (!anyDigit || !onlySpaceFrom(v, end)))
        noteBadNumber(std::to_string(n));
    return n;
}

float toDecimal(std::string_view v)
{
    std::size_t end = 0;
    bool anyDigit = false;
    const float f = convertDecimal(v, end, anyDigit);
    if (isWatchedValue(v) && (!anyDigit || !onlySpaceFrom(v, end) || std::isinf(f))) {
        char text[32];
        const auto r = std::to_chars(text, text + sizeof text, f);
        noteBadNumber(std::string(text, r.ptr));
    }
    return f;
}

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
    const PassScope scope;
    int section = initialSection;
    std::string key;
    std::string upper;
    std::string_view value;
    std::string_view header;
    std::int64_t lineNumber = 0;
    for (std::string_view line : splitLines(*text)) {
        ++lineNumber;
        splitKeyValue(line, key, value);
        if (!line.empty() && line.front() == '[') {
            header = line;
            section = -1;
            upper = toUpper(line);
            auto code = codes.begin();
            for (std::string_view h : headers) {
                if (upper == h) {
                    section = *code;
                    break;
                }
                ++code;
            }
        }
        if (section != -1 && !key.empty())
            handle(scope, handler, section, key, value, header, lineNumber);
    }
}

void runNumberedPass(const std::optional<std::string>& text, std::string_view prefix, int initialIndex,
                     const Handler& handler)
{
    if (!text)
        return;
    const PassScope scope;
    int index = initialIndex;
    std::string key;
    std::string upper;
    std::string_view value;
    std::string_view header;
    std::int64_t lineNumber = 0;
    for (std::string_view line : splitLines(*text)) {
        ++lineNumber;
        splitKeyValue(line, key, value);
        if (!line.empty() && line.front() == '[') {
            header = line;
            index = -1;
            upper = toUpper(line);
            if (auto n = numberedHeaderIndex(upper, prefix))
                index = *n;
        }
        if (index >= 0 && !key.empty())
            handle(scope, handler, index, key, value, header, lineNumber);
    }
}

} // namespace vxSectionText
