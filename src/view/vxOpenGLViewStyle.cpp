// The view's drawing styles (Classic, Outlined) and the frames it draws
// while the camera moves.
#define GL_GLEXT_PROTOTYPES
#include "vxLens.h"
#include "vxOpenGLView.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <numbers>

namespace {

// The lines of the Outlined style: the part's colour, darkened (so that the
// many lines of small parts seen from afar darken them rather than blacken
// them); on parts too dark for that, a grey a little lighter than the part.
constexpr float kLineShade = 0.3f;
constexpr float kDarkPart = 0.15f; // luminance
constexpr float kDarkPartLine = 0.3f;
// Lines are at most 16 pixels wide: a part this many pixels outside the
// picture leaves no pixel in it.
constexpr double kCullMargin = 24.0;

void setLineColour(const vxBaseSceneObject& object)
{
    if (object.selectedBauteil()) {
        glColor3f(kLineShade, 0.0f, kLineShade); // magenta, as the faces
        return;
    }
    const vxVector& c = object.colorDiffuse();
    const float luminance = 0.3f * c.x() + 0.59f * c.y() + 0.11f * c.z();
    if (luminance < kDarkPart)
        glColor3f(c.x() + kDarkPartLine, c.y() + kDarkPartLine, c.z() + kDarkPartLine);
    else
        glColor3f(c.x() * kLineShade, c.y() * kLineShade, c.z() * kLineShade);
}

// Draws the smooth-edge lines that lie on a silhouette: an edge lies on it
// when one of its two faces turns towards the eye and the other away. The
// test is made at the edge's middle, so that both ends agree; other edges
// are moved outside the clip volume and vanish.
const char* kSilhouetteVertexShader = R"(#version 120
uniform float orthographic;
void main()
{
    vec3 middle = (gl_ModelViewMatrix * vec4(gl_MultiTexCoord1.xyz, 1.0)).xyz;
    vec3 toEye = orthographic > 0.5 ? vec3(0.0, 0.0, 1.0) : -middle;
    float a = dot(gl_NormalMatrix * gl_Normal, toEye);
    float b = dot(gl_NormalMatrix * gl_MultiTexCoord0.xyz, toEye);
    gl_FrontColor = gl_Color;
    gl_Position = (a > 0.0) != (b > 0.0) ? ftransform() : vec4(2.0, 2.0, 2.0, 1.0);
}
)";

const char* kSilhouetteFragmentShader = R"(#version 120
void main()
{
    gl_FragColor = gl_Color;
}
)";

GLuint compileShader(GLenum kind, const char* source)
{
    const GLuint shader = glCreateShader(kind);
    if (shader == 0)
        return 0;
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// Pushes the object's placement; false (nothing pushed) when the object
// draws nothing.
bool beginObject(vxBaseSceneObject& object)
{
    const auto& mesh = object.sharedMesh();
    if (object.visible() == 0 || !mesh || mesh->triangles.empty())
        return false;
    float matrix[16];
    object.localMatrix().toArray(matrix);
    glPushMatrix();
    glMultMatrixf(matrix);
    return true;
}

// The triangles a frame draws of an object, with their drawings: the
// mesh's own (level kFullMesh), or a simplified version (the mesh's own when
// no simplified triangles are there).
struct Shape {
    vxMeshDrawings* drawings;
    const std::vector<vxVertice>* triangles;
};

Shape shapeOf(vxBaseSceneObject& object, int level)
{
    vxSharedMesh& mesh = *object.sharedMesh();
    if (level != vxOpenGLView::kFullMesh) {
        mesh.drawings.makeSimplified(mesh.triangles);
        if (!mesh.drawings.simplified(level).empty())
            return {&mesh.drawings.simplifiedDrawings(level), &mesh.drawings.simplified(level)};
    }
    return {&mesh.drawings, &mesh.triangles};
}

} // namespace

void vxOpenGLView::setDrawStyle(vxDrawStyle style)
{
    m_drawStyle = style;
    m_host.setNeedsDisplay();
}

void vxOpenGLView::noteCameraMotion()
{
    m_lastMotion = m_clock();
}

bool vxOpenGLView::movingFrameDue()
{
    if (m_movingFrameForced)
        return true;
    if (!m_simplifyWhileMoving)
        return false;
    const double since = m_clock() - m_lastMotion;
    if (!(since >= 0.0 && since < kStillSeconds))
        return false;
    // The full frame once the camera has rested.
    m_host.setNeedsDisplayAfter(kStillSeconds - since);
    return true;
}

void vxOpenGLView::drawScene()
{
    if (m_transition.active)
        noteCameraMotion();
    m_frameMoving = movingFrameDue();
    const bool outlined = m_drawStyle == vxDrawStyle::kOutlined;
    // Classic draws one sample per pixel even where the framebuffer has more.
    if (outlined)
        glEnable(GL_MULTISAMPLE);
    else
        glDisable(GL_MULTISAMPLE);
    renderGrid();
    if (!outlined && !m_frameMoving) {
        const auto n = static_cast<std::int32_t>(m_sceneObjectList.size());
        for (std::int32_t i = 0; i < n; ++i)
            m_sceneObjectList[static_cast<std::size_t>(i)]->renderObject(i);
        return;
    }
    std::vector<Drawn> objects;
    if (m_frameMoving) {
        objects = movingFrameObjects();
    } else {
        // Parts whose box lies wholly outside the picture give it no pixel,
        // not even with their widest lines (the volume is widened by
        // kCullMargin pixels on every side): left out, the frame is the same.
        const vxSize px = m_host.boundsInPixels();
        const double widen = 1.0 + 2.0 * kCullMargin / std::max(1.0, std::min(px.width, px.height));
        double modelview[16], clip[16];
        currentClipMatrix(clip, modelview);
        objects.reserve(m_sceneObjectList.size());
        for (const auto& object : m_sceneObjectList)
            if (!object->outsideClipVolume(clip, widen))
                objects.push_back({object.get(), kFullMesh});
    }
    if (!outlined) {
        for (const Drawn& d : objects)
            drawSimplifiedObject(*d.object, d.level);
        return;
    }
    // Faces first, all of them, so that the lines find the depth of every
    // nearer part; then the lines.
    for (const Drawn& d : objects)
        drawOutlinedObject(*d.object, d.level);
    drawOutlineLines(objects);
}

void vxOpenGLView::drawOutlineLines(const std::vector<Drawn>& objects)
{
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT);
    prepareOutlineLines();
    auto drawEach = [&objects](std::uint32_t (vxMeshDrawings::*lines)(const std::vector<vxVertice>&)) {
        for (const Drawn& d : objects) {
            if (!beginObject(*d.object))
                continue;
            const Shape shape = shapeOf(*d.object, d.level);
            setLineColour(*d.object);
            if (const std::uint32_t list = (shape.drawings->*lines)(*shape.triangles))
                glCallList(list);
            glPopMatrix();
        }
    };
    drawEach(&vxMeshDrawings::creaseList);
    if (useSilhouetteProgram()) {
        drawEach(&vxMeshDrawings::silhouetteList);
        glUseProgram(0);
    }
    glPopAttrib();
}

void vxOpenGLView::prepareOutlineLines()
{
    glDisable(GL_LIGHTING);
    glDepthFunc(GL_LEQUAL);
    // About a pixel at the view's scale: wider in pictures drawn larger than
    // the view's points.
    const vxSize points = m_host.boundsInPoints();
    const vxSize pixels = m_host.boundsInPixels();
    const double scale = points.height > 0.0 ? pixels.height / points.height : 1.0;
    glLineWidth(static_cast<float>(std::clamp(1.25 * scale, 1.0, 8.0)));
}

void vxOpenGLView::drawOutlinedObject(vxBaseSceneObject& object, int level)
{
    if (!beginObject(object))
        return;
    object.applyMaterial();
    const Shape shape = shapeOf(object, level);
    // The faces a little further back than their own lines.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    if (const std::uint32_t list = shape.drawings->smoothList(*shape.triangles))
        glCallList(list);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPopMatrix();
}

void vxOpenGLView::drawSimplifiedObject(vxBaseSceneObject& object, int level)
{
    if (!beginObject(object))
        return;
    object.applyMaterial();
    auto& mesh = *object.sharedMesh();
    std::uint32_t list = mesh.drawings.simplifiedList(mesh.triangles, level);
    if (list == 0) {
        mesh.compileGeometry();
        list = mesh.geometryList;
    }
    if (list != 0)
        glCallList(list);
    glPopMatrix();
}

bool vxOpenGLView::useSilhouetteProgram()
{
    const vxGLResources::ContextId ctx = vxGLResources::currentContext();
    if (m_silhouetteProgramContext != ctx) {
        // A new context: its program is made once (0 when the driver has no
        // shaders; the silhouettes of curved parts are then left out).
        m_silhouetteProgramContext = ctx;
        m_silhouetteProgram = 0;
        const GLuint vertex = compileShader(GL_VERTEX_SHADER, kSilhouetteVertexShader);
        const GLuint fragment = compileShader(GL_FRAGMENT_SHADER, kSilhouetteFragmentShader);
        if (vertex != 0 && fragment != 0) {
            const GLuint program = glCreateProgram();
            glAttachShader(program, vertex);
            glAttachShader(program, fragment);
            glLinkProgram(program);
            GLint ok = GL_FALSE;
            glGetProgramiv(program, GL_LINK_STATUS, &ok);
            if (ok == GL_TRUE) {
                m_silhouetteProgram = program;
                m_silhouetteOrthographic = glGetUniformLocation(program, "orthographic");
            } else {
                glDeleteProgram(program);
            }
        }
        if (vertex != 0)
            glDeleteShader(vertex);
        if (fragment != 0)
            glDeleteShader(fragment);
    }
    if (m_silhouetteProgram == 0)
        return false;
    glUseProgram(m_silhouetteProgram);
    glUniform1f(m_silhouetteOrthographic, m_orthographic ? 1.0f : 0.0f);
    return true;
}

std::vector<vxOpenGLView::Drawn> vxOpenGLView::movingFrameObjects()
{
    // What a part covers on screen: its placed box's sphere, in pixels per
    // model unit at depth 1 (perspective) or at any depth (orthographic).
    const vxSize px = m_host.boundsInPixels();
    const double perUnit =
        m_orthographic ? px.height / (2.0 * orthographicHalfHeight())
                       : px.height / (2.0 * std::tan(vxLens::kFieldOfView * std::numbers::pi / 360.0));
    double modelview[16], clip[16];
    currentClipMatrix(clip, modelview);
    // The depth of a model point: the third row of the model-view matrix.
    auto depthOf = [&modelview](const vxVector& p) {
        return -(modelview[2] * p.x() + modelview[6] * p.y() + modelview[10] * p.z() + modelview[14]);
    };

    if (m_movingSpheres.size() != m_sceneObjectList.size()) {
        m_movingSpheres.clear();
        m_movingSpheres.reserve(m_sceneObjectList.size());
        for (const auto& object : m_sceneObjectList) {
            const vxBounds box = object->worldBounds();
            Sphere s;
            if (!box.empty) {
                s.centre = box.centre();
                const double dx = box.max.x() - box.min.x(), dy = box.max.y() - box.min.y(),
                             dz = box.max.z() - box.min.z();
                s.radius = std::sqrt(dx * dx + dy * dy + dz * dz) / 2.0;
            }
            m_movingSpheres.push_back(s);
        }
    }

    std::vector<Drawn> objects;
    objects.reserve(m_sceneObjectList.size());
    m_frameLevels.assign(m_sceneObjectList.size(), kLeftOut);
    for (std::size_t i = 0; i < m_sceneObjectList.size(); ++i) {
        vxBaseSceneObject& object = *m_sceneObjectList[i];
        if (object.visible() == 0 || object.outsideClipVolume(clip, 1.0))
            continue;
        const Sphere& s = m_movingSpheres[i];
        int level = 0;
        if (std::isfinite(s.radius)) {
            const double depth = depthOf(s.centre);
            if (m_orthographic || depth > s.radius) {
                const double across = 2.0 * s.radius * perUnit / (m_orthographic ? 1.0 : depth);
                if (across < kSmallestPixels)
                    continue;
                // The coarse level where its deviation stays within a pixel.
                if (across * vxMeshDrawings::kLevelError[1] <= 1.0)
                    level = 1;
            }
        }
        m_frameLevels[i] = static_cast<std::int8_t>(level);
        objects.push_back({&object, level});
    }
    return objects;
}

void vxOpenGLView::drawObject(vxBaseSceneObject& object, std::int32_t name)
{
    int level = kFullMesh;
    if (m_frameMoving) {
        // As the frame drew it, or not at all when the frame left it out.
        const auto i = static_cast<std::size_t>(name);
        level = name >= 0 && i < m_frameLevels.size() && m_sceneObjectList[i].get() == &object
                    ? m_frameLevels[i]
                    : 0;
        if (level == kLeftOut)
            return;
    }
    if (m_drawStyle == vxDrawStyle::kOutlined) {
        drawOutlinedObject(object, level);
        drawOutlineLines({{&object, level}});
    } else if (m_frameMoving) {
        drawSimplifiedObject(object, level);
    } else {
        object.renderObject(name);
    }
}
