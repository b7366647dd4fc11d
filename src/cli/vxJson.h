#pragma once

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
void appendPrintable(std::string& out, std::string_view s);
// The shortest text that reads back as the same float; null when not finite.
std::string num(float f);
} // namespace vxJson
