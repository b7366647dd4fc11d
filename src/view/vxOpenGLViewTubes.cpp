// The view's tubes: their surfaces, made once per scene, drawn while tubes
// are shown.
#include "vxOpenGLView.h"
#include "vxTubeSurface.h"

#include <GL/gl.h>

void vxOpenGLView::setShowTubes(bool on)
{
    if (m_showTubes == on)
        return;
    m_showTubes = on;
    m_host.setNeedsDisplay();
}

void vxOpenGLView::makeTubeSurfaces() const
{
    vxMakeTubeSurfaces(m_tubeObjects);
}

void vxOpenGLView::drawTubes()
{
    makeTubeSurfaces();
    for (const auto& object : m_tubeObjects)
        object->renderSurface();
}
