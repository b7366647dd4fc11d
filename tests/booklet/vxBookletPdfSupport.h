#pragma once

// Booklets read back with poppler's tools: page counts, where the pictures
// of each page stand, a page as pixels, runs of one colour in it.
#include "vxImage.h"
#include "vxTestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace vxTest {

inline int pdfPages(const std::string& pdf)
{
    std::smatch m;
    const std::string info = runCommand("pdfinfo '" + pdf + "'").out;
    return std::regex_search(info, m, std::regex("Pages: +([0-9]+)")) ? std::stoi(m[1]) : -1;
}

// Where every picture of every page stands, as pdftohtml finds them.
struct PlacedImage {
    int page = 0;
    double left = 0, top = 0, width = 0, height = 0;
};

inline std::vector<PlacedImage> placedImages(const std::string& pdf)
{
    TempDir dir;
    const std::string xml =
        runCommand("cd '" + dir.path() + "' && pdftohtml -xml -stdout '" + pdf + "' x").out;
    std::vector<PlacedImage> out;
    int page = 0;
    const std::regex item(
        R"re(<page number="(\d+)"|<image top="(-?[\d.]+)" left="(-?[\d.]+)" width="([\d.]+)" height="([\d.]+)")re");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), item); it != std::sregex_iterator(); ++it) {
        if ((*it)[1].matched)
            page = std::stoi((*it)[1]);
        else
            out.push_back(
                {page, std::stod((*it)[3]), std::stod((*it)[2]), std::stod((*it)[4]), std::stod((*it)[5])});
    }
    return out;
}

// No picture on a page covers part of another (a close-up or an extra
// picture beside or below its step's picture, never on it).
inline void expectNoPictureCoversAnother(const std::string& pdf)
{
    const auto images = placedImages(pdf);
    EXPECT_FALSE(images.empty());
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j) {
            const PlacedImage &a = images[i], &b = images[j];
            if (a.page != b.page)
                continue;
            const bool apart = a.left + a.width <= b.left + 0.5 || b.left + b.width <= a.left + 0.5 ||
                               a.top + a.height <= b.top + 0.5 || b.top + b.height <= a.top + 0.5;
            EXPECT_TRUE(apart) << "page " << a.page << ": " << a.left << "," << a.top << " " << a.width << "x"
                               << a.height << " and " << b.left << "," << b.top << " " << b.width << "x"
                               << b.height;
        }
}

// A page of the PDF as pixels at dpi (254: ten pixels a millimetre).
inline vxImage pdfPage(const std::string& pdf, int page, int dpi, const TempDir& dir)
{
    const std::string p = std::to_string(page);
    const std::string base = dir.file("page" + p + "-" + std::to_string(dpi));
    EXPECT_EQ(runCommand("pdftoppm -png -r " + std::to_string(dpi) + " -f " + p + " -l " + p +
                         " -singlefile '" + pdf + "' '" + base + "'")
                  .status,
              0);
    return vxReadPNG(base + ".png");
}

// Whether a pixel is within tolerance of a colour in each channel.
inline bool near(const std::array<std::uint8_t, 4>& c, int r, int g, int b, int tolerance = 12)
{
    return std::abs(c[0] - r) <= tolerance && std::abs(c[1] - g) <= tolerance &&
           std::abs(c[2] - b) <= tolerance;
}

// The longest horizontal runs of a colour on the page, one per row that has
// one, longest first.
inline std::vector<int> colourRuns(const vxImage& page, int r, int g, int b)
{
    std::vector<int> runs;
    for (int y = 0; y < page.height; ++y) {
        int longest = 0, run = 0;
        for (int x = 0; x < page.width; ++x) {
            run = near(page.pixel(x, y), r, g, b) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest > 0)
            runs.push_back(longest);
    }
    std::sort(runs.begin(), runs.end(), std::greater<>());
    return runs;
}

// How many pixels of a colour the page has.
inline int colourPixels(const vxImage& page, int r, int g, int b)
{
    int n = 0;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            n += near(page.pixel(x, y), r, g, b);
    return n;
}

} // namespace vxTest
