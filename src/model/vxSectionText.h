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

// Leading white space, optional sign, decimal digits; clamped to 32 bits;
// no digits gives 0.
std::int32_t toInteger(std::string_view value);

// Every "," read as "."; leading white space, optional sign, digits with an
// optional fraction and exponent; no number gives 0.0; beyond the float
// range gives +-infinity. Independent of the locale.
float toDecimal(std::string_view value);

// Key (upper-cased first piece) and value (second piece, as written) of a
// line; both empty when the line holds no "=".
void splitKeyValue(std::string_view line, std::string& key, std::string_view& value);

using Handler = std::function<void(int section, const std::string& key, std::string_view value)>;

// A pass with plain headers matched on the whole upper-cased line; the i-th
// header sets the current section to codes[i]. The handler runs for every
// key line with a non-empty key while the current section is not -1.
void runPlainPass(const std::optional<std::string>& text, std::initializer_list<std::string_view> headers,
                  std::initializer_list<int> codes, int initialSection, const Handler& handler);

// A pass with numbered headers "[PREFIX" n "]"; the current section is the
// element index n - 1. The handler runs for key lines while the index is >= 0.
void runNumberedPass(const std::optional<std::string>& text, std::string_view prefix, int initialIndex,
                     const Handler& handler);

// The index n - 1 that an upper-cased line selects as a numbered header for
// prefix, or nullopt when the line is no such header.
std::optional<std::int32_t> numberedHeaderIndex(std::string_view upperLine, std::string_view prefix);

} // namespace vxSectionText
