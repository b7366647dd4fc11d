// Wavefront OBJ with its material file: one object per part in the model's
// own axes, in millimetres. Corners that triangles of a part share are
// written once; the faces are flat ("s off": no smoothing across edges), so
// readers light each face by its own plane and no normals are written.
#include "vxExportWriters.h"
#include "vxModel.h"
#include "vxNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace vxExport {

namespace {

using vxNumberFormat::formatRounded4;

constexpr double kMillimetres = 10.0; // model units are centimetres
// Room for one line of corners or a face.
constexpr std::size_t kLine = 4 * vxNumberFormat::kMaxShortest;

// A part mesh with its shared corners found, and the text of its faces. The
// faces refer to the corners counting back from the last one (-1), which
// the part's object has just written: the text is the same for every part
// of the mesh.
struct IndexedMesh {
    bool made = false;
    std::vector<std::array<float, 3>> corners;
    std::string faces;
};

void index(const Mesh& mesh, IndexedMesh& out)
{
    using Corner = std::array<std::uint32_t, 3>;
    struct CornerHash {
        std::uint64_t operator()(const Corner& k) const
        {
            return k[0] ^ (std::uint64_t{k[1]} * 0xC2B2AE3D27D4EB4Fu) ^ (std::uint64_t{k[2]} << 32);
        }
    };
    FirstIndex<Corner, CornerHash> numbers;
    std::vector<std::uint32_t> faces;
    faces.reserve(3 * mesh.usable);
    for (const vxVertice& t : *mesh.triangles) {
        if (!usable(t))
            continue;
        for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()}) {
            // +0.0f: -0 and 0 are the same point
            const auto [k, added] = numbers.add({std::bit_cast<std::uint32_t>(v->x() + 0.0f),
                                                 std::bit_cast<std::uint32_t>(v->y() + 0.0f),
                                                 std::bit_cast<std::uint32_t>(v->z() + 0.0f)});
            if (added)
                out.corners.push_back({v->x(), v->y(), v->z()});
            faces.push_back(k);
        }
    }
    const auto count = static_cast<std::int64_t>(out.corners.size());
    TextOut text(out.faces);
    for (std::size_t f = 0; f < faces.size(); f += 3) {
        char* w = text.room(kLine);
        *w++ = 'f';
        for (int k = 0; k < 3; ++k) {
            *w++ = ' ';
            w = std::to_chars(w, w + 24, std::int64_t{faces[f + k]} - count).ptr;
        }
        *w++ = '\n';
        text.end(w);
    }
    out.made = true;
}

// A name as one word: white space and control characters become '_'.
std::string word(std::string s)
{
    for (char& c : s)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            c = '_';
    return s;
}

} // namespace

vxWriteResult writeObj(const Scene& scene, const vxModel& model, vxAtomicFile& obj, vxAtomicFile& mtl,
                       const std::string& mtlName, const Progress& progress)
{
    std::string info = model.infModell();
    for (char& c : info)
        if (c == '\r' || c == '\n')
            c = ' ';

    std::string materials = "# Kolbrik Viewer export: materials of " + info + "\n";
    for (std::size_t k = 0; k < scene.colours.size(); ++k) {
        const vxVector& c = scene.colours[k];
        materials += "\nnewmtl ";
        materials += materialName(scene, k).view();
        materials += "\nKa 0 0 0\nKd ";
        for (float v : {c.x(), c.y(), c.z()}) {
            vxNumberFormat::appendFixed6(materials, std::clamp(v, 0.0f, 1.0f));
            materials += ' ';
        }
        materials.back() = '\n';
        materials += "Ks 0 0 0\nd 1\nillum 1\n";
    }
    mtl.write(materials);

    std::vector<IndexedMesh> meshes(scene.meshes.size());
    for (const Part& part : scene.parts)
        if (!meshes[part.mesh].made)
            index(scene.meshes[part.mesh], meshes[part.mesh]);

    obj.write("# Kolbrik Viewer export: " + info + "\n# units: millimetres; Y is up\nmtllib " + mtlName +
              "\n");
    const auto make = [&](std::size_t first, std::size_t last, std::string& out) {
        TextOut lines(out);
        for (std::size_t p = first; p < last; ++p) {
            const Part& part = scene.parts[p];
            const IndexedMesh& mesh = meshes[part.mesh];
            lines.put((part.part ? "o part" + std::to_string(part.number) + "_" + word(part.part->partName())
                                 : "o tube" + std::to_string(part.number)) +
                      "\nusemtl ");
            lines.put(materialName(scene, part.colour).view());
            lines.put("\ns off\n");
            // Corners to a tenth of a micrometre, far finer than any part is made.
            Transform t(part.matrix);
            for (double& x : t.m)
                x *= kMillimetres;
            for (const auto& c : mesh.corners) {
                const auto v = t.apply(vxVector(c[0], c[1], c[2]));
                char* w = lines.room(kLine);
                *w++ = 'v';
                for (double x : v) {
                    *w++ = ' ';
                    w = formatRounded4(w, x);
                }
                *w++ = '\n';
                lines.end(w);
            }
            lines.put(mesh.faces);
        }
    };
    writeBlocks(partBlocks(scene, 30000), make, obj, progress); // runs of about 1 MB

    // Both files go in place or neither: each is whole on the disk before
    // either is renamed.
    if (vxWriteResult r = obj.prepare(); !r) {
        mtl.abandon();
        return r;
    }
    if (vxWriteResult r = mtl.prepare(); !r) {
        obj.abandon();
        return r;
    }
    if (vxWriteResult r = mtl.commit(); !r) {
        obj.abandon();
        return r;
    }
    return obj.commit();
}

} // namespace vxExport
