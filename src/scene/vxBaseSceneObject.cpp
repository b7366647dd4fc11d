#include "vxBaseSceneObject.h"

#include "vxModel.h"
#include "vxResources.h"
#include "vxTextFile.h"

#include <GL/gl.h>

#include <bit>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kHeaderSize = 80;
constexpr std::size_t kFirstRecord = 84;
constexpr std::size_t kRecordSize = 50;

std::uint32_t readUint32LE(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

float readFloatLE(const unsigned char* p)
{
    return std::bit_cast<float>(readUint32LE(p));
}

// The file's value plus the offset, then divided by ten.
float corner(float value, float offset)
{
    return static_cast<float>(static_cast<double>(value + offset) / 10.0);
}

const std::vector<vxVertice>& emptyTriangles()
{
    static const std::vector<vxVertice> empty;
    return empty;
}

} // namespace

std::size_t vxAppendSTLTriangles(std::string_view data, float offsetX, float offsetY, float offsetZ,
                                 std::vector<vxVertice>& out)
{
    if (data.size() < kFirstRecord)
        return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::uint64_t declared = readUint32LE(bytes + kHeaderSize);
    const std::uint64_t present = (data.size() - kFirstRecord) / kRecordSize;
    const std::size_t count = static_cast<std::size_t>(declared < present ? declared : present);
    out.reserve(out.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* r = bytes + kFirstRecord + kRecordSize * i;
        vxVertice t;
        const vxVector normal(readFloatLE(r), readFloatLE(r + 4), readFloatLE(r + 8), 0.0f);
        t.n1() = normal;
        t.n2() = normal;
        t.n3() = normal;
        vxVector* corners[3] = {&t.v1(), &t.v2(), &t.v3()};
        for (int c = 0; c < 3; ++c) {
            const unsigned char* p = r + 12 + 12 * c;
            corners[c]->setVector3f(corner(readFloatLE(p), offsetX), corner(readFloatLE(p + 4), offsetY),
                                    corner(readFloatLE(p + 8), offsetZ));
        }
        out.push_back(t);
    }
    return count;
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
    if (!file.ok || file.data.size() < kFirstRecord)
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
