#include "vxPhaseHighlight.h"

#include "vxOpenGLView.h"
#include "vxPartsList.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Every pixel that something was drawn on (depth below the far end), a
// fraction of the way toward colour. The background stays as it is.
void fadeDrawnPixels(const vxVector& colour, float fraction)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(colour.x(), colour.y(), colour.z(), fraction);
    glBegin(GL_QUADS);
    glVertex3f(-1.0f, -1.0f, 1.0f);
    glVertex3f(1.0f, -1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 1.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

// The object's surface again, in the current colour, unlit, at its place.
void tintSurface(const vxBaseSceneObject& object)
{
    const auto& mesh = object.sharedMesh();
    if (object.visible() == 0 || !mesh || mesh->triangles.empty())
        return;
    float matrix[16];
    object.localMatrix().toArray(matrix);
    glPushMatrix();
    glMultMatrixf(matrix);
    mesh->drawPositions();
    glPopMatrix();
}

// The parts of the shown phase, with their indices in the model's list.
template <typename F> void eachShownPart(vxOpenGLView& view, F&& f)
{
    const std::int32_t shown = view.shownBauphase();
    const vxModel& model = *view.model();
    const auto& parts = model.partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(model.count(), 0)));
    for (std::size_t i = 0; i < n; ++i) {
        const vxPart& part = *parts[i];
        if (part.baseSceneObject() && vxBuildingStepOf(part) == shown)
            f(*part.baseSceneObject(), static_cast<std::int32_t>(i));
    }
}

} // namespace

void vxPhaseHighlight::drawBookletLook(vxOpenGLView& view) const
{
    // Earlier parts greyed and darkened, then the new parts drawn again:
    // first every edge of their triangles in wide dark lines, then their
    // faces over them, which leaves the part of the lines outside each new
    // part as its outline.
    fadeDrawnPixels(vxVector(kGrey, kGrey, kGrey), kGreyFraction);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_LINE_BIT | GL_POLYGON_BIT |
                 GL_LIGHTING_BIT);
    glEnable(GL_DEPTH_TEST);
    if (m_seeThrough) {
        // The new parts hide only each other.
        glClear(GL_DEPTH_BUFFER_BIT);
        glDepthFunc(GL_LESS);
    } else {
        glDepthFunc(GL_LEQUAL);
    }
    glDepthMask(GL_FALSE);
    const GLboolean lit = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    const vxSize points = view.host().boundsInPoints();
    const vxSize pixels = view.host().boundsInPixels();
    const double scale = points.height > 0.0 ? pixels.height / points.height : 1.0;
    glLineWidth(static_cast<float>(std::clamp(kOutlineWidth * scale, 1.0, 16.0)));
    glColor3f(kOutline, kOutline, kOutline);
    eachShownPart(view, [](vxBaseSceneObject& object, std::int32_t) { tintSurface(object); });
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    if (lit)
        glEnable(GL_LIGHTING);
    const float light[4] = {kNewPartLight, kNewPartLight, kNewPartLight, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light);
    if (m_seeThrough) {
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
    }
    eachShownPart(view, [&view](vxBaseSceneObject& object, std::int32_t i) { view.drawObject(object, i); });
    glPopAttrib();
}

void vxPhaseHighlight::drawOver(vxOpenGLView& view) const
{
    if (!active())
        return;
    if (m_enabled && view.model() && m_look == Look::kBooklet) {
        drawBookletLook(view);
    } else if (m_enabled && view.model()) {
        // Fade the whole drawing, then draw the parts of the shown phase
        // once more with their own drawings, where they are in front: they
        // get back exactly the pixels the frame gave them.
        fadeDrawnPixels(view.backgroundColor(), kFade);
        glPushAttrib(GL_DEPTH_BUFFER_BIT);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_FALSE);
        eachShownPart(view,
                      [&view](vxBaseSceneObject& object, std::int32_t i) { view.drawObject(object, i); });
        glPopAttrib();
    }
    if (m_markShown && !m_marked.empty()) {
        // Marked parts: tinted where they are in front, the same triangles
        // pulled a little toward the eye so that they win against themselves.
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT |
                     GL_POLYGON_BIT);
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_FALSE);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(-1.0f, -2.0f);
        glColor4f(kMarkColor[0], kMarkColor[1], kMarkColor[2], kMarkStrength);
        for (const auto& weak : m_marked)
            if (auto object = weak.lock())
                tintSurface(*object);
        glPopAttrib();
    }
}
