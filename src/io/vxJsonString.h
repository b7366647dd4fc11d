#pragma once

// The inside of a JSON string, for every writer of JSON: the reports of the
// command-line tool and the glTF export.
#include "vxTextFile.h"

#include <cstddef>
#include <string_view>

namespace vxJsonString {

// How control characters (below U+0020) are written.
enum class Controls {
    kShort, // "\n", "\r" and "\t"; the others as "\u001b"
    kHex,   // every one as "\u000a"
};

// Calls put(piece) with the pieces of the inside of a JSON string that holds
// s, without the quotes: '"' and '\' escaped, control characters as given,
// every well-formed UTF-8 sequence as it is, and each byte that begins none
// as U+FFFD (so the text is always valid UTF-8). Runs that need no escaping
// come as one piece.
template <class Put> void escape(std::string_view s, Controls controls, Put&& put)
{
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        std::size_t length = 0;
        for (; i < s.size(); i += length) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c < 0x80)
                length = c >= 0x20 && c != '"' && c != '\\' ? 1 : 0;
            else
                length = utf8SequenceLength(s, i);
            if (length == 0)
                break;
        }
        if (i > start)
            put(s.substr(start, i - start));
        if (i == s.size())
            break;
        const auto c = static_cast<unsigned char>(s[i++]);
        if (c >= 0x80) {
            put(std::string_view("\xEF\xBF\xBD")); // U+FFFD
        } else if (c == '"' || c == '\\') {
            const char escaped[2] = {'\\', static_cast<char>(c)};
            put(std::string_view(escaped, 2));
        } else if (controls == Controls::kShort && (c == '\n' || c == '\r' || c == '\t')) {
            put(std::string_view(c == '\n' ? "\\n" : c == '\r' ? "\\r" : "\\t"));
        } else {
            const char escaped[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
            put(std::string_view(escaped, 6));
        }
    }
}

} // namespace vxJsonString
