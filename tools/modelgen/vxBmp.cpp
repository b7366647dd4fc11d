#include "vxBmp.h"
#include "vxAtomicFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vxGen {

namespace {

void put16(std::string& s, std::uint32_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
}

void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

std::uint32_t get16(const std::string& s, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8;
}

std::uint32_t get32(const std::string& s, std::size_t at)
{
    return get16(s, at) | get16(s, at + 2) << 16;
}

vxBmpImage failed(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return {};
}

} // namespace

std::string vxBmpBytes(int width, int height, const std::uint8_t* rgba)
{
    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    const std::size_t row = (w * 3 + 3) / 4 * 4;
    const std::size_t pixels = row * h;
    std::string s;
    s.reserve(54 + pixels);
    // File header.
    s += "BM";
    put32(s, static_cast<std::uint32_t>(54 + pixels));
    put32(s, 0);
    put32(s, 54);
    // Info header (BITMAPINFOHEADER).
    put32(s, 40);
    put32(s, static_cast<std::uint32_t>(width));
    put32(s, static_cast<std::uint32_t>(height)); // positive: bottom-up rows
    put16(s, 1);
    put16(s, 24);
    put32(s, 0); // BI_RGB
    put32(s, static_cast<std::uint32_t>(pixels));
    put32(s, 2835); // 72 dots per inch
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (std::size_t y = h; y-- > 0;) {
        const std::uint8_t* p = rgba + y * w * 4;
        for (std::size_t x = 0; x < w; ++x, p += 4) {
            s += static_cast<char>(p[2]);
            s += static_cast<char>(p[1]);
            s += static_cast<char>(p[0]);
        }
        s.append(row - w * 3, '\0');
    }
    return s;
}

bool vxWriteBmp(const std::string& path, int width, int height, const std::uint8_t* rgba, std::string* error)
{
    if (width <= 0 || height <= 0 || !rgba) {
        if (error)
            *error = "empty picture for " + path;
        return false;
    }
    const std::string bytes = vxBmpBytes(width, height, rgba);
    const vxWriteResult r = vxWriteFileAtomically(path, bytes);
    if (!r && error)
        *error = r.error;
    return r.ok;
}

vxBmpImage vxReadBmp(const std::string& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failed(error, "cannot read " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    const std::string s = ss.str();
    if (s.size() < 54 || s[0] != 'B' || s[1] != 'M')
        return failed(error, path + " is no bitmap");
    const std::uint32_t offset = get32(s, 10), header = get32(s, 14);
    const auto width = static_cast<std::int32_t>(get32(s, 18));
    const auto height = static_cast<std::int32_t>(get32(s, 22));
    if (header < 40 || get16(s, 26) != 1 || get16(s, 28) != 24 || get32(s, 30) != 0)
        return failed(error, path + " is not a 24-bit uncompressed bitmap");
    if (width <= 0 || height == 0 || width > 65536 || height > 65536 || height < -65536)
        return failed(error, path + " has an unusable size");
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height < 0 ? -height : height);
    const std::size_t row = (w * 3 + 3) / 4 * 4;
    if (offset < 54 || offset > s.size() || s.size() - offset < row * h)
        return failed(error, path + " is cut short");
    vxBmpImage img;
    img.width = width;
    img.height = static_cast<int>(h);
    img.rgb.resize(w * h * 3);
    for (std::size_t y = 0; y < h; ++y) {
        const std::size_t fileRow = height > 0 ? h - 1 - y : y;
        const std::size_t at = offset + fileRow * row;
        for (std::size_t x = 0; x < w; ++x) {
            img.rgb[(y * w + x) * 3 + 0] = static_cast<std::uint8_t>(s[at + x * 3 + 2]);
            img.rgb[(y * w + x) * 3 + 1] = static_cast<std::uint8_t>(s[at + x * 3 + 1]);
            img.rgb[(y * w + x) * 3 + 2] = static_cast<std::uint8_t>(s[at + x * 3 + 0]);
        }
    }
    return img;
}

} // namespace vxGen
