#include "vxBaseSceneObject.h"

#include "vxModel.h"
#include "vxResources.h"
#include "vxSTLReader.h"
#include "vxTextFile.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
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
    vxDrawFlatTriangles(triangles);
    glEndList();
}

const vxBounds& vxSharedMesh::bounds()
{
    if (!boundsKnown) {
        boundsCache = vxBounds();
        boundsHoldEveryCorner = true;
        for (const vxVertice& t : triangles)
            for (const vxVector* v : {&t.v1(), &t.v2(), &t.v3()}) {
                boundsCache.add(v->x(), v->y(), v->z());
                boundsHoldEveryCorner = boundsHoldEveryCorner && std::isfinite(v->x()) &&
                                        std::isfinite(v->y()) && std::isfinite(v->z());
            }
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

void vxBaseSceneObject::initNewBaseSceneObject()
{
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

void vxBaseSceneObject::renderObject(std::int32_t name)
{
    if (m_visible == 0)
        return;
    if (m_mesh && !m_mesh->triangles.empty())
        m_mesh->compileGeometry();

    float matrix[16];
    m_localMatrix.toArray(matrix);
    glPushMatrix();
    glMultMatrixf(matrix);
    applyMaterial();

    // One name load per object: a pick reports one hit record per object
    // (with the nearest depth of its triangles) rather than one per triangle.
    if (m_mesh && !m_mesh->triangles.empty() && m_mesh->geometryList != 0) {
        glLoadName(static_cast<GLuint>(name));
        glCallList(m_mesh->geometryList);
    }
    glPopMatrix();
}

void vxBaseSceneObject::applyMaterial() const
{
    const float ambient[4] = {m_colorAmbient.x(), m_colorAmbient.y(), m_colorAmbient.z(), m_colorAmbient.w()};
    const float magenta[4] = {1.0f, 0.0f, 1.0f, 1.0f};
    const float diffuse[4] = {m_colorDiffuse.x(), m_colorDiffuse.y(), m_colorDiffuse.z(), m_colorDiffuse.w()};
    const float emission[4] = {m_colorEmission.x(), m_colorEmission.y(), m_colorEmission.z(),
                               m_colorEmission.w()};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m_selectedBauteil ? magenta : diffuse);
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
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

bool vxBaseSceneObject::outsideClipVolume(const double clip[16], double widen) const
{
    if (!m_mesh || m_mesh->triangles.empty())
        return true;
    const vxBounds& box = m_mesh->bounds();
    if (box.empty || !m_mesh->boundsHoldEveryCorner)
        return false; // corners that are not finite: never left out
    const float low[3] = {box.min.x(), box.min.y(), box.min.z()};
    const float high[3] = {box.max.x(), box.max.y(), box.max.z()};
    float placement[16];
    m_localMatrix.toArray(placement);
    // Rows x, y, z, w of clip * placement as affine functions of a mesh
    // point: row[r][0..2] the factors of x, y, z, row[r][3] the constant.
    double row[4][4];
    for (int r = 0; r < 4; ++r)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += clip[4 * k + r] * static_cast<double>(placement[4 * j + k]);
            row[r][j] = sum;
        }
    double centre[3], half[3];
    for (int k = 0; k < 3; ++k) {
        centre[k] = (static_cast<double>(low[k]) + high[k]) / 2.0;
        half[k] = (static_cast<double>(high[k]) - low[k]) / 2.0;
    }
    // Inside the widened volume, sign.(x, y or z) + widen.w >= 0 for each
    // of the six planes; the box is outside when the largest value of one
    // of these functions over the box is below 0.
    struct Plane {
        int row;
        double sign, widen;
    };
    const double depth = 1.001;
    const Plane planes[6] = {{0, 1, widen},  {0, -1, widen}, {1, 1, widen},
                             {1, -1, widen}, {2, 1, depth},  {2, -1, depth}};
    for (const Plane& p : planes) {
        double largest = p.sign * row[p.row][3] + p.widen * row[3][3];
        for (int k = 0; k < 3; ++k) {
            const double g = p.sign * row[p.row][k] + p.widen * row[3][k];
            largest += g * centre[k] + std::fabs(g) * half[k];
        }
        if (largest < 0.0)
            return true;
    }
    return false;
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
