#pragma once

// Windows bitmap pictures, as the library's model previews use them:
// 24 bits per pixel, uncompressed (BI_RGB), rows stored bottom-up, each
// row padded to a multiple of four bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace vxGen {

struct vxBmpImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3 bytes, rows from the top
};

// The file bytes of an RGBA picture (rows from the top; alpha dropped).
std::string vxBmpBytes(int width, int height, const std::uint8_t* rgba);

// Writes the picture to path through a temporary file. False and *error
// on failure.
bool vxWriteBmp(const std::string& path, int width, int height, const std::uint8_t* rgba,
                std::string* error = nullptr);

// Reads a 24-bit BI_RGB bitmap (bottom-up or top-down). An empty picture
// and *error when the file is missing or not such a bitmap.
vxBmpImage vxReadBmp(const std::string& path, std::string* error = nullptr);

} // namespace vxGen
