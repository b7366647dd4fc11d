#include "vxExport.h"
#include "vxBaseSceneObject.h"
#include "vxExportWriters.h"
#include "vxModel.h"
#include "vxTubeSurface.h"
#include "vxVrmlWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

// The filters are English here; the window translates them, and lupdate
// finds them by this mark.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

namespace {

// The formats of a gathered scene, in the file at path; the tubes' surfaces
// after the parts when the options ask for them.
template <class Write>
vxWriteResult writeScene(const vxExportSource& source, const std::string& path,
                         const vxExportOptions& options, Write write)
{
    const vxExport::Progress progress{options.progress};
    vxAtomicFile file(path, vxDurability::kContent);
    if (!file.ok())
        return file.commit();
    std::vector<std::shared_ptr<vxTubeSceneObject>> tubes;
    if (options.tubes) {
        for (const auto& object : source.objects)
            if (auto tube = std::dynamic_pointer_cast<vxTubeSceneObject>(object))
                tubes.push_back(std::move(tube));
        vxMakeTubeSurfaces(tubes);
    }
    const vxExport::Scene scene = vxExport::collect(source.model, options.phase, tubes);
    if (options.finding)
        for (const std::string& finding : vxExport::leftOutFindings(scene))
            options.finding(finding);
    return write(scene, file, progress);
}

// binary: a .glb file; else a .gltf file.
vxWriteResult writeGltfOrGlb(const vxExportSource& source, const std::string& path,
                             const vxExportOptions& options, bool binary)
{
    return writeScene(source, path, options,
                      [&](const vxExport::Scene& scene, vxAtomicFile& file, auto& progress) {
                          return vxExport::writeGltf(scene, source.model, file, binary, progress);
                      });
}

vxWriteResult writeGlb(const vxExportSource& source, const std::string& path, const vxExportOptions& options)
{
    return writeGltfOrGlb(source, path, options, true);
}

vxWriteResult writeGltf(const vxExportSource& source, const std::string& path, const vxExportOptions& options)
{
    return writeGltfOrGlb(source, path, options, false);
}

vxWriteResult writeStl(const vxExportSource& source, const std::string& path, const vxExportOptions& options)
{
    return writeScene(source, path, options,
                      [&](const vxExport::Scene& scene, vxAtomicFile& file, auto& progress) {
                          return vxExport::writeStl(scene, file, options.stlZUp, progress);
                      });
}

// The material file goes beside the OBJ file (vxExportMaterialPath), so an
// OBJ file cannot go to standard output.
vxWriteResult writeObj(const vxExportSource& source, const std::string& path, const vxExportOptions& options)
{
    if (path == "-")
        return {false, "cannot write standard output: an OBJ file needs its material file beside it; "
                       "give a file name"};
    return writeScene(
        source, path, options, [&](const vxExport::Scene& scene, vxAtomicFile& file, auto& progress) {
            const std::string mtlPath = vxExportMaterialPath(path);
            vxAtomicFile mtl(mtlPath, vxDurability::kContent);
            if (!mtl.ok())
                return mtl.commit();
            return vxExport::writeObj(scene, source.model, file, mtl,
                                      std::filesystem::path(mtlPath).filename().string(), progress);
        });
}

// VRML has no progress: it is written from the scene objects as they are.
vxWriteResult writeVrml(const vxExportSource& source, const std::string& path, const vxExportOptions& options)
{
    vxAtomicFile file(path, vxDurability::kContent);
    if (!file.ok())
        return file.commit();
    vxFileSink sink(file);
    std::function<bool(std::size_t)> keep;
    if (const std::optional<std::int32_t> phase = options.phase) {
        // Parts of later phases are left out; tubes have no triangles anyway.
        keep = [&parts = source.model.partList(), phase](std::size_t i) {
            return i >= parts.size() || parts[i]->phase() <= 0 || parts[i]->phase() <= *phase;
        };
    }
    vxVrml::write(source, sink, keep);
    return file.commit();
}

} // namespace

const std::array<vxExportFormatInfo, 5> kExportFormats = {{
    {vxExportFormat::kGlb, "glb", QT_TRANSLATE_NOOP("vxExportCommand", "glTF binary (*.glb)"), writeGlb},
    {vxExportFormat::kGltf, "gltf", QT_TRANSLATE_NOOP("vxExportCommand", "glTF text (*.gltf)"), writeGltf},
    {vxExportFormat::kStl, "stl", QT_TRANSLATE_NOOP("vxExportCommand", "STL for 3D printing (*.stl)"),
     writeStl},
    {vxExportFormat::kObj, "obj", QT_TRANSLATE_NOOP("vxExportCommand", "Wavefront OBJ (*.obj)"), writeObj},
    {vxExportFormat::kVrml, "wrl", QT_TRANSLATE_NOOP("vxExportCommand", "VRML 1.0 (*.wrl)"), writeVrml},
}};

const vxExportFormatInfo* vxExportFormatInfoOf(vxExportFormat format)
{
    for (const vxExportFormatInfo& f : kExportFormats)
        if (f.format == format)
            return &f;
    return nullptr;
}

std::string_view vxExportExtension(vxExportFormat format)
{
    const vxExportFormatInfo* info = vxExportFormatInfoOf(format);
    return info ? info->extension : std::string_view();
}

std::optional<vxExportFormat> vxExportFormatNamed(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const vxExportFormatInfo& f : kExportFormats)
        if (lower == f.extension)
            return f.format;
    return std::nullopt;
}

std::optional<vxExportFormat> vxExportFormatOfPath(std::string_view path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2)
        return std::nullopt;
    return vxExportFormatNamed(std::string_view(extension).substr(1));
}

std::string vxExportMaterialPath(const std::string& path)
{
    std::filesystem::path mtlPath(path);
    std::string name = mtlPath.filename().replace_extension(".mtl").string();
    if (name == mtlPath.filename().string())
        name += ".mtl";
    for (char& c : name)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            c = '_';
    return mtlPath.replace_filename(name).string();
}

vxWriteResult vxExportModel(const vxExportSource& source, const std::string& path, vxExportFormat format,
                            const vxExportOptions& options)
{
    const vxExportFormatInfo* info = vxExportFormatInfoOf(format);
    if (!info)
        return {false, "cannot write " + path + ": unknown format"};
    return info->write(source, path, options);
}
