// Camera helpers beside orbit and zoom: fitting the model or the selected
// part, the file's camera, standard views, panning, zooming towards the
// pointer, the orthographic projection and gliding camera moves.
#include "vxOpenGLView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>

namespace {

// Share of the picture the fitted box may fill on its tighter axis.
constexpr double kFitMargin = 0.9;
// Duration of a gliding camera move, and the frame time above which moves
// jump straight to their end.
constexpr double kTransitionSeconds = 0.25;
constexpr double kSlowFrameSeconds = 0.1;
// How far top and bottom views lean towards the front (radians): enough
// for the orbit's own axis (which needs 0.001) and for the picture's up.
constexpr double kPoleLean = 0.002;

struct V3 {
    double x = 0, y = 0, z = 0;
};
V3 operator+(V3 a, V3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
V3 operator-(V3 a, V3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 operator*(V3 a, double k)
{
    return {a.x * k, a.y * k, a.z * k};
}
double dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(V3 a)
{
    return std::sqrt(dot(a, a));
}
V3 of(const vxVector& v)
{
    return {v.x(), v.y(), v.z()};
}
vxVector toVector(V3 v)
{
    return vxVector(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
}

// The picture's axes for an eye looking along forward with the world's y
// axis up, as the draw's look-at builds them: s to the right, u up, f into
// the picture. False when forward is vertical, of no length or not finite.
struct Basis {
    V3 s, u, f;
};
bool basisFor(V3 forward, Basis& b)
{
    const double n = length(forward);
    if (!(n > 0.0) || !std::isfinite(n))
        return false;
    b.f = forward * (1.0 / n);
    b.s = cross(b.f, {0, 1, 0});
    const double sn = length(b.s);
    if (sn < 1e-4)
        return false;
    b.s = b.s * (1.0 / sn);
    b.u = cross(b.s, b.f);
    return true;
}

double tanHalfFieldOfView()
{
    return std::tan(vxLens::kFieldOfView / 2.0 * std::numbers::pi / 180.0);
}

double aspectOf(const vxSize& px)
{
    return px.width > 0.0 && px.height > 0.0 ? px.width / px.height : 1.0;
}

} // namespace

// --- projection ---------------------------------------------------------------

double vxOpenGLView::orthographicHalfHeight() const
{
    vxVector off;
    off.vectorSubtract3f(m_cameraPosition, m_cameraTarget);
    return static_cast<double>(off.vectorLength3f()) * tanHalfFieldOfView();
}

const std::vector<vxBounds>& vxOpenGLView::objectBoxes() const
{
    if (!m_objectBoxes) {
        m_objectBoxes.emplace();
        m_objectBoxes->reserve(m_sceneObjectList.size());
        for (const auto& object : m_sceneObjectList)
            m_objectBoxes->push_back(object->worldBounds());
    }
    return *m_objectBoxes;
}

double vxOpenGLView::farPlane() const
{
    if (!m_sceneBox) {
        m_sceneBox.emplace();
        for (const vxBounds& box : objectBoxes())
            m_sceneBox->add(box);
    }
    vxBounds scene = *m_sceneBox;
    if (m_showTubes) {
        makeTubeSurfaces();
        for (const auto& tube : m_tubeObjects)
            scene.add(tube->surface()->bounds());
    }
    if (scene.empty)
        return vxLens::kFarPlane;
    // The farthest corner: on each axis the end further from the eye.
    const auto reach = [](double eye, double low, double high) {
        return std::max(std::abs(eye - low), std::abs(eye - high));
    };
    const double dx = reach(m_cameraPosition.x(), scene.min.x(), scene.max.x());
    const double dy = reach(m_cameraPosition.y(), scene.min.y(), scene.max.y());
    const double dz = reach(m_cameraPosition.z(), scene.min.z(), scene.max.z());
    const double farthest = std::sqrt(dx * dx + dy * dy + dz * dz) * 1.01;
    if (!(farthest > vxLens::kFarPlane)) // also when not a number
        return vxLens::kFarPlane;
    return std::min(farthest, vxLens::kFarthestPlane);
}

double vxOpenGLView::nearPlane(double zFar) const
{
    if (!(zFar > vxLens::kFarPlane))
        return vxLens::kNearPlane;
    const double least = std::max(vxLens::kNearPlane, zFar / 10000.0);
    const V3 eye = of(m_cameraPosition);
    const V3 axis = of(m_cameraTarget) - eye;
    const double distance = length(axis);
    if (!(distance > 0.0) || !std::isfinite(distance))
        return least;
    const V3 f = axis * (1.0 / distance);
    // The nearest depth of a box: its centre's, less its half extents
    // weighed by the axis.
    double nearest = INFINITY;
    const auto consider = [&](const vxBounds& box) {
        if (box.empty)
            return;
        const V3 centre = of(box.centre()) - eye;
        const double reach = std::abs(f.x) * (box.max.x() - box.min.x()) / 2 +
                             std::abs(f.y) * (box.max.y() - box.min.y()) / 2 +
                             std::abs(f.z) * (box.max.z() - box.min.z()) / 2;
        const double depth = dot(centre, f);
        if (depth + reach > 0.0) // not wholly behind the eye
            nearest = std::min(nearest, depth - reach);
    };
    const auto& boxes = objectBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (m_sceneObjectList[i]->visible() != 0)
            consider(boxes[i]);
    if (m_showTubes)
        for (const auto& tube : m_tubeObjects)
            if (tube->visible() != 0 && tube->surface())
                consider(tube->surface()->bounds());
    // A little in front of the nearest box, whose depth is rounded.
    const double nearPlane = nearest * 0.99;
    if (!(nearPlane > least)) // also when none is in front
        return least;
    return std::min(nearPlane, zFar / 2.0);
}

void vxOpenGLView::applyProjection(double aspect) const
{
    const double zFar = farPlane();
    if (!m_orthographic) {
        gluPerspective(vxLens::kFieldOfView, aspect, nearPlane(zFar), zFar);
        return;
    }
    // The target's plane shows as large as in the perspective; depth is
    // clipped as far in front of the eye as behind it, so that zooming in
    // never cuts the model open.
    double h = orthographicHalfHeight();
    if (!(h > 0.0) || !std::isfinite(h))
        h = 1.0;
    glOrtho(-h * aspect, h * aspect, -h, h, -zFar, zFar);
}

void vxOpenGLView::setOrthographic(bool on)
{
    m_orthographic = on;
    m_host.setNeedsDisplay();
}

// --- bounds and fitting ---------------------------------------------------------

bool vxOpenGLView::cameraShowsAnything(const vxVector& eye, const vxVector& target)
{
    const double dx = static_cast<double>(eye.x()) - target.x();
    const double dy = static_cast<double>(eye.y()) - target.y();
    const double dz = static_cast<double>(eye.z()) - target.z();
    const double across = std::hypot(dx, dz);
    // std::isfinite fails for NaN and infinity alike.
    return std::isfinite(across) && std::isfinite(dy) && across > 1e-6 * std::max(1.0, std::abs(dy));
}

std::vector<vxBounds> vxOpenGLView::visibleBoxes() const
{
    std::vector<vxBounds> out;
    const auto& boxes = objectBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (m_sceneObjectList[i]->visible() != 0 && !boxes[i].empty)
            out.push_back(boxes[i]);
    if (m_showTubes) {
        makeTubeSurfaces();
        for (const auto& tube : m_tubeObjects)
            if (tube->visible() != 0 && !tube->surface()->bounds().empty)
                out.push_back(tube->surface()->bounds());
    }
    return out;
}

vxVector vxOpenGLView::standardViewDirection(vxStandardView which)
{
    const auto lean = static_cast<float>(std::sin(kPoleLean));
    const auto upright = static_cast<float>(std::cos(kPoleLean));
    switch (which) {
    case vxStandardView::kFront:
        return {0, 0, -1};
    case vxStandardView::kBack:
        return {0, 0, 1};
    case vxStandardView::kLeft:
        return {1, 0, 0};
    case vxStandardView::kRight:
        return {-1, 0, 0};
    case vxStandardView::kTop:
        return {0, upright, -lean};
    case vxStandardView::kBottom:
        return {0, -upright, -lean};
    case vxStandardView::kIso:
        break;
    }
    const auto k = static_cast<float>(1.0 / std::sqrt(3.0));
    return {-k, k, -k};
}

vxCameraPose vxOpenGLView::fittedCamera(const vxBounds& box, const vxVector& towardsEye) const
{
    return fittedCamera(std::vector<vxBounds>{box}, towardsEye);
}

vxCameraPose vxOpenGLView::fittedCamera(const std::vector<vxBounds>& boxes, const vxVector& towardsEye) const
{
    vxBounds box; // around them all
    for (const vxBounds& b : boxes)
        box.add(b);
    if (box.empty)
        return cameraPose();
    Basis b;
    V3 back = of(towardsEye);
    if (!basisFor(back * -1.0, b)) {
        // Straight down or up (or no direction at all): the top or bottom view.
        back = of(standardViewDirection(back.y < 0 ? vxStandardView::kBottom : vxStandardView::kTop));
        basisFor(back * -1.0, b);
    }
    const double aspect = aspectOf(m_host.boundsInPixels());
    const double tanV = tanHalfFieldOfView();
    const double tv = tanV * kFitMargin;
    const double th = tv * aspect;

    // The boxes' corners in the picture's axes.
    double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY, minZ = INFINITY;
    double a = INFINITY, bb = INFINITY, c = INFINITY, d = INFINITY;
    for (const vxBounds& part : boxes) {
        if (part.empty)
            continue;
        for (int corner = 0; corner < 8; ++corner) {
            const V3 p{(corner & 1) ? part.max.x() : part.min.x(), (corner & 2) ? part.max.y() : part.min.y(),
                       (corner & 4) ? part.max.z() : part.min.z()};
            const double x = dot(p, b.s), y = dot(p, b.u), z = dot(p, b.f);
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            minZ = std::min(minZ, z);
            // An eye at (X, Y, Z) sees the corner when |x - X| <= th (z - Z)
            // and |y - Y| <= tv (z - Z).
            a = std::min(a, z - x / th);
            bb = std::min(bb, z + x / th);
            c = std::min(c, z - y / tv);
            d = std::min(d, z + y / tv);
        }
    }
    const double centreZ = dot(of(box.centre()), b.f);

    double X = 0, Y = 0, Z = 0, distance = 0;
    if (m_orthographic) {
        X = (minX + maxX) / 2;
        Y = (minY + maxY) / 2;
        const double half = std::max(
            {(maxY - minY) / 2 / kFitMargin, (maxX - minX) / 2 / (kFitMargin * aspect), vxLens::kNearPlane});
        distance = half / tanV;
        Z = centreZ - distance;
    } else {
        // The nearest eye that sees every corner: each axis on its own gives
        // a position centred between its two tightest corners; the axis that
        // needs the eye farther back decides. Never nearer than twice the
        // near plane to the box.
        X = th * (bb - a) / 2;
        Y = tv * (d - c) / 2;
        Z = std::min({(a + bb) / 2, (c + d) / 2, minZ - 2 * vxLens::kNearPlane});
        distance = centreZ - Z;
    }
    const V3 eye = b.s * X + b.u * Y + b.f * Z;
    return {toVector(eye), toVector(eye + b.f * distance)};
}

bool vxOpenGLView::fitBoxes(const std::vector<vxBounds>& boxes)
{
    if (std::all_of(boxes.begin(), boxes.end(), [](const vxBounds& b) { return b.empty; }))
        return false;
    vxVector back;
    back.vectorSubtract3f(m_cameraPosition, m_cameraTarget);
    moveCameraTo(fittedCamera(boxes, back));
    return true;
}

bool vxOpenGLView::fitModel()
{
    return fitBoxes(visibleBoxes());
}

bool vxOpenGLView::fitSelection()
{
    const auto selected = selectedBauteil();
    return selected && fitBoxes({selected->worldBounds()});
}

void vxOpenGLView::resetView()
{
    m_cameraUp.setVector3f(m_homeUp);
    moveCameraTo({m_homePosition, m_homeTarget});
}

void vxOpenGLView::showStandardView(vxStandardView which)
{
    const vxVector direction = standardViewDirection(which);
    const std::vector<vxBounds> boxes = visibleBoxes();
    if (!boxes.empty()) {
        moveCameraTo(fittedCamera(boxes, direction));
        return;
    }
    // Nothing to fit: turn around the target at the same distance.
    vxVector off;
    off.vectorSubtract3f(m_cameraPosition, m_cameraTarget);
    double distance = off.vectorLength3f();
    if (!(distance > 0.0) || !std::isfinite(distance))
        distance = 10.0;
    const V3 eye = of(m_cameraTarget) + of(direction) * distance;
    moveCameraTo({toVector(eye), m_cameraTarget});
}

// --- pan and zoom towards the pointer ------------------------------------------

std::optional<vxVector> vxOpenGLView::pickPoint(vxPoint viewPoint)
{
    const auto [x, y] = pixelOf(viewPoint);
    std::uint32_t depth = 0;
    if (!pickNearest(x, y, &depth))
        return std::nullopt;

    // The hit's nearest depth, back through the matrices of the last draw.
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    applyProjection(aspectOf(m_host.boundsInPixels()));
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    GLdouble px = 0, py = 0, pz = 0;
    if (gluUnProject(x, y, depth / 4294967295.0, model, projection, viewport, &px, &py, &pz) != GL_TRUE)
        return std::nullopt;
    return vxVector(static_cast<float>(px), static_cast<float>(py), static_cast<float>(pz));
}

double vxOpenGLView::depthOf(const std::optional<vxVector>& point) const
{
    const V3 forward = of(m_cameraTarget) - of(m_cameraPosition);
    const double distance = length(forward);
    if (!point || !(distance > 0.0))
        return distance;
    const double depth = dot(of(*point) - of(m_cameraPosition), forward) / distance;
    return depth > 0.0 ? depth : distance;
}

void vxOpenGLView::panBy(double dx, double dy, double depth)
{
    Basis b;
    const double height = m_host.boundsInPoints().height;
    if (!basisFor(of(m_cameraTarget) - of(m_cameraPosition), b) || !(height > 0.0))
        return;
    const double half = m_orthographic ? orthographicHalfHeight() : depth * tanHalfFieldOfView();
    const double perPoint = 2.0 * half / height;
    const V3 move = b.s * (-dx * perPoint) + b.u * (-dy * perPoint);
    if (!std::isfinite(length(move)))
        return;
    m_cameraPosition.setVector3f(toVector(of(m_cameraPosition) + move));
    m_cameraTarget.setVector3f(toVector(of(m_cameraTarget) + move));
}

void vxOpenGLView::zoomTowardPoint(vxPoint viewPoint, float factor)
{
    Basis b;
    const vxSize size = m_host.boundsInPoints();
    const V3 eye = of(m_cameraPosition), target = of(m_cameraTarget);
    if (!basisFor(target - eye, b) || !(size.width > 0.0) || !(size.height > 0.0)) {
        adjustDistanceToTarget(factor);
        return;
    }
    // The point under the pointer in the plane through the target; eye and
    // target move towards it, so it stays where it is in the picture.
    const double half = length(target - eye) * tanHalfFieldOfView();
    const double nx = viewPoint.x / size.width * 2.0 - 1.0;
    const double ny = viewPoint.y / size.height * 2.0 - 1.0;
    const V3 p = target + b.s * (nx * half * size.width / size.height) + b.u * (ny * half);
    m_cameraPosition.setVector3f(toVector(p + (eye - p) * factor));
    m_cameraTarget.setVector3f(toVector(p + (target - p) * factor));
}

// --- gliding camera moves -------------------------------------------------------

void vxOpenGLView::setClock(Clock clock)
{
    if (clock) {
        m_clock = std::move(clock);
        return;
    }
    m_clock = [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
}

void vxOpenGLView::setCameraPose(const vxCameraPose& pose)
{
    m_cameraPosition.setVector3f(pose.position);
    m_cameraTarget.setVector3f(pose.target);
}

void vxOpenGLView::moveCameraTo(const vxCameraPose& pose)
{
    const vxCameraPose now = cameraPose();
    if (!m_smoothTransitions || m_lastFrameSeconds > kSlowFrameSeconds ||
        (now.position.x() == pose.position.x() && now.position.y() == pose.position.y() &&
         now.position.z() == pose.position.z() && now.target.x() == pose.target.x() &&
         now.target.y() == pose.target.y() && now.target.z() == pose.target.z())) {
        m_transition = Transition();
        setCameraPose(pose);
    } else {
        m_transition.active = true;
        m_transition.from = now;
        m_transition.to = pose;
        m_transition.shown = now;
        m_transition.start = m_clock();
    }
    m_host.setNeedsDisplay();
}

void vxOpenGLView::stepCameraTransition()
{
    if (!m_transition.active)
        return;
    // Someone else moved the camera (a drag, the wheel, a load): they win.
    if (!(cameraPose() == m_transition.shown)) {
        m_transition.active = false;
        return;
    }
    const double t = (m_clock() - m_transition.start) / kTransitionSeconds;
    if (!(t < 1.0) || !(t >= 0.0) || m_lastFrameSeconds > kSlowFrameSeconds) {
        setCameraPose(m_transition.to);
        m_transition.active = false;
        return;
    }
    const double e = t * t * (3.0 - 2.0 * t); // gentle start and end

    // Target in a straight line, distance evenly in scale, the direction
    // by azimuth and elevation about the world's y axis (never over a pole).
    const V3 fromTarget = of(m_transition.from.target), toTarget = of(m_transition.to.target);
    const V3 fromOff = of(m_transition.from.position) - fromTarget;
    const V3 toOff = of(m_transition.to.position) - toTarget;
    const double d0 = length(fromOff), d1 = length(toOff);
    double distance = d0 + (d1 - d0) * e;
    if (d0 > 0.0 && d1 > 0.0)
        distance = std::exp(std::log(d0) + (std::log(d1) - std::log(d0)) * e);
    auto angles = [](V3 off, double len, double& azimuth, double& elevation) {
        elevation = len > 0.0 ? std::asin(std::clamp(off.y / len, -1.0, 1.0)) : 0.0;
        azimuth = std::atan2(off.x, off.z);
    };
    double az0 = 0, el0 = 0, az1 = 0, el1 = 0;
    angles(fromOff, d0, az0, el0);
    angles(toOff, d1, az1, el1);
    double turn = az1 - az0;
    while (turn > std::numbers::pi)
        turn -= 2 * std::numbers::pi;
    while (turn < -std::numbers::pi)
        turn += 2 * std::numbers::pi;
    const double az = az0 + turn * e, el = el0 + (el1 - el0) * e;
    const V3 direction{std::cos(el) * std::sin(az), std::sin(el), std::cos(el) * std::cos(az)};
    const V3 target = fromTarget + (toTarget - fromTarget) * e;
    setCameraPose({toVector(target + direction * distance), toVector(target)});
    m_transition.shown = cameraPose();
    m_host.setNeedsDisplay();
}
