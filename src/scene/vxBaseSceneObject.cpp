#include "vxBaseSceneObject.h"
// Implemented by the scene step.
vxSharedMesh::~vxSharedMesh() = default;
vxBaseSceneObject::~vxBaseSceneObject() = default;
void vxBaseSceneObject::initNewBaseSceneObject() {}
void vxBaseSceneObject::rebuildMatrix() {}
void vxBaseSceneObject::loadSTLFromFile(const std::string&, float, float, float) {}
void vxBaseSceneObject::renderObject(std::int32_t) {}
void vxBaseSceneObject::discardDrawing() {}
void vxBaseSceneObject::setVisible(std::uint8_t v) { m_visible = v; }
void vxBaseSceneObject::setSelectedBauteil(bool s) { m_selectedBauteil = s; }
static const std::vector<vxVertice> kEmpty;
std::vector<vxVertice>& vxBaseSceneObject::verticesList() { static std::vector<vxVertice> v; return v; }
const std::vector<vxVertice>& vxBaseSceneObject::verticesList() const { return kEmpty; }
void vxBaseSceneObject::setVerticesList(std::vector<vxVertice>) {}
void vxTubeSceneObject::makeVertexFromTube(const vxTube&) {}
