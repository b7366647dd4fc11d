// The one JSON string escaper of the reports and the glTF export.
#include "vxJsonString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string escaped(std::string_view s, vxJsonString::Controls controls)
{
    std::string out;
    vxJsonString::escape(s, controls, [&](std::string_view piece) { out += piece; });
    return out;
}

} // namespace

// Quotes, backslashes and control characters are escaped; UTF-8 stays as it
// is; every byte that begins no well-formed sequence (a stray continuation,
// an overlong form, a surrogate, a sequence cut off by the end) becomes one
// U+FFFD, and what follows it is read afresh.
TEST(JsonString, EscapesWhatJsonNeedsKeepsUtf8AndReplacesEachBadByte)
{
    using vxJsonString::Controls;
    const std::string fffd = "\xEF\xBF\xBD";
    struct Case {
        std::string in, shortForm, hexForm;
    };
    const Case cases[] = {
        {"", "", ""},
        {"plain text 123", "plain text 123", "plain text 123"},
        {"a\"b\\c/", "a\\\"b\\\\c/", "a\\\"b\\\\c/"},
        {"\n\r\t", "\\n\\r\\t", "\\u000a\\u000d\\u0009"},
        {std::string("\x01\x1f\b\f", 4), "\\u0001\\u001f\\u0008\\u000c", "\\u0001\\u001f\\u0008\\u000c"},
        {std::string("\0x", 2), "\\u0000x", "\\u0000x"},
        {"\x7f", "\x7f", "\x7f"},
        {"K\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", "K\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
         "K\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"a\x80z", "a" + fffd + "z", "a" + fffd + "z"},
        {"\xC0\xAF", fffd + fffd, fffd + fffd},                   // overlong '/'
        {"\xED\xA0\x80", fffd + fffd + fffd, fffd + fffd + fffd}, // a surrogate
        {"\xE2\x82", fffd + fffd, fffd + fffd},                   // cut off
        {"\xC3\"", fffd + "\\\"", fffd + "\\\""},
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd, fffd + fffd + fffd + fffd}, // above U+10FFFF
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escaped(c.in, Controls::kShort), c.shortForm) << c.in;
        EXPECT_EQ(escaped(c.in, Controls::kHex), c.hexForm) << c.in;
    }
}
