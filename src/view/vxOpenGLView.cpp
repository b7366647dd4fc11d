#include "vxOpenGLView.h"
// Set-up, drawing and scene assembly: implemented by the rendering step.
vxOpenGLView::vxOpenGLView(vxViewHost& host) : m_host(host) {}
vxOpenGLView::~vxOpenGLView() = default;
void vxOpenGLView::prepare() {}
void vxOpenGLView::awakeFromNib() {}
void vxOpenGLView::reshape() {}
void vxOpenGLView::drawRect() {}
void vxOpenGLView::renderGrid() {}
void vxOpenGLView::set3DGridColor(float, float, float) {}
void vxOpenGLView::set3DGridVisible(std::uint8_t) {}
void vxOpenGLView::toggle3DGridVisible() {}
void vxOpenGLView::set3DBackgroundColor(float, float, float) {}
vxLoadResult vxOpenGLView::loadModelFromFile(const std::string&) { return {}; }
