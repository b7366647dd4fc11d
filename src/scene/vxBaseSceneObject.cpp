#include "vxBaseSceneObject.h"

#include "vxModel.h"
#include "vxResources.h"
#include "vxSTLReader.h"
#include "vxTextFile.h"

#include <GL/gl.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

const std::vector<vxVertice>& emptyTriangles()
{
    static const std::vector<vxVertice> empty;
    return empty;
}

} // namespace

// --- vxBounds ----------------------------------------------------------------

void vxBounds::add(float x, float y, float z)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return;
    if (empty) {
        min = max = vxVector(x, y, z);
        empty = false;
        return;
    }
    min = vxVector(std::min(min.x(), x), std::min(min.y(), y), std::min(min.z(), z));
    max = vxVector(std::max(max.x(), x), std::max(max.y(), y), std::max(max.z(), z));
}

void vxBounds::add(const vxBounds& other)
{
    if (other.empty)
        return;
    add(other.min.x(), other.min.y(), other.min.z());
    add(other.max.x(), other.max.y(), other.max.z());
}

vxVector vxBounds::centre() const
{
    return vxVector((min.x() + max.x()) / 2, (min.y() + max.y()) / 2, (min.z() + max.z()) / 2);
}

// --- vxSharedMesh ------------------------------------------------------------

vxSharedMesh::~vxSharedMesh()
{
    vxGLResources::releaseList(geometryContext, geometryList);
}

void vxSharedMesh::compileGeometry()
{
    const vxGLResources::ContextId ctx = vxGLResources::currentContext();
    if (geometryList != 0 && geometryContext == ctx)
        return;
    vxGLResources::releaseList(geometryContext, geometryList);
    geometryList = vxGLResources::newList();
    geometryContext = ctx;
    if (geometryList == 0)
        return;
    // Each triangle is lit by its one facet normal, as if drawn on its own.
    glNewList(geometryList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const vxVertice& t : triangles) {
        glNormal3f(t.n1().x(), t.n1().y(), t.n1().z());
        glVertex3f(t.v1().x(), t.v1().y(), t.v1().z());
        glVertex3f(t.v2().x(), t.v2().y(), t.v2().z());
        glVertex3f(t.v3().x(), t.v3().y(), t.v3().z());
    }
    glEnd();
    glEndList();
}

const vxBounds& vxSharedMesh::bounds()
{
    if (!boundsKnown) {
        boundsCache = vxBounds();
        for (const vxVertice& t : triangles)
            for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()})
                boundsCache.add(v->x(), v->y(), v->z());
        boundsKnown = true;
    }
    return boundsCache;
}

void vxSharedMesh::drawPositions()
{
    if (triangles.empty())
        return;
    if (positions.empty()) {
        positions.reserve(triangles.size() * 9);
        for (const vxVertice& t : triangles)
            for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()}) {
                positions.push_back(v->x());
                positions.push_back(v->y());
                positions.push_back(v->z());
            }
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size() / 3));
    glPopClientAttrib();
}

// --- vxBaseSceneObject -------------------------------------------------------

vxBaseSceneObject::~vxBaseSceneObject()
{
    discardDrawing();
}

void vxBaseSceneObject::initNewBaseSceneObject()
{
    discardDrawing();
    m_visible = 1;
    m_selectedBauteil = false;
    m_localMatrix = vxMatrix();
    m_localMatrix.createHomogeneousMatrix();
    m_up = vxVector(0, 1, 0, 0);
    m_direction = vxVector(0, 0, 1, 0);
    m_position = vxVector();
    rebuildMatrix();
    m_mesh.reset();
    m_colorAmbient = vxVector();
    m_colorDiffuse = vxVector();
    m_colorEmission = vxVector();
}

void vxBaseSceneObject::rebuildMatrix()
{
    m_localMatrix.v1().vectorCrossProduct3f(m_up, m_direction);
    m_localMatrix.v2().setVector3f(m_up);
    m_localMatrix.v3().setVector3f(m_direction);
    m_localMatrix.v4().setVector3f(m_position);
}

void vxBaseSceneObject::loadSTLFromFile(const std::string& name, float offsetX, float offsetY, float offsetZ)
{
    const std::optional<std::string> path = vxResources::resourcePath(name, "stl", "");
    if (!path)
        return;
    const vxReadResult file = readWholeFile(*path, vxFileLimits::kMeshFile);
    if (!file.ok || file.data.size() < kSTLFirstRecord)
        return;
    vxAppendSTLTriangles(file.data, offsetX, offsetY, offsetZ, verticesList());
}

void vxBaseSceneObject::drawContents(std::int32_t name, const std::shared_ptr<vxSharedMesh>& mesh)
{
    float matrix[16];
    m_localMatrix.toArray(matrix);
    glPushMatrix();
    glMultMatrixf(matrix);

    const float ambient[4] = {m_colorAmbient.x(), m_colorAmbient.y(), m_colorAmbient.z(), m_colorAmbient.w()};
    const float magenta[4] = {1.0f, 0.0f, 1.0f, 1.0f};
    const float diffuse[4] = {m_colorDiffuse.x(), m_colorDiffuse.y(), m_colorDiffuse.z(), m_colorDiffuse.w()};
    const float emission[4] = {m_colorEmission.x(), m_colorEmission.y(), m_colorEmission.z(),
                               m_colorEmission.w()};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m_selectedBauteil ? magenta : diffuse);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);

    // One name load per object: a pick reports one hit record per object
    // (with the nearest depth of its triangles) rather than one per triangle.
    if (mesh && !mesh->triangles.empty() && mesh->geometryList != 0) {
        glLoadName(static_cast<GLuint>(name));
        glCallList(mesh->geometryList);
    }
    glPopMatrix();
}

void vxBaseSceneObject::renderObject(std::int32_t name)
{
    if (m_visible == 0)
        return;
    const vxGLResources::ContextId ctx = vxGLResources::currentContext();
    if (m_displayList != 0) {
        if (m_displayListContext == ctx) {
            glCallList(static_cast<GLuint>(m_displayList));
            return;
        }
        // Compiled in another context: useless here.
        discardDrawing();
    }

    std::shared_ptr<vxSharedMesh> mesh = m_mesh;
    if (mesh && !mesh->triangles.empty())
        mesh->compileGeometry(); // before the object's list: lists do not nest

    const std::uint32_t list = vxGLResources::newList();
    if (list == 0) {
        drawContents(name, mesh);
        return;
    }
    m_displayList = static_cast<std::int32_t>(list);
    m_displayListContext = ctx;
    m_drawnMesh = mesh;
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    drawContents(name, mesh);
    glEndList();
}

void vxBaseSceneObject::renderObjectForSelection(std::int32_t name)
{
    if (m_visible == 0 || !m_mesh || m_mesh->triangles.empty())
        return;
    float matrix[16];
    m_localMatrix.toArray(matrix);
    glPushMatrix();
    glMultMatrixf(matrix);
    glLoadName(static_cast<GLuint>(name));
    m_mesh->drawPositions();
    glPopMatrix();
}

vxBounds vxBaseSceneObject::worldBounds() const
{
    vxBounds world;
    if (!m_mesh)
        return world;
    const vxBounds& local = m_mesh->bounds();
    if (local.empty)
        return world;
    for (int corner = 0; corner < 8; ++corner) {
        vxVector p((corner & 1) ? local.max.x() : local.min.x(), (corner & 2) ? local.max.y() : local.min.y(),
                   (corner & 4) ? local.max.z() : local.min.z(), 1.0f);
        p.vectorTransform3f(m_localMatrix);
        world.add(p.x(), p.y(), p.z());
    }
    return world;
}

void vxBaseSceneObject::discardDrawing()
{
    if (m_displayList != 0)
        vxGLResources::releaseList(m_displayListContext, static_cast<std::uint32_t>(m_displayList));
    m_displayList = 0;
    m_displayListContext = 0;
    m_drawnMesh.reset();
}

void vxBaseSceneObject::setVisible(std::uint8_t v)
{
    if (v == m_visible)
        return;
    m_visible = v;
    discardDrawing();
}

void vxBaseSceneObject::setSelectedBauteil(bool s)
{
    if (s == m_selectedBauteil)
        return;
    m_selectedBauteil = s;
    discardDrawing();
}

std::vector<vxVertice>& vxBaseSceneObject::verticesList()
{
    if (!m_mesh)
        m_mesh = std::make_shared<vxSharedMesh>();
    else if (m_mesh.use_count() > 1 || m_mesh->geometryList != 0)
        m_mesh = std::make_shared<vxSharedMesh>(m_mesh->triangles);
    else
        m_mesh->forgetPositions();
    return m_mesh->triangles;
}

const std::vector<vxVertice>& vxBaseSceneObject::verticesList() const
{
    return m_mesh ? m_mesh->triangles : emptyTriangles();
}

void vxBaseSceneObject::setVerticesList(std::vector<vxVertice> list)
{
    m_mesh = std::make_shared<vxSharedMesh>(std::move(list));
}

void vxTubeSceneObject::makeVertexFromTube(const vxTube&)
{
    // No surface is built for a tube.
    setSharedMesh(nullptr);
}
