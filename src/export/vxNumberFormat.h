#pragma once

// Numbers as text, whatever the process locale: the point is always the
// decimal separator. Each function writes at dst, which has room for the
// stated number of characters, and returns the end of what it wrote.
#include <cstddef>
#include <string>

namespace vxNumberFormat {

// Room that formatFixed6 needs: -FLT_MAX takes 47 characters.
inline constexpr std::size_t kMaxFixed6 = 48;
// Room that formatShortest needs: the longest texts are those of negative
// subnormals, below 50 characters.
inline constexpr std::size_t kMaxShortest = 64;

// f widened to double, exactly as printf("%f") prints it in the C locale:
// fixed-point, six decimals ("nan", "-nan", "inf" and "-inf" for the
// non-finite).
char* formatFixed6(char* dst, float f);

// The shortest fixed-point text that reads back as exactly f ("0.1",
// "-12.5", "0.0000001", "3"), never with an exponent. f must be finite.
char* formatShortest(char* dst, float f);

// v rounded to four decimals, without trailing zeros ("-357.0061", "0.75",
// "12", "0"). Values of 10^14 and beyond and the non-finite are written as
// formatShortest writes v in single precision. dst has room for
// kMaxShortest characters.
char* formatRounded4(char* dst, double v);

// formatFixed6 appended to a string.
void appendFixed6(std::string& out, float f);

} // namespace vxNumberFormat
