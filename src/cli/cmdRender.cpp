#include "vxCli.h"
#ifdef KOLBRIK_CLI_BOOKLET
#include "vxBookletArguments.h"
#endif
#include "vxCommandOptions.h"
#include "vxImage.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"

#include <cmath>
#include <iostream>
#include <optional>

namespace vxCli {

namespace {

// Reads "EX,EY,EZ,TX,TY,TZ": six finite numbers, eye and target apart.
bool parseCamera(const std::string& text, vxCameraPose& pose)
{
    const auto v = numberList(text, 6);
    if (!v || ((*v)[0] == (*v)[3] && (*v)[1] == (*v)[4] && (*v)[2] == (*v)[5]))
        return false;
    pose.position = vxVector((*v)[0], (*v)[1], (*v)[2]);
    pose.target = vxVector((*v)[3], (*v)[4], (*v)[5]);
    return true;
}

// The views in the order --view names them.
constexpr vxStandardView kViews[] = {vxStandardView::kFront, vxStandardView::kBack, vxStandardView::kLeft,
                                     vxStandardView::kRight, vxStandardView::kTop,  vxStandardView::kBottom,
                                     vxStandardView::kIso};
static_assert(std::size(kViews) == wordCount(optionNamed(kRenderOptions, "--view")->words));

// The styles in the order --style names them.
constexpr vxDrawStyle kStyles[] = {vxDrawStyle::kClassic, vxDrawStyle::kOutlined};
static_assert(std::size(kStyles) == wordCount(optionNamed(kRenderOptions, "--style")->words));

} // namespace

int cmdRender(const std::vector<std::string>& argsIn)
{
    const Arguments args(kRenderOptions, argsIn);
    if (args.exit())
        return *args.exit();
    if (args.has("--booklet")) {
        if (args.operands().size() != 2)
            return args.usageError(args.operands().size() < 2 ? "needs a model file and a picture file"
                                                              : "too many files given");
#ifdef KOLBRIK_CLI_BOOKLET
        return renderBookletPicture(args, args.operands());
#else
        return args.error("--booklet: this build draws no building instructions");
#endif
    }
    for (const char* bookletOnly :
         {"--drawn", "--up", "--fov", "--see-through", "--left-out", "--count-parts"})
        if (args.has(bookletOnly))
            return args.error(std::string(bookletOnly) + " goes with --booklet");
    int width = 1024;
    int height = 768;
    std::optional<std::int32_t> phase;
    std::optional<vxStandardView> standard;
    std::optional<vxCameraPose> camera;
    vxDrawStyle style = vxDrawStyle::kClassic;
    const bool ok = args.read("--size",
                              [&](const std::string& v) {
                                  return vxParsePictureSize(v, vxSizeText::kWidthByHeight, 1, kMaxPictureSize,
                                                            width, height);
                              }) &&
                    args.readWholeNumber("--phase", phase) &&
                    args.read("--view",
                              [&](const std::string& v) {
                                  const auto word = args.wordOf("--view", v);
                                  return word && (standard = kViews[*word]);
                              }) &&
                    args.read("--camera",
                              [&](const std::string& v) {
                                  vxCameraPose pose;
                                  return parseCamera(v, pose) && (camera = pose);
                              }) &&
                    args.read("--style", [&](const std::string& v) {
                        const auto word = args.wordOf("--style", v);
                        if (word)
                            style = kStyles[*word];
                        return word.has_value();
                    });
    if (!ok)
        return 2;
    const std::vector<std::string>& files = args.operands();
    if (files.size() != 2)
        return args.usageError(files.size() < 2 ? "needs a model file and a picture file"
                                                : "too many files given");
    const bool grid = args.has("--grid");
    const bool paintOldWhite = args.has("--paint-old-white");
    const bool highlight = args.has("--highlight");
    const bool fit = args.has("--fit");
    const bool orthographic = args.has("--orthographic");
    const bool tubes = args.has("--tubes");
    const bool moving = args.has("--moving");

    if (standard && camera)
        return args.error("--view and --camera do not go together");

    if (!mayWrite(files[0], files[1]))
        return 1;

    vxOffscreenView offscreen(width, height, grid);
    if (!offscreen.host.ok()) {
        fail("render: " + offscreen.host.error());
        return 1;
    }
    vxOpenGLView& view = offscreen.view;
    if (style == vxDrawStyle::kOutlined && !offscreen.host.setSamples(vxOffscreenHost::kAntiAliasSamples)) {
        fail("render: " + offscreen.host.error());
        return 1;
    }
    view.setShowTubes(tubes);
    view.setDrawStyle(style);
    view.setMovingFrameForced(moving);
    const vxLoadResult loaded = view.loadModelFromFile(files[0]);
    if (!loaded) {
        fail(loaded.error);
        return 1;
    }
    printFindings(*view.model(), loaded.findings);
    if (paintOldWhite && !phase)
        return args.error("--paint-old-white goes with --phase");
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
