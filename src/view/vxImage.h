#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An RGBA picture, 8 bits per channel, rows from top to bottom.
struct vxImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // width * height * 4 bytes

    bool empty() const { return width <= 0 || height <= 0; }
    // The pixel in column x, row y counted from the top.
    std::array<std::uint8_t, 4> pixel(int x, int y) const
    {
        const std::size_t i =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
};

// Writes the picture as a PNG file, replacing path only once the whole file
// is written. keepAlpha false writes an opaque RGB picture. On failure the
// reason goes to *error and false is returned.
bool vxWritePNG(const vxImage& image, const std::string& path, bool keepAlpha, std::string* error = nullptr);

// Reads a PNG file into RGBA (empty image and *error on failure).
vxImage vxReadPNG(const std::string& path, std::string* error = nullptr);

// How a command line gives a picture size: "WIDTHxHEIGHT", or one number N
// for a square N x N picture.
enum class vxSizeText { kWidthByHeight, kSquare };

// Reads a picture size given in that form, each side a plain decimal number
// from minSide to maxSide. False when text is anything else; width and
// height then keep their values.
bool vxParsePictureSize(std::string_view text, vxSizeText form, int minSide, int maxSide, int& width,
                        int& height);
