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
#include <unordered_map>

namespace vxExport {

namespace {

using vxNumberFormat::formatRounded4;

constexpr double kMillimetres = 10.0; // model units are centimetres

// A part mesh with its shared corners found: three corner indices per
// usable triangle.
struct IndexedMesh {
    bool made = false;
    std::vector<std::array<float, 3>> corners;
    std::vector<std::uint32_t> faces;
};

struct KeyHash {
    std::size_t operator()(const std::array<std::uint32_t, 3>& k) const
    {
        return (std::size_t{k[0]} * 0x9E3779B97F4A7C15u) ^ (std::size_t{k[1]} * 0xC2B2AE3D27D4EB4Fu) ^ k[2];
    }
};

std::array<std::uint32_t, 3> keyOf(float x, float y, float z)
{
    // +0.0f: -0 and 0 are the same point
    return {std::bit_cast<std::uint32_t>(x + 0.0f), std::bit_cast<std::uint32_t>(y + 0.0f),
            std::bit_cast<std::uint32_t>(z + 0.0f)};
}

void index(const Mesh& mesh, IndexedMesh& out)
{
    std::unordered_map<std::array<std::uint32_t, 3>, std::uint32_t, KeyHash> corners;
    out.faces.reserve(mesh.usable * 3);
    for (const vxVertice& t : *mesh.triangles) {
        if (!usable(t))
            continue;
        for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()}) {
            auto [it, added] = corners.try_emplace(keyOf(v->x(), v->y(), v->z()),
                                                   static_cast<std::uint32_t>(out.corners.size()));
            if (added)
                out.corners.push_back({v->x(), v->y(), v->z()});
            out.faces.push_back(it->second);
        }
    }
    out.made = true;
}

// Room for one line of corners or a face.
constexpr std::size_t kLine = 4 * vxNumberFormat::kMaxShortest;

// A whole number as decimal text that counts up by one cheaply.
class Decimal {
  public:
    static constexpr std::size_t kRoom = 20;  // digits of the largest 64-bit number
    using Text = std::array<char, kRoom + 1>; // the digits from the front, their count last

    explicit Decimal(std::uint64_t v)
    {
        m_digits = static_cast<int>(std::to_chars(m_d, m_d + kRoom, v).ptr - m_d);
    }
    Text text() const
    {
        Text t;
        std::memcpy(t.data(), m_d, kRoom);
        t[kRoom] = static_cast<char>(m_digits);
        return t;
    }
    void increment()
    {
        int i = m_digits - 1;
        while (i >= 0 && m_d[i] == '9')
            m_d[i--] = '0';
        if (i >= 0) {
            ++m_d[i];
        } else { // 99 -> 100
            std::memmove(m_d + 1, m_d, static_cast<std::size_t>(m_digits));
            m_d[0] = '1';
            ++m_digits;
        }
    }

  private:
    char m_d[kRoom] = {};
    int m_digits = 0;
};

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

    // The corners of part p are numbered from base[p] on (OBJ counts from 1).
    std::vector<IndexedMesh> meshes(scene.meshes.size());
    std::vector<std::uint64_t> base(scene.parts.size() + 1, 1);
    for (std::size_t p = 0; p < scene.parts.size(); ++p) {
        IndexedMesh& mesh = meshes[scene.parts[p].mesh];
        if (!mesh.made)
            index(scene.meshes[scene.parts[p].mesh], mesh);
        base[p + 1] = base[p] + mesh.corners.size();
    }

    obj.write("# Kolbrik Viewer export: " + info + "\n# units: millimetres; Y is up\nmtllib " + mtlName +
              "\n");
    const auto make = [&](std::size_t first, std::size_t last, std::string& out) {
        TextOut lines(out);
        std::vector<Decimal::Text> numbers;
        for (std::size_t p = first; p < last; ++p) {
            const Part& part = scene.parts[p];
            const IndexedMesh& mesh = meshes[part.mesh];
            lines.put("o part" + std::to_string(part.number) + "_" + word(part.part->partName()) +
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
            // The numbers of the part's corners as text, counted up once:
            // each is used by several faces.
            numbers.resize(mesh.corners.size());
            Decimal n(base[p]);
            for (auto& text : numbers) {
                text = n.text();
                n.increment();
            }
            for (std::size_t f = 0; f < mesh.faces.size(); f += 3) {
                char* w = lines.room(kLine);
                *w++ = 'f';
                for (int k = 0; k < 3; ++k) {
                    *w++ = ' ';
                    const auto& text = numbers[mesh.faces[f + k]];
                    std::memcpy(w, text.data(), Decimal::kRoom);
                    w += text[Decimal::kRoom];
                }
                *w++ = '\n';
                lines.end(w);
            }
        }
    };
    writeBlocks(partBlocks(scene, 30000), make, obj, progress); // runs of about 1 MB

    // The material file goes in place only when the model's file is whole.
    if (!obj.ok())
        return obj.commit();
    if (vxWriteResult r = mtl.commit(); !r) {
        obj.abandon();
        return r;
    }
    return obj.commit();
}

} // namespace vxExport
