#pragma once

// Exports of a model's scene to the file formats other programs read.
#include "vxAtomicFile.h"

#include <array>
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
    // Told, before the file is written, what the export leaves out besides
    // parts without triangles: one sentence each (parts whose placement is
    // not finite, too large or flat).
    std::function<void(const std::string& finding)> finding;
    // STL only: z is up, as 3D printing tools take it (the model's y becomes
    // z, its front faces -y); false keeps the model's own axes, y up. The
    // other formats are y up, as their readers expect.
    bool stlZUp = true;
};

// The material file of an OBJ file at path: beside it, named as it with the
// extension .mtl, white space and control characters made '_' so that the
// OBJ file's "mtllib" line reads it as one name.
std::string vxExportMaterialPath(const std::string& path);

// What there is to know of a format in one place.
struct vxExportFormatInfo {
    vxExportFormat format;
    // The extension of its files, without the point ("glb"); also its name
    // on the command line.
    std::string_view extension;
    // The save dialog's filter, in English: "glTF binary (*.glb)". The
    // window translates it in the context "vxExportCommand".
    const char* filter;
    // Writes the files of the format (see vxExportModel).
    vxWriteResult (*write)(const vxExportSource& source, const std::string& path,
                           const vxExportOptions& options);
};

// Every format, in the order a user is offered them.
extern const std::array<vxExportFormatInfo, 5> kExportFormats;
// The entry of a format; null for a value that names none.
const vxExportFormatInfo* vxExportFormatInfoOf(vxExportFormat format);

// The extension of a format's files, without the point ("glb").
std::string_view vxExportExtension(vxExportFormat format);

// The format of a name or extension in any case ("GLB", "obj"); none when
// no format has it.
std::optional<vxExportFormat> vxExportFormatNamed(std::string_view name);
// The format that the extension of a file name says.
std::optional<vxExportFormat> vxExportFormatOfPath(std::string_view path);

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
