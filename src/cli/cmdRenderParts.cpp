#include "vxCli.h"
#include "vxCommandOptions.h"
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
    const Arguments args(kRenderPartsOptions, argsIn);
    if (args.exit())
        return *args.exit();
    std::string outDir;
    int size = 128;
    if (!args.read("--out",
                   [&](const std::string& v) {
                       outDir = v;
                       return true;
                   }) ||
        !args.read("--size", [&](const std::string& v) {
            return vxParsePictureSize(v, vxSizeText::kSquare, 1, kMaxPictureSize, size, size);
        }))
        return 2;
    std::vector<std::string> names = args.operands();
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
