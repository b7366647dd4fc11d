#include "vxBookletArguments.h"

#include "vxBookletPictures.h"
#include "vxCli.h"
#include "vxImage.h"
#include "vxJson.h"

#include <charconv>
#include <cmath>
#include <iostream>

namespace vxCli {

namespace {

std::string vectorText(const vxVector& v)
{
    return vxJson::num(v.x()) + "," + vxJson::num(v.y()) + "," + vxJson::num(v.z());
}

// The shortest text that reads back as the same double.
std::string doubleText(double d)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

// "N,N,...": part numbers from 1, as indices into the part list.
std::optional<std::vector<std::size_t>> partNumbers(const std::string& text)
{
    std::vector<std::size_t> parts;
    const char* p = text.data();
    const char* end = p + text.size();
    while (true) {
        std::size_t n = 0;
        const auto [next, ec] = std::from_chars(p, end, n);
        if (ec != std::errc() || n == 0)
            return std::nullopt;
        parts.push_back(n - 1);
        p = next;
        if (p == end)
            return parts;
        if (*p != ',')
            return std::nullopt;
        ++p;
    }
}

// Pixels that differ between two pictures of one size.
long differingPixels(const QImage& a, const QImage& b)
{
    long n = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            n += (ra[x] & 0xFFFFFFu) != (rb[x] & 0xFFFFFFu);
    }
    return n;
}

} // namespace

std::vector<std::string> bookletRenderArguments(const vxBookletRender& render, QSize drawn,
                                                const std::string& resources)
{
    std::vector<std::string> a = {"--booklet",
                                  "--size",
                                  sizeText(render.width, render.height),
                                  "--phase",
                                  std::to_string(render.phase),
                                  "--camera",
                                  vectorText(render.eye) + "," + vectorText(render.target),
                                  "--up",
                                  vectorText(render.up),
                                  "--fov",
                                  doubleText(render.fieldOfView)};
    if (drawn.isValid())
        a.insert(a.end(), {"--drawn", sizeText(drawn.width(), drawn.height())});
    if (render.highlight)
        a.push_back("--highlight");
    if (render.seeThrough)
        a.push_back("--see-through");
    if (!render.leftOut.empty()) {
        std::string parts;
        for (const std::size_t i : render.leftOut)
            parts += (parts.empty() ? "" : ",") + std::to_string(i + 1);
        a.insert(a.end(), {"--left-out", parts});
    }
    if (!resources.empty())
        a.insert(a.end(), {"--resources", resources});
    return a;
}

bool loadBookletModel(vxBookletPictures& pictures, const std::string& command, const std::string& path)
{
    if (!pictures.ok()) {
        fail(command + ": " + pictures.error());
        return false;
    }
    const vxLoadResult loaded = pictures.load(path);
    if (!loaded) {
        fail(loaded.error);
        return false;
    }
    printFindings(pictures.model(), loaded.findings);
    return true;
}

int renderBookletPicture(const Arguments& args, const std::vector<std::string>& files)
{
    vxBookletRender render;
    std::optional<std::int32_t> phase;
    std::optional<std::vector<float>> camera, up;
    std::optional<double> fov;
    QSize size(1024, 768), drawn;
    std::vector<std::size_t> counted, leftOut;
    auto pictureSize = [](const std::string& v, QSize& out) {
        int w = 0, h = 0;
        if (!vxParsePictureSize(v, vxSizeText::kWidthByHeight, 1, kMaxPictureSize, w, h))
            return false;
        out = QSize(w, h);
        return true;
    };
    const bool ok =
        args.read("--size", [&](const std::string& v) { return pictureSize(v, size); }) &&
        args.read("--drawn", [&](const std::string& v) { return pictureSize(v, drawn); }) &&
        args.readWholeNumber("--phase", phase) &&
        args.read("--camera",
                  [&](const std::string& v) {
                      camera = numberList(v, 6);
                      return camera && ((*camera)[0] != (*camera)[3] || (*camera)[1] != (*camera)[4] ||
                                        (*camera)[2] != (*camera)[5]);
                  }) &&
        args.read("--up",
                  [&](const std::string& v) {
                      up = numberList(v, 3);
                      return up && ((*up)[0] != 0 || (*up)[1] != 0 || (*up)[2] != 0);
                  }) &&
        args.read("--fov",
                  [&](const std::string& v) {
                      double d = 0;
                      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
                      fov = d;
                      return ec == std::errc() && end == v.data() + v.size() && d > 0 && d < 180;
                  }) &&
        args.read("--left-out",
                  [&](const std::string& v) {
                      const auto parts = partNumbers(v);
                      if (parts)
                          leftOut.insert(leftOut.end(), parts->begin(), parts->end());
                      return parts.has_value();
                  }) &&
        args.read("--count-parts", [&](const std::string& v) {
            const auto parts = partNumbers(v);
            if (parts)
                counted.insert(counted.end(), parts->begin(), parts->end());
            return parts.has_value();
        });
    if (!ok)
        return 2;
    for (const char* classic : {"--grid", "--paint-old-white", "--view", "--fit", "--orthographic", "--style",
                                "--moving", "--tubes"})
        if (args.has(classic))
            return args.error(std::string("--booklet draws as the booklet does: ") + classic +
                              " does not go with it");
    if (!mayWrite(files[0], files[1]))
        return 1;

    vxBookletPictures pictures;
    if (!loadBookletModel(pictures, "render", files[0]))
        return 1;
    const vxModel& model = pictures.model();
    for (const std::size_t part : counted)
        if (part >= static_cast<std::size_t>(std::max(model.count(), 0)))
            return args.error("--count-parts: the model has no part " + std::to_string(part + 1));
    for (const std::size_t part : leftOut)
        if (part >= static_cast<std::size_t>(std::max(model.count(), 0)))
            return args.error("--left-out: the model has no part " + std::to_string(part + 1));

    render = vxWholeModelRender(pictures.framing(), phase.value_or(model.maximumBauphase()), false,
                                size.width(), size.height());
    render.highlight = args.has("--highlight");
    render.seeThrough = args.has("--see-through");
    render.leftOut = leftOut;
    if (camera) {
        render.eye = vxVector((*camera)[0], (*camera)[1], (*camera)[2]);
        render.target = vxVector((*camera)[3], (*camera)[4], (*camera)[5]);
    }
    if (up)
        render.up = vxVector((*up)[0], (*up)[1], (*up)[2]);
    if (fov)
        render.fieldOfView = *fov;

    const QImage picture = pictures.draw(render, drawn);
    if (picture.isNull()) {
        fail("render: the picture cannot be drawn");
        return 1;
    }
    // How much of each part shows: the pixels that change without it.
    for (const std::size_t part : counted) {
        pictures.setPartLeftOut(part, true);
        const QImage without = pictures.draw(render, drawn);
        pictures.setPartLeftOut(part, false);
        if (without.isNull()) {
            fail("render: the picture cannot be drawn");
            return 1;
        }
        std::cout << "part " << part + 1 << ": " << differingPixels(picture, without) << " pixels\n";
    }
    vxImage image;
    image.width = picture.width();
    image.height = picture.height();
    image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < rgba.height(); ++y)
        std::copy_n(rgba.constScanLine(y), static_cast<std::size_t>(image.width) * 4,
                    image.rgba.begin() + static_cast<std::ptrdiff_t>(y) * image.width * 4);
    std::string error;
    if (!vxWritePNG(image, files[1], false, &error)) {
        fail(error);
        return 1;
    }
    return finishOutput(0);
}

} // namespace vxCli
