#include "vxSectionText.h"
#include "vxTestSupport.h"
#include "vxTextFile.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 locale is not installed";
    EXPECT_EQ(toDecimal("1.25"), 1.25f) << "in de_DE";
    EXPECT_EQ(toDecimal("1,25"), 1.25f) << "in de_DE";
    EXPECT_EQ(toDecimal("-0.5e1"), -5.0f) << "in de_DE";
    std::setlocale(LC_ALL, saved.c_str());
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

// Letters and the euro sign: the windows1252.kmf case of test_model.cpp.
TEST(TextFile, UnusedWindows1252BytesStayC1Controls)
{
    EXPECT_EQ(decodeWindows1252("a\x81\x9d"), "a\xc2\x81\xc2\x9d");
}

// A UTF-8 byte-order mark is skipped; valid UTF-8 stays as it is; anything
// else is Windows-1252.
TEST(TextFile, TextIsUtf8WhenItIsAndWindows1252Otherwise)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Kr\xc3\xa4n", "Kr\xc3\xa4n"},
        {"\xef\xbb\xbfKr\xc3\xa4n", "Kr\xc3\xa4n"},
        {"\xef\xbb\xbf[COMMON]", "[COMMON]"},
        {"Kr\xe4n", "Kr\xc3\xa4n"},
        {"\xef\xbb\xbfKr\xe4n", "Kr\xc3\xa4n"},                             // a mark, but not UTF-8 after it
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                                   // an overlong form is no UTF-8
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},                   // nor a surrogate
        {"\xf4\x90\x80\x80x", "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xacx"}, // nor above U+10FFFF
        {"\xf0\x9f\x99\x82 \xe2\x82\xac", "\xf0\x9f\x99\x82 \xe2\x82\xac"},
        {"ab\xc3", "ab\xc3\x83"}, // cut off
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(decodeText(bytes), text) << bytes;
}

// Odd names, links, FIFOs and devices: tests/cli/test_files.cpp.
TEST(TextFile, ReadsUpToTheSizeLimit)
{
    vxTest::TempDir dir;
    vxTest::writeFile(dir.file("big"), std::string(101, 'x'));
    auto r = readWholeFile(dir.file("big"), 100);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
    r = readWholeFile(dir.file("big"), 101);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.data.size(), 101u);
    vxTest::writeFile(dir.file("empty"), "");
    r = readWholeFile(dir.file("empty"), 100);
    EXPECT_TRUE(r.ok && r.data.empty()) << r.error;
}

TEST(TextFile, AFileLongerThanItsStatedSizeIsReadUpToTheLimit)
{
    // Files of /proc state a size of 0 and have content, as a file that
    // grows after it was opened does.
    struct stat st {};
    if (::stat("/proc/self/status", &st) != 0 || st.st_size != 0)
        GTEST_SKIP() << "no /proc";
    auto r = readWholeFile("/proc/self/status", 1 << 20);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NE(r.data.find("Name:"), std::string::npos);
    r = readWholeFile("/proc/self/status", 16);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
}
