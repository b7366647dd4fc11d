#include "vxCli.h"
#include "vxImage.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"

#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>

namespace vxCli {

namespace {

const char* kRenderHelp =
    "usage: kolbrik render MODEL.kmf OUT.png [--size WxH] [--grid] [--phase N [--paint-old-white]]\n"
    "                      [--view NAME | --camera EX,EY,EZ,TX,TY,TZ] [--fit] [--orthographic]\n"
    "                      [--highlight] [--tubes] [--resources DIR]\n"
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
    "  --view NAME       a standard view, fitted to the visible parts: front\n"
    "                    (seen from -z), back, left (from +x), right (from -x),\n"
    "                    top, bottom or iso (from front, right and above)\n"
    "  --camera EX,EY,EZ,TX,TY,TZ\n"
    "                    the eye at (EX, EY, EZ) looking at (TX, TY, TZ)\n"
    "  --fit             keep the viewing direction and fit the visible parts\n"
    "                    into the picture\n"
    "  --orthographic    draw without perspective, the target's plane as large\n"
    "                    as in the perspective picture\n"
    "  --highlight       fade the parts of earlier phases toward the background,\n"
    "                    so that the parts the shown phase adds stand out\n"
    "  --tubes           draw the cables, hoses and ropes as round tubes along\n"
    "                    their paths\n"
    "  --resources DIR   read part definitions and meshes from DIR instead of\n"
    "                    the installed resource folder\n";

// Reads "EX,EY,EZ,TX,TY,TZ": six finite numbers, eye and target apart.
bool parseCamera(const std::string& text, vxCameraPose& pose)
{
    float v[6];
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 6; ++i) {
        auto [next, ec] = std::from_chars(p, end, v[i]);
        if (ec != std::errc() || !std::isfinite(v[i]))
            return false;
        p = next;
        if (i < 5) {
            if (p == end || *p != ',')
                return false;
            ++p;
        }
    }
    if (p != end || (v[0] == v[3] && v[1] == v[4] && v[2] == v[5]))
        return false;
    pose.position = vxVector(v[0], v[1], v[2]);
    pose.target = vxVector(v[3], v[4], v[5]);
    return true;
}

std::optional<vxStandardView> standardView(const std::string& name)
{
    static const std::pair<const char*, vxStandardView> names[] = {
        {"front", vxStandardView::kFront}, {"back", vxStandardView::kBack},
        {"left", vxStandardView::kLeft},   {"right", vxStandardView::kRight},
        {"top", vxStandardView::kTop},     {"bottom", vxStandardView::kBottom},
        {"iso", vxStandardView::kIso}};
    for (const auto& [n, v] : names)
        if (name == n)
            return v;
    return std::nullopt;
}

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
    bool highlight = false;
    bool tubes = false;
    std::optional<std::int32_t> phase;
    std::optional<vxStandardView> standard;
    std::optional<vxCameraPose> camera;
    bool fit = false;
    bool orthographic = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kRenderHelp;
            return 0;
        } else if (a == "--grid") {
            grid = true;
        } else if (a == "--paint-old-white") {
            paintOldWhite = true;
        } else if (a == "--fit") {
            fit = true;
        } else if (a == "--orthographic") {
            orthographic = true;
        } else if (a == "--view") {
            standard = i + 1 < args.size() ? standardView(args[i + 1]) : std::nullopt;
            if (!standard) {
                fail("render: --view needs one of front, back, left, right, top, bottom, iso");
                return 2;
            }
            ++i;
        } else if (a == "--camera") {
            vxCameraPose pose;
            if (i + 1 >= args.size() || !parseCamera(args[i + 1], pose)) {
                fail("render: --camera needs EX,EY,EZ,TX,TY,TZ: six numbers, the eye apart from the target");
                return 2;
            }
            camera = pose;
            ++i;
        } else if (a == "--highlight") {
            highlight = true;
        } else if (a == "--tubes") {
            tubes = true;
        } else if (a == "--phase") {
            phase = wholeNumber(i + 1 < args.size() ? args[i + 1] : std::string());
            if (!phase) {
                fail("render: --phase needs a whole number");
                return 2;
            }
            ++i;
        } else if (a == "--size") {
            if (i + 1 >= args.size() || !vxParsePictureSize(args[i + 1], vxSizeText::kWidthByHeight, 1,
                                                            kMaxPictureSize, width, height)) {
                fail("render: --size needs WIDTHxHEIGHT, each 1 to " + std::to_string(kMaxPictureSize));
                return 2;
            }
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            return usageError("render: unknown option " + a, kRenderHelp);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) {
        return usageError(files.size() < 2 ? "render: needs a model file and a picture file"
                                           : "render: too many files given",
                          kRenderHelp);
    }

    if (standard && camera) {
        fail("render: --view and --camera do not go together");
        return 2;
    }

    vxOffscreenView offscreen(width, height, grid);
    if (!offscreen.host.ok()) {
        fail("render: " + offscreen.host.error());
        return 1;
    }
    vxOpenGLView& view = offscreen.view;
    view.setShowTubes(tubes);
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
    if (camera)
        view.moveCameraTo(*camera);
    view.setOrthographic(orthographic);
    if (standard)
        view.showStandardView(*standard);
    else if (fit && !view.fitModel())
        std::cerr << "kolbrik: render: no part is visible, so there is nothing to fit\n";
    view.highlight().setEnabled(highlight);
    view.drawRect();
    std::string error;
    if (!vxWritePNG(offscreen.host.readPixels(), files[1], false, &error)) {
        fail(error);
        return 1;
    }
    return 0;
}

} // namespace vxCli
