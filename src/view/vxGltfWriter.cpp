// glTF 2.0, binary (.glb) or text with the buffer embedded (.gltf). The
// geometry of each part mesh is stored once, with flat normals computed from
// the corners; each part is a node that places it with its matrix, under a
// root node that scales the model's centimetres to glTF's metres. glTF binds
// materials to mesh primitives, so every pair of part mesh and colour in use
// is a mesh of its own, all pairs of one part mesh sharing its accessors.
//
// Written in one stream: the JSON is produced twice for a .glb, once only
// to learn its length, which the file's header gives before it.
#include "vxExportWriters.h"
#include "vxModel.h"
#include "vxNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace vxExport {

namespace {

using vxNumberFormat::formatShortest;
using vxNumberFormat::kMaxShortest;

constexpr std::size_t kVertexBytes = 24; // position and normal, three floats each
constexpr std::size_t kTriangleBytes = 3 * kVertexBytes;
constexpr float kMetres = 0.01f;   // model units are centimetres
constexpr float kRoughness = 0.4f; // a smooth moulded plastic

// JSON text into the file, or only counted (file null). flush() hands the
// last piece on.
class Out {
  public:
    explicit Out(vxAtomicFile* file) : m_file(file) { m_text.reserve(kPiece + 1024); }
    std::uint64_t size() const { return m_size + m_text.size(); }
    void put(std::string_view s)
    {
        m_text.append(s);
        if (m_text.size() >= kPiece)
            flush();
    }
    void put(char c) { m_text += c; }
    void flush()
    {
        m_size += m_text.size();
        if (m_file)
            m_file->write(m_text);
        m_text.clear();
    }
    void putFloat(float f)
    {
        char b[kMaxShortest];
        put(std::string_view(b, static_cast<std::size_t>(formatShortest(b, f) - b)));
    }
    template <class Int> void putInt(Int v)
    {
        char b[24];
        put(std::string_view(b, static_cast<std::size_t>(std::to_chars(b, b + sizeof b, v).ptr - b)));
    }
    void putFloats(const float* f, int n)
    {
        put("[");
        for (int i = 0; i < n; ++i) {
            if (i)
                put(",");
            putFloat(f[i]);
        }
        put("]");
    }
    // A JSON string; bytes that are not UTF-8 become U+FFFD.
    void putString(std::string_view s)
    {
        put('"');
        putEscaped(s);
        put('"');
    }
    // The inside of a JSON string.
    void putEscaped(std::string_view s)
    {
        static const char kHex[] = "0123456789abcdef";
        std::size_t plain = 0; // bytes that go as they are
        while (plain < s.size() && s[plain] >= 0x20 && s[plain] != '"' && s[plain] != '\\')
            ++plain;
        put(s.substr(0, plain));
        for (std::size_t i = plain; i < s.size();) {
            const auto c = static_cast<unsigned char>(s[i]);
            if (c < 0x80) {
                if (c == '"' || c == '\\') {
                    put('\\');
                    put(static_cast<char>(c));
                } else if (c < 0x20) {
                    put("\\u00");
                    put(kHex[c >> 4]);
                    put(kHex[c & 15]);
                } else {
                    put(static_cast<char>(c));
                }
                ++i;
                continue;
            }
            const std::size_t n = utf8Length(s, i);
            if (n == 0) {
                put("\\ufffd");
                ++i;
            } else {
                put(s.substr(i, n));
                i += n;
            }
        }
    }

  private:
    // The length of the well-formed UTF-8 sequence at s[i], 0 if there is none.
    static std::size_t utf8Length(std::string_view s, std::size_t i)
    {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        unsigned char low = 0x80, high = 0xBF; // range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            n = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            n = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        else if (c >= 0xF0 && c <= 0xF4)
            n = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        if (n == 0 || i + n > s.size())
            return 0;
        for (std::size_t k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF))
                return 0;
        }
        return n;
    }

    static constexpr std::size_t kPiece = 64 * 1024;
    vxAtomicFile* m_file;
    std::uint64_t m_size = 0;
    std::string m_text;
};

// Binary data as base64 text.
class Base64 {
  public:
    explicit Base64(Out& out) : m_out(out) {}
    void write(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            m_group[m_have++] = p[i];
            if (m_have == 3)
                emit();
        }
    }
    void finish()
    {
        if (m_have > 0)
            emit();
        flush();
    }

  private:
    void emit()
    {
        static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const unsigned v =
            (m_group[0] << 16) | (m_have > 1 ? m_group[1] << 8 : 0) | (m_have > 2 ? m_group[2] : 0);
        m_text += kDigits[(v >> 18) & 63];
        m_text += kDigits[(v >> 12) & 63];
        m_text += m_have > 1 ? kDigits[(v >> 6) & 63] : '=';
        m_text += m_have > 2 ? kDigits[v & 63] : '=';
        m_have = 0;
        if (m_text.size() >= 64 * 1024)
            flush();
    }
    void flush()
    {
        m_out.put(m_text);
        m_text.clear();
    }

    Out& m_out;
    unsigned char m_group[3] = {};
    int m_have = 0;
    std::string m_text;
};

// The vertex data of one part mesh, as stored: in the mesh's own frame, or
// for a part whose placement is not a rotation, scale and translation, in
// the model's frame (baked).
struct Geometry {
    std::uint32_t mesh;
    const vxMatrix* baked;
    std::uint32_t firstPart; // names the mesh
    std::uint64_t count = 0; // triangles
    float min[3] = {}, max[3] = {};
    std::uint64_t offset = 0; // in the buffer
};

// Calls emit(24 bytes) for each vertex of the geometry, three per triangle.
template <class Emit> void vertices(const Scene& scene, const Geometry& g, Emit emit)
{
    std::optional<Transform> t;
    if (g.baked)
        t.emplace(*g.baked);
    for (const vxVertice& tri : *scene.meshes[g.mesh].triangles) {
        if (!usable(tri))
            continue;
        float v[3][6];
        std::array<double, 3> c[3];
        const vxVector* corners[3] = {&tri.v1(), &tri.v2(), &tri.v3()};
        for (int k = 0; k < 3; ++k) {
            const std::array<double, 3> p = t ? t->apply(*corners[k]) : corner(*corners[k]);
            for (int a = 0; a < 3; ++a) {
                v[k][a] = static_cast<float>(p[a]);
                c[k][a] = v[k][a];
            }
        }
        const std::array<double, 3> n =
            facetNormal(c[0], c[1], c[2]).value_or(std::array<double, 3>{0, 1, 0});
        for (int k = 0; k < 3; ++k) {
            for (int a = 0; a < 3; ++a)
                v[k][3 + a] = static_cast<float>(n[a]);
            emit(v[k]);
        }
    }
}

// Whether glTF can hold the placement as a node matrix: the last row is
// (0, 0, 0, 1) and the axes are perpendicular and not zero, so that it is a
// translation, a rotation and a scale (mirroring included).
bool isTrs(const vxMatrix& matrix)
{
    const Transform t(matrix);
    const auto& m = t.m;
    if (m[3] != 0.0 || m[7] != 0.0 || m[11] != 0.0 || m[15] != 1.0)
        return false;
    const double* axes[3] = {&m[0], &m[4], &m[8]};
    double length[3];
    for (int i = 0; i < 3; ++i) {
        length[i] = std::hypot(axes[i][0], axes[i][1], axes[i][2]);
        if (!(length[i] > 0.0))
            return false;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j) {
            const double dot = axes[i][0] * axes[j][0] + axes[i][1] * axes[j][1] + axes[i][2] * axes[j][2];
            if (std::abs(dot) > 1e-6 * length[i] * length[j])
                return false;
        }
    return true;
}

bool isIdentity(const vxMatrix& matrix)
{
    float f[16];
    matrix.toArray(f);
    for (int i = 0; i < 16; ++i)
        if (f[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            return false;
    return true;
}

class Writer {
  public:
    Writer(const Scene& scene, const vxModel& model) : m_scene(scene), m_model(model) { layOut(); }

    std::uint64_t bufferLength() const { return m_bufferLength; }

    void json(Out& out, bool binary, const Progress* progress) const;
    template <class Sink> void buffer(Sink& sink) const
    {
        for (const Geometry& g : m_geometries)
            vertices(m_scene, g, [&](const float* v) { sink.write(v, kVertexBytes); });
    }

  private:
    void layOut();

    const Scene& m_scene;
    const vxModel& m_model;
    std::vector<Geometry> m_geometries;
    std::vector<std::uint32_t> m_partMesh;                         // per part: its glTF mesh
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_meshes; // (geometry, colour) per glTF mesh
    std::uint64_t m_bufferLength = 0;
    std::vector<std::string> m_materialNames;
    std::vector<std::array<float, 4>> m_baseColours;
};

void Writer::layOut()
{
    for (std::size_t k = 0; k < m_scene.colours.size(); ++k) {
        const vxVector& c = m_scene.colours[k];
        m_materialNames.push_back(materialName(m_scene, k));
        m_baseColours.push_back({linearFromSrgb(c.x()), linearFromSrgb(c.y()), linearFromSrgb(c.z()), 1.0f});
    }
    std::vector<std::uint32_t> shared(m_scene.meshes.size(), UINT32_MAX); // geometry of each mesh
    std::unordered_map<std::uint64_t, std::uint32_t> meshOf;              // (geometry, colour) -> mesh
    m_partMesh.reserve(m_scene.parts.size());
    for (std::size_t p = 0; p < m_scene.parts.size(); ++p) {
        const Part& part = m_scene.parts[p];
        std::uint32_t g;
        if (!isTrs(*part.matrix)) {
            g = static_cast<std::uint32_t>(m_geometries.size());
            m_geometries.push_back({part.mesh, part.matrix, static_cast<std::uint32_t>(p)});
        } else if (shared[part.mesh] == UINT32_MAX) {
            g = shared[part.mesh] = static_cast<std::uint32_t>(m_geometries.size());
            m_geometries.push_back({part.mesh, nullptr, static_cast<std::uint32_t>(p)});
        } else {
            g = shared[part.mesh];
        }
        const std::uint64_t key = (std::uint64_t{g} << 32) | part.colour;
        auto [it, added] = meshOf.try_emplace(key, static_cast<std::uint32_t>(m_meshes.size()));
        if (added)
            m_meshes.emplace_back(g, part.colour);
        m_partMesh.push_back(it->second);
    }
    for (Geometry& g : m_geometries) {
        g.offset = m_bufferLength;
        for (int a = 0; a < 3; ++a) {
            g.min[a] = std::numeric_limits<float>::max();
            g.max[a] = std::numeric_limits<float>::lowest();
        }
        std::uint64_t n = 0;
        vertices(m_scene, g, [&](const float* v) {
            for (int a = 0; a < 3; ++a) {
                g.min[a] = std::min(g.min[a], v[a]);
                g.max[a] = std::max(g.max[a], v[a]);
            }
            ++n;
        });
        g.count = n / 3;
        m_bufferLength += n * kVertexBytes;
    }
}

void Writer::json(Out& out, bool binary, const Progress* progress) const
{
    const std::size_t parts = m_scene.parts.size();
    out.put(R"({"asset":{"version":"2.0","generator":"Kolbrik Viewer"},"scene":0,"scenes":[{"nodes":[0]}],)");

    // The root scales centimetres to metres; glTF's Y is up, as ours.
    out.put(R"("nodes":[{"name":)");
    out.putString(m_model.infModell().empty() ? std::string("Kolbrik model") : m_model.infModell());
    const float scale[3] = {kMetres, kMetres, kMetres};
    out.put(R"(,"scale":)");
    out.putFloats(scale, 3);
    if (parts > 0) {
        out.put(R"(,"children":[)");
        for (std::size_t p = 0; p < parts; ++p) {
            if (p)
                out.put(",");
            out.putInt(p + 1);
        }
        out.put("]");
    }
    out.put("}");
    for (std::size_t p = 0; p < parts; ++p) {
        const Part& part = m_scene.parts[p];
        const vxPart& source = *part.part;
        out.put(R"(,{"name":"part)");
        out.putInt(part.number);
        out.put(' ');
        out.putEscaped(source.partName());
        out.put('"');
        out.put(R"(,"mesh":)");
        out.putInt(m_partMesh[p]);
        if (!m_geometries[m_meshes[m_partMesh[p]].first].baked && !isIdentity(*part.matrix)) {
            float f[16];
            part.matrix->toArray(f);
            out.put(R"(,"matrix":)");
            out.putFloats(f, 16);
        }
        out.put(R"(,"extras":{"articleNumber":)");
        out.putString(source.definition().m_OrgNumber);
        out.put(R"(,"definition":)");
        out.putString(source.definition().m_Name);
        out.put(R"(,"phase":)");
        out.putInt(source.phase());
        out.put("}}");
        if (progress)
            (*progress)(p + 1, parts);
    }
    out.put("]");
    if (parts == 0) {
        out.put("}");
        return;
    }

    out.put(R"(,"meshes":[)");
    for (std::size_t k = 0; k < m_meshes.size(); ++k) {
        const auto [g, colour] = m_meshes[k];
        out.put(k ? R"(,{"name":)" : R"({"name":)");
        out.putString(m_scene.parts[m_geometries[g].firstPart].part->shortName());
        out.put(R"(,"primitives":[{"attributes":{"POSITION":)");
        out.putInt(2 * std::uint64_t{g});
        out.put(R"(,"NORMAL":)");
        out.putInt(2 * std::uint64_t{g} + 1);
        out.put(R"(},"material":)");
        out.putInt(colour);
        out.put("}]}");
    }
    out.put(R"(],"materials":[)");
    for (std::size_t k = 0; k < m_scene.colours.size(); ++k) {
        out.put(k ? R"(,{"name":)" : R"({"name":)");
        out.putString(m_materialNames[k]);
        out.put(R"(,"pbrMetallicRoughness":{"baseColorFactor":)");
        out.putFloats(m_baseColours[k].data(), 4);
        out.put(R"(,"metallicFactor":0,"roughnessFactor":)");
        out.putFloat(kRoughness);
        out.put("}}");
    }
    out.put(R"(],"accessors":[)");
    for (std::size_t k = 0; k < m_geometries.size(); ++k) {
        const Geometry& g = m_geometries[k];
        for (int normal = 0; normal < 2; ++normal) {
            out.put(k || normal ? R"(,{"bufferView":)" : R"({"bufferView":)");
            out.putInt(k);
            out.put(normal ? R"(,"byteOffset":12)" : "");
            out.put(R"(,"componentType":5126,"count":)");
            out.putInt(3 * g.count);
            out.put(R"(,"type":"VEC3")");
            if (!normal) {
                out.put(R"(,"min":)");
                out.putFloats(g.min, 3);
                out.put(R"(,"max":)");
                out.putFloats(g.max, 3);
            }
            out.put("}");
        }
    }
    out.put(R"(],"bufferViews":[)");
    for (std::size_t k = 0; k < m_geometries.size(); ++k) {
        const Geometry& g = m_geometries[k];
        out.put(k ? R"(,{"buffer":0,"byteOffset":)" : R"({"buffer":0,"byteOffset":)");
        out.putInt(g.offset);
        out.put(R"(,"byteLength":)");
        out.putInt(g.count * kTriangleBytes);
        out.put(R"(,"byteStride":24,"target":34962})");
    }
    out.put(R"(],"buffers":[{"byteLength":)");
    out.putInt(m_bufferLength);
    if (!binary) {
        out.put(R"(,"uri":"data:application/octet-stream;base64,)");
        Base64 text(out);
        buffer(text);
        text.finish();
        out.put("\"");
    }
    out.put("}]}");
}

} // namespace

vxWriteResult writeGltf(const Scene& scene, const vxModel& model, vxAtomicFile& file, bool binary,
                        const Progress& progress)
{
    const Writer writer(scene, model);
    Out out(&file);
    if (!binary) {
        writer.json(out, false, &progress);
        out.put("\n");
        out.flush();
        return file.commit();
    }

    Out counter(nullptr);
    writer.json(counter, true, nullptr);
    const std::uint64_t jsonLength = (counter.size() + 3) / 4 * 4;
    const std::uint64_t binLength = writer.bufferLength();
    const std::uint64_t total = 12 + 8 + jsonLength + (binLength > 0 ? 8 + binLength : 0);
    if (total > std::numeric_limits<std::uint32_t>::max())
        return {false,
                "cannot write " + file.path() + ": the model is too large for a .glb file (4 GB); use .gltf"};

    auto put32 = [&](std::uint32_t v) { file.write(&v, 4); };
    file.write("glTF", 4);
    put32(2);
    put32(static_cast<std::uint32_t>(total));
    put32(static_cast<std::uint32_t>(jsonLength));
    file.write("JSON", 4);
    writer.json(out, true, &progress);
    out.flush();
    file.write("   ", static_cast<std::size_t>(jsonLength - counter.size()));
    if (binLength > 0) {
        put32(static_cast<std::uint32_t>(binLength));
        file.write("BIN\0", 4);
        writer.buffer(file);
    }
    return file.commit();
}

std::string materialName(const Scene& scene, std::size_t k)
{
    const vxVector& c = scene.colours[k];
    auto byte = [](float v) {
        return static_cast<unsigned>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    char b[48];
    std::snprintf(b, sizeof b, "colour%zu_%02X%02X%02X", k + 1, byte(c.x()), byte(c.y()), byte(c.z()));
    return b;
}

} // namespace vxExport
