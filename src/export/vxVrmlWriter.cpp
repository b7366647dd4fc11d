// The VRML 1.0 export of the scene: one transform-separator block per scene
// object that has triangles, streamed into an atomic file.
#include "vxVrmlWriter.h"
#include "vxBaseSceneObject.h"
#include "vxNumberFormat.h"

#include <charconv>
#include <cstring>
#include <unordered_map>

namespace {

using vxNumberFormat::formatFixed6;
using vxNumberFormat::kMaxFixed6;

constexpr std::string_view kHeader = "#VRML V1.0 ascii\r\n"
                                     "#this document was created by Kolbrik viewer for MacOSX\r\n";

// Meshes whose text is kept for the next object that shares them, at most
// this many bytes in all; the rest is formatted for every object.
constexpr std::size_t kCacheBytes = 16u << 20;

// "x y z" of a vector.
char* formatXYZ(char* dst, const vxVector& v)
{
    dst = formatFixed6(dst, v.x());
    *dst++ = ' ';
    dst = formatFixed6(dst, v.y());
    *dst++ = ' ';
    return formatFixed6(dst, v.z());
}

// Collects small pieces and hands them to the sink in large ones.
class Text {
  public:
    explicit Text(vxByteSink& sink) : m_sink(sink) { m_buf.reserve(kSize + 1024); }
    ~Text() { flush(); }
    void put(std::string_view s)
    {
        m_buf.append(s);
        if (m_buf.size() >= kSize)
            flush();
    }
    void putInt(long long v)
    {
        char b[24];
        put(std::string_view(b, static_cast<std::size_t>(std::to_chars(b, b + sizeof b, v).ptr - b)));
    }
    void putXYZ(const vxVector& v)
    {
        char b[3 * kMaxFixed6 + 2];
        put(std::string_view(b, static_cast<std::size_t>(formatXYZ(b, v) - b)));
    }
    // Large pieces go straight on.
    void putLarge(std::string_view s)
    {
        flush();
        m_sink.write(s);
    }
    void flush()
    {
        if (!m_buf.empty())
            m_sink.write(m_buf);
        m_buf.clear();
    }

  private:
    static constexpr std::size_t kSize = 64 * 1024;
    vxByteSink& m_sink;
    std::string m_buf;
};

// The corner lines of a mesh, one line per triangle.
template <class Put> void pointLines(const std::vector<vxVertice>& list, Put put)
{
    for (const vxVertice& t : list) {
        char line[9 * kMaxFixed6 + 10];
        char* w = formatXYZ(line, t.v1());
        *w++ = ' ';
        w = formatXYZ(w, t.v2());
        *w++ = ' ';
        w = formatXYZ(w, t.v3());
        *w++ = '\r';
        *w++ = '\n';
        put(std::string_view(line, static_cast<std::size_t>(w - line)));
    }
}

// The face-index entries of a mesh of n triangles: 0,1,2,-1,3,4,5,-1,...
template <class Put> void indexRun(std::size_t n, Put put)
{
    char run[4096];
    char* w = run;
    long long k = 0;
    for (std::size_t t = 0; t < n; ++t, k += 3) {
        if (w > run + sizeof run - 80) {
            put(std::string_view(run, static_cast<std::size_t>(w - run)));
            w = run;
        }
        w = std::to_chars(w, w + 20, k).ptr;
        *w++ = ',';
        w = std::to_chars(w, w + 20, k + 1).ptr;
        *w++ = ',';
        w = std::to_chars(w, w + 20, k + 2).ptr;
        std::memcpy(w, ",-1,", 4);
        w += 4;
    }
    put(std::string_view(run, static_cast<std::size_t>(w - run)));
}

struct CachedMesh {
    int uses = 0;
    bool made = false;
    std::string points, indices;
};

} // namespace

namespace vxVrml {

void write(const vxExportSource& source, vxByteSink& sink, const std::function<bool(std::size_t)>& keep)
{
    const auto& scene = source.objects;
    auto kept = [&](std::size_t i) { return !keep || keep(i); };

    // Objects of one part type share one mesh: its text is made once. Read
    // through const objects: the non-const accessor would unshare meshes.
    std::unordered_map<const vxSharedMesh*, CachedMesh> cache;
    for (std::size_t i = 0; i < scene.size(); ++i)
        if (const vxSharedMesh* m = scene[i]->sharedMesh().get(); m && !m->triangles.empty() && kept(i))
            ++cache[m].uses;
    std::size_t cacheLeft = kCacheBytes;

    Text out(sink);
    out.put(kHeader);
    for (std::size_t i = 0; i < scene.size(); ++i) {
        const vxBaseSceneObject& o = *scene[i];
        const std::vector<vxVertice>& list = o.verticesList();
        if (list.empty() || !kept(i))
            continue; // the index is used up all the same

        out.put(" TransformSeparator {\r\nDEF MAT_");
        out.putInt(static_cast<long long>(i));
        out.put(" Material\r\n{\r\n  ambientColor ");
        out.putXYZ(o.colorAmbient());
        out.put("\r\n  diffuseColor ");
        out.putXYZ(o.colorDiffuse());
        out.put("\r\n  specularColor 0.000000 0.000000 0.000000\r\n  emissiveColor ");
        out.putXYZ(o.colorEmission());
        out.put("\r\n  shininess 0\r\n  transparency 0\r\n}\r\nMatrixTransform \r\n{ matrix\r\n");
        const vxMatrix& m = o.localMatrix();
        for (const vxVector* row : {&m.v1(), &m.v2(), &m.v3(), &m.v4()}) {
            char b[4 * kMaxFixed6 + 5];
            char* w = formatXYZ(b, *row);
            *w++ = ' ';
            w = formatFixed6(w, row->w());
            *w++ = '\r';
            *w++ = '\n';
            out.put(std::string_view(b, static_cast<std::size_t>(w - b)));
        }
        out.put("}\r\nCoordinate3\r\n{\r\n  point [\r\n");

        CachedMesh* cached = nullptr;
        if (auto c = cache.find(o.sharedMesh().get()); c != cache.end() && c->second.uses > 1) {
            cached = &c->second;
            if (!cached->made && list.size() * 110 <= cacheLeft) {
                pointLines(list, [&](std::string_view s) { cached->points.append(s); });
                indexRun(list.size(), [&](std::string_view s) { cached->indices.append(s); });
                cacheLeft -= std::min(cacheLeft, cached->points.size() + cached->indices.size());
                cached->made = true;
            }
            if (!cached->made)
                cached = nullptr;
        }
        auto put = [&](std::string_view s) { out.put(s); };
        if (cached)
            out.putLarge(cached->points);
        else
            pointLines(list, put);
        out.put("  ]\r\n}\r\nDEF part");
        out.putInt(static_cast<long long>(i) + 1);
        out.put(" IndexedFaceSet\r\n{\r\n  coordIndex [ \r\n");
        if (cached)
            out.putLarge(cached->indices);
        else
            indexRun(list.size(), put);
        out.put("  ]\r\n}\r\n}\r\n");
    }
}

std::string text(const vxExportSource& source)
{
    class StringSink : public vxByteSink {
      public:
        using vxByteSink::write;
        void write(std::string_view bytes) override { text.append(bytes); }
        std::string text;
    };
    StringSink s;
    write(source, s);
    return std::move(s.text);
}

} // namespace vxVrml
