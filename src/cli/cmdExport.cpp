#include "vxCli.h"
#include "vxExport.h"
#include "vxOpenGLView.h"

#include <iostream>

namespace vxCli {

namespace {

const char* kExportHelp =
    "usage: kolbrik export MODEL.kmf OUT.{wrl,glb,gltf,stl,obj} [--format F] [--phase N]\n"
    "                      [--tubes] [--resources DIR]\n"
    "\n"
    "Loads a model as the viewer does and writes it for other programs, in\n"
    "the format that OUT's extension names:\n"
    "  wrl   VRML 1.0: one block per part with triangles, placement and colour\n"
    "  glb   glTF 2.0, binary: each part mesh stored once, one node per part,\n"
    "        one material per colour; metres, Y up\n"
    "  gltf  glTF 2.0 as one text file, its buffer embedded\n"
    "  stl   binary STL for 3D printing: every triangle in place, millimetres\n"
    "  obj   Wavefront OBJ, one object per part, millimetres; materials in\n"
    "        OUT.mtl beside it\n"
    "An existing file is replaced only once the new one is complete.\n"
    "\n"
    "  --format F        write format F whatever OUT's extension\n"
    "  --phase N         the model as it stands at the end of building phase N:\n"
    "                    parts of later phases are left out\n"
    "  --tubes           the cables, hoses and ropes as well, as the round\n"
    "                    tubes the viewer draws (glb, gltf, stl, obj)\n"
    "  --resources DIR   read part definitions and meshes from DIR instead\n"
    "                    of the installed resource folder\n";

std::string formatList()
{
    std::string list;
    for (vxExportFormat f : kExportFormats)
        list += (list.empty() ? "" : ", ") + std::string(vxExportExtension(f));
    return list;
}

int usageError(const std::string& message)
{
    return vxCli::usageError("export: " + message, kExportHelp);
}

} // namespace

int cmdExport(const std::vector<std::string>& argsIn)
{
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args))
        return 2;
    std::vector<std::string> files;
    std::optional<vxExportFormat> format;
    vxExportOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::string value = i + 1 < args.size() ? args[i + 1] : std::string();
        if (a == "--help" || a == "-h") {
            std::cout << kExportHelp;
            return 0;
        } else if (a == "--format") {
            format = vxExportFormatNamed(value);
            if (!format)
                return usageError("--format needs one of " + formatList());
            ++i;
        } else if (a == "--phase") {
            options.phase = wholeNumber(value);
            if (!options.phase)
                return usageError("--phase needs a whole number");
            ++i;
        } else if (a == "--tubes") {
            options.tubes = true;
        } else if (!a.empty() && a[0] == '-') {
            return usageError("unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2)
        return usageError(files.size() < 2 ? "a model file and an output file are needed"
                                           : "more than two files given");
    if (!format)
        format = vxExportFormatOfPath(files[1]);
    if (!format)
        return usageError("cannot tell the format of " + files[1] +
                          ": name it .wrl, .glb, .gltf, .stl or .obj, " + "or give --format (" +
                          formatList() + ")");
    if (options.tubes && *format == vxExportFormat::kVrml)
        return usageError("--tubes goes with glb, gltf, stl or obj");

    vxHeadlessHost host;
    vxOpenGLView view(host);
    view.awakeFromNib();
    if (vxLoadResult r = view.loadModelFromFile(files[0]); !r) {
        fail(r.error);
        return 1;
    }
    if (vxWriteResult w = vxExportModel(view.exportSource(), files[1], *format, options); !w) {
        fail(w.error);
        return 1;
    }
    return 0;
}

} // namespace vxCli
