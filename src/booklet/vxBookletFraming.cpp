#include "vxBookletFraming.h"

#include "vxBaseSceneObject.h"
#include "vxLens.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

struct Basis {
    vxVector back, right, up; // toward the eye, screen right, screen up
};

Basis basisFor(const vxVector& viewDirection)
{
    Basis b;
    b.back = vxVector(-viewDirection.x(), -viewDirection.y(), -viewDirection.z());
    b.back.normalizeVector3f();
    const vxVector worldUp(0, 1, 0);
    const vxVector forward(-b.back.x(), -b.back.y(), -b.back.z());
    b.right.vectorCrossProduct3f(forward, worldUp);
    b.right.normalizeVector3f();
    b.up.vectorCrossProduct3f(b.right, forward);
    return b;
}

double dot(const vxVector& a, const vxVector& p, const vxVector& c)
{
    return static_cast<double>(a.x()) * (p.x() - c.x()) + static_cast<double>(a.y()) * (p.y() - c.y()) +
           static_cast<double>(a.z()) * (p.z() - c.z());
}

vxVector along(const vxVector& c, const vxVector& axis, double amount)
{
    return vxVector(static_cast<float>(c.x() + axis.x() * amount),
                    static_cast<float>(c.y() + axis.y() * amount),
                    static_cast<float>(c.z() + axis.z() * amount));
}

// A usable viewing direction: the model file's, unless it is missing or
// looks (almost) straight up or down; then from the front, right and above.
vxVector bookletDirection(const vxModel& model)
{
    vxVector d;
    d.vectorSubtract3f(model.cameraTarget(), model.cameraPosition());
    const float length = d.vectorLength3f();
    if (std::isfinite(length) && length > 1e-4f && std::abs(d.y() / length) < 0.9f) {
        d.scaleVector3f(1.0f / length);
        return d;
    }
    vxVector fallback(1.0f, -0.9f, 1.3f);
    fallback.normalizeVector3f();
    return fallback;
}

// The part of a rectangle (left, top and its size, not negative) inside the
// unit square; all zero when they do not overlap or it has no area.
vxBookletArea insideUnit(double left, double top, double width, double height)
{
    const double right = left + width, bottom = top + height;
    if (left == right || top == bottom || left >= 1 || right <= 0 || top >= 1 || bottom <= 0)
        return {};
    vxBookletArea a;
    a.x = std::max(left, 0.0);
    a.y = std::max(top, 0.0);
    a.width = std::min(right, 1.0) - a.x;
    a.height = std::min(bottom, 1.0) - a.y;
    return a;
}

} // namespace

vxBookletCamera vxFitBookletCamera(const std::vector<vxVector>& points, const vxVector& viewDirection,
                                   double aspect, double margin)
{
    const Basis b = basisFor(viewDirection);
    if (points.empty())
        return {along(vxVector(), b.back, 10.0), vxVector()};

    vxBounds box;
    for (const vxVector& p : points)
        box.add(p.x(), p.y(), p.z());
    vxVector centre = box.centre();

    const double tanY = std::tan(vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0);
    const double kx = tanY * std::max(aspect, 1e-3) * (1.0 - 2.0 * margin);
    const double ky = tanY * (1.0 - 2.0 * margin);
    double distance = 10.0;
    // Distance for the current centre, then move the centre to the middle
    // of what the picture shows, a few times over.
    for (int round = 0; round < 4; ++round) {
        distance = 0.0;
        for (const vxVector& p : points) {
            const double x = dot(b.right, p, centre), y = dot(b.up, p, centre), z = dot(b.back, p, centre);
            distance = std::max(
                {distance, std::abs(x) / kx + z, std::abs(y) / ky + z, z + 2.0 * vxLens::kNearPlane});
        }
        double minX = std::numeric_limits<double>::max(), maxX = -minX, minY = minX, maxY = -minX;
        for (const vxVector& p : points) {
            const double x = dot(b.right, p, centre), y = dot(b.up, p, centre), z = dot(b.back, p, centre);
            const double depth = distance - z;
            minX = std::min(minX, x / depth);
            maxX = std::max(maxX, x / depth);
            minY = std::min(minY, y / depth);
            maxY = std::max(maxY, y / depth);
        }
        centre = along(centre, b.right, (minX + maxX) / 2 * distance);
        centre = along(centre, b.up, (minY + maxY) / 2 * distance);
    }
    return {along(centre, b.back, distance), centre};
}

vxBookletFraming::vxBookletFraming(const vxModel& model)
{
    // The corners of every part's box, placed in the world.
    for (const auto& part : model.partList()) {
        m_partCorners.push_back(m_corners.size());
        const auto& object = part->baseSceneObject();
        if (!object || !object->sharedMesh() || object->sharedMesh()->triangles.empty())
            continue;
        // The mesh's box, computed once for all the parts that share it.
        const vxBounds& box = object->sharedMesh()->bounds();
        if (box.empty)
            continue;
        const float lo[3] = {box.min.x(), box.min.y(), box.min.z()};
        const float hi[3] = {box.max.x(), box.max.y(), box.max.z()};
        const vxMatrix& m = object->localMatrix();
        for (int corner = 0; corner < 8; ++corner) {
            const float x = corner & 1 ? hi[0] : lo[0], y = corner & 2 ? hi[1] : lo[1],
                        z = corner & 4 ? hi[2] : lo[2];
            const vxVector w(m.v1().x() * x + m.v2().x() * y + m.v3().x() * z + m.v4().x(),
                             m.v1().y() * x + m.v2().y() * y + m.v3().y() * z + m.v4().y(),
                             m.v1().z() * x + m.v2().z() * y + m.v3().z() * z + m.v4().z());
            if (std::isfinite(w.x()) && std::isfinite(w.y()) && std::isfinite(w.z()))
                m_corners.push_back(w);
        }
    }
    m_partCorners.push_back(m_corners.size());
    m_direction = bookletDirection(model);

    // The model's own proportions on the picture, from a square framing.
    const vxBookletCamera square = vxFitBookletCamera(m_corners, m_direction, 1.0, 0.0);
    const Basis b = basisFor(m_direction);
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const vxVector& p : m_corners) {
        const double depth = -dot(b.back, p, square.eye);
        if (depth <= 0)
            continue;
        const double x = dot(b.right, p, square.eye) / depth, y = dot(b.up, p, square.eye) / depth;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    m_modelAspect = maxY > minY && maxX > minX ? (maxX - minX) / (maxY - minY) : 1.0;
}

vxBookletCamera vxBookletFraming::wholeModel(double aspect, double margin) const
{
    return vxFitBookletCamera(m_corners, m_direction, aspect, margin);
}

vxBookletCamera vxBookletFraming::fit(const std::vector<vxVector>& points, double aspect, double margin) const
{
    return vxFitBookletCamera(points, m_direction, aspect, margin);
}

double vxBookletFraming::distanceToPart(std::size_t part, const vxVector& point) const
{
    if (part + 1 >= m_partCorners.size() || m_partCorners[part] == m_partCorners[part + 1])
        return std::numeric_limits<double>::infinity();
    vxBounds box;
    for (std::size_t k = m_partCorners[part]; k < m_partCorners[part + 1]; ++k)
        box.add(m_corners[k].x(), m_corners[k].y(), m_corners[k].z());
    const double p[3] = {point.x(), point.y(), point.z()};
    const double lo[3] = {box.min.x(), box.min.y(), box.min.z()},
                 hi[3] = {box.max.x(), box.max.y(), box.max.z()};
    double d = 0;
    for (int k = 0; k < 3; ++k) {
        const double out = std::max({lo[k] - p[k], 0.0, p[k] - hi[k]});
        d += out * out;
    }
    return std::sqrt(d);
}

vxBounds vxBookletFraming::boxOf(const std::vector<std::size_t>& parts) const
{
    vxBounds box;
    for (const std::size_t i : parts) {
        if (i + 1 >= m_partCorners.size())
            continue;
        for (std::size_t k = m_partCorners[i]; k < m_partCorners[i + 1]; ++k)
            box.add(m_corners[k].x(), m_corners[k].y(), m_corners[k].z());
    }
    return box;
}

std::vector<vxVector> vxBookletFraming::boxPoints(const std::vector<std::size_t>& parts) const
{
    const vxBounds box = boxOf(parts);
    if (box.empty)
        return {};
    std::vector<vxVector> points;
    for (int corner = 0; corner < 8; ++corner)
        points.emplace_back(corner & 1 ? box.max.x() : box.min.x(), corner & 2 ? box.max.y() : box.min.y(),
                            corner & 4 ? box.max.z() : box.min.z());
    return points;
}

std::vector<vxVector> vxBookletFraming::workPoints(const std::vector<std::size_t>& parts,
                                                   const std::vector<std::size_t>& built, double share) const
{
    std::vector<vxVector> points = closeUpPoints(parts, share);
    const vxBounds added = boxOf(parts), within = boxOf(built);
    if (points.empty() || within.empty)
        return points;
    // No further than the built model reaches, but around every new part.
    const float lo[3] = {std::min(added.min.x(), within.min.x()), std::min(added.min.y(), within.min.y()),
                         std::min(added.min.z(), within.min.z())};
    const float hi[3] = {std::max(added.max.x(), within.max.x()), std::max(added.max.y(), within.max.y()),
                         std::max(added.max.z(), within.max.z())};
    for (vxVector& p : points)
        p = vxVector(std::clamp(p.x(), lo[0], hi[0]), std::clamp(p.y(), lo[1], hi[1]),
                     std::clamp(p.z(), lo[2], hi[2]));
    return points;
}

std::vector<vxVector> vxBookletFraming::closeUpPoints(const std::vector<std::size_t>& parts,
                                                      double share) const
{
    const vxBounds added = boxOf(parts);
    if (added.empty)
        return {};
    vxBounds whole;
    for (const vxVector& c : m_corners)
        whole.add(c.x(), c.y(), c.z());
    const vxVector &lo = added.min, &hi = added.max;
    vxVector size;
    size.vectorSubtract3f(whole.max, whole.min);
    const float least = size.vectorLength3f() * static_cast<float>(share);
    std::vector<vxVector> points;
    for (int corner = 0; corner < 8; ++corner) {
        float c[3];
        const float l[3] = {lo.x(), lo.y(), lo.z()}, h[3] = {hi.x(), hi.y(), hi.z()};
        for (int k = 0; k < 3; ++k) {
            const float middle = (l[k] + h[k]) / 2, half = std::max((h[k] - l[k]) / 2, least / 2);
            c[k] = corner & (1 << k) ? middle + half : middle - half;
        }
        points.emplace_back(c[0], c[1], c[2]);
    }
    return points;
}

std::optional<vxBookletArea> vxBookletFraming::areaOf(const std::vector<vxVector>& points,
                                                      double aspect) const
{
    if (points.empty())
        return std::nullopt;
    const vxBookletCamera camera = wholeModel(aspect);
    const Basis b = basisFor(m_direction);
    const double tanY = std::tan(vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0), tanX = tanY * aspect;
    double minX = 1, maxX = -1, minY = 1, maxY = -1;
    for (const vxVector& p : points) {
        const double depth = -dot(b.back, p, camera.eye);
        if (depth <= vxLens::kNearPlane)
            return std::nullopt;
        const double x = dot(b.right, p, camera.eye) / depth / tanX,
                     y = dot(b.up, p, camera.eye) / depth / tanY;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    // From -1..1 (y up) to 0..1 from the top left, kept inside the picture.
    const double left = (minX + 1) / 2, top = (1 - maxY) / 2;
    return insideUnit(left, top, (maxX + 1) / 2 - left, (1 - minY) / 2 - top);
}

vxVector vxBookletDirection::along() const
{
    const double a = azimuthDegrees() * std::numbers::pi / 180.0,
                 e = kThreeQuarterElevation * std::numbers::pi / 180.0;
    // The eye's side of the target: anticlockwise about y seen from above
    // turns +x toward -z.
    const double x = std::cos(e) * std::cos(a), z = -std::cos(e) * std::sin(a),
                 y = below ? -std::sin(e) : std::sin(e);
    return vxVector(static_cast<float>(-x), static_cast<float>(-y), static_cast<float>(-z));
}

vxBookletDirection vxNearestBookletDirection(const vxVector& viewDirection)
{
    vxBookletDirection best;
    double bestDot = -2;
    for (int below = 0; below < 2; ++below)
        for (int azimuth = 0; azimuth < 4; ++azimuth) {
            const vxBookletDirection d{azimuth, below == 1};
            const vxVector v = d.along();
            const double dot =
                v.x() * viewDirection.x() + v.y() * viewDirection.y() + v.z() * viewDirection.z();
            if (dot > bestDot + 1e-9) {
                bestDot = dot;
                best = d;
            }
        }
    return best;
}
