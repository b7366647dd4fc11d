// The VRML 1.0 export of the scene: one transform-separator block per scene
// object that has triangles, written atomically.
#include "vxOpenGLView.h"
#include "vxVrmlWriter.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace vxVrml {

namespace {

// The widest text formatFixed writes: -FLT_MAX takes 47 characters.
constexpr std::size_t kMaxFixed = 48;

char* formatFixedGeneral(char* dst, float f)
{
    // to_chars never looks at the locale; with a precision it prints what
    // printf("%f") prints in the C locale, digit for digit (the exact binary
    // value, rounded half to even), including "-0.000000", "nan" and "-nan".
    return std::to_chars(dst, dst + kMaxFixed, static_cast<double>(f), std::chars_format::fixed, 6).ptr;
}

// Writes f as printf("%f") does in the C locale at dst, which has room for
// kMaxFixed characters; returns the end.
char* formatFixed(char* dst, float f)
{
    // Fast path for the magnitudes a model holds (below 2^43): a float is
    // m * 2^e with a 24-bit m, so its value in millionths, m * 10^6 * 2^e,
    // is computed exactly in 64 bits and rounded half to even, as printf
    // rounds the exact value. Larger and non-finite values take the general
    // path.
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased == 0xFF)
        return formatFixedGeneral(dst, f);
    const std::uint64_t m = (bits & 0x7FFFFFu) | (biased ? 0x800000u : 0u);
    const int e = (biased ? biased : 1) - 150;
    std::uint64_t millionths;
    if (e >= 0) {
        if (e > 19) // m * 2^e * 10^6 might not fit in 63 bits
            return formatFixedGeneral(dst, f);
        millionths = (m << e) * 1000000u;
    } else if (-e > 44) {
        millionths = 0; // m * 10^6 < 2^44: the value is below half a millionth
    } else {
        const int k = -e;
        const std::uint64_t scaled = m * 1000000u;
        millionths = scaled >> k;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << k) - 1);
        const std::uint64_t half = std::uint64_t{1} << (k - 1);
        if (rest > half || (rest == half && (millionths & 1)))
            ++millionths;
    }
    char* w = dst;
    if (bits >> 31)
        *w++ = '-'; // also for -0.0 and for negatives that round to zero
    w = std::to_chars(w, dst + kMaxFixed, millionths / 1000000u).ptr;
    *w++ = '.';
    auto fraction = static_cast<std::uint32_t>(millionths % 1000000u);
    for (int i = 5; i >= 0; --i) {
        w[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return w + 6;
}

// "x y z" of a vector.
char* formatXYZ(char* dst, const vxVector& v)
{
    dst = formatFixed(dst, v.x());
    *dst++ = ' ';
    dst = formatFixed(dst, v.y());
    *dst++ = ' ';
    return formatFixed(dst, v.z());
}

} // namespace

void appendFixed(std::string& out, float f)
{
    char buf[kMaxFixed];
    out.append(buf, formatFixed(buf, f));
}

} // namespace vxVrml

namespace {

using vxVrml::formatFixed;
using vxVrml::formatXYZ;
using vxVrml::kMaxFixed;

void appendInt(std::string& out, long long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void appendXYZ(std::string& out, const vxVector& v)
{
    char buf[3 * kMaxFixed + 2];
    out.append(buf, formatXYZ(buf, v));
}

void appendXYZW(std::string& out, const vxVector& v)
{
    char buf[4 * kMaxFixed + 3];
    char* w = formatXYZ(buf, v);
    *w++ = ' ';
    out.append(buf, formatFixed(w, v.w()));
}

} // namespace

std::string vxOpenGLView::vrmlText() const
{
    static constexpr std::string_view kHeader = "#VRML V1.0 ascii\r\n"
                                                "#this document was created by Kolbrik viewer for MacOSX\r\n";

    // Read the meshes through const objects: the non-const accessor would
    // give every object that shares a mesh a private copy of it.
    std::size_t triangles = 0;
    for (const auto& object : m_sceneObjectList) {
        const vxBaseSceneObject& o = *object;
        triangles += o.verticesList().size();
    }
    std::string out;
    out.reserve(kHeader.size() + m_sceneObjectList.size() * 480 + triangles * 110);
    out += kHeader;

    for (std::size_t i = 0; i < m_sceneObjectList.size(); ++i) {
        const vxBaseSceneObject& o = *m_sceneObjectList[i];
        const std::vector<vxVertice>& list = o.verticesList();
        if (list.empty())
            continue; // the index is used up all the same

        out += " TransformSeparator {\r\nDEF MAT_";
        appendInt(out, static_cast<long long>(i));
        out += " Material\r\n{\r\n  ambientColor ";
        appendXYZ(out, o.colorAmbient());
        out += "\r\n  diffuseColor ";
        appendXYZ(out, o.colorDiffuse());
        out += "\r\n  specularColor 0.000000 0.000000 0.000000\r\n  emissiveColor ";
        appendXYZ(out, o.colorEmission());
        out += "\r\n  shininess 0\r\n  transparency 0\r\n}\r\nMatrixTransform \r\n{ matrix\r\n";
        const vxMatrix& m = o.localMatrix();
        for (const vxVector* row : {&m.v1(), &m.v2(), &m.v3(), &m.v4()}) {
            appendXYZW(out, *row);
            out += "\r\n";
        }
        out += "}\r\nCoordinate3\r\n{\r\n  point [\r\n";
        for (const vxVertice& t : list) {
            // One line per triangle, formatted in place and appended at once.
            char line[9 * kMaxFixed + 10];
            char* w = formatXYZ(line, t.v1());
            *w++ = ' ';
            w = formatXYZ(w, t.v2());
            *w++ = ' ';
            w = formatXYZ(w, t.v3());
            *w++ = '\r';
            *w++ = '\n';
            out.append(line, w);
        }
        out += "  ]\r\n}\r\nDEF part";
        appendInt(out, static_cast<long long>(i) + 1);
        out += " IndexedFaceSet\r\n{\r\n  coordIndex [ \r\n";
        char run[4096];
        char* w = run;
        long long k = 0;
        for (std::size_t t = 0; t < list.size(); ++t, k += 3) {
            if (w > run + sizeof run - 80) {
                out.append(run, w);
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
        out.append(run, w);
        out += "  ]\r\n}\r\n}\r\n";
    }
    return out;
}

vxWriteResult vxOpenGLView::exportAsVRML(const std::string& path) const
{
    return vxWriteFileAtomically(path, vrmlText());
}
