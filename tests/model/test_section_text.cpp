#include "vxSectionPass.h"
#include "vxSectionText.h"
#include "vxTestSupport.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

using namespace vxSectionText;

TEST(SectionText, LinesSplitOnlyAtCrLf)
{
    auto l = splitLines("a\r\nb\nc\rd\r\n");
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "a");
    EXPECT_EQ(l[1], "b\nc\rd");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(splitLines("").size(), 1u);
}

TEST(SectionText, KeyAndValue)
{
    const std::pair<std::string, std::pair<std::string, std::string>> cases[] = {
        {"count=7=9", {"COUNT", "7"}},     // the key in capitals, the value up to a second "="
        {"NAME = x", {"NAME ", " x"}},     // spaces are kept
        {"Name=MiXed", {"NAME", "MiXed"}}, // the value as it is
        {"no equals", {"", ""}},
    };
    for (const auto& [line, expected] : cases) {
        std::string key;
        std::string_view value;
        splitKeyValue(line, key, value);
        EXPECT_EQ(key, expected.first) << line;
        EXPECT_EQ(value, expected.second) << line;
    }
}

// Numbers convert as far as they go, whatever the locale.
TEST(SectionText, NumberConversion)
{
    const std::pair<const char*, std::int32_t> integers[] = {{"12abc", 12},
                                                             {"  -42", -42},
                                                             {"abc", 0},
                                                             {"", 0},
                                                             {"- 5", 0},
                                                             {"2,7", 2},
                                                             {"2147483647", INT32_MAX},
                                                             {"2147483648", INT32_MAX},
                                                             {"4294967295", INT32_MAX},
                                                             {"-2147483648", INT32_MIN},
                                                             {"-99999999999999999999", INT32_MIN}};
    for (const auto& [text, value] : integers)
        EXPECT_EQ(toInteger(text), value) << text;
    const std::pair<const char*, float> decimals[] = {
        {"1,25", 1.25f}, {"1.25", 1.25f}, {"abc", 0.0f},   {" -3.5e2xyz", -350.0f},
        {"1e", 1.0f},    {".5", 0.5f},    {"1,2,3", 1.2f}, {"0.1", 0.1f},
        {"1e-60", 0.0f}, {"inf", 0.0f},   {"nan", 0.0f},   {"0x10", 0.0f}};
    for (const auto& [text, value] : decimals)
        EXPECT_EQ(toDecimal(text), value) << text;
    EXPECT_EQ(toDecimal("1e40"), INFINITY);
    EXPECT_EQ(toDecimal("-1e400"), -INFINITY);
    // Beyond even a double: the value's own decimal exponent says which way.
    const std::string zeros(400, '0');
    const std::pair<std::string, float> beyond[] = {
        {"0." + zeros + "1", 0.0f},         {"-0." + zeros + "1", -0.0f},
        {"1" + zeros + "e-5", INFINITY},    {"-1" + zeros, -INFINITY},
        {"0." + zeros + "1e500", INFINITY}, {"1" + zeros + "e-99999999999999999999", 0.0f}};
    for (const auto& [text, value] : beyond) {
        EXPECT_EQ(toDecimal(text), value) << text.size() << " characters";
        EXPECT_EQ(std::signbit(toDecimal(text)), std::signbit(value));
    }
    // Short numbers take a quicker road to the same correctly rounded float.
    for (std::uint32_t i = 0; i < 200000; ++i) {
        const std::uint32_t digits = (i * 2654435761u) % 10000000u;
        std::string text = std::to_string(digits);
        const std::size_t point = i % 8;
        if (point < text.size())
            text.insert(text.size() - point, ".");
        float expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(toDecimal(text), expected) << text;
        ASSERT_EQ(toDecimal("-" + text), -expected) << text;
    }

    vxTest::GermanLocale german;
    ASSERT_TRUE(german.ok) << "the de_DE.UTF-8 locale is missing (scripts/deps.sh generates it)";
    EXPECT_EQ(toDecimal("1.25"), 1.25f) << "in de_DE";
    EXPECT_EQ(toDecimal("1,25"), 1.25f) << "in de_DE";
    EXPECT_EQ(toDecimal("-0.5e1"), -5.0f) << "in de_DE";
}

TEST(SectionText, NumberedHeaders)
{
    EXPECT_EQ(numberedHeaderIndex("[PART12]", "[PART"), 11);
    EXPECT_EQ(numberedHeaderIndex("[PART12", "[PART"), 0); // last character is excluded
    EXPECT_EQ(numberedHeaderIndex("[PART3", "[PART"), std::nullopt);
    EXPECT_EQ(numberedHeaderIndex("[CHILDS]", "[CHILD"), -1);
    EXPECT_EQ(numberedHeaderIndex("[TUBE0]", "[TUBE"), -1);
    EXPECT_EQ(numberedHeaderIndex("[PART-2147483648]", "[PART"), INT32_MIN);
}

TEST(SectionText, PlainPassSectionRules)
{
    std::string text = vxTest::crlf({"A=before", "[Common]", "A=1", "", "A=2", "[COMMON] ", "A=3", "[OTHER]",
                                     "A=4", "[camera]", "a=5", "[COMMON]", "A=6"});
    std::vector<std::pair<int, std::string>> seen;
    runPlainPass(std::optional<std::string>(text), {"[CAMERA]", "[COMMON]"}, {1, 2}, 0,
                 [&](int s, std::string_view k, std::string_view v) {
                     if (k == "A")
                         seen.emplace_back(s, std::string(v));
                 });
    std::vector<std::pair<int, std::string>> expected = {
        {0, "before"}, {2, "1"}, {2, "2"}, {1, "5"}, {2, "6"}};
    EXPECT_EQ(seen, expected);
}

TEST(SectionText, NumberedPassKeepsElementAcrossEmptyLines)
{
    std::string text = vxTest::crlf({"K=a", "[PART2]", "K=b", "", "K=c", "[PART3", "K=d", "[PART1]", "K=e"});
    std::vector<std::pair<int, std::string>> seen;
    runNumberedPass(
        std::optional<std::string>(text), "[PART", 0,
        [&](int i, std::string_view, std::string_view v) { seen.emplace_back(i, std::string(v)); });
    std::vector<std::pair<int, std::string>> expected = {{0, "a"}, {1, "b"}, {1, "c"}, {0, "e"}};
    EXPECT_EQ(seen, expected);
}

// The pass finds lines, keys and values as splitLines and splitKeyValue
// do, wherever the line ends, the "=" and the case of the key fall in the
// blocks that it reads at once.
TEST(SectionText, PassReadsKeyLinesAsTheLineSplitterDoes)
{
    const char alphabet[] = {'\r', '\n', '=', '=', 'a',    'z',    'A', 'Z',
                             '@',  '`',  '{', '_', '\xE4', '\xC3', ' '};
    std::uint32_t seed = 1;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (int n = static_cast<int>((seed = seed * 1103515245 + 12345) >> 16) % 120; n > 0; --n)
            text += alphabet[((seed = seed * 1103515245 + 12345) >> 16) % sizeof alphabet];
        std::vector<std::pair<std::string, std::string>> expected, seen;
        for (std::string_view line : splitLines(text)) {
            std::string key;
            std::string_view value;
            splitKeyValue(line, key, value);
            if (!key.empty())
                expected.emplace_back(key, value);
        }
        runNumberedPass(std::optional<std::string>(text), "[PART", 0,
                        [&](int, std::string_view k, std::string_view v) { seen.emplace_back(k, v); });
        ASSERT_EQ(seen, expected) << round;
    }
}

namespace {

// How the quick readers and the conversions at once read one value at the
// start of a line that goes on after it, far enough for a block to be looked
// at, cut as a pass cuts it: at its first CR LF.
struct QuickReading {
    std::string text;
    std::string_view line;
    const char* afterDecimal;
    const char* afterInteger;
    float decimal = -1;
    std::int32_t integer = -1;
    bool decimalAtOnceTakes;
    bool integerAtOnceTakes;
    float decimalAtOnceValue = 0;
    std::int32_t integerAtOnceValue = 0;

    explicit QuickReading(const std::string& value) : text(value + "\r\nXPOS=5\r\n[PART2]\r\n")
    {
        using namespace vxSectionText::detail;
        line = std::string_view(text.data(), text.find("\r\n"));
        const char* const end = text.data() + text.size();
        afterDecimal = quickDecimal(text.data(), end, decimal);
        afterInteger = quickInteger(text.data(), end, integer);
        // The forms that the quick readers are made for.
        decimalAtOnceTakes =
            decimalAtOnce(line, decimalAtOnceValue) && line.find('=') == std::string_view::npos;
        integerAtOnceTakes =
            integerAtOnce(line, integerAtOnceValue) && line.size() - (line[0] == '-' ? 1 : 0) <= 8;
    }
};

// Every text of up to five characters of an alphabet of what numbers are
// made of and what ends them; then longer numbers, with and without sign and
// point, up to the longest that the quick readers take and beyond.
void forEachShortValue(const std::function<void(const std::string&)>& check)
{
    const char alphabet[] = {'0', '1', '5', '9', '.', ',', '-', '=', 'e', ' ', '\r', '\xB9'};
    std::string value;
    const std::function<void(int)> each = [&](int left) {
        check(value);
        if (left == 0)
            return;
        for (char c : alphabet) {
            value.push_back(c);
            each(left - 1);
            value.pop_back();
        }
    };
    each(5);
    std::uint32_t seed = 7;
    for (int round = 0; round < 200000; ++round) {
        const auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
        std::string v = next() % 2 ? "-" : "";
        const unsigned digits = 1 + next() % 10;
        for (unsigned k = 0; k < digits; ++k)
            v += static_cast<char>('0' + next() % 10);
        if (next() % 3)
            v.insert(v.size() - next() % (digits + 1), 1, next() % 2 ? '.' : ',');
        check(v);
    }
}

} // namespace

// A quick reader, when it takes a value, reads what the conversion at once
// reads and goes on at the next line; in every build, SSE2 or not.
TEST(SectionText, AQuickResultWhenGivenIsTheFullConversion)
{
    forEachShortValue([](const std::string& value) {
        const QuickReading r(value);
        if (r.afterDecimal) {
            ASSERT_TRUE(r.decimalAtOnceTakes) << "[" << value << "]";
            ASSERT_EQ(r.afterDecimal, r.line.data() + r.line.size() + 2);
            ASSERT_EQ(std::memcmp(&r.decimal, &r.decimalAtOnceValue, sizeof r.decimal), 0)
                << "[" << value << "]"; // -0 included
        }
        if (r.afterInteger) {
            ASSERT_TRUE(r.integerAtOnceTakes) << "[" << value << "]";
            ASSERT_EQ(r.afterInteger, r.line.data() + r.line.size() + 2);
            ASSERT_EQ(r.integer, r.integerAtOnceValue) << "[" << value << "]";
        }
    });
}

// With SSE2, the quick readers take every value of the forms they are made
// for (the scalar build leaves all but single digits to the full pass).
TEST(SectionText, TheSse2QuickPathTakesEveryShortNumber)
{
    if (!vxSectionText::detail::kSse2)
        GTEST_SKIP() << "a build without SSE2";
    forEachShortValue([](const std::string& value) {
        const QuickReading r(value);
        ASSERT_EQ(r.afterDecimal != nullptr, r.decimalAtOnceTakes) << "[" << value << "]";
        ASSERT_EQ(r.afterInteger != nullptr, r.integerAtOnceTakes) << "[" << value << "]";
    });
}

// A bad number counts when a key handler reports it: also for a copy of its
// value, which it quotes; a plain conversion, a good value, a pass nested in
// the handler and a report outside any handler count nothing. The key and
// line are the handler's.
TEST(SectionText, BadNumbersAreWhatKeyHandlersReport)
{
    const std::string text =
        vxTest::crlf({"[PART1]", "COPY=12abc", "PLAIN=x", "GOOD=7", "SAID=fine", "NESTED=1"});
    NumberWatch watch;
    EXPECT_EQ(readDecimal("abc"), 0.0f); // no pass runs
    runNumberedPass(
        std::optional<std::string>(text), "[PART", 0, [](int, std::string_view key, std::string_view value) {
            if (key == "COPY")
                EXPECT_EQ(readInteger(std::string(value)), 12);
            else if (key == "PLAIN")
                EXPECT_EQ(toDecimal(value), 0.0f);
            else if (key == "GOOD")
                EXPECT_EQ(readInteger(value), 7);
            else if (key == "SAID")
                reportBadNumber("all wrong", "-1");
            else if (key == "NESTED")
                runNumberedPass(std::optional<std::string>("[PART1]\r\nX=bad"), "[PART", 0,
                                [](int, std::string_view, std::string_view v) { readDecimal(v); });
        });
    readInteger("bad"); // after the pass
    EXPECT_EQ(watch.total, 2);
    ASSERT_EQ(watch.found.size(), 2u);
    EXPECT_EQ(watch.found[0].key + "=" + watch.found[0].value + " " + watch.found[0].readAs, "COPY=12abc 12");
    EXPECT_EQ(watch.found[0].section, "[PART1]");
    EXPECT_EQ(watch.found[0].line, 2);
    EXPECT_EQ(watch.found[1].key + "=" + watch.found[1].value + " " + watch.found[1].readAs,
              "SAID=all wrong -1");
    EXPECT_EQ(watch.found[1].line, 5);
}

// A value, or a header line, is quoted up to its first 40 characters, cut
// before a character, with the length of the whole.
TEST(SectionText, BadNumbersQuoteTheirFirstFortyCharacters)
{
    const std::string ae = "\xc3\xa4"; // U+00E4, two bytes
    std::string fortyAe;
    for (int i = 0; i < 40; ++i)
        fortyAe += ae;
    const struct {
        std::string value, quoted;
        std::int64_t length;
    } cases[] = {
        {"", "", 0},
        {std::string(40, '7'), std::string(40, '7'), 40},
        {std::string(41, '7'), std::string(40, '7'), 41},
        {std::string(10 << 20, 'x'), std::string(40, 'x'), 10 << 20},
        {fortyAe + ae + "x", fortyAe, 42},
        {"1" + fortyAe, "1" + fortyAe.substr(0, 78), 41},
    };
    for (const auto& c : cases) {
        std::int64_t length = -1;
        EXPECT_EQ(quoted(c.value, &length), c.quoted) << c.value.substr(0, 50);
        EXPECT_EQ(length, c.length);
    }
    // In a watched pass: value and header.
    const std::string longHeader = "[PART1" + std::string(100, ' ') + "]";
    NumberWatch watch;
    runNumberedPass(std::optional<std::string>(longHeader + "\r\nXPOS=" + std::string(1000, '1') + "q"),
                    "[PART", 0, [](int, std::string_view, std::string_view value) { readDecimal(value); });
    ASSERT_EQ(watch.found.size(), 1u);
    EXPECT_EQ(watch.found[0].value, std::string(40, '1'));
    EXPECT_EQ(watch.found[0].valueLength, 1001);
    EXPECT_EQ(watch.found[0].section, longHeader.substr(0, 40));
    EXPECT_EQ(watch.found[0].sectionLength, 107);
    EXPECT_EQ(watch.found[0].readAs, "inf");
}
