#include "vxCli.h"
#include "vxCommandOptions.h"
#include "vxExport.h"
#include "vxOpenGLView.h"

#include <iostream>

namespace vxCli {

namespace {

std::string formatList()
{
    std::string list;
    for (const vxExportFormatInfo& f : kExportFormats)
        list += (list.empty() ? "" : ", ") + std::string(f.extension);
    return list;
}

} // namespace

int cmdExport(const std::vector<std::string>& argsIn)
{
    const Arguments args(kExportOptions, argsIn);
    if (args.exit())
        return *args.exit();
    std::optional<vxExportFormat> format;
    vxExportOptions options;
    if (!args.read("--format",
                   [&](const std::string& v) { return (format = vxExportFormatNamed(v)).has_value(); }) ||
        !args.readWholeNumber("--phase", options.phase) || !args.read("--up", [&](const std::string& v) {
            options.stlZUp = v == "z";
            return v == "z" || v == "y";
        }))
        return 2;
    const std::vector<std::string>& files = args.operands();
    if (files.size() != 2)
        return args.usageError(files.size() < 2 ? "a model file and an output file are needed"
                                                : "more than two files given");
    if (!format)
        format = vxExportFormatOfPath(files[1]);
    if (!format)
        return args.usageError("cannot tell the format of " + files[1] +
                               ": name it .wrl, .glb, .gltf, .stl or .obj, " + "or give --format (" +
                               formatList() + ")");
    options.tubes = args.has("--tubes");
    if (options.tubes && *format == vxExportFormat::kVrml)
        return args.error("--tubes goes with glb, gltf, stl or obj");

    if (!mayWrite(files[0], files[1]) ||
        (*format == vxExportFormat::kObj && !mayWrite(files[0], vxExportMaterialPath(files[1]))))
        return 1;

    vxHeadlessHost host;
    vxOpenGLView view(host);
    view.awakeFromNib();
    const vxLoadResult loaded = view.loadModelFromFile(files[0]);
    if (!loaded) {
        fail(loaded.error);
        return 1;
    }
    printFindings(*view.model(), loaded.findings);
    options.finding = [](const std::string& finding) { fail("warning: " + finding); };
    if (vxWriteResult w = vxExportModel(view.exportSource(), files[1], *format, options); !w) {
        fail(w.error);
        return 1;
    }
    return 0;
}

} // namespace vxCli
