// The VRML 1.0 export of the scene: one transform-separator block per scene
// object that has triangles, streamed into an atomic file.
#include "vxVrmlWriter.h"
#include "vxBaseSceneObject.h"
#include "vxExportWriters.h"
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

using vxExport::TextOut;

// "x y z" of a vector.
void putXYZ(TextOut& out, const vxVector& v)
{
    out.end(formatXYZ(out.room(3 * kMaxFixed6 + 2), v));
}

// The corner lines of a mesh, one line per triangle.
void pointLines(const std::vector<vxVertice>& list, TextOut& out)
{
    for (const vxVertice& t : list) {
        char* w = formatXYZ(out.room(9 * kMaxFixed6 + 10), t.v1());
        *w++ = ' ';
        w = formatXYZ(w, t.v2());
        *w++ = ' ';
        w = formatXYZ(w, t.v3());
        *w++ = '\r';
        *w++ = '\n';
        out.end(w);
    }
}

// The face-index entries of a mesh of n triangles: 0,1,2,-1,3,4,5,-1,...
void indexRun(std::size_t n, TextOut& out)
{
    long long k = 0;
    for (std::size_t t = 0; t < n; ++t, k += 3) {
        char* w = out.room(80);
        w = std::to_chars(w, w + 20, k).ptr;
        *w++ = ',';
        w = std::to_chars(w, w + 20, k + 1).ptr;
        *w++ = ',';
        w = std::to_chars(w, w + 20, k + 2).ptr;
        std::memcpy(w, ",-1,", 4);
        out.end(w + 4);
    }
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

    TextOut out(sink);
    out.put(kHeader);
    for (std::size_t i = 0; i < scene.size(); ++i) {
        const vxBaseSceneObject& o = *scene[i];
        const std::vector<vxVertice>& list = o.verticesList();
        if (list.empty() || !kept(i))
            continue; // the index is used up all the same

        out.put(" TransformSeparator {\r\nDEF MAT_");
        out.putInt(static_cast<long long>(i));
        out.put(" Material\r\n{\r\n  ambientColor ");
        putXYZ(out, o.colorAmbient());
        out.put("\r\n  diffuseColor ");
        putXYZ(out, o.colorDiffuse());
        out.put("\r\n  specularColor 0.000000 0.000000 0.000000\r\n  emissiveColor ");
        putXYZ(out, o.colorEmission());
        out.put("\r\n  shininess 0\r\n  transparency 0\r\n}\r\nMatrixTransform \r\n{ matrix\r\n");
        const vxMatrix& m = o.localMatrix();
        for (const vxVector* row : {&m.v1(), &m.v2(), &m.v3(), &m.v4()}) {
            char* w = formatXYZ(out.room(4 * kMaxFixed6 + 5), *row);
            *w++ = ' ';
            w = formatFixed6(w, row->w());
            *w++ = '\r';
            *w++ = '\n';
            out.end(w);
        }
        out.put("}\r\nCoordinate3\r\n{\r\n  point [\r\n");

        CachedMesh* cached = nullptr;
        if (auto c = cache.find(o.sharedMesh().get()); c != cache.end() && c->second.uses > 1) {
            cached = &c->second;
            if (!cached->made && list.size() * 110 <= cacheLeft) {
                {
                    TextOut points(cached->points), indices(cached->indices);
                    pointLines(list, points);
                    indexRun(list.size(), indices);
                }
                cacheLeft -= std::min(cacheLeft, cached->points.size() + cached->indices.size());
                cached->made = true;
            }
            if (!cached->made)
                cached = nullptr;
        }
        if (cached)
            out.put(cached->points);
        else
            pointLines(list, out);
        out.put("  ]\r\n}\r\nDEF part");
        out.putInt(static_cast<long long>(i) + 1);
        out.put(" IndexedFaceSet\r\n{\r\n  coordIndex [ \r\n");
        if (cached)
            out.put(cached->indices);
        else
            indexRun(list.size(), out);
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
