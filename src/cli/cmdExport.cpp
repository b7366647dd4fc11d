#include "vxCli.h"
#include "vxOpenGLView.h"

#include <iostream>

namespace vxCli {

namespace {

const char* kExportHelp = "usage: kolbrik export MODEL.kmf OUT.wrl [--resources DIR]\n"
                          "\n"
                          "Loads a model as the viewer does and writes its scene as a VRML 1.0\n"
                          "file: one block per part with triangles, with the part's colour and\n"
                          "placement. An existing OUT.wrl is replaced only once the new file is\n"
                          "complete.\n"
                          "\n"
                          "  --resources DIR   read part definitions and meshes from DIR instead\n"
                          "                    of the installed resource folder\n";

} // namespace

int cmdExport(const std::vector<std::string>& argsIn)
{
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args))
        return 2;
    std::vector<std::string> files;
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << kExportHelp;
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            fail("export: unknown option " + a);
            std::cerr << kExportHelp;
            return 2;
        }
        files.push_back(a);
    }
    if (files.size() != 2) {
        fail(files.size() < 2 ? "export: a model file and an output file are needed"
                              : "export: more than two files given");
        std::cerr << kExportHelp;
        return 2;
    }

    vxHeadlessHost host;
    vxOpenGLView view(host);
    view.awakeFromNib();
    if (vxLoadResult r = view.loadModelFromFile(files[0]); !r) {
        fail(r.error);
        return 1;
    }
    if (vxWriteResult w = view.exportAsVRML(files[1]); !w) {
        fail(w.error);
        return 1;
    }
    return 0;
}

} // namespace vxCli
