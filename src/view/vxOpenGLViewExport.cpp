#include "vxOpenGLView.h"
// VRML export: implemented by the export step.
vxWriteResult vxOpenGLView::exportAsVRML(const std::string&) const { return {}; }
std::string vxOpenGLView::vrmlText() const { return {}; }
