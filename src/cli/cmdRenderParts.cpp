#include "vxCli.h"
#include "vxDefinition.h"
#include "vxImage.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxPartPicture.h"
#include "vxResources.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace vxCli {

namespace {

const char* kRenderPartsHelp =
    "usage: kolbrik render-parts [NAME...] [--out DIR] [--size N] [--resources DIR]\n"
    "\n"
    "Draws one picture per part type, NAME.png, as the part panel shows it:\n"
    "the part's mesh in its definition's colour (near-black lifted to a dark\n"
    "grey), seen from the front, right and above and filling the picture,\n"
    "over the view's background. Without names, every NAME.stl of the\n"
    "resource folder is drawn.\n"
    "\n"
    "  --out DIR         where to write the pictures (default: the resource folder)\n"
    "  --size N          picture width and height in pixels (default 128)\n"
    "  --resources DIR   read definitions and meshes from DIR instead of the\n"
    "                    installed resource folder\n";

// Every NAME.stl in the resource folder, sorted.
std::vector<std::string> meshNames()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(vxResources::resourceFolderPath(), ec)) {
        const auto& p = entry.path();
        if (p.extension() == ".stl" && entry.is_regular_file(ec))
            names.push_back(p.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

int cmdRenderParts(const std::vector<std::string>& argsIn)
{
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args))
        return 2;
    std::vector<std::string> names;
    std::string outDir;
    int size = 128;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kRenderPartsHelp;
            return 0;
        } else if (a == "--out") {
            if (i + 1 >= args.size()) {
                fail("render-parts: --out needs a folder");
                return 2;
            }
            outDir = args[++i];
        } else if (a == "--size") {
            if (i + 1 >= args.size() ||
                !vxParsePictureSize(args[i + 1], vxSizeText::kSquare, 1, kMaxPictureSize, size, size)) {
                fail("render-parts: --size needs a number of pixels from 1 to " +
                     std::to_string(kMaxPictureSize));
                return 2;
            }
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            return usageError("render-parts: unknown option " + a, kRenderPartsHelp);
        } else {
            names.push_back(a);
        }
    }
    if (outDir.empty())
        outDir = vxResources::resourceFolderPath();
    if (names.empty())
        names = meshNames();

    vxOffscreenView offscreen(size, size, false);
    if (!offscreen.host.ok()) {
        fail("render-parts: " + offscreen.host.error());
        return 1;
    }
    vxOpenGLView& view = offscreen.view;

    int failures = 0;
    for (const std::string& name : names) {
        vxDefinition definition;
        definition.LoadFromResource(name);
        auto object = std::make_shared<vxBaseSceneObject>();
        object->loadSTLFromFile(name, definition.m_OffsetX, definition.m_OffsetY, definition.m_OffsetZ);
        if (!vxFramePartPicture(view, *object)) {
            fail("render-parts: no triangles in the mesh " + name + ".stl");
            ++failures;
            continue;
        }
        vxVector color(0.6f, 0.6f, 0.6f);
        if (definition.found())
            color.setVector3f(definition.m_Color.r, definition.m_Color.g, definition.m_Color.b);
        object->colorDiffuse().setVector3f(vxPartPictureColor(color));
        view.sceneObjectList() = {object};
        view.setDisplayList(0);
        view.drawRect();
        std::string error;
        if (!vxWritePNG(offscreen.host.readPixels(), outDir + "/" + name + ".png", false, &error)) {
            fail(error);
            ++failures;
        }
    }
    view.sceneObjectList().clear();
    return failures == 0 ? 0 : 1;
}

} // namespace vxCli
