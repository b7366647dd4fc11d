// Fuzzes the section reader: line splitting, key/value split, numbered
// headers and both number conversions.
#include "vxSectionText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t sink = 0;
    auto handler = [&](int section, std::string_view key, std::string_view value) {
        sink += static_cast<std::size_t>(section) + key.size() + value.size();
        sink += static_cast<std::size_t>(vxSectionText::toInteger(value));
        const float f = vxSectionText::toDecimal(value);
        sink += f == f ? 1 : 0;
    };
    std::optional<std::string> t(text);
    vxSectionText::runPlainPass(t, {"[CAMERA]", "[COMMON]"}, {1, 2}, 0, handler);
    vxSectionText::runNumberedPass(t, "[PART", 0, handler);
    vxSectionText::runNumberedPass(t, "[CHILD", 0, handler);
    return sink == 42 ? 0 : 0;
}
