#pragma once

#include "vxGLResources.h"
#include "vxMatrix.h"
#include "vxMeshDrawings.h"
#include "vxVector.h"
#include "vxVertice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class vxTube;

// An axis-aligned box in model units; empty until a point is added.
// Points with a coordinate that is not finite are left out.
struct vxBounds {
    vxVector min, max;
    bool empty = true;

    void add(float x, float y, float z);
    void add(const vxBounds& other);
    vxVector centre() const;
};

// A triangle mesh shared between scene objects of the same part type and
// offsets. Its geometry (normals and corners, no material, no matrix, no
// pick name) is compiled once into a display list that every object's
// drawing calls. A mesh is not changed once it is shared: an object that
// wants to change its triangles takes a private copy (see verticesList).
struct vxSharedMesh {
    std::vector<vxVertice> triangles;
    std::uint32_t geometryList = 0; // GL display list; 0 while none is compiled
    vxGLResources::ContextId geometryContext = 0;

    vxSharedMesh() = default;
    explicit vxSharedMesh(std::vector<vxVertice> t) : triangles(std::move(t)) {}
    vxSharedMesh(const vxSharedMesh&) = delete;
    vxSharedMesh& operator=(const vxSharedMesh&) = delete;
    // Queues the geometry list for deletion in its context.
    ~vxSharedMesh();

    // Compiles the geometry list in the current context unless it exists
    // there already. Must not be called while another list is being compiled.
    void compileGeometry();

    // Draws the corners alone (no normals, no material) from a vertex array
    // packed on first use. Used in selection mode, where replaying display
    // lists makes the GL driver keep memory for every triangle replayed.
    void drawPositions();
    // Forgets the packed corners and the bounds; called before the
    // triangles change.
    void forgetPositions()
    {
        std::vector<float>().swap(positions);
        boundsKnown = false;
        drawings.forget();
    }

    // The box around every corner, computed on first use.
    const vxBounds& bounds();

    std::vector<float> positions; // x, y, z of every corner; empty until drawn
    vxBounds boundsCache;
    bool boundsKnown = false;
    bool boundsHoldEveryCorner = true; // false when a corner is not finite
    // The simplified and outlined drawings of the triangles.
    vxMeshDrawings drawings;
};

// One renderable object of the 3D view: a triangle mesh, its placement and
// its material.
//
// The object keeps no drawing of its own: every draw issues its placement,
// material and pick name and calls its mesh's compiled geometry. So a change
// of visibility, selection or colour costs nothing to recompile and shows at
// the next draw, and a scene of many parts needs one list per distinct mesh,
// not one per part.
class vxBaseSceneObject {
  public:
    vxBaseSceneObject() { initNewBaseSceneObject(); }
    virtual ~vxBaseSceneObject() = default;
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

    // Draws the object under pick name `name` (nothing while it is hidden),
    // compiling its mesh's geometry in the current context on first use.
    // The GL context must be current, and no display list may be open.
    void renderObject(std::int32_t name);

    // Sets the object's material (magenta diffuse while selected), as
    // renderObject draws it.
    void applyMaterial() const;

    // Draws the object's triangles for a pick under pick name `name`:
    // the same corners and placement as renderObject, nothing for the
    // picture, and no display list. The GL context must be current.
    void renderObjectForSelection(std::int32_t name);

    // Whether a pick whose projection times model-view matrix is clip
    // (column-major, as GL hands it out) surely hits none of the triangles:
    // the mesh's box, placed, lies wholly outside the clip volume widened
    // `widen` times in x and y (and a thousandth in depth). Objects without
    // triangles are always outside; a mesh with corners that are not finite
    // never is.
    bool outsideClipVolume(const double clip[16], double widen) const;

    std::uint8_t visible() const { return m_visible; }
    void setVisible(std::uint8_t v) { m_visible = v; }
    bool selectedBauteil() const { return m_selectedBauteil; }
    void setSelectedBauteil(bool s) { m_selectedBauteil = s; }

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
    // first when the mesh is shared with other objects or already compiled,
    // so that it never changes what others (or the current drawing) show.
    // Readers that do not change the mesh should use the const accessor
    // (std::as_const) to avoid that copy.
    std::vector<vxVertice>& verticesList();
    const std::vector<vxVertice>& verticesList() const;
    void setVerticesList(std::vector<vxVertice> list);
    // Shares another object's (or a cache's) mesh without copying it.
    const std::shared_ptr<vxSharedMesh>& sharedMesh() const { return m_mesh; }
    void setSharedMesh(std::shared_ptr<vxSharedMesh> mesh) { m_mesh = std::move(mesh); }

    // The box around the placed mesh (the mesh's box turned and moved by
    // the placement matrix), in model units; empty without triangles.
    vxBounds worldBounds() const;

  private:
    std::uint8_t m_visible = 1;
    vxMatrix m_localMatrix;
    vxVector m_up, m_direction, m_position;
    vxVector m_colorAmbient, m_colorDiffuse, m_colorEmission;
    std::shared_ptr<vxSharedMesh> m_mesh;
    bool m_selectedBauteil = false;
};

// The scene object of a tube: initialised like a part's, never any triangles
// (so picks pass through it and exports leave it out). The tube's surface,
// made when it is first drawn or exported, is a mesh of its own beside them.
class vxTubeSceneObject : public vxBaseSceneObject {
  public:
    vxTubeSceneObject() { initNewTubeSceneObject(); }
    void initNewTubeSceneObject() { initNewBaseSceneObject(); }
    void makeVertexFromTube(const vxTube& tube);

    // The tube the surface is made from (shared with the model).
    const std::shared_ptr<const vxTube>& tube() const { return m_tube; }
    void setTube(std::shared_ptr<const vxTube> tube) { m_tube = std::move(tube); }
    // The surface (null until made; empty for a tube that draws nothing).
    const std::shared_ptr<vxSharedMesh>& surface() const { return m_surface; }
    void setSurface(std::shared_ptr<vxSharedMesh> surface) { m_surface = std::move(surface); }
    // The points of the curve the surface follows (its axis).
    const std::vector<vxVector>& axis() const { return m_axis; }
    void setAxis(std::vector<vxVector> axis) { m_axis = std::move(axis); }
    // Draws the surface in the object's colour with a normal per corner,
    // and its axis as a line (nothing while hidden or without a surface),
    // compiling the surface in the
    // current context on first use; under no pick name. The GL context must
    // be current, and no display list may be open.
    void renderSurface();

  private:
    std::shared_ptr<const vxTube> m_tube;
    std::shared_ptr<vxSharedMesh> m_surface;
    std::vector<vxVector> m_axis;
};
