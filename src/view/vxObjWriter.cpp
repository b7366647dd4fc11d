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

using vxNumberFormat::formatShortest;
using vxNumberFormat::kMaxShortest;

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

// Lines appended to a text, each written in place.
class Lines {
  public:
    explicit Lines(std::string& out) : m_out(out) {}
    ~Lines() { m_out.resize(m_used); }
    // Room for one line of at most 1024 bytes.
    char* begin()
    {
        if (m_out.size() < m_used + 1024)
            m_out.resize(std::max<std::size_t>(2 * m_out.size(), m_used + 4096));
        return m_out.data() + m_used;
    }
    void end(char* w) { m_used = static_cast<std::size_t>(w - m_out.data()); }
    void put(std::string_view s)
    {
        if (m_out.size() < m_used + s.size())
            m_out.resize(std::max<std::size_t>(2 * m_out.size(), m_used + s.size() + 4096));
        std::memcpy(m_out.data() + m_used, s.data(), s.size());
        m_used += s.size();
    }

  private:
    std::string& m_out;
    std::size_t m_used = m_out.size();
};

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

char* putTriple(char* w, const char* tag, const float v[3])
{
    const std::size_t n = std::strlen(tag);
    std::memcpy(w, tag, n);
    w += n;
    for (int a = 0; a < 3; ++a) {
        *w++ = ' ';
        w = formatShortest(w, v[a]);
    }
    *w++ = '\n';
    return w;
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
        materials += "\nnewmtl " + materialName(scene, k) + "\nKa 0 0 0\nKd ";
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
        Lines lines(out);
        std::vector<Decimal::Text> numbers;
        for (std::size_t p = first; p < last; ++p) {
            const Part& part = scene.parts[p];
            const IndexedMesh& mesh = meshes[part.mesh];
            lines.put("o part" + std::to_string(part.number) + "_" + word(part.part->partName()) +
                      "\nusemtl " + materialName(scene, part.colour) + "\ns off\n");
            const Transform t(*part.matrix);
            for (const auto& c : mesh.corners) {
                const auto w = t.apply(vxVector(c[0], c[1], c[2]));
                const float v[3] = {static_cast<float>(w[0] * kMillimetres),
                                    static_cast<float>(w[1] * kMillimetres),
                                    static_cast<float>(w[2] * kMillimetres)};
                lines.end(putTriple(lines.begin(), "v", v));
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
                char* w = lines.begin();
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
    writeBlocks(scene, partBlocks(scene, 30000), make, obj, progress); // runs of about 1 MB

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
