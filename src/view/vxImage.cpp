#include "vxImage.h"

#include "vxAtomicFile.h"

#include <png.h>

#include <charconv>
#include <cstring>

bool vxWritePNG(const vxImage& image, const std::string& path, bool keepAlpha, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (image.empty() || image.rgba.size() != static_cast<std::size_t>(image.width) *
                                                  static_cast<std::size_t>(image.height) * 4)
        return fail("no picture to write");

    std::vector<std::uint8_t> rgb;
    const void* pixels = image.rgba.data();
    if (!keepAlpha) {
        const std::size_t n = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
        rgb.resize(n * 3);
        for (std::size_t i = 0; i < n; ++i)
            std::memcpy(&rgb[i * 3], &image.rgba[i * 4], 3);
        pixels = rgb.data();
    }

    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = keepAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;

    // Encoded in memory, then written atomically: a reader never sees half
    // a file and a failed write leaves the old file alone.
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png, size, 0, pixels, 0, nullptr)) {
        const std::string why = png.message[0] ? png.message : "cannot encode the picture";
        png_image_free(&png);
        return fail("cannot write " + path + ": " + why);
    }
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels, 0, nullptr)) {
        const std::string why = png.message[0] ? png.message : "cannot encode the picture";
        png_image_free(&png);
        return fail("cannot write " + path + ": " + why);
    }
    bytes.resize(size);
    const vxWriteResult r = vxWriteFileAtomically(path, bytes);
    if (!r)
        return fail(r.error);
    return true;
}

vxImage vxReadPNG(const std::string& path, std::string* error)
{
    vxImage out;
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        if (error)
            *error = "cannot read " + path + ": " + png.message;
        return out;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> buffer(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, buffer.data(), 0, nullptr)) {
        if (error)
            *error = "cannot read " + path + ": " + png.message;
        png_image_free(&png);
        return out;
    }
    out.width = static_cast<int>(png.width);
    out.height = static_cast<int>(png.height);
    out.rgba = std::move(buffer);
    return out;
}

bool vxParsePictureSize(std::string_view text, vxSizeText form, int minSide, int maxSide, int& width,
                        int& height)
{
    auto side = [&](std::string_view digits, int& out) {
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), out);
        return !digits.empty() && ec == std::errc() && end == digits.data() + digits.size() &&
               out >= minSide && out <= maxSide;
    };
    int w = 0, h = 0;
    if (form == vxSizeText::kSquare) {
        if (!side(text, w))
            return false;
        h = w;
    } else {
        const auto x = text.find('x');
        if (x == std::string_view::npos || !side(text.substr(0, x), w) || !side(text.substr(x + 1), h))
            return false;
    }
    width = w;
    height = h;
    return true;
}
