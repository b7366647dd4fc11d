// kolbrik-previews: draws the preview picture NAME.bmp beside every model
// file NAME.kmf below a library folder, with the viewer's own view exactly
// as the window shows the model right after opening it (the model's
// camera, the grid hidden).

#include "vxBmp.h"
#include "vxImage.h"
#include "vxOffscreenHost.h"
#include "vxOpenGLView.h"
#include "vxResources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void usage(std::ostream& o)
{
    o << "usage: kolbrik-previews LIBRARY [--size WxH] [--resources DIR] [--png DIR] [--stamp FILE]\n"
         "  LIBRARY          folder whose model files (also in sub-folders) get pictures\n"
         "  --size WxH       picture size in pixels (default 320x240)\n"
         "  --resources DIR  read part definitions and meshes from DIR\n"
         "  --png DIR        also write each picture as PNG into DIR (flat, / in the\n"
         "                   model's path becomes _), to look at them\n"
         "  --stamp FILE     touched when every picture is written\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::string library, pngDir, stamp;
    int width = 320, height = 240;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--size" && i + 1 < argc) {
            if (!vxParsePictureSize(argv[++i], vxSizeText::kWidthByHeight, 8, 4096, width, height)) {
                std::cerr << "kolbrik-previews: --size needs WIDTHxHEIGHT, 8 to 4096 each\n";
                return 2;
            }
        } else if (a == "--resources" && i + 1 < argc) {
            vxResources::setResourceFolder(argv[++i]);
        } else if (a == "--png" && i + 1 < argc) {
            pngDir = argv[++i];
        } else if (a == "--stamp" && i + 1 < argc) {
            stamp = argv[++i];
        } else if (a == "--help" || a == "-h") {
            usage(std::cout);
            return 0;
        } else if (!a.empty() && a[0] != '-' && library.empty()) {
            library = a;
        } else {
            usage(std::cerr);
            return 2;
        }
    }
    if (library.empty()) {
        usage(std::cerr);
        return 2;
    }

    std::vector<fs::path> models;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(library, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->path().extension() == ".kmf" && it->is_regular_file(ec))
            models.push_back(it->path());
    if (ec) {
        std::cerr << "kolbrik-previews: cannot read " << library << ": " << ec.message() << "\n";
        return 1;
    }
    std::sort(models.begin(), models.end());

    // The window hides the grid before it opens a model.
    vxOffscreenView offscreen(width, height, false);
    if (!offscreen.host.ok()) {
        std::cerr << "kolbrik-previews: " << offscreen.host.error() << "\n";
        return 1;
    }
    vxOpenGLView& view = offscreen.view;
    if (!pngDir.empty())
        fs::create_directories(pngDir, ec);

    int failures = 0;
    for (const fs::path& model : models) {
        const vxLoadResult loaded = view.loadModelFromFile(model.string());
        if (!loaded) {
            std::cerr << "kolbrik-previews: " << model.string() << ": " << loaded.error << "\n";
            ++failures;
            continue;
        }
        view.drawRect();
        const vxImage picture = offscreen.host.readPixels();
        fs::path out = model;
        out.replace_extension(".bmp");
        std::string error;
        if (!vxGen::vxWriteBmp(out.string(), picture.width, picture.height, picture.rgba.data(), &error)) {
            std::cerr << "kolbrik-previews: " << error << "\n";
            ++failures;
            continue;
        }
        if (!pngDir.empty()) {
            std::string flat = fs::relative(model, library).replace_extension(".png").generic_string();
            std::replace(flat.begin(), flat.end(), '/', '_');
            if (!vxWritePNG(picture, (fs::path(pngDir) / flat).string(), false, &error)) {
                std::cerr << "kolbrik-previews: " << error << "\n";
                ++failures;
            }
        }
    }
    view.sceneObjectList().clear();
    if (failures == 0 && !stamp.empty())
        if (const vxWriteResult r =
                vxWriteFileAtomically(stamp, std::to_string(models.size()) + " pictures\n");
            !r) {
            std::cerr << "kolbrik-previews: " << r.error << "\n";
            return 1;
        }
    return failures == 0 ? 0 : 1;
}
