// How many pixels each part covers in a picture: every part drawn in its own
// flat colour, into a framebuffer of the view's own, then counted.
#define GL_GLEXT_PROTOTYPES
#include "vxOpenGLView.h"
#include "vxPartsList.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <optional>

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

// The projection and model-view matrices and the matrix mode, kept while
// it lives.
class KeptMatrices {
  public:
    KeptMatrices()
    {
        glGetIntegerv(GL_MATRIX_MODE, &m_mode);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
    }
    ~KeptMatrices()
    {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(static_cast<GLenum>(m_mode));
    }
    KeptMatrices(const KeptMatrices&) = delete;
    KeptMatrices& operator=(const KeptMatrices&) = delete;

  private:
    GLint m_mode = GL_MODELVIEW;
};

// A rectangle of a picture's pixels, from its lower left corner.
struct Region {
    int x = 0, y = 0, width = 0, height = 0;
};

std::optional<Region> unite(const std::optional<Region>& a, const Region& b)
{
    if (!a)
        return b;
    const int x0 = std::min(a->x, b.x), y0 = std::min(a->y, b.y);
    const int x1 = std::max(a->x + a->width, b.x + b.width), y1 = std::max(a->y + a->height, b.y + b.height);
    return Region{x0, y0, x1 - x0, y1 - y0};
}

// The pixels of a width x height picture that an object's placed box may
// cover, a pixel more all round; the whole picture where the box reaches
// behind the eye.
Region pixelsCovered(const vxBaseSceneObject& object, const double clip[16], int width, int height)
{
    const Region whole{0, 0, width, height};
    const vxBounds& box = object.sharedMesh()->bounds();
    if (box.empty || !object.sharedMesh()->boundsHoldEveryCorner)
        return whole;
    float placement[16];
    object.localMatrix().toArray(placement);
    double low[2] = {1e300, 1e300}, high[2] = {-1e300, -1e300};
    for (int corner = 0; corner < 8; ++corner) {
        const double local[4] = {(corner & 1) ? box.max.x() : box.min.x(),
                                 (corner & 2) ? box.max.y() : box.min.y(),
                                 (corner & 4) ? box.max.z() : box.min.z(), 1.0};
        double world[4], c[4];
        for (int r = 0; r < 4; ++r) {
            world[r] = 0;
            for (int k = 0; k < 4; ++k)
                world[r] += static_cast<double>(placement[4 * k + r]) * local[k];
        }
        for (int r = 0; r < 4; ++r) {
            c[r] = 0;
            for (int k = 0; k < 4; ++k)
                c[r] += clip[4 * k + r] * world[k];
        }
        if (!(c[3] > 1e-9))
            return whole;
        for (int a = 0; a < 2; ++a) {
            low[a] = std::min(low[a], c[a] / c[3]);
            high[a] = std::max(high[a], c[a] / c[3]);
        }
    }
    const double size[2] = {static_cast<double>(width), static_cast<double>(height)};
    int from[2], to[2];
    for (int a = 0; a < 2; ++a) {
        from[a] = static_cast<int>(std::clamp(std::floor((low[a] + 1) / 2 * size[a]) - 1, 0.0, size[a]));
        to[a] = static_cast<int>(std::clamp(std::ceil((high[a] + 1) / 2 * size[a]) + 1, 0.0, size[a]));
    }
    return Region{from[0], from[1], std::max(0, to[0] - from[0]), std::max(0, to[1] - from[1])};
}

} // namespace

std::vector<std::uint32_t> vxOpenGLView::partPixelCounts(int width, int height, bool shownPhaseOnly,
                                                         const std::vector<std::size_t>* only, bool exact)
{
    const auto& parts = m_model->partList();
    const std::size_t n = std::min(parts.size(), static_cast<std::size_t>(std::max(m_model->count(), 0)));
    std::vector<std::uint32_t> counts(n, 0);
    if (width <= 0 || height <= 0 || n == 0 || n >= (1u << 24) - 1)
        return counts;
    makeContextCurrent();
    auto drawn = [&](std::size_t i) {
        const vxBaseSceneObject* object = parts[i]->baseSceneObject().get();
        return object && object->visible() != 0 && object->sharedMesh() &&
               !object->sharedMesh()->triangles.empty() &&
               !(shownPhaseOnly && vxBuildingStepOf(*parts[i]) != m_shownBauphase);
    };

    // The camera of the whole picture; the view's matrices are put back on
    // every way out.
    const KeptMatrices kept;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    applyProjection(static_cast<double>(width) / height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(m_cameraPosition.x(), m_cameraPosition.y(), m_cameraPosition.z(), m_cameraTarget.x(),
              m_cameraTarget.y(), m_cameraTarget.z(), 0.0, 1.0, 0.0);
    double clip[16], modelView[16];
    currentClipMatrix(clip, modelView);
    // Only some parts asked for: only the pixels their boxes cover are
    // drawn, and with them only the parts in front of those pixels.
    Region region{0, 0, width, height};
    if (only) {
        std::optional<Region> covered;
        for (const std::size_t i : *only) {
            if (i >= n || !drawn(i))
                continue;
            const Region r = pixelsCovered(*parts[i]->baseSceneObject(), clip, width, height);
            if (r.width > 0 && r.height > 0)
                covered = unite(covered, r);
        }
        if (!covered)
            return counts;
        region = *covered;
        // The region's pixels are the whole picture's: the same pixel
        // centres, so the same pixels are covered.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glTranslated((width - 2.0 * region.x - region.width) / region.width,
                     (height - 2.0 * region.y - region.height) / region.height, 0.0);
        glScaled(static_cast<double>(width) / region.width, static_cast<double>(height) / region.height, 1.0);
        applyProjection(static_cast<double>(width) / height);
        glMatrixMode(GL_MODELVIEW);
        currentClipMatrix(clip, modelView);
    }

    CountingFramebuffer framebuffer(region.width, region.height);
    if (!framebuffer.complete())
        return counts;
    // Every state this pass touches is put back, so that the view's next
    // picture is the one it would have drawn without it.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glViewport(0, 0, region.width, region.height);
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

    // Parts wholly outside the picture are not drawn.
    for (std::size_t i = 0; i < n; ++i) {
        if (!drawn(i))
            continue;
        vxBaseSceneObject* object = parts[i]->baseSceneObject().get();
        if (object->outsideClipVolume(clip, 1.0))
            continue;
        // Unless exact, the finer simplified version of the mesh where there
        // is one: it strays from the surface by a hundredth of the part's
        // size, which is a pixel or two of a long part seen close.
        vxSharedMesh& mesh = *object->sharedMesh();
        std::uint32_t list = 0;
        if (!exact) {
            mesh.drawings.makeSimplified(mesh.triangles);
            list = mesh.drawings.simplified(0).empty() ? 0 : mesh.drawings.simplifiedList(mesh.triangles, 0);
        }
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

    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(region.width) * region.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, region.width, region.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (std::size_t p = 0; p < pixels.size(); p += 4) {
        const std::uint32_t id = pixels[p] | (pixels[p + 1] << 8) | (pixels[p + 2] << 16);
        if (id != 0 && id <= n)
            ++counts[id - 1];
    }

    glPopClientAttrib();
    glPopAttrib();
    return counts;
}
