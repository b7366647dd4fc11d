#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Small helpers for writing texts out: JSON by hand, and texts for a
// terminal.
namespace vxJson {
// A quoted, escaped JSON string. Bytes that are not well-formed UTF-8 become
// U+FFFD, so that the output is always valid JSON.
std::string str(std::string_view s);
// The text for a terminal: control characters (C0, DEL, C1) and bytes that
// are not well-formed UTF-8 shown escaped (\x1B, \u009B), everything else as
// it is.
std::string printable(std::string_view s);
// Whether printable(s) is s itself: printable ASCII only (no control
// character, no byte above 126).
bool isPlainAscii(std::string_view s);
// Copies s to out when it is plain ASCII (see isPlainAscii) and returns the
// end of the copy; null when it is not.
char* copyPlainAscii(char* out, std::string_view s);
// The shortest text that reads back as the same float; null when not finite.
std::string num(float f);

// Writers into a buffer of at least kNumberRoom bytes; each returns the end
// of what it wrote.
inline constexpr std::size_t kNumberRoom = 32;
// num(f).
char* writeNum(char* out, float f);
// f with six significant digits, as a C++ stream or printf's %g shows it.
char* writeGeneral(char* out, float f);
// n in decimal, as std::to_chars writes it.
char* writeUnsigned(char* out, std::uint32_t n);
} // namespace vxJson
