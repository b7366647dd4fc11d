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
    std::vector<const vxTube*> tubes;
    bool missing = false;
    for (const auto& object : m_tubeObjects) {
        tubes.push_back(object->tube().get());
        missing = missing || !object->surface();
    }
    if (!missing)
        return;
    const vxTubeDetail detail = vxTubeDetailFor(tubes);
    for (const auto& object : m_tubeObjects) {
        if (object->surface())
            continue;
        std::vector<vxVector> axis;
        object->setSurface(std::make_shared<vxSharedMesh>(
            object->tube() ? vxTubeSurface(*object->tube(), detail, &axis) : std::vector<vxVertice>()));
        object->setAxis(std::move(axis));
    }
}

void vxOpenGLView::drawTubes()
{
    makeTubeSurfaces();
    for (const auto& object : m_tubeObjects)
        object->renderSurface();
}
