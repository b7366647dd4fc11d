// Numbers as text: the VRML's printf("%f") digits and the shortest text
// that reads back as the same float.
#include "vxNumberFormat.h"
#include "vxTestSupport.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

std::string printfF(double d)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "%f", d);
    return buf;
}

std::string ourF(float f)
{
    std::string s;
    vxNumberFormat::appendFixed6(s, f);
    return s;
}

std::string shortest(float f)
{
    char buf[vxNumberFormat::kMaxShortest];
    return std::string(buf, vxNumberFormat::formatShortest(buf, f));
}

} // namespace

TEST(NumberFormat, Fixed6MatchesPrintfOnTrickyValues)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float denorm = std::numeric_limits<float>::denorm_min();
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {0.0f, "0.000000"},
        {-0.0f, "-0.000000"},
        {1e-7f, "0.000000"},
        {-1e-7f, "-0.000000"},
        {1.0f, "1.000000"},
        {-12.5f, "-12.500000"},
        {0.1f, "0.100000"},
        // exact ties at the sixth decimal round half to even, as printf does
        {1.0f / 128, "0.007812"},
        {3.0f / 128, "0.023438"},
        {-5.0f / 128, "-0.039062"},
        {123456.7890625f, "123456.789062"},
        {2.5e-6f, "0.000002"},
        {1e30f, "1000000015047466219876688855040.000000"},
        {FLT_MAX, "340282346638528859811704183484516925440.000000"},
        {-FLT_MAX, "-340282346638528859811704183484516925440.000000"},
        {FLT_MIN, "0.000000"},
        {denorm, "0.000000"},
        {-denorm, "-0.000000"},
        {16777217.0f, "16777216.000000"},
        {inf, "inf"},
        {-inf, "-inf"},
        {nan, "nan"},
        {-nan, "-nan"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ourF(c.value), c.text) << c.text;
        EXPECT_EQ(ourF(c.value), printfF(static_cast<double>(c.value))) << c.text;
    }
    // A comma locale changes printf, not ours.
    vxTest::GermanLocale german;
    ASSERT_TRUE(german.ok) << "the de_DE.UTF-8 locale is missing (scripts/deps.sh generates it)";
    ASSERT_EQ(printfF(0.5), "0,500000");
    EXPECT_EQ(ourF(0.5f), "0.500000");
    EXPECT_EQ(shortest(0.5f), "0.5");
}

// Fixed6 writes what printf writes; the shortest text of a finite number
// reads back as the same float, without an exponent.
TEST(NumberFormat, Fixed6MatchesPrintfAndShortestReadsBackOnRandomBitPatterns)
{
    // Every exponent, random mantissas and signs, NaN payloads included.
    std::mt19937 rng(20240611);
    for (std::uint32_t exponent = 0; exponent < 256; ++exponent) {
        for (int k = 0; k < 400; ++k) {
            const std::uint32_t bits = (rng() & 0x807FFFFFu) | (exponent << 23);
            float f;
            std::memcpy(&f, &bits, 4);
            ASSERT_EQ(ourF(f), printfF(static_cast<double>(f))) << std::hex << bits;
            if (exponent == 255)
                continue;
            const std::string s = shortest(f);
            ASSERT_LT(s.size(), vxNumberFormat::kMaxShortest) << s;
            ASSERT_EQ(s.find_first_of("eE"), std::string::npos) << s;
            float back = 0;
            std::from_chars(s.data(), s.data() + s.size(), back);
            ASSERT_EQ(std::memcmp(&back, &f, 4), 0) << s;
        }
    }
    // A stride through all 2^32 bit patterns.
    for (std::uint64_t bits = 0; bits < (std::uint64_t{1} << 32); bits += 4099) {
        const auto b = static_cast<std::uint32_t>(bits);
        float f;
        std::memcpy(&f, &b, 4);
        ASSERT_EQ(ourF(f), printfF(static_cast<double>(f))) << std::hex << b;
    }
    // Around the magnitudes where the exact integer arithmetic ends, and
    // around half a millionth.
    for (float edge : {8796093022208.0f, 17592186044416.0f, 5e-7f, 4.76837158203125e-7f, 9.5367431640625e-7f,
                       1e-6f, 1.5e-6f, 2.5e-6f}) {
        float f = edge;
        for (int k = 0; k < 64; ++k)
            f = std::nextafter(f, 0.0f);
        for (int k = 0; k < 128; ++k, f = std::nextafter(f, 1e38f)) {
            ASSERT_EQ(ourF(f), printfF(static_cast<double>(f))) << f;
            ASSERT_EQ(ourF(-f), printfF(static_cast<double>(-f))) << -f;
        }
    }
    // Values near the ties of the sixth decimal in the usual model range.
    for (int i = -200000; i <= 200000; i += 7) {
        const float f = static_cast<float>(i) / 1024.0f + 0.0000005f;
        ASSERT_EQ(ourF(f), printfF(static_cast<double>(f))) << i;
    }
}

TEST(NumberFormat, ShortestTexts)
{
    const struct {
        float value;
        const char* text;
    } cases[] = {{0.0f, "0"},
                 {-0.0f, "-0"},
                 {0.1f, "0.1"},
                 {-12.5f, "-12.5"},
                 {3.0f, "3"},
                 {1e-7f, "0.0000001"},
                 {16777216.0f, "16777216"},
                 // whole floats beyond 32 bits (no int32_t value to compare with)
                 {3e9f, "3000000000"},
                 {-4294967296.0f, "-4294967296"}};
    for (const auto& c : cases)
        EXPECT_EQ(shortest(c.value), c.text);

    // The fast paths give the shortest text, as the standard library does:
    // whole numbers, and halves, quarters and so on, where a shorter text
    // sometimes reads back as the same float (1048576.25 is "1048576.2").
    for (int j = 0; j <= 12; ++j)
        for (std::int64_t k = -(std::int64_t{1} << 25); k <= (std::int64_t{1} << 25); k += 9973) {
            const float f = std::ldexp(static_cast<float>(k), -j);
            char expected[64];
            const auto end =
                std::to_chars(expected, expected + sizeof expected, f, std::chars_format::fixed).ptr;
            ASSERT_EQ(shortest(f), std::string(expected, end)) << k << " / 2^" << j;
        }
    EXPECT_EQ(shortest(1048576.25f), "1048576.2");
}

TEST(NumberFormat, Rounded4DropsTrailingZerosAndLeavesHugeValuesToTheShortestText)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.0, "0"},
                 {-0.0, "0"},
                 {-0.00004, "0"},
                 {0.00005, "0.0001"},
                 {0.75, "0.75"},
                 {-357.00613, "-357.0061"},
                 {-357.99996, "-358"},
                 {12.0, "12"},
                 {123456789.12345, "123456789.1235"},
                 {1e14, "100000000376832"},
                 {std::numeric_limits<double>::infinity(), "inf"},
                 {std::numeric_limits<double>::quiet_NaN(), "nan"}};
    for (const auto& c : cases) {
        char b[vxNumberFormat::kMaxShortest];
        EXPECT_EQ(std::string(b, vxNumberFormat::formatRounded4(b, c.value)), c.text) << c.value;
    }
}
