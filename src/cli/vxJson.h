#pragma once

#include <string>
#include <string_view>

// Small helpers for writing JSON by hand.
namespace vxJson {
// A quoted, escaped JSON string.
std::string str(std::string_view s);
// The shortest text that reads back as the same float; null when not finite.
std::string num(float f);
} // namespace vxJson
