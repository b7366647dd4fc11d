#include "vxExport.h"
#include "vxBaseSceneObject.h"
#include "vxExportWriters.h"
#include "vxModel.h"
#include "vxTubeSurface.h"
#include "vxVrmlWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

std::string_view vxExportExtension(vxExportFormat format)
{
    switch (format) {
    case vxExportFormat::kVrml:
        return "wrl";
    case vxExportFormat::kGlb:
        return "glb";
    case vxExportFormat::kGltf:
        return "gltf";
    case vxExportFormat::kStl:
        return "stl";
    case vxExportFormat::kObj:
        return "obj";
    }
    return "";
}

std::optional<vxExportFormat> vxExportFormatNamed(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (vxExportFormat f : kExportFormats)
        if (lower == vxExportExtension(f))
            return f;
    return std::nullopt;
}

std::optional<vxExportFormat> vxExportFormatOfPath(std::string_view path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.size() < 2)
        return std::nullopt;
    return vxExportFormatNamed(std::string_view(extension).substr(1));
}

vxWriteResult vxExportModel(const vxExportSource& source, const std::string& path, vxExportFormat format,
                            const vxExportOptions& options)
{
    const std::optional<std::int32_t> phase = options.phase;
    const vxModel& model = source.model;
    if (format == vxExportFormat::kVrml) {
        vxAtomicFile file(path, vxDurability::kContent);
        if (!file.ok())
            return file.commit();
        vxFileSink sink(file);
        if (!phase) {
            vxVrml::write(source, sink);
            return file.commit();
        }
        // Parts of later phases are left out; tubes have no triangles anyway.
        const auto& parts = model.partList();
        vxVrml::write(source, sink, [&](std::size_t i) {
            return i >= parts.size() || parts[i]->phase() <= 0 || parts[i]->phase() <= *phase;
        });
        return file.commit();
    }

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
    const vxExport::Scene scene = vxExport::collect(model, phase, tubes);
    switch (format) {
    case vxExportFormat::kGlb:
    case vxExportFormat::kGltf:
        return vxExport::writeGltf(scene, model, file, format == vxExportFormat::kGlb, progress);
    case vxExportFormat::kStl:
        return vxExport::writeStl(scene, file, progress);
    case vxExportFormat::kObj: {
        std::filesystem::path mtlPath(path);
        mtlPath.replace_extension(".mtl");
        if (mtlPath == std::filesystem::path(path))
            mtlPath += ".mtl";
        vxAtomicFile mtl(mtlPath.string(), vxDurability::kContent);
        if (!mtl.ok())
            return mtl.commit();
        return vxExport::writeObj(scene, model, file, mtl, mtlPath.filename().string(), progress);
    }
    case vxExportFormat::kVrml:
        break;
    }
    return {false, "cannot write " + path + ": unknown format"};
}
