#pragma once

// Exports of a model's scene to the file formats other programs read.
#include "vxAtomicFile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class vxBaseSceneObject;
class vxModel;

// What an export writes: a model and the scene objects made of it, one per
// part in the model's order (each part holds its own), then the tubes'.
struct vxExportSource {
    const vxModel& model;
    const std::vector<std::shared_ptr<vxBaseSceneObject>>& objects;
};

enum class vxExportFormat {
    kVrml, // VRML 1.0 text, .wrl
    kGlb,  // glTF 2.0 binary, .glb
    kGltf, // glTF 2.0 text with its buffer embedded, .gltf
    kStl,  // binary STL, .stl
    kObj,  // Wavefront OBJ with an .mtl beside it, .obj
};

// Every format, in the order a user is offered them.
inline constexpr vxExportFormat kExportFormats[] = {vxExportFormat::kGlb, vxExportFormat::kGltf,
                                                    vxExportFormat::kStl, vxExportFormat::kObj,
                                                    vxExportFormat::kVrml};

// The extension of a format's files, without the point ("glb"); also its
// name on the command line.
std::string_view vxExportExtension(vxExportFormat format);
// The format of a name or extension in any case ("GLB", "obj"); none when
// no format has it.
std::optional<vxExportFormat> vxExportFormatNamed(std::string_view name);
// The format that the extension of a file name says.
std::optional<vxExportFormat> vxExportFormatOfPath(std::string_view path);

struct vxExportOptions {
    // Exports the model as it stands at the end of this building phase:
    // parts of later phases are left out; parts whose phase is 0 or less
    // are always in. None: every part.
    std::optional<std::int32_t> phase;
    // Called now and then with (parts written, parts to write).
    std::function<void(std::size_t done, std::size_t total)> progress;
    // The tubes (cables, hoses, ropes) as well, each as the round surface
    // the view draws, after the parts; glTF, STL and OBJ only. Off: tubes
    // are left out.
    bool tubes = false;
};

// Writes the scene to path: parts in their own colours and places, whatever
// a view shows of them at the moment (nothing of the scene changes). Every
// file is written atomically; on failure the targets are as they were and
// the reason is returned.
vxWriteResult vxExportModel(const vxExportSource& source, const std::string& path, vxExportFormat format,
                            const vxExportOptions& options = {});

// Where a writer puts its bytes.
class vxByteSink {
  public:
    virtual ~vxByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
    void write(const void* data, std::size_t size)
    {
        write(std::string_view(static_cast<const char*>(data), size));
    }
};

// A sink that fills an atomic file.
class vxFileSink : public vxByteSink {
  public:
    explicit vxFileSink(vxAtomicFile& file) : m_file(file) {}
    using vxByteSink::write;
    void write(std::string_view bytes) override { m_file.write(bytes); }

  private:
    vxAtomicFile& m_file;
};
