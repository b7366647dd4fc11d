#include "vxJson.h"

#include "vxTextFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vxJson {

std::string str(std::string_view s)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = utf8SequenceLength(s, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD
            ++i;
            continue;
        }
        if (len > 1) {
            out.append(s, i, len);
            i += len;
            continue;
        }
        ++i;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
    }
    out += '"';
    return out;
}

void appendPrintable(std::string& out, std::string_view s)
{
    bool plain = true;
    for (unsigned char c : s)
        if (c < 0x20 || c >= 0x7F) {
            plain = false;
            break;
        }
    if (plain) {
        out += s;
        return;
    }
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = utf8SequenceLength(s, i);
        char buf[8];
        if (len == 0 || (len == 1 && (c < 0x20 || c == 0x7F))) {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
            ++i;
        } else if (len == 2 && c == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0) {
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned char>(s[i + 1]));
            out += buf;
            i += 2;
        } else {
            out.append(s, i, len);
            i += len;
        }
    }
}

std::string printable(std::string_view s)
{
    std::string out;
    appendPrintable(out, s);
    return out;
}

std::string num(float f)
{
    if (!std::isfinite(f))
        return "null";
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, f);
    return std::string(buf, r.ptr);
}

} // namespace vxJson
