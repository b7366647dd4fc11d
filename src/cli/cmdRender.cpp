#include "vxCli.h"
#include "vxImage.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"

#include <charconv>
#include <iostream>
#include <optional>

namespace vxCli {

namespace {

const char* kRenderHelp =
    "usage: kolbrik render MODEL.kmf OUT.png [--size WxH] [--grid] [--phase N [--paint-old-white]]\n"
    "                      [--resources DIR]\n"
    "\n"
    "Draws a model off-screen as the viewer's window shows it right after\n"
    "opening the file (same camera, light and colours; the grid hidden) and\n"
    "saves the picture as PNG. Needs no window system.\n"
    "\n"
    "  --size WxH        picture size in pixels (default 1024x768)\n"
    "  --grid            show the ground grid\n"
    "  --phase N         show the model at the end of building phase N: later\n"
    "                    parts hidden, the parts of phase N in their colours\n"
    "  --paint-old-white with --phase, draw the parts of earlier phases white\n"
    "  --resources DIR   read part definitions and meshes from DIR instead of\n"
    "                    the installed resource folder\n";

} // namespace

int cmdRender(const std::vector<std::string>& argsIn)
{
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args))
        return 2;
    std::vector<std::string> files;
    int width = 1024;
    int height = 768;
    bool grid = false;
    bool paintOldWhite = false;
    std::optional<std::int32_t> phase;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kRenderHelp;
            return 0;
        } else if (a == "--grid") {
            grid = true;
        } else if (a == "--paint-old-white") {
            paintOldWhite = true;
        } else if (a == "--phase") {
            std::int32_t n = 0;
            const std::string v = i + 1 < args.size() ? args[i + 1] : std::string();
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
            if (v.empty() || ec != std::errc() || p != v.data() + v.size()) {
                fail("render: --phase needs a whole number");
                return 2;
            }
            phase = n;
            ++i;
        } else if (a == "--size") {
            if (i + 1 >= args.size() || !vxParsePictureSize(args[i + 1], vxSizeText::kWidthByHeight, 1,
                                                            kMaxPictureSize, width, height)) {
                fail("render: --size needs WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxPictureSize));
                return 2;
            }
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            fail("render: unknown option " + a);
            std::cerr << kRenderHelp;
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        fail(files.size() < 2 ? "render: needs a model file and a picture file"
                              : "render: too many files given");
        std::cerr << kRenderHelp;
        return 2;
    }

    vxOffscreenView offscreen(width, height, grid);
    if (!offscreen.host.ok()) {
        fail("render: " + offscreen.host.error());
        return 1;
    }
    vxOpenGLView& view = offscreen.view;
    const vxLoadResult loaded = view.loadModelFromFile(files[0]);
    if (!loaded) {
        fail(loaded.error);
        return 1;
    }
    if (paintOldWhite && !phase) {
        fail("render: --paint-old-white goes with --phase");
        return 2;
    }
    if (phase) {
        view.setPaintOldWhite(paintOldWhite);
        view.repaintModelWithBauphase(*phase);
    }
    view.drawRect();
    std::string error;
    if (!vxWritePNG(offscreen.host.readPixels(), files[1], false, &error)) {
        fail(error);
        return 1;
    }
    return 0;
}

} // namespace vxCli
