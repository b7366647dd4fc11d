#include "vxOpenGLView.h"
#include "vxVrmlWriter.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <bit>
#include <map>
#include <tuple>

namespace {

// Width / height of the backing size; an empty view still gets a usable
// projection (nothing is visible in it anyway).
double aspectOf(const vxSize& px)
{
    if (px.width > 0.0 && px.height > 0.0)
        return px.width / px.height;
    return 1.0;
}

void setMaterial(GLenum what, const vxVector& c)
{
    const float v[4] = {c.x(), c.y(), c.z(), c.w()};
    glMaterialfv(GL_FRONT, what, v);
}

// Meshes read during one load, by part type and offsets, so that parts of
// the same type share one read and one geometry list.
using MeshKey = std::tuple<std::string, std::uint32_t, std::uint32_t, std::uint32_t>;

MeshKey meshKey(const std::string& name, float x, float y, float z)
{
    return {name, std::bit_cast<std::uint32_t>(x), std::bit_cast<std::uint32_t>(y),
            std::bit_cast<std::uint32_t>(z)};
}

} // namespace

vxOpenGLView::vxOpenGLView(vxViewHost& host) : m_host(host)
{
    setClock(nullptr);
    // The same values as awakeFromNib, so that a view is usable before the
    // window side has finished setting it up. No GL and no host calls here.
    initFields();
}

vxOpenGLView::~vxOpenGLView()
{
    // The context may be gone already; its lists go with it.
    if (m_contextId != 0)
        vxGLResources::forgetContext(m_contextId);
}

void vxOpenGLView::initFields()
{
    m_paintOldWhite = false;
    m_workMode = vxWorkMode::kNavigate;
    m_model = std::make_shared<vxModel>();
    m_sceneObjectList.clear();
    m_tubeObjects.clear();
    m_showTubes = false;
    m_sceneBox.reset();
    m_objectBoxes.reset();
    m_backgroundColor = vxVector();
    m_backgroundColor.setVector3f(0.92f, 0.91f, 0.85f);
    m_gridColor = vxVector();
    m_gridColor.setVector3f(0.5f, 0.5f, 0.5f);
    m_gridVisible = 1;
    m_displayList = 0;
    m_cameraPosition = vxVector(0.0f, 1.0f, -10.0f);
    m_cameraTarget = vxVector(0.0f, 0.0f, 0.0f);
    m_cameraUp = vxVector(0.0f, 1.0f, 0.0f);
    m_homePosition = m_cameraPosition;
    m_homeTarget = m_cameraTarget;
    m_homeUp = m_cameraUp;
    m_transition = Transition();
    m_panning = false;
    m_shownBauphase = 1;
    discardGrid();
    m_lastMousePoint = vxPoint{};
    m_highlight.clearMarked();
}

void vxOpenGLView::makeContextCurrent()
{
    m_host.makeCurrent();
    vxGLResources::setCurrentContext(m_contextId);
}

void vxOpenGLView::prepare()
{
    // A new context: lists booked under the old id are not used again.
    if (m_contextId != 0)
        vxGLResources::forgetContext(m_contextId);
    m_contextId = vxGLResources::newContextId();
    makeContextCurrent();

    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glEnable(GL_LIGHT0);
    const float material[4] = {1.0f, 0.1f, 0.1f, 0.1f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, material);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, material);
}

void vxOpenGLView::awakeFromNib()
{
    // The part panel belongs to the window side, which hands it over with
    // setPartPanelController; everything else starts afresh.
    initFields();
    set3DGridVisible(1);
}

void vxOpenGLView::reshape()
{
    makeContextCurrent();
    const vxSize px = m_host.boundsInPixels();
    glViewport(0, 0, static_cast<GLsizei>(px.width), static_cast<GLsizei>(px.height));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    applyProjection(aspectOf(px));
}

void vxOpenGLView::drawRect()
{
    makeContextCurrent();
    const double began = m_clock();
    stepCameraTransition();
    const vxSize px = m_host.boundsInPixels();

    glClearColor(m_backgroundColor.x(), m_backgroundColor.y(), m_backgroundColor.z(), 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    applyProjection(aspectOf(px));

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(m_cameraPosition.x(), m_cameraPosition.y(), m_cameraPosition.z(), m_cameraTarget.x(),
              m_cameraTarget.y(), m_cameraTarget.z(), 0.0, 1.0, 0.0);

    // A directional light from the camera's side, set anew every draw.
    const float light[4] = {m_cameraPosition.x(), m_cameraPosition.y(), m_cameraPosition.z(), 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);

    if (m_displayList == 0) {
        // The scene or its look changed. Objects keep no drawing of their
        // own (each draw issues their state), so only the grid is compiled
        // afresh.
        discardGrid();
        m_displayList = 1;
    }
    // Lists discarded since the last draw (the grid, the meshes of a
    // replaced scene) are deleted here, in the context that made them.
    vxGLResources::deleteQueuedLists(m_contextId);

    drawScene(); // the grid and every scene object, in the frame's style
    if (m_showTubes)
        drawTubes(); // in either style
    m_highlight.drawOver(*this);

    glFinish();
    m_lastFrameSeconds = m_clock() - began;
}

void vxOpenGLView::discardGrid()
{
    vxGLResources::releaseList(m_gridDisplayListContext, static_cast<std::uint32_t>(m_gridDisplayList));
    m_gridDisplayList = 0;
    m_gridDisplayListContext = 0;
}

void vxOpenGLView::renderGrid()
{
    if (m_gridVisible != 1)
        return;
    const vxGLResources::ContextId ctx = vxGLResources::currentContext();
    if (m_gridDisplayList != 0) {
        if (m_gridDisplayListContext == ctx) {
            glCallList(static_cast<GLuint>(m_gridDisplayList));
            return;
        }
        discardGrid();
    }
    const std::uint32_t list = vxGLResources::newList();
    if (list != 0) {
        m_gridDisplayList = static_cast<std::int32_t>(list);
        m_gridDisplayListContext = ctx;
        glNewList(list, GL_COMPILE_AND_EXECUTE);
    }
    // Unlit lines in the grid colour: no ambient or diffuse, all emission.
    setMaterial(GL_AMBIENT, vxVector());
    setMaterial(GL_DIFFUSE, vxVector());
    setMaterial(GL_EMISSION, m_gridColor);
    auto segment = [](float x1, float z1, float x2, float z2) {
        glBegin(GL_LINES);
        glVertex3f(x1, 0.0f, z1);
        glVertex3f(x2, 0.0f, z2);
        glEnd();
    };
    for (int k = 0; k <= 10; ++k) {
        const auto f = static_cast<float>(k);
        segment(f, -10.0f, f, 10.0f);
        segment(-f, -10.0f, -f, 10.0f);
        segment(-10.0f, f, 10.0f, f);
        segment(-10.0f, -f, 10.0f, -f);
    }
    if (list != 0)
        glEndList();
}

void vxOpenGLView::set3DGridColor(float r, float g, float b)
{
    m_gridColor = vxVector(r, g, b, 1.0f);
    m_displayList = 0;
    m_host.setNeedsDisplay();
}

void vxOpenGLView::set3DGridVisible(std::uint8_t flag)
{
    m_gridVisible = flag;
    m_displayList = 0;
    m_host.setNeedsDisplay();
}

void vxOpenGLView::toggle3DGridVisible()
{
    m_gridVisible = m_gridVisible == 0 ? 1 : 0;
    m_displayList = 0;
    m_host.setNeedsDisplay();
}

void vxOpenGLView::set3DBackgroundColor(float r, float g, float b)
{
    m_backgroundColor = vxVector(r, g, b, 1.0f);
    m_host.setNeedsDisplay();
}

vxLoadResult vxOpenGLView::loadModelFromFile(const std::string& path)
{
    // The model keeps its content when the file cannot be read; the scene
    // and the camera then stay as they are too.
    m_model->setProgressCallback(m_loadProgress);
    vxLoadResult result = m_model->loadModelFromFile(path);
    if (!result)
        return result;

    // Dropping the old objects queues their lists for deletion.
    m_sceneObjectList.clear();
    m_tubeObjects.clear();
    m_sceneBox.reset();
    m_objectBoxes.reset();
    m_movingSpheres.clear();

    m_cameraPosition.setVector3f(m_model->cameraPosition());
    m_cameraUp.setVector3f(m_model->cameraUp());
    m_cameraTarget.setVector3f(m_model->cameraTarget());
    m_homePosition = m_cameraPosition;
    m_homeTarget = m_cameraTarget;
    m_homeUp = m_cameraUp;
    m_transition = Transition();
    m_shownBauphase = m_model->maximumBauphase();

    const std::int32_t n = m_model->count();
    const std::int32_t t = m_model->tubeCount();
    m_sceneObjectList.reserve(static_cast<std::size_t>(std::max(n, 0)) +
                              static_cast<std::size_t>(std::max(t, 0)));

    std::map<MeshKey, std::shared_ptr<vxSharedMesh>> meshes; // this load only
    auto& parts = m_model->partList();
    for (std::int32_t i = 0; i < n && static_cast<std::size_t>(i) < parts.size(); ++i) {
        vxPart& part = *parts[static_cast<std::size_t>(i)];
        auto object = std::make_shared<vxBaseSceneObject>();
        const vxDefinition& def = part.definition();
        const MeshKey key = meshKey(part.shortName(), def.m_OffsetX, def.m_OffsetY, def.m_OffsetZ);
        auto cached = meshes.find(key);
        if (cached != meshes.end()) {
            object->setSharedMesh(cached->second);
        } else {
            object->loadSTLFromFile(part.shortName(), def.m_OffsetX, def.m_OffsetY, def.m_OffsetZ);
            if (m_simplifyWhileMoving && object->sharedMesh())
                object->sharedMesh()->drawings.makeSimplified(object->sharedMesh()->triangles);
            meshes.emplace(key, object->sharedMesh());
        }
        object->colorDiffuse().setVector3f(part.color());
        object->position().setVector3f(part.position());
        object->up().setVector3f(part.up());
        object->direction().setVector3f(part.direction());
        object->rebuildMatrix();
        part.setBaseSceneObject(object);
        m_sceneObjectList.push_back(std::move(object));
    }

    auto& tubes = m_model->tubeList();
    for (std::int32_t j = 0; j < t && static_cast<std::size_t>(j) < tubes.size(); ++j) {
        const vxTube& tube = *tubes[static_cast<std::size_t>(j)];
        auto object = std::make_shared<vxTubeSceneObject>();
        object->makeVertexFromTube(tube);
        object->setTube(tubes[static_cast<std::size_t>(j)]);
        object->colorDiffuse().setVector3f(tube.color());
        object->rebuildMatrix();
        m_tubeObjects.push_back(object);
        m_sceneObjectList.push_back(std::move(object));
    }

    // A file camera that shows nothing (none given: the eye on the target;
    // or straight above or below it, where the picture has no up) gives way
    // to the model fitted in the three-quarter view, which Reset returns to.
    if (!cameraShowsAnything(m_cameraPosition, m_cameraTarget)) {
        const std::vector<vxBounds> boxes = visibleBoxes();
        if (!boxes.empty()) {
            setCameraPose(fittedCamera(boxes, standardViewDirection(vxStandardView::kIso)));
            m_homePosition = m_cameraPosition;
            m_homeTarget = m_cameraTarget;
        }
    }

    vxLoadFindings::addMeshFindings(*m_model, result.findings);
    m_highlight.clearMarked();
    m_displayList = 0;
    m_host.setNeedsDisplay();
    return result;
}

vxWriteResult vxOpenGLView::exportAsVRML(const std::string& path) const
{
    return vxExportModel(exportSource(), path, vxExportFormat::kVrml);
}

std::string vxOpenGLView::vrmlText() const
{
    return vxVrml::text(exportSource());
}
