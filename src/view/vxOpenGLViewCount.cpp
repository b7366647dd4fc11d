// How many pixels each part covers in a picture: every part drawn in its own
// flat colour, into a framebuffer of the view's own, then counted.
#define GL_GLEXT_PROTOTYPES
#include "vxOpenGLView.h"
#include "vxPartsList.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>

namespace {

// A framebuffer with a colour and a depth buffer of the given size, bound
// while it lives; the framebuffer bound before is bound again at the end.
class CountingFramebuffer {
  public:
    CountingFramebuffer(int width, int height)
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &m_drawBefore);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &m_readBefore);
        glGetIntegerv(GL_RENDERBUFFER_BINDING, &m_renderbufferBefore);
        glGenFramebuffers(1, &m_fbo);
        glGenRenderbuffers(2, m_buffers);
        glBindFramebuffer(GL_FRAMEBUFFER, m_fbo);
        glBindRenderbuffer(GL_RENDERBUFFER, m_buffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_buffers[0]);
        glBindRenderbuffer(GL_RENDERBUFFER, m_buffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_buffers[1]);
        m_complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    ~CountingFramebuffer()
    {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(m_drawBefore));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(m_readBefore));
        glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(m_renderbufferBefore));
        glDeleteRenderbuffers(2, m_buffers);
        glDeleteFramebuffers(1, &m_fbo);
    }
    CountingFramebuffer(const CountingFramebuffer&) = delete;
    CountingFramebuffer& operator=(const CountingFramebuffer&) = delete;
    bool complete() const { return m_complete; }

  private:
    GLint m_drawBefore = 0, m_readBefore = 0, m_renderbufferBefore = 0;
    GLuint m_fbo = 0;
    GLuint m_buffers[2] = {0, 0};
    bool m_complete = false;
};

} // namespace

std::vector<std::uint32_t> vxOpenGLView::partPixelCounts(int width, int height, bool shownPhaseOnly)
{
    const auto& parts = m_model->partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(m_model->count(), 0)));
    std::vector<std::uint32_t> counts(n, 0);
    if (width <= 0 || height <= 0 || n == 0 || n >= (1u << 24) - 1)
        return counts;
    makeContextCurrent();
    CountingFramebuffer framebuffer(width, height);
    if (!framebuffer.complete())
        return counts;

    // Every state this pass touches is put back, so that the view's next
    // picture is the one it would have drawn without it.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_DITHER);
    glDisable(GL_MULTISAMPLE);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glShadeModel(GL_FLAT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f); // 0: no part
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    applyProjection(static_cast<double>(width) / height);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(m_cameraPosition.x(), m_cameraPosition.y(), m_cameraPosition.z(), m_cameraTarget.x(),
              m_cameraTarget.y(), m_cameraTarget.z(), 0.0, 1.0, 0.0);

    // Parts wholly outside the picture are not drawn.
    double clip[16], modelView[16];
    currentClipMatrix(clip, modelView);
    for (std::size_t i = 0; i < n; ++i) {
        const vxPart& part = *parts[i];
        vxBaseSceneObject* object = part.baseSceneObject().get();
        if (!object || object->visible() == 0 || !object->sharedMesh() ||
            object->sharedMesh()->triangles.empty())
            continue;
        if ((shownPhaseOnly && vxBuildingStepOf(part) != m_shownBauphase) ||
            object->outsideClipVolume(clip, 1.0))
            continue;
        // The finer simplified version of the mesh where there is one: it
        // strays from the surface by a hundredth of the part's size.
        vxSharedMesh& mesh = *object->sharedMesh();
        mesh.drawings.makeSimplified(mesh.triangles);
        std::uint32_t list =
            mesh.drawings.simplified(0).empty() ? 0 : mesh.drawings.simplifiedList(mesh.triangles, 0);
        if (list == 0) {
            mesh.compileGeometry();
            list = mesh.geometryList;
        }
        if (list == 0)
            continue;
        const std::uint32_t id = static_cast<std::uint32_t>(i) + 1;
        glColor3ub(static_cast<GLubyte>(id & 0xff), static_cast<GLubyte>((id >> 8) & 0xff),
                   static_cast<GLubyte>((id >> 16) & 0xff));
        float matrix[16];
        object->localMatrix().toArray(matrix);
        glPushMatrix();
        glMultMatrixf(matrix);
        glCallList(list);
        glPopMatrix();
    }

    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (std::size_t p = 0; p < pixels.size(); p += 4) {
        const std::uint32_t id = pixels[p] | (pixels[p + 1] << 8) | (pixels[p + 2] << 16);
        if (id != 0 && id <= n)
            ++counts[id - 1];
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    return counts;
}
