// Camera navigation, picking and selection, building phases.
#include "vxOpenGLView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

// --- arithmetic -------------------------------------------------------------

float vxOpenGLView::clampValue(float value, float low, float high)
{
    if (low > value)
        return low;
    if (high < value)
        return high;
    return value;
}

float vxOpenGLView::degToRad(float degrees)
{
    return static_cast<float>((std::numbers::pi / 180.0) * static_cast<double>(degrees));
}

float vxOpenGLView::power(float base, float exponent)
{
    if (exponent == 0.0f)
        return 1.0f;
    if (base == 0.0f && exponent > 0.0f)
        return 0.0f;
    return static_cast<float>(std::exp(std::log(static_cast<double>(base)) * static_cast<double>(exponent)));
}

// --- camera -------------------------------------------------------------------

void vxOpenGLView::mouseDragged(const vxMouseEvent& event)
{
    const vxPoint p = m_host.convertFromWindow(event.locationInWindow);
    if (m_panning) {
        panBy(p.x - m_lastMousePoint.x, p.y - m_lastMousePoint.y, m_panDepth);
        m_lastMousePoint = p;
        noteCameraMotion();
        m_host.setNeedsDisplay();
        return;
    }
    if (event.button != vxMouseButton::kLeft || m_workMode != vxWorkMode::kNavigate)
        return;
    const float a = static_cast<float>(p.y - m_lastMousePoint.y);
    const float b = static_cast<float>(m_lastMousePoint.x - p.x);
    moveCameraAround(a, b);
    m_lastMousePoint = p;
    noteCameraMotion();
    m_host.setNeedsDisplay();
}

void vxOpenGLView::scrollWheel(const vxMouseEvent& event)
{
    const float e = static_cast<float>(event.deltaY);
    const float factor = power(1.1f, e * 0.5f);
    if (m_zoomTowardPointer)
        zoomTowardPoint(m_host.convertFromWindow(event.locationInWindow), factor);
    else
        adjustDistanceToTarget(factor);
    noteCameraMotion();
    m_host.setNeedsDisplay();
}

void vxOpenGLView::mouseUp(const vxMouseEvent&)
{
    m_panning = false;
}

void vxOpenGLView::moveCameraAround(float a, float b)
{
    vxVector off;
    off.vectorSubtract3f(m_cameraPosition, m_cameraTarget);
    const float dist = off.vectorLength3f();
    // An eye on the target or an up axis of no length gives no sphere to
    // orbit on: the camera stays where it is.
    if (!(dist > 0.0f) || !std::isfinite(dist) || !(m_cameraUp.vectorLength3f() > 0.0f))
        return;
    vxVector d = off;
    d.normalizeVector3f();

    vxVector r;
    r.vectorCrossProduct3f(m_cameraUp, d);
    if (static_cast<double>(r.vectorLength3f()) < 0.001)
        r = vxVector(1.0f, 0.0f, 0.0f, 0.0f);
    else
        r.normalizeVector3f();

    // Rounding can put the cosine a hair outside [-1, 1].
    const float cosine = std::clamp(d.vectorDotProduct3f(d, m_cameraUp), -1.0f, 1.0f);
    const float theta0 = static_cast<float>(std::acos(static_cast<double>(cosine)));
    float theta = degToRad(a) + theta0;
    theta = clampValue(theta, 0.025f, static_cast<float>(std::numbers::pi - 0.025));

    vxVector n = m_cameraUp;
    n.rotateVector3f(r, -theta);
    n.rotateVector3f(m_cameraUp, -degToRad(b));
    n.scaleVector3f(dist);

    vxVector move;
    move.vectorSubtract3f(n, off);
    m_cameraPosition.vectorAdd3f(m_cameraPosition, move);
}

void vxOpenGLView::adjustDistanceToTarget(float factor)
{
    vxVector v;
    v.vectorSubtract3f(m_cameraPosition, m_cameraTarget);
    v.scaleVector3f(-(1.0f - factor));
    m_cameraPosition.vectorAdd3f(v, m_cameraPosition);
}

// --- picking and selection --------------------------------------------------

void vxOpenGLView::mouseDown(const vxMouseEvent& event)
{
    const vxPoint p = m_host.convertFromWindow(event.locationInWindow);
    m_lastMousePoint = p;

    // A middle press, or Shift + left in navigate mode, starts a pan that
    // keeps the point under the pointer (or, over the background, the
    // target's depth) under it.
    m_panning = event.button == vxMouseButton::kMiddle ||
                (event.button == vxMouseButton::kLeft && (event.modifiers & vxModifier::kShift) != 0 &&
                 m_workMode == vxWorkMode::kNavigate);
    if (m_panning) {
        m_panDepth = depthOf(pickPoint(p));
        return;
    }
    if (event.button != vxMouseButton::kLeft)
        return;

    const auto [px, py] = pixelOf(p);

    if (m_workMode == vxWorkMode::kSelect) {
        selectBauteil(px, py);
    } else if (m_workMode == vxWorkMode::kNavigate && event.clickCount == 2) {
        if (auto obj = getPickedObject(px, py)) {
            m_cameraTarget.setVector3f(obj->position());
            m_host.setNeedsDisplay();
        }
    } else if (m_workMode == vxWorkMode::kHide) {
        if (auto obj = getPickedObject(px, py)) {
            obj->setVisible(0);
            m_displayList = 0;
            m_host.setNeedsDisplay();
        }
    }
}

vxOpenGLView::PixelPoint vxOpenGLView::pixelOf(vxPoint viewPoint) const
{
    const vxSize points = m_host.boundsInPoints();
    const vxSize pixels = m_host.boundsInPixels();
    const double sx = points.width > 0 ? pixels.width / points.width : 1.0;
    const double sy = points.height > 0 ? pixels.height / points.height : 1.0;
    return {static_cast<std::int32_t>(std::clamp(viewPoint.x * sx, -2.0e9, 2.0e9)),
            static_cast<std::int32_t>(std::clamp(viewPoint.y * sy, -2.0e9, 2.0e9))};
}

std::shared_ptr<vxBaseSceneObject> vxOpenGLView::getPickedObject(std::int32_t x, std::int32_t y)
{
    return pickNearest(x, y, nullptr);
}

std::shared_ptr<vxBaseSceneObject> vxOpenGLView::pickNearest(std::int32_t x, std::int32_t y,
                                                             std::uint32_t* depth)
{
    makeContextCurrent();
    const vxSize pixels = m_host.boundsInPixels();
    const double aspect = pixels.height > 0 ? pixels.width / pixels.height : 1.0;

    // Sixteen hit records fit the first buffer; a click through many
    // closed parts overflows it, and the pick is then repeated with a
    // larger buffer, so that the nearest part is still found.
    std::vector<GLuint> buffer(64);
    GLint hits = -1;
    constexpr std::size_t kMaxWords = std::size_t(1) << 24;
    // Objects that may lie under the pointer, in list order (found once).
    std::vector<std::size_t> candidates;
    bool candidatesFound = false;
    for (;;) {
        GLint viewport[4];
        glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
        glGetIntegerv(GL_VIEWPORT, viewport);
        glRenderMode(GL_SELECT);
        glInitNames();
        glPushName(0);

        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        gluPickMatrix(x, y, 0.01, 0.01, viewport);
        applyProjection(aspect);
        glMatrixMode(GL_MODELVIEW);

        if (!candidatesFound) {
            candidates = pickCandidates();
            candidatesFound = true;
        }
        for (std::size_t i : candidates)
            m_sceneObjectList[i]->renderObjectForSelection(static_cast<std::int32_t>(i));

        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        hits = glRenderMode(GL_RENDER);
        glMatrixMode(GL_MODELVIEW);
        glPopName();

        if (hits >= 0 || buffer.size() >= kMaxWords)
            break;
        buffer.resize(buffer.size() * 4);
    }
    if (hits < 1)
        return nullptr;

    GLuint best = 0xFFFFFFFFu;
    std::shared_ptr<vxBaseSceneObject> result;
    std::size_t at = 0;
    for (GLint h = 0; h < hits; ++h) {
        if (at + 3 > buffer.size())
            break;
        const GLuint names = buffer[at];
        const GLuint minDepth = buffer[at + 1];
        if (at + 3 + names > buffer.size())
            break;
        if (names >= 1 && minDepth < best) {
            const GLuint name = buffer[at + 3 + names - 1];
            if (name < m_sceneObjectList.size()) {
                best = minDepth;
                result = m_sceneObjectList[name];
            }
        }
        at += 3 + names;
    }
    if (depth)
        *depth = best;
    return result;
}

void vxOpenGLView::currentClipMatrix(double clip[16], double modelView[16])
{
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += projection[4 * k + r] * modelView[4 * c + k];
            clip[4 * c + r] = sum;
        }
}

std::vector<std::size_t> vxOpenGLView::pickCandidates() const
{
    // The pick region is a hundredth of a pixel; widened to two pixels each
    // way it still holds every triangle that can give a hit record, with a
    // wide margin for rounding. Objects wholly outside it are not drawn:
    // they would give no record, so the records and their order stay those
    // of drawing every object.
    constexpr double kWiden = 2.0 / 0.005;
    double modelView[16], clip[16];
    currentClipMatrix(clip, modelView);
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < m_sceneObjectList.size(); ++i) {
        const vxBaseSceneObject& o = *m_sceneObjectList[i];
        if (o.visible() != 0 && !o.outsideClipVolume(clip, kWiden))
            candidates.push_back(i);
    }
    return candidates;
}

void vxOpenGLView::selectBauteil(std::int32_t x, std::int32_t y)
{
    deselectAllBauteile();
    auto obj = getPickedObject(x, y);
    if (obj) {
        obj->setSelectedBauteil(true);
        auto part = m_model ? m_model->selectPartFromSceneObject(obj.get()) : nullptr;
        if (m_partPanelController)
            m_partPanelController->selectPart(part);
        m_displayList = 0;
    }
    m_host.setNeedsDisplay();
}

void vxOpenGLView::deselectAllBauteile()
{
    for (auto& obj : m_sceneObjectList)
        obj->setSelectedBauteil(false);
    if (m_partPanelController)
        m_partPanelController->selectPart(nullptr);
}

std::shared_ptr<vxBaseSceneObject> vxOpenGLView::selectedBauteil() const
{
    std::shared_ptr<vxBaseSceneObject> found;
    for (const auto& obj : m_sceneObjectList)
        if (obj->selectedBauteil())
            found = obj;
    return found;
}

void vxOpenGLView::showAll()
{
    for (std::size_t i = 0; i < m_sceneObjectList.size(); ++i)
        m_sceneObjectList[i]->setVisible(1);
}

void vxOpenGLView::showPartPanel()
{
    if (m_partPanelController)
        m_partPanelController->showPanel();
}

// --- building phases --------------------------------------------------------

void vxOpenGLView::repaintModelWithBauphase(std::int32_t phase)
{
    m_shownBauphase = phase;
    if (m_model) {
        const auto& parts = m_model->partList();
        const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(m_model->count(), 0)));
        for (std::size_t i = 0; i < n; ++i) {
            const auto& part = parts[i];
            const auto& obj = part->baseSceneObject();
            if (!obj)
                continue;
            if (part->phase() > phase) {
                obj->setVisible(0);
            } else if (part->phase() == phase) {
                obj->setVisible(1);
                obj->colorDiffuse().setVector3f(part->color());
            } else {
                obj->setVisible(1);
                if (m_paintOldWhite)
                    obj->colorDiffuse().setVector3f(1.0f, 1.0f, 1.0f);
            }
        }
    }
    m_displayList = 0;
    m_host.setNeedsDisplay();
}
