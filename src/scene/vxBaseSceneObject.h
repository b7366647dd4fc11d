#pragma once

#include "vxMatrix.h"
#include "vxVector.h"
#include "vxVertice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class vxTube;

// A triangle mesh shared between scene objects of the same part type and
// offsets. Its geometry (normals and corners, no material, no matrix, no
// pick name) is compiled once into a display list that every object's own
// drawing calls.
struct vxSharedMesh {
    std::vector<vxVertice> triangles;
    std::uint32_t geometryList = 0; // GL display list; 0 while none is compiled
    std::uintptr_t geometryContext = 0;
    ~vxSharedMesh();
};

// One renderable object of the 3D view: a triangle mesh, its placement and
// its material. Draws itself into a cached display list.
class vxBaseSceneObject {
public:
    vxBaseSceneObject() { initNewBaseSceneObject(); }
    virtual ~vxBaseSceneObject();
    vxBaseSceneObject(const vxBaseSceneObject&) = delete;
    vxBaseSceneObject& operator=(const vxBaseSceneObject&) = delete;

    void initNewBaseSceneObject();

    // Recomputes localMatrix from up, direction and position.
    void rebuildMatrix();

    // Appends the triangles of the binary STL resource called name, each
    // corner ((x + offsetX) / 10, ...). Never reads past the data: a file
    // shorter than 84 bytes gives nothing, a count larger than the file
    // holds gives the whole records present.
    void loadSTLFromFile(const std::string& name, float offsetX, float offsetY, float offsetZ);

    // Draws the object under pick name `name`, compiling its drawing on
    // first use. The GL context must be current.
    void renderObject(std::int32_t name);

    // Forgets the compiled drawing (the list is released on the next draw).
    void discardDrawing();

    std::uint8_t visible() const { return m_visible; }
    void setVisible(std::uint8_t v);
    bool selectedBauteil() const { return m_selectedBauteil; }
    void setSelectedBauteil(bool s);

    vxMatrix& localMatrix() { return m_localMatrix; }
    const vxMatrix& localMatrix() const { return m_localMatrix; }
    void setLocalMatrix(const vxMatrix& m) { m_localMatrix = m; }
    vxVector& up() { return m_up; }
    const vxVector& up() const { return m_up; }
    void setUp(const vxVector& v) { m_up = v; }
    vxVector& direction() { return m_direction; }
    const vxVector& direction() const { return m_direction; }
    void setDirection(const vxVector& v) { m_direction = v; }
    vxVector& position() { return m_position; }
    const vxVector& position() const { return m_position; }
    void setPosition(const vxVector& v) { m_position = v; }
    vxVector& colorAmbient() { return m_colorAmbient; }
    const vxVector& colorAmbient() const { return m_colorAmbient; }
    void setColorAmbient(const vxVector& v) { m_colorAmbient = v; }
    vxVector& colorDiffuse() { return m_colorDiffuse; }
    const vxVector& colorDiffuse() const { return m_colorDiffuse; }
    void setColorDiffuse(const vxVector& v) { m_colorDiffuse = v; }
    vxVector& colorEmission() { return m_colorEmission; }
    const vxVector& colorEmission() const { return m_colorEmission; }
    void setColorEmission(const vxVector& v) { m_colorEmission = v; }

    // The mesh. The non-const accessor gives this object a private copy
    // first when the mesh is shared with other objects.
    std::vector<vxVertice>& verticesList();
    const std::vector<vxVertice>& verticesList() const;
    void setVerticesList(std::vector<vxVertice> list);
    // Shares another object's (or a cache's) mesh without copying it.
    const std::shared_ptr<vxSharedMesh>& sharedMesh() const { return m_mesh; }
    void setSharedMesh(std::shared_ptr<vxSharedMesh> mesh) { m_mesh = std::move(mesh); }

    std::int32_t displayList() const { return m_displayList; }

private:
    std::uint8_t m_visible = 1;
    vxMatrix m_localMatrix;
    vxVector m_up, m_direction, m_position;
    vxVector m_colorAmbient, m_colorDiffuse, m_colorEmission;
    std::shared_ptr<vxSharedMesh> m_mesh;
    bool m_selectedBauteil = false;
    std::int32_t m_displayList = 0;
    std::uintptr_t m_displayListContext = 0;
};

// The scene object of a tube: initialised like a part's, never any triangles.
class vxTubeSceneObject : public vxBaseSceneObject {
public:
    vxTubeSceneObject() { initNewTubeSceneObject(); }
    void initNewTubeSceneObject() { initNewBaseSceneObject(); }
    void makeVertexFromTube(const vxTube& tube);
};
