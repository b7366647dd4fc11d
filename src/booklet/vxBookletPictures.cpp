#include "vxBookletPictures.h"

#include "vxPartPicture.h"

#include <EGL/egl.h>
#include <GL/gl.h>

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

QImage vxDrawPicture(vxOffscreenView& target, QSize pixels)
{
    // Up to kSupersample times larger each way, within kMaxDrawnPixels.
    const double area = static_cast<double>(std::max(pixels.width(), 1)) * std::max(pixels.height(), 1);
    const double scale =
        std::clamp(std::sqrt(kMaxDrawnPixels / area), 1.0, static_cast<double>(kSupersample));
    int w = std::max(1, static_cast<int>(pixels.width() * scale));
    int h = std::max(1, static_cast<int>(pixels.height() * scale));
    // A framebuffer of the same shape that is large enough is used as it
    // is: making a new one for every picture makes the renderer's memory
    // grow.
    const int fw = target.host.pixelWidth(), fh = target.host.pixelHeight();
    if (fw >= w && fh >= h &&
        std::abs(static_cast<double>(fw) / fh - static_cast<double>(w) / h) < 0.01 * w / h) {
        w = fw;
        h = fh;
    }
    if (target.host.pixelWidth() != w || target.host.pixelHeight() != h) {
        if (!target.host.resize(w, h))
            return QImage();
        target.view.reshape();
    }
    target.view.drawRect();
    // Read straight into the picture (rows bottom-up), scale, then turn.
    QImage big(w, h, QImage::Format_RGBX8888);
    if (big.isNull())
        return QImage();
    target.host.makeCurrent();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, big.bits());
    return big.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .mirrored()
        .convertToFormat(QImage::Format_RGB32);
}

void vxReleaseOffscreenContext()
{
    const EGLDisplay display = eglGetCurrentDisplay();
    if (display != EGL_NO_DISPLAY)
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

vxPartPictures::vxPartPictures(QColor background) : m_background(background) {}

vxPartPictures::~vxPartPictures() = default;

QImage vxPartPictures::picture(const vxPartsListEntry& entry, const vxModel& model, int pixels)
{
    const auto key = std::make_tuple(entry.shortName, vxColorHex(entry.color), pixels);
    if (auto it = m_cache.find(key); it != m_cache.end())
        return it->second;
    if (!m_view) {
        m_view = std::make_unique<vxOffscreenView>(64, 64, false);
        if (m_view->host.ok())
            m_view->view.set3DBackgroundColor(m_background.redF(), m_background.greenF(),
                                              m_background.blueF());
    }
    QImage picture;
    const auto& parts = model.partList();
    if (m_view->host.ok() && !entry.parts.empty() && entry.parts.front() < parts.size()) {
        const vxDefinition& d = parts[entry.parts.front()]->definition();
        auto object = std::make_shared<vxBaseSceneObject>();
        object->loadSTLFromFile(entry.shortName, d.m_OffsetX, d.m_OffsetY, d.m_OffsetZ);
        vxOpenGLView& view = m_view->view;
        if (vxFramePartPicture(view, *object)) {
            object->colorDiffuse().setVector3f(vxPartPictureColor(entry.color));
            view.sceneObjectList() = {object};
            view.setDisplayList(0);
            picture = vxDrawPicture(*m_view, QSize(pixels, pixels));
            view.sceneObjectList().clear();
        }
    }
    m_cache.emplace(key, picture);
    return picture;
}

vxBookletPictures::vxBookletPictures() : m_scene(64, 64, false)
{
    if (m_scene.host.ok())
        m_scene.view.set3DBackgroundColor(kPaper.redF(), kPaper.greenF(), kPaper.blueF());
    // A booklet shows the cables and hoses the builder lays.
    m_scene.view.setShowTubes(true);
}

vxBookletPictures::~vxBookletPictures() = default;

bool vxBookletPictures::ok() const
{
    return m_scene.host.ok();
}

std::string vxBookletPictures::error() const
{
    return m_scene.host.error();
}

const vxModel& vxBookletPictures::model() const
{
    return *m_scene.view.model();
}

vxLoadResult vxBookletPictures::load(const std::string& path)
{
    vxOpenGLView& view = m_scene.view;
    vxLoadResult r = view.loadModelFromFile(path);
    if (!r)
        return r;
    m_shownPhase = -1;

    // The corners of every part's box, placed in the world.
    m_corners.clear();
    m_partCorners.clear();
    for (const auto& part : view.model()->partList()) {
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
    m_direction = bookletDirection(*view.model());

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
    return r;
}

QImage vxBookletPictures::drawFitted(std::int32_t phase, bool highlight, const std::vector<vxVector>& points,
                                     QSize pixels, double margin)
{
    vxOpenGLView& view = m_scene.view;
    if (phase != m_shownPhase) {
        view.repaintModelWithBauphase(phase);
        m_shownPhase = phase;
    }
    view.highlight().setEnabled(highlight);
    const vxBookletCamera camera = vxFitBookletCamera(
        points, m_direction, static_cast<double>(pixels.width()) / std::max(pixels.height(), 1), margin);
    view.cameraPosition().setVector3f(camera.eye);
    view.cameraTarget().setVector3f(camera.target);
    return vxDrawPicture(m_scene, pixels);
}

QImage vxBookletPictures::modelPicture(std::int32_t phase, bool highlight, QSize pixels)
{
    return drawFitted(phase, highlight, m_corners, pixels, 0.04);
}

std::vector<vxVector> vxBookletPictures::detailPoints(std::int32_t phase) const
{
    // The box around the parts the phase adds, at least a tenth of the
    // model's size each way, so that the close-up shows where they sit.
    const auto& parts = model().partList();
    vxBounds added, whole;
    for (std::size_t i = 0; i + 1 < m_partCorners.size() && i < parts.size(); ++i) {
        if (vxBuildingStepOf(*parts[i]) != phase)
            continue;
        for (std::size_t k = m_partCorners[i]; k < m_partCorners[i + 1]; ++k)
            added.add(m_corners[k].x(), m_corners[k].y(), m_corners[k].z());
    }
    if (added.empty)
        return {};
    for (const vxVector& c : m_corners)
        whole.add(c.x(), c.y(), c.z());
    const vxVector &lo = added.min, &hi = added.max;
    vxVector size;
    size.vectorSubtract3f(whole.max, whole.min);
    const float least = size.vectorLength3f() * 0.1f;
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

std::optional<QRectF> vxBookletPictures::newPartsArea(std::int32_t phase, double aspect) const
{
    const std::vector<vxVector> points = detailPoints(phase);
    if (points.empty())
        return std::nullopt;
    const vxBookletCamera camera = vxFitBookletCamera(m_corners, m_direction, aspect);
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
    const QRectF area(QPointF((minX + 1) / 2, (1 - maxY) / 2), QPointF((maxX + 1) / 2, (1 - minY) / 2));
    return area.intersected(QRectF(0, 0, 1, 1));
}

QImage vxBookletPictures::detailPicture(std::int32_t phase, QSize pixels)
{
    const std::vector<vxVector> points = detailPoints(phase);
    return points.empty() ? QImage() : drawFitted(phase, true, points, pixels, 0.02);
}

QImage vxBookletPictures::partPicture(const vxPartsListEntry& entry, int pixels)
{
    return m_parts.picture(entry, model(), pixels);
}
