#include "vxTubeSurface.h"

#include "vxBaseSceneObject.h"
#include "vxTubePath.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace {

using P = std::array<double, 3>;

P operator+(const P& a, const P& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
P operator-(const P& a, const P& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
P operator*(const P& a, double k)
{
    return {a[0] * k, a[1] * k, a[2] * k};
}
double dot(const P& a, const P& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
P cross(const P& a, const P& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double length(const P& a)
{
    return std::sqrt(dot(a, a));
}
// a of unit length; a itself when it has none.
P unit(const P& a)
{
    const double n = length(a);
    return n > 0.0 && std::isfinite(n) ? a * (1.0 / n) : a;
}
vxVector toVector(const P& a)
{
    return vxVector(static_cast<float>(a[0]), static_cast<float>(a[1]), static_cast<float>(a[2]));
}

// The angle between two directions, 0 when one has no length.
double angleBetween(const P& a, const P& b)
{
    const double n = length(a) * length(b);
    return n > 0.0 ? std::acos(std::clamp(dot(a, b) / n, -1.0, 1.0)) : 0.0;
}

// The nodes a detail uses: every stride-th and the last.
std::vector<P> usedNodes(const vxTube& tube, std::size_t stride)
{
    std::vector<P> nodes = vxTubeNodes(tube);
    if (stride <= 1 || nodes.size() <= 2)
        return nodes;
    std::vector<P> used;
    for (std::size_t i = 0; i + 1 < nodes.size(); i += stride)
        used.push_back(nodes[i]);
    used.push_back(nodes.back());
    return used;
}

// Points along the centripetal Catmull-Rom spline through the nodes (at
// least two, none repeating the one before): the nodes themselves and, where
// the path turns, up to maxSteps - 1 points between two nodes.
std::vector<P> curvePoints(const std::vector<P>& nodes, int maxSteps)
{
    const std::size_t n = nodes.size();
    // Beyond each end the path goes on straight, mirrored.
    auto node = [&](std::ptrdiff_t i) {
        if (i < 0)
            return nodes[0] * 2.0 - nodes[1];
        if (i >= static_cast<std::ptrdiff_t>(n))
            return nodes[n - 1] * 2.0 - nodes[n - 2];
        return nodes[static_cast<std::size_t>(i)];
    };
    std::vector<P> points;
    points.reserve(n * static_cast<std::size_t>(std::max(maxSteps, 1)));
    for (std::size_t s = 0; s + 1 < n; ++s) {
        const auto i = static_cast<std::ptrdiff_t>(s);
        const P p0 = node(i - 1), p1 = node(i), p2 = node(i + 1), p3 = node(i + 2);
        const double turn = std::max(angleBetween(p1 - p0, p2 - p1), angleBetween(p2 - p1, p3 - p2));
        const int steps = std::clamp(static_cast<int>(std::ceil(turn / (std::numbers::pi / 12.0))), 1,
                                     std::max(maxSteps, 1));
        points.push_back(p1);
        if (steps == 1)
            continue;
        const double t0 = 0.0, t1 = t0 + std::sqrt(length(p1 - p0)), t2 = t1 + std::sqrt(length(p2 - p1)),
                     t3 = t2 + std::sqrt(length(p3 - p2));
        auto lerp = [](const P& a, const P& b, double ta, double tb, double t) {
            return a * ((tb - t) / (tb - ta)) + b * ((t - ta) / (tb - ta));
        };
        for (int k = 1; k < steps; ++k) {
            const double t = t1 + (t2 - t1) * k / steps;
            const P a1 = lerp(p0, p1, t0, t1, t), a2 = lerp(p1, p2, t1, t2, t), a3 = lerp(p2, p3, t2, t3, t);
            const P b1 = lerp(a1, a2, t0, t2, t), b2 = lerp(a2, a3, t1, t3, t);
            const P c = lerp(b1, b2, t1, t2, t);
            if (std::isfinite(length(c)))
                points.push_back(c);
        }
    }
    points.push_back(nodes[n - 1]);
    return points;
}

// Some direction across d (of unit length).
P across(const P& d)
{
    const P axis = std::abs(d[0]) < 0.9 ? P{1, 0, 0} : P{0, 1, 0};
    return unit(cross(d, axis));
}

void addTriangle(std::vector<vxVertice>& out, const P& a, const P& b, const P& c, const P& na, const P& nb,
                 const P& nc)
{
    vxVertice t;
    t.setV1(toVector(a));
    t.setV2(toVector(b));
    t.setV3(toVector(c));
    t.setN1(toVector(na));
    t.setN2(toVector(nb));
    t.setN3(toVector(nc));
    out.push_back(t);
}

} // namespace

vxTubeDetail vxTubeDetailFor(const std::vector<const vxTube*>& tubes)
{
    // Segments (node to next node) and tubes that draw something.
    std::size_t segments = 0, drawn = 0;
    std::vector<std::size_t> nodeCounts;
    for (const vxTube* tube : tubes) {
        const std::size_t n = tube ? vxTubeNodes(*tube).size() : 0;
        if (n >= 2) {
            nodeCounts.push_back(n);
            segments += n - 1;
            ++drawn;
        }
    }
    // The most triangles a detail can make: every segment cut into maxSteps.
    auto most = [&](const vxTubeDetail& d) {
        std::size_t rings = 0;
        if (d.stride <= 1) {
            rings = segments * static_cast<std::size_t>(d.maxSteps);
        } else {
            for (std::size_t n : nodeCounts)
                rings += ((n - 2) / d.stride + 1) * static_cast<std::size_t>(d.maxSteps);
        }
        return 2 * static_cast<std::size_t>(d.sides) * (rings + drawn);
    };
    for (const vxTubeDetail d :
         {vxTubeDetail{12, 4, 1}, vxTubeDetail{12, 2, 1}, vxTubeDetail{12, 1, 1}, vxTubeDetail{8, 1, 1}})
        if (most(d) <= kTubeTriangleBudget)
            return d;
    vxTubeDetail d{6, 1, 1};
    while (most(d) > kTubeTriangleBudget && d.stride < vxTube::kNodes)
        d.stride *= 2;
    return d;
}

std::vector<vxVertice> vxTubeSurface(const vxTube& tube, const vxTubeDetail& detail,
                                     std::vector<vxVector>* axis)
{
    std::vector<vxVertice> out;
    if (axis)
        axis->clear();
    const std::vector<P> nodes = usedNodes(tube, detail.stride);
    if (nodes.size() < 2)
        return out;
    const std::vector<P> points = curvePoints(nodes, detail.maxSteps);
    if (axis)
        std::transform(points.begin(), points.end(), std::back_inserter(*axis), toVector);
    const std::size_t n = points.size();
    const double radius = tube.radius();
    const int sides = std::max(detail.sides, 3);

    // A frame at every point that turns as little as the path allows (the
    // normal carried along, kept across the tangent), so that the tube does
    // not twist.
    std::vector<P> tangent(n), normal(n);
    for (std::size_t i = 0; i < n; ++i) {
        const P& before = points[i == 0 ? 0 : i - 1];
        const P& after = points[i + 1 < n ? i + 1 : n - 1];
        tangent[i] = unit(after - before);
        const P carried = i == 0 ? across(tangent[0]) : normal[i - 1];
        P kept = carried - tangent[i] * dot(carried, tangent[i]);
        if (length(kept) < 1e-6)
            kept = across(tangent[i]);
        normal[i] = unit(kept);
    }
    std::vector<P> ring(static_cast<std::size_t>(sides)), ringNormal(ring.size());
    std::vector<P> lastRing, lastNormal;
    auto ringAt = [&](std::size_t i) {
        const P binormal = cross(tangent[i], normal[i]);
        for (int j = 0; j < sides; ++j) {
            const double a = 2.0 * std::numbers::pi * j / sides;
            const P outwards = normal[i] * std::cos(a) + binormal * std::sin(a);
            ringNormal[static_cast<std::size_t>(j)] = outwards;
            ring[static_cast<std::size_t>(j)] = points[i] + outwards * radius;
        }
    };
    out.reserve(2 * static_cast<std::size_t>(sides) * n);
    for (std::size_t i = 0; i < n; ++i) {
        ringAt(i);
        const auto s = static_cast<std::size_t>(sides);
        if (i == 0) { // the start disc, facing back along the path
            const P face = tangent[0] * -1.0;
            for (std::size_t j = 0; j < s; ++j)
                addTriangle(out, points[0], ring[(j + 1) % s], ring[j], face, face, face);
        } else {
            for (std::size_t j = 0; j < s; ++j) {
                const std::size_t k = (j + 1) % s;
                addTriangle(out, lastRing[j], lastRing[k], ring[k], lastNormal[j], lastNormal[k],
                            ringNormal[k]);
                addTriangle(out, lastRing[j], ring[k], ring[j], lastNormal[j], ringNormal[k], ringNormal[j]);
            }
        }
        if (i + 1 == n) { // the end disc, facing on along the path
            const P& face = tangent[n - 1];
            for (std::size_t j = 0; j < s; ++j)
                addTriangle(out, points[n - 1], ring[j], ring[(j + 1) % s], face, face, face);
        }
        lastRing = ring;
        lastNormal = ringNormal;
    }
    return out;
}

void vxMakeTubeSurfaces(const std::vector<std::shared_ptr<vxTubeSceneObject>>& tubes)
{
    if (std::all_of(tubes.begin(), tubes.end(), [](const auto& t) { return t->surface() != nullptr; }))
        return;
    std::vector<const vxTube*> paths;
    for (const auto& object : tubes)
        paths.push_back(object->tube().get());
    const vxTubeDetail detail = vxTubeDetailFor(paths);
    for (const auto& object : tubes) {
        if (object->surface())
            continue;
        std::vector<vxVector> axis;
        object->setSurface(std::make_shared<vxSharedMesh>(
            object->tube() ? vxTubeSurface(*object->tube(), detail, &axis) : std::vector<vxVertice>()));
        object->setAxis(std::move(axis));
    }
}

void vxCompileRoundGeometry(vxSharedMesh& mesh)
{
    const vxGLResources::ContextId ctx = vxGLResources::currentContext();
    if (mesh.geometryList != 0 && mesh.geometryContext == ctx)
        return;
    vxGLResources::releaseList(mesh.geometryContext, mesh.geometryList);
    mesh.geometryList = vxGLResources::newList();
    mesh.geometryContext = ctx;
    if (mesh.geometryList == 0)
        return;
    glNewList(mesh.geometryList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const vxVertice& t : mesh.triangles) {
        glNormal3f(t.n1().x(), t.n1().y(), t.n1().z());
        glVertex3f(t.v1().x(), t.v1().y(), t.v1().z());
        glNormal3f(t.n2().x(), t.n2().y(), t.n2().z());
        glVertex3f(t.v2().x(), t.v2().y(), t.v2().z());
        glNormal3f(t.n3().x(), t.n3().y(), t.n3().z());
        glVertex3f(t.v3().x(), t.v3().y(), t.v3().z());
    }
    glEnd();
    glEndList();
}

void vxTubeSceneObject::renderSurface()
{
    if (visible() == 0 || !m_surface || m_surface->triangles.empty())
        return;
    vxCompileRoundGeometry(*m_surface);
    if (m_surface->geometryList == 0)
        return;
    float matrix[16];
    localMatrix().toArray(matrix);
    glPushMatrix();
    glMultMatrixf(matrix);
    auto material = [](GLenum what, const vxVector& c) {
        const float v[4] = {c.x(), c.y(), c.z(), c.w()};
        glMaterialfv(GL_FRONT, what, v);
    };
    material(GL_AMBIENT, colorAmbient());
    material(GL_DIFFUSE, colorDiffuse());
    material(GL_EMISSION, colorEmission());
    glCallList(m_surface->geometryList);
    // The axis as a line of one pixel in the tube's colour, inside the
    // surface: it shows only where the tube is thinner than a pixel, so
    // that a thin rope far away stays a line rather than breaking up.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor3f(colorDiffuse().x(), colorDiffuse().y(), colorDiffuse().z());
    glBegin(GL_LINE_STRIP);
    for (const vxVector& p : m_axis)
        glVertex3f(p.x(), p.y(), p.z());
    glEnd();
    glPopAttrib();
    glPopMatrix();
}
