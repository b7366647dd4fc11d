// glTF 2.0, binary (.glb) or text with the buffer embedded (.gltf). The
// geometry of each part mesh is stored once, with flat normals computed from
// the corners; each part is a node that places it with its matrix, under a
// root node that scales the model's centimetres to glTF's metres. glTF binds
// materials to mesh primitives, so every pair of part mesh and colour in use
// is a mesh of its own, all pairs of one part mesh sharing its accessors.
//
// Written in one stream: the lengths in a .glb's header are filled in once
// the JSON is written. The JSON arrays and the vertex data are made in one
// stream of runs on helper threads.
#include "vxExportWriters.h"
#include "vxJsonString.h"
#include "vxModel.h"
#include "vxNumberFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace vxExport {

namespace {

using vxNumberFormat::formatShortest;
using vxNumberFormat::kMaxShortest;

constexpr std::size_t kVertexBytes = 24; // position and normal, three floats each
constexpr std::size_t kTriangleBytes = 3 * kVertexBytes;
constexpr float kMetres = 0.01f;               // model units are centimetres
constexpr std::string_view kRoughness = "0.4"; // a smooth moulded plastic

// JSON text appended to a string.
class JsonText : public TextOut {
  public:
    using TextOut::put;
    using TextOut::TextOut;

    // A JSON string; bytes that are not UTF-8 become U+FFFD.
    void putString(std::string_view s)
    {
        put('"');
        putEscaped(s);
        put('"');
    }
    // The inside of a JSON string; control characters as \u0009.
    void putEscaped(std::string_view s)
    {
        vxJsonString::escape(s, vxJsonString::Controls::kHex, [this](std::string_view piece) { put(piece); });
    }
};

// JSON text with numbers and repeated pieces, appended to a string.
class Json : public JsonText {
  public:
    using JsonText::JsonText;

    void putFloat(float f) { end(floatText(room(kMaxShortest), f)); }
    void putFloats(const float* f, int n)
    {
        char* w = room(2 + static_cast<std::size_t>(n) * (kMaxShortest + 1));
        *w++ = '[';
        for (int i = 0; i < n; ++i) {
            if (i)
                *w++ = ',';
            w = floatText(w, f[i]);
        }
        *w++ = ']';
        end(w);
    }
    // The text that make(out) puts, made once for key in a while: texts of
    // the few definitions or part meshes that many entries share.
    template <class Make> void putMemo(const void* key, Make make)
    {
        Memo& m = m_memos[(reinterpret_cast<std::uintptr_t>(key) >> 4) % m_memos.size()];
        if (m.key != key) {
            m.text.clear();
            JsonText memo(m.text);
            make(memo);
            m.key = key;
        }
        put(m.text);
    }

  private:
    // Writes the text of f at w (room for kMaxShortest characters) and
    // returns its end. Placements repeat few numbers (the axes of a handful
    // of rotations, positions on a grid): the texts of floats met lately are
    // kept.
    char* floatText(char* w, float f)
    {
        const auto bits = std::bit_cast<std::uint32_t>(f);
        const std::size_t k = (bits * 0x9E3779B1u) >> (32 - kFloatSlotBits);
        const std::uint64_t slot = m_floatKeys[k]; // text length << 32 | bits; 0: free
        if (static_cast<std::uint32_t>(slot) == bits && slot >> 32 != 0) {
            std::memcpy(w, m_floatTexts[k], kFloatText);
            return w + (slot >> 32);
        }
        char* e = formatShortest(w, f);
        const auto size = static_cast<std::size_t>(e - w);
        if (size <= kFloatText) {
            std::memcpy(m_floatTexts[k], w, size);
            m_floatKeys[k] = (std::uint64_t{size} << 32) | bits;
        }
        return e;
    }

    static constexpr int kFloatSlotBits = 10;
    static constexpr std::size_t kFloatText = 16; // longer texts are made each time
    std::array<std::uint64_t, std::size_t{1} << kFloatSlotBits> m_floatKeys{};
    char m_floatTexts[std::size_t{1} << kFloatSlotBits][kFloatText];
    struct Memo {
        const void* key = nullptr;
        std::string text;
    };
    std::array<Memo, 64> m_memos;
};

// Binary data as base64 text; size is a multiple of three, so that no
// padding is needed.
void appendBase64(std::string& out, const unsigned char* p, std::size_t size)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::size_t at = out.size();
    out.resize(at + size / 3 * 4);
    for (char* w = out.data() + at; size >= 3; p += 3, size -= 3, w += 4) {
        const unsigned v = (p[0] << 16) | (p[1] << 8) | p[2];
        w[0] = kDigits[v >> 18];
        w[1] = kDigits[(v >> 12) & 63];
        w[2] = kDigits[(v >> 6) & 63];
        w[3] = kDigits[v & 63];
    }
}

// The vertex data of one part mesh, as stored: in the mesh's own frame, or
// for a part whose placement is not a rotation, scale and translation, in
// the model's frame (baked).
struct Geometry {
    std::uint32_t mesh;
    const Placement* baked;
    std::uint32_t firstPart; // names the mesh
    std::uint64_t count = 0; // triangles
    float min[3] = {}, max[3] = {};
    std::uint64_t offset = 0; // in the buffer
};

// Calls emit(c) with the nine coordinates c of the corners of each usable
// triangle of the geometry, as stored.
template <class Emit> void corners(const Scene& scene, const Geometry& g, Emit emit)
{
    std::optional<Transform> t;
    if (g.baked)
        t.emplace(*g.baked);
    const Mesh& mesh = scene.meshes[g.mesh];
    const bool allUsable = mesh.usable == mesh.triangles->size();
    for (const vxVertice& tri : *mesh.triangles) {
        if (!allUsable && !usable(tri))
            continue;
        float c[9];
        const vxVector* v[3] = {&tri.v1(), &tri.v2(), &tri.v3()};
        for (int k = 0; k < 3; ++k) {
            if (t) {
                const std::array<double, 3> p = t->apply(*v[k]);
                for (int a = 0; a < 3; ++a)
                    c[3 * k + a] = static_cast<float>(p[a]);
            } else {
                c[3 * k] = v[k]->x();
                c[3 * k + 1] = v[k]->y();
                c[3 * k + 2] = v[k]->z();
            }
        }
        emit(c);
    }
}

// Calls emit(v) with the vertex data v of each usable triangle of the
// geometry: position and flat normal of each corner, 18 floats.
template <class Emit> void triangles(const Scene& scene, const Geometry& g, Emit emit)
{
    corners(scene, g, [&](const float* c) {
        float n[3];
        if (!unitNormal(c, c + 3, c + 6, n)) {
            n[0] = n[2] = 0.0f; // glTF's normals are unit vectors
            n[1] = 1.0f;
        }
        float v[18];
        for (int k = 0; k < 3; ++k)
            for (int a = 0; a < 3; ++a) {
                v[6 * k + a] = c[3 * k + a];
                v[6 * k + 3 + a] = n[a];
            }
        emit(v);
    });
}

// Whether glTF can hold the placement as a node matrix: the last row is
// (0, 0, 0, 1) and the axes are perpendicular and not zero, so that it is a
// translation, a rotation and a scale (mirroring included).
bool isTrs(const Placement& m)
{
    if (m[3] != 0.0f || m[7] != 0.0f || m[11] != 0.0f || m[15] != 1.0f)
        return false;
    // Products of floats in double precision are exact; their sums neither
    // overflow nor vanish. Axes are perpendicular when their dot product is
    // at most 10^-6 of their lengths' product (compared squared).
    auto dot = [&](int i, int j) {
        return double{m[i]} * m[j] + double{m[i + 1]} * m[j + 1] + double{m[i + 2]} * m[j + 2];
    };
    const double square[3] = {dot(0, 0), dot(4, 4), dot(8, 8)};
    if (!(square[0] > 0.0 && square[1] > 0.0 && square[2] > 0.0))
        return false;
    auto perpendicular = [&](int i, int j) {
        const double d = dot(4 * i, 4 * j);
        return d * d <= 1e-12 * square[i] * square[j];
    };
    return perpendicular(0, 1) && perpendicular(0, 2) && perpendicular(1, 2);
}

bool isIdentity(const Placement& m)
{
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f))
            return false;
    return true;
}

// The JSON arrays of nodes, meshes and materials are made in runs of this
// many entries on helper threads: a megabyte or so, which goes to the file
// without passing through its buffer.
constexpr std::size_t kEntriesPerRun = 8192;

class Writer {
  public:
    Writer(const Scene& scene, const vxModel& model) : m_scene(scene), m_model(model) { layOut(); }

    std::uint64_t bufferLength() const { return m_bufferLength; }

    // The JSON and, after it, the vertex data: as bytes in a .glb's binary
    // chunk, whose header afterJson writes once the JSON is in the file
    // (given the JSON's length so far), or as base64 text in the JSON.
    void write(vxAtomicFile& file, bool binary, const Progress& progress,
               const std::function<void()>& afterJson = {}) const;

  private:
    void layOut();
    void node(std::size_t p, Json& out) const;
    void mesh(std::size_t k, Json& out) const;
    void material(std::size_t k, Json& out) const;
    void accessor(std::size_t i, Json& out) const;
    void bufferView(std::size_t k, Json& out) const;
    void child(std::size_t p, Json& out) const { out.putInt(p + 1); }
    void nothing(std::size_t, Json&) const {}
    // The vertex data of geometries first to last - 1, as bytes or as
    // base64 text.
    void vertices(std::size_t first, std::size_t last, bool base64, std::string& out) const;
    using Entry = void (Writer::*)(std::size_t i, Json& out) const;
    // A JSON array's entries: `count` of them made by entry, the first after
    // `opening`, each other after a comma. None may be empty.
    struct Array {
        std::size_t count;
        Entry entry;
        std::string_view opening;
    };

    const Scene& m_scene;
    const vxModel& m_model;
    std::vector<Geometry> m_geometries;
    std::vector<std::uint32_t> m_partMesh;                         // per part: its glTF mesh
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_meshes; // (geometry, colour) per glTF mesh
    std::uint64_t m_bufferLength = 0;
};

void Writer::layOut()
{
    std::vector<std::uint32_t> shared(m_scene.meshes.size(), UINT32_MAX); // geometry of each mesh
    struct Plain {
        std::uint64_t operator()(std::uint64_t k) const { return k; }
    };
    FirstIndex<std::uint64_t, Plain> meshOf(m_scene.parts.size()); // (geometry, colour) -> mesh
    m_partMesh.reserve(m_scene.parts.size());
    for (std::size_t p = 0; p < m_scene.parts.size(); ++p) {
        const Part& part = m_scene.parts[p];
        std::uint32_t g;
        if (!isTrs(part.matrix)) {
            g = static_cast<std::uint32_t>(m_geometries.size());
            m_geometries.push_back({part.mesh, &part.matrix, static_cast<std::uint32_t>(p)});
        } else if (shared[part.mesh] == UINT32_MAX) {
            g = shared[part.mesh] = static_cast<std::uint32_t>(m_geometries.size());
            m_geometries.push_back({part.mesh, nullptr, static_cast<std::uint32_t>(p)});
        } else {
            g = shared[part.mesh];
        }
        const std::uint64_t key = (std::uint64_t{g} << 32) | part.colour;
        const auto [mesh, added] = meshOf.add(key);
        if (added)
            m_meshes.emplace_back(g, part.colour);
        m_partMesh.push_back(mesh);
    }
    for (Geometry& g : m_geometries) {
        g.offset = m_bufferLength;
        for (int a = 0; a < 3; ++a) {
            g.min[a] = std::numeric_limits<float>::max();
            g.max[a] = std::numeric_limits<float>::lowest();
        }
        corners(m_scene, g, [&](const float* c) {
            for (int k = 0; k < 3; ++k)
                for (int a = 0; a < 3; ++a) {
                    g.min[a] = std::min(g.min[a], c[3 * k + a]);
                    g.max[a] = std::max(g.max[a], c[3 * k + a]);
                }
            ++g.count;
        });
        m_bufferLength += g.count * kTriangleBytes;
    }
}

void Writer::node(std::size_t p, Json& out) const
{
    const Part& part = m_scene.parts[p];
    out.put(part.part ? R"({"name":"part)" : R"({"name":"tube)");
    out.putInt(part.number);
    if (part.part) {
        out.put(' ');
        out.putEscaped(part.part->partName());
    }
    out.put(R"(","mesh":)");
    out.putInt(m_partMesh[p]);
    if (!m_geometries[m_meshes[m_partMesh[p]].first].baked && !isIdentity(part.matrix)) {
        out.put(R"(,"matrix":)");
        out.putFloats(part.matrix.data(), 16);
    }
    if (!part.part) { // a tube: nothing more to tell
        out.put("}");
        return;
    }
    const vxPart& source = *part.part;
    const vxDefinition& definition = source.definition();
    out.putMemo(&definition, [&](JsonText& memo) {
        memo.put(R"(,"extras":{"articleNumber":)");
        memo.putString(definition.m_OrgNumber);
        memo.put(R"(,"definition":)");
        memo.putString(definition.m_Name);
        memo.put(R"(,"phase":)");
    });
    out.putInt(source.phase());
    out.put("}}");
}

void Writer::mesh(std::size_t k, Json& out) const
{
    const auto [g, colour] = m_meshes[k];
    out.putMemo(&m_geometries[g], [&](JsonText& memo) {
        memo.put(R"({"name":)");
        const vxPart* first = m_scene.parts[m_geometries[g].firstPart].part;
        memo.putString(first ? first->shortName() : "tube");
        memo.put(R"(,"primitives":[{"attributes":{"POSITION":)");
        memo.putInt(2 * std::uint64_t{g});
        memo.put(R"(,"NORMAL":)");
        memo.putInt(2 * std::uint64_t{g} + 1);
        memo.put(R"(},"material":)");
    });
    out.putInt(colour);
    out.put("}]}");
}

// The text of the linear value of an sRGB colour channel.
void putLinear(Json& out, float srgb)
{
    // Channels of model files are bytes / 255: their texts are made once.
    static const auto kTexts = [] {
        std::array<std::string, 256> texts;
        for (int b = 0; b < 256; ++b) {
            char t[kMaxShortest];
            texts[b].assign(t, formatShortest(t, linearFromSrgb(static_cast<float>(b) / 255.0f)));
        }
        return texts;
    }();
    const double b = double{srgb} * 255.0 + 0.5;
    if (b >= 0.0 && b < 256.0 && static_cast<float>(static_cast<int>(b)) / 255.0f == srgb)
        out.put(kTexts[static_cast<std::size_t>(b)]);
    else
        out.putFloat(linearFromSrgb(srgb));
}

void Writer::material(std::size_t k, Json& out) const
{
    const vxVector& c = m_scene.colours[k];
    out.put(R"({"name":")");
    out.put(materialName(m_scene, k).view()); // letters, digits and '_'
    out.put(R"(","pbrMetallicRoughness":{"baseColorFactor":[)");
    putLinear(out, c.x());
    out.put(',');
    putLinear(out, c.y());
    out.put(',');
    putLinear(out, c.z());
    out.put(R"(,1],"metallicFactor":0,"roughnessFactor":)");
    out.put(kRoughness);
    out.put("}}");
}

void Writer::accessor(std::size_t i, Json& out) const
{
    const std::size_t k = i / 2;
    const bool normal = i % 2 != 0;
    const Geometry& g = m_geometries[k];
    out.put(R"({"bufferView":)");
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
    out.put('}');
}

void Writer::bufferView(std::size_t k, Json& out) const
{
    const Geometry& g = m_geometries[k];
    out.put(R"({"buffer":0,"byteOffset":)");
    out.putInt(g.offset);
    out.put(R"(,"byteLength":)");
    out.putInt(g.count * kTriangleBytes);
    out.put(R"(,"byteStride":24,"target":34962})");
}

void Writer::vertices(std::size_t first, std::size_t last, bool base64, std::string& out) const
{
    // The 72 bytes of a triangle are 96 characters of base64 text: each
    // triangle's text stands alone.
    const std::size_t bytes = base64 ? kTriangleBytes / 3 * 4 : kTriangleBytes;
    std::uint64_t count = 0;
    for (std::size_t k = first; k < last; ++k)
        count += m_geometries[k].count;
    out.reserve(out.size() + count * bytes);
    for (std::size_t k = first; k < last; ++k)
        triangles(m_scene, m_geometries[k], [&](const float* v) {
            if (base64)
                appendBase64(out, reinterpret_cast<const unsigned char*>(v), kTriangleBytes);
            else
                out.append(reinterpret_cast<const char*>(v), kTriangleBytes);
        });
}

void Writer::write(vxAtomicFile& file, bool binary, const Progress& progress,
                   const std::function<void()>& afterJson) const
{
    const std::size_t parts = m_scene.parts.size();
    std::string text;
    {
        Json out(text);
        out.put(
            R"({"asset":{"version":"2.0","generator":"Kolbrik Viewer"},"scene":0,"scenes":[{"nodes":[0]}],)");

        // The root scales centimetres to metres; glTF's Y is up, as ours.
        out.put(R"("nodes":[{"name":)");
        out.putString(m_model.infModell().empty() ? std::string("Kolbrik model") : m_model.infModell());
        const float scale[3] = {kMetres, kMetres, kMetres};
        out.put(R"(,"scale":)");
        out.putFloats(scale, 3);
    }
    file.write(text);
    if (parts == 0) {
        file.write("}]}");
        if (afterJson)
            afterJson();
        return;
    }

    // The record of the buffer ends the JSON of a .glb; in a .gltf, the
    // buffer's text follows.
    text.clear();
    {
        JsonText out(text);
        out.put(R"(],"buffers":[{"byteLength":)");
        out.putInt(m_bufferLength);
        out.put(binary ? R"(}]})" : R"(,"uri":"data:application/octet-stream;base64,)");
    }
    // The root's children, the part nodes after it.
    const Array arrays[] = {{parts, &Writer::child, R"(,"children":[)"},
                            {parts, &Writer::node, "]},"},
                            {m_meshes.size(), &Writer::mesh, R"(],"meshes":[)"},
                            {m_scene.colours.size(), &Writer::material, R"(],"materials":[)"},
                            {2 * m_geometries.size(), &Writer::accessor, R"(],"accessors":[)"},
                            {m_geometries.size(), &Writer::bufferView, R"(],"bufferViews":[)"},
                            {1, &Writer::nothing, text}};
    std::vector<std::size_t> starts = {0}; // of each array among all entries
    for (const Array& a : arrays)
        starts.push_back(starts.back() + a.count);
    const std::size_t jsonEntries = starts.back();

    // One stream of runs, made on helper threads: the entries of the arrays,
    // whose runs go on from one array into the next, so that the helpers
    // never wait for an array to be written; then the vertex data in runs of
    // whole geometries, some hundred kilobytes each.
    std::vector<std::size_t> bounds = blocks(jsonEntries, kEntriesPerRun);
    const std::size_t jsonRuns = bounds.size() - 1;
    for (std::size_t b :
         blocks(m_geometries.size(), 4096, [&](std::size_t k) { return m_geometries[k].count; }))
        if (b > 0)
            bounds.push_back(jsonEntries + b);
    const auto make = [&](std::size_t first, std::size_t last, std::string& out) {
        if (first >= jsonEntries) {
            vertices(first - jsonEntries, last - jsonEntries, !binary, out);
            return;
        }
        Json json(out);
        std::size_t k = 0;
        for (std::size_t i = first; i < last; ++i) {
            while (i >= starts[k + 1])
                ++k;
            const std::size_t j = i - starts[k];
            if (j == 0)
                json.put(arrays[k].opening);
            else
                json.put(',');
            (this->*arrays[k].entry)(j, json);
        }
    };
    // Progress counts the part nodes.
    std::size_t told = 0;
    const Progress tell{[&](std::size_t done, std::size_t) {
        if (progress.fn && done > parts && told < parts) {
            told = std::min(done - parts, parts);
            progress.fn(told, parts);
        }
    }};
    writeBlocks(bounds, make, file, tell, [&](std::size_t run) {
        if (run + 1 == jsonRuns && afterJson)
            afterJson();
    });
    if (!binary)
        file.write(R"("}]})");
}

} // namespace

vxWriteResult writeGltf(const Scene& scene, const vxModel& model, vxAtomicFile& file, bool binary,
                        const Progress& progress)
{
    const Writer writer(scene, model);
    if (!binary) {
        writer.write(file, false, progress);
        file.write("\n");
        return file.commit();
    }

    // The header and the JSON chunk's length; the lengths are filled in
    // once the JSON is written.
    auto put32 = [&file](std::uint32_t v, std::uint64_t at) {
        char b[4];
        std::memcpy(b, &v, 4);
        if (at < file.size())
            file.overwrite(at, std::string_view(b, 4));
        else
            file.write(b, 4);
    };
    // A stream keeps the header and the JSON until their lengths are in.
    file.holdBack(true);
    file.write("glTF\2\0\0\0\0\0\0\0\0\0\0\0JSON", 20);
    const std::uint64_t jsonStart = file.size();
    const std::uint64_t binLength = writer.bufferLength();
    struct TooLarge {};
    try {
        writer.write(file, true, progress, [&] {
            const std::uint64_t jsonLength = (file.size() - jsonStart + 3) / 4 * 4;
            file.write("   ", static_cast<std::size_t>(jsonStart + jsonLength - file.size()));
            const std::uint64_t total = jsonStart + jsonLength + (binLength > 0 ? 8 + binLength : 0);
            if (total > std::numeric_limits<std::uint32_t>::max())
                throw TooLarge{}; // before the vertex data is written
            put32(static_cast<std::uint32_t>(total), 8);
            put32(static_cast<std::uint32_t>(jsonLength), 12);
            if (binLength > 0) {
                put32(static_cast<std::uint32_t>(binLength), file.size());
                file.write("BIN\0", 4);
            }
            file.holdBack(false);
        });
    } catch (const TooLarge&) {
        return {false,
                "cannot write " + file.path() + ": the model is too large for a .glb file (4 GB); use .gltf"};
    }
    return file.commit();
}

MaterialName materialName(const Scene& scene, std::size_t k)
{
    static const char kHex[] = "0123456789ABCDEF";
    const vxVector& c = scene.colours[k];
    MaterialName name;
    char* w = name.text;
    std::memcpy(w, "colour", 6);
    w = std::to_chars(w + 6, w + 26, k + 1).ptr;
    *w++ = '_';
    for (float v : {c.x(), c.y(), c.z()}) {
        const auto byte = static_cast<unsigned>(std::clamp(double{v}, 0.0, 1.0) * 255.0 + 0.5);
        w[0] = kHex[byte >> 4];
        w[1] = kHex[byte & 15];
        w += 2;
    }
    name.size = static_cast<std::size_t>(w - name.text);
    return name;
}

} // namespace vxExport
