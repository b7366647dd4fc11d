#include "vxOpenGLView.h"
// Camera navigation, picking and selection, building phases: implemented by
// the interaction step.
void vxOpenGLView::mouseDragged(const vxMouseEvent&) {}
void vxOpenGLView::scrollWheel(const vxMouseEvent&) {}
void vxOpenGLView::moveCameraAround(float, float) {}
void vxOpenGLView::adjustDistanceToTarget(float) {}
float vxOpenGLView::clampValue(float v, float, float) { return v; }
float vxOpenGLView::degToRad(float d) { return d; }
float vxOpenGLView::power(float b, float) { return b; }
void vxOpenGLView::mouseDown(const vxMouseEvent&) {}
std::shared_ptr<vxBaseSceneObject> vxOpenGLView::getPickedObject(std::int32_t, std::int32_t) { return nullptr; }
void vxOpenGLView::selectBauteil(std::int32_t, std::int32_t) {}
void vxOpenGLView::deselectAllBauteile() {}
std::shared_ptr<vxBaseSceneObject> vxOpenGLView::selectedBauteil() const { return nullptr; }
void vxOpenGLView::showAll() {}
void vxOpenGLView::showPartPanel() {}
void vxOpenGLView::repaintModelWithBauphase(std::int32_t) {}
