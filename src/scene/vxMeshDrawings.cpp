#include "vxMeshDrawings.h"

#include <GL/gl.h>
#include <meshoptimizer.h>

#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace {

using V3 = std::array<float, 3>;

V3 sub(const V3& a, const V3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

V3 cross(const V3& a, const V3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float dot(const V3& a, const V3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

V3 normalized(const V3& v)
{
    const float len = std::sqrt(dot(v, v));
    if (!(len > 0.0f) || !std::isfinite(len))
        return {0.0f, 0.0f, 0.0f};
    return {v[0] / len, v[1] / len, v[2] / len};
}

V3 of(const vxVector& v)
{
    return {v.x(), v.y(), v.z()};
}

// The mesh with equal corners joined: corner positions once each, three
// indices per triangle, and per triangle its facet normal (from the corners'
// order, turned to agree with the stored normal) and area. Triangles with a
// corner that is not finite are left out.
struct Welded {
    std::vector<float> positions; // x, y, z per vertex
    std::vector<std::uint32_t> indices;
    std::vector<V3> normals;       // per triangle, unit or zero
    std::vector<float> areas;      // per triangle
    std::vector<std::size_t> from; // the source triangle of each triangle

    explicit Welded(const std::vector<vxVertice>& triangles)
    {
        struct Key {
            std::uint32_t x, y, z;
            bool operator==(const Key&) const = default;
        };
        struct Hash {
            std::size_t operator()(const Key& k) const
            {
                return (static_cast<std::size_t>(k.x) * 73856093u) ^
                       (static_cast<std::size_t>(k.y) * 19349663u) ^
                       (static_cast<std::size_t>(k.z) * 83492791u);
            }
        };
        std::unordered_map<Key, std::uint32_t, Hash> index;
        index.reserve(triangles.size() * 2);
        auto vertex = [&](const V3& p) {
            // +0 and -0 are one corner.
            const Key k{std::bit_cast<std::uint32_t>(p[0] + 0.0f), std::bit_cast<std::uint32_t>(p[1] + 0.0f),
                        std::bit_cast<std::uint32_t>(p[2] + 0.0f)};
            auto [it, added] = index.emplace(k, static_cast<std::uint32_t>(positions.size() / 3));
            if (added)
                positions.insert(positions.end(), p.begin(), p.end());
            return it->second;
        };
        for (std::size_t t = 0; t < triangles.size(); ++t) {
            const vxVertice& tri = triangles[t];
            const V3 c[3] = {of(tri.v1()), of(tri.v2()), of(tri.v3())};
            bool finite = true;
            for (const V3& p : c)
                finite = finite && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
            if (!finite)
                continue;
            for (const V3& p : c)
                indices.push_back(vertex(p));
            const V3 n = cross(sub(c[1], c[0]), sub(c[2], c[0]));
            const float twiceArea = std::sqrt(dot(n, n));
            V3 unit = normalized(n);
            if (dot(unit, of(tri.n1())) < 0.0f)
                unit = {-unit[0], -unit[1], -unit[2]};
            normals.push_back(unit);
            areas.push_back(std::isfinite(twiceArea) ? twiceArea / 2 : 0.0f);
            from.push_back(t);
        }
    }
    std::size_t vertexCount() const { return positions.size() / 3; }
    V3 position(std::uint32_t v) const
    {
        return {positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]};
    }
};

void putV3(std::vector<float>& out, const V3& v)
{
    out.insert(out.end(), v.begin(), v.end());
}

} // namespace

void vxDrawFlatTriangles(const std::vector<vxVertice>& triangles)
{
    glBegin(GL_TRIANGLES);
    for (const vxVertice& t : triangles) {
        glNormal3f(t.n1().x(), t.n1().y(), t.n1().z());
        glVertex3f(t.v1().x(), t.v1().y(), t.v1().z());
        glVertex3f(t.v2().x(), t.v2().y(), t.v2().z());
        glVertex3f(t.v3().x(), t.v3().y(), t.v3().z());
    }
    glEnd();
}

void vxMeshDrawings::List::release()
{
    vxGLResources::releaseList(context, id);
    id = 0;
    context = 0;
}

bool vxMeshDrawings::List::begin()
{
    const vxGLResources::ContextId ctx = vxGLResources::currentContext();
    if (id != 0 && context == ctx)
        return false;
    release();
    id = vxGLResources::newList();
    context = ctx;
    if (id == 0)
        return false;
    glNewList(id, GL_COMPILE);
    return true;
}

void vxMeshDrawings::forget()
{
    m_smoothList.release();
    m_creaseList.release();
    m_silhouetteList.release();
    m_simplifiedMade = m_outlineMade = false;
    for (Level& level : m_levels) {
        level.list.release();
        std::vector<vxVertice>().swap(level.triangles);
        level.drawings.reset();
    }
    std::vector<float>().swap(m_smoothNormals);
    std::vector<float>().swap(m_creases);
    std::vector<float>().swap(m_silhouette);
}

void vxMeshDrawings::makeSimplified(const std::vector<vxVertice>& triangles)
{
    if (m_simplifiedMade)
        return;
    m_simplifiedMade = true;
    const Welded mesh(triangles);
    if (mesh.indices.empty())
        return;

    // Each kept triangle is lit by the normal of its corners' order, turned
    // towards the outside that the original faces around its corners show.
    std::vector<V3> outside(mesh.vertexCount(), V3{0, 0, 0});
    for (std::size_t t = 0; t < mesh.normals.size(); ++t)
        for (std::size_t k = 0; k < 3; ++k) {
            V3& o = outside[mesh.indices[3 * t + k]];
            for (std::size_t a = 0; a < 3; ++a)
                o[a] += mesh.normals[t][a] * mesh.areas[t];
        }
    auto vector = [](const V3& v) { return vxVector(v[0], v[1], v[2]); };

    // Each level from the one before: as few triangles as its error allows
    // (the simplifier stops where the next step would deviate more).
    std::vector<std::uint32_t> from = mesh.indices;
    for (std::size_t level = 0; level < m_levels.size(); ++level) {
        std::vector<std::uint32_t> kept(from.size());
        kept.resize(meshopt_simplify(kept.data(), from.data(), from.size(), mesh.positions.data(),
                                     mesh.vertexCount(), sizeof(float) * 3, 0, kLevelError[level], 0,
                                     nullptr));
        std::vector<vxVertice>& out = m_levels[level].triangles;
        out.reserve(kept.size() / 3);
        for (std::size_t i = 0; i + 2 < kept.size(); i += 3) {
            const V3 c[3] = {mesh.position(kept[i]), mesh.position(kept[i + 1]), mesh.position(kept[i + 2])};
            V3 normal = normalized(cross(sub(c[1], c[0]), sub(c[2], c[0])));
            V3 o{0, 0, 0};
            for (std::size_t k = 0; k < 3; ++k)
                for (std::size_t a = 0; a < 3; ++a)
                    o[a] += outside[kept[i + k]][a];
            if (dot(normal, o) < 0.0f)
                normal = {-normal[0], -normal[1], -normal[2]};
            vxVertice t;
            t.setV1(vector(c[0]));
            t.setV2(vector(c[1]));
            t.setV3(vector(c[2]));
            t.setN1(vector(normal));
            t.setN2(vector(normal));
            t.setN3(vector(normal));
            out.push_back(t);
        }
        from = std::move(kept);
    }
}

vxMeshDrawings& vxMeshDrawings::simplifiedDrawings(int level)
{
    Level& l = m_levels[index(level)];
    if (!l.drawings)
        l.drawings = std::make_unique<vxMeshDrawings>();
    return *l.drawings;
}

void vxMeshDrawings::makeOutline(const std::vector<vxVertice>& triangles)
{
    if (m_outlineMade)
        return;
    m_outlineMade = true;
    const Welded mesh(triangles);
    const float crease = static_cast<float>(std::cos(kCreaseDegrees * std::numbers::pi / 180.0));
    // Faces this close to one plane meet without an edge to draw.
    const float flat = 0.9999f;

    // The faces around each vertex.
    const std::size_t faces = mesh.normals.size();
    std::vector<std::uint32_t> start(mesh.vertexCount() + 1, 0);
    for (std::uint32_t v : mesh.indices)
        ++start[v + 1];
    for (std::size_t v = 0; v < mesh.vertexCount(); ++v)
        start[v + 1] += start[v];
    std::vector<std::uint32_t> around(mesh.indices.size());
    {
        std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
        for (std::size_t i = 0; i < mesh.indices.size(); ++i)
            around[fill[mesh.indices[i]]++] = static_cast<std::uint32_t>(i / 3);
    }

    // Smooth normals per corner of the source triangles; triangles left out
    // keep their stored normal.
    m_smoothNormals.resize(triangles.size() * 9);
    for (std::size_t t = 0; t < triangles.size(); ++t)
        for (int k = 0; k < 3; ++k)
            for (int a = 0; a < 3; ++a)
                m_smoothNormals[9 * t + 3 * static_cast<std::size_t>(k) + static_cast<std::size_t>(a)] =
                    of(triangles[t].n1())[static_cast<std::size_t>(a)];
    for (std::size_t f = 0; f < faces; ++f) {
        const V3& own = mesh.normals[f];
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t v = mesh.indices[3 * f + static_cast<std::size_t>(k)];
            V3 sum{0, 0, 0};
            for (std::uint32_t i = start[v]; i < start[v + 1]; ++i) {
                const std::uint32_t g = around[i];
                if (dot(mesh.normals[g], own) >= crease)
                    for (int a = 0; a < 3; ++a)
                        sum[static_cast<std::size_t>(a)] +=
                            mesh.normals[g][static_cast<std::size_t>(a)] * mesh.areas[g];
            }
            V3 n = normalized(sum);
            if (dot(n, n) == 0.0f)
                n = own;
            if (dot(n, n) == 0.0f)
                continue;
            for (int a = 0; a < 3; ++a)
                m_smoothNormals[9 * mesh.from[f] + 3 * static_cast<std::size_t>(k) +
                                static_cast<std::size_t>(a)] = n[static_cast<std::size_t>(a)];
        }
    }

    // Edges: the faces on either side of each pair of joined vertices.
    struct Edge {
        std::uint32_t a = 0, b = 0;
        std::int64_t first = -1, second = -1;
        int count = 0;
    };
    std::unordered_map<std::uint64_t, Edge> edges;
    edges.reserve(mesh.indices.size());
    for (std::size_t f = 0; f < faces; ++f)
        for (int k = 0; k < 3; ++k) {
            std::uint32_t a = mesh.indices[3 * f + static_cast<std::size_t>(k)];
            std::uint32_t b = mesh.indices[3 * f + static_cast<std::size_t>((k + 1) % 3)];
            if (a == b)
                continue;
            if (a > b)
                std::swap(a, b);
            Edge& e = edges[(static_cast<std::uint64_t>(a) << 32) | b];
            e.a = a;
            e.b = b;
            if (e.count == 0)
                e.first = static_cast<std::int64_t>(f);
            else if (e.count == 1)
                e.second = static_cast<std::int64_t>(f);
            ++e.count;
        }
    for (const auto& [key, e] : edges) {
        const V3 pa = mesh.position(e.a), pb = mesh.position(e.b);
        if (e.count != 2) { // an open border, or more than two faces meet
            putV3(m_creases, pa);
            putV3(m_creases, pb);
            continue;
        }
        const V3& na = mesh.normals[static_cast<std::size_t>(e.first)];
        const V3& nb = mesh.normals[static_cast<std::size_t>(e.second)];
        const float cosine = dot(na, nb);
        if (cosine < crease) {
            putV3(m_creases, pa);
            putV3(m_creases, pb);
        } else if (cosine < flat) {
            putV3(m_silhouette, pa);
            putV3(m_silhouette, pb);
            putV3(m_silhouette, na);
            putV3(m_silhouette, nb);
        }
    }
}

std::uint32_t vxMeshDrawings::simplifiedList(const std::vector<vxVertice>& triangles, int level)
{
    makeSimplified(triangles);
    Level& l = m_levels[index(level)];
    if (l.triangles.empty())
        return 0;
    if (l.list.begin()) {
        vxDrawFlatTriangles(l.triangles);
        glEndList();
    }
    return l.list.id;
}

std::uint32_t vxMeshDrawings::smoothList(const std::vector<vxVertice>& triangles)
{
    makeOutline(triangles);
    if (triangles.empty())
        return 0;
    if (m_smoothList.begin()) {
        glBegin(GL_TRIANGLES);
        for (std::size_t t = 0; t < triangles.size(); ++t) {
            const vxVertice& tri = triangles[t];
            const float* n = &m_smoothNormals[9 * t];
            glNormal3fv(n);
            glVertex3f(tri.v1().x(), tri.v1().y(), tri.v1().z());
            glNormal3fv(n + 3);
            glVertex3f(tri.v2().x(), tri.v2().y(), tri.v2().z());
            glNormal3fv(n + 6);
            glVertex3f(tri.v3().x(), tri.v3().y(), tri.v3().z());
        }
        glEnd();
        glEndList();
    }
    return m_smoothList.id;
}

std::uint32_t vxMeshDrawings::creaseList(const std::vector<vxVertice>& triangles)
{
    makeOutline(triangles);
    if (m_creases.empty())
        return 0;
    if (m_creaseList.begin()) {
        glBegin(GL_LINES);
        for (std::size_t i = 0; i + 2 < m_creases.size(); i += 3)
            glVertex3fv(&m_creases[i]);
        glEnd();
        glEndList();
    }
    return m_creaseList.id;
}

std::uint32_t vxMeshDrawings::silhouetteList(const std::vector<vxVertice>& triangles)
{
    makeOutline(triangles);
    if (m_silhouette.empty())
        return 0;
    if (m_silhouetteList.begin()) {
        glBegin(GL_LINES);
        for (std::size_t i = 0; i + 11 < m_silhouette.size(); i += 12) {
            const float* e = &m_silhouette[i];
            const float middle[3] = {(e[0] + e[3]) / 2, (e[1] + e[4]) / 2, (e[2] + e[5]) / 2};
            glNormal3fv(e + 6);
            glMultiTexCoord3fv(GL_TEXTURE0, e + 9);
            glMultiTexCoord3fv(GL_TEXTURE1, middle);
            glVertex3fv(e);
            glVertex3fv(e + 3);
        }
        glEnd();
        glEndList();
    }
    return m_silhouetteList.id;
}
