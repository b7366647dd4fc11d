#include "vxOffscreenHost.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

namespace {

// One EGL display for all hosts of the process. It is initialised once and
// never terminated: terminating unloads the driver, and hosts come and go
// (tests, pictures) faster than the driver loads.
struct SharedDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
};

SharedDisplay& sharedDisplay()
{
    static SharedDisplay d;
    return d;
}

std::string eglErrorText(const char* what)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, " (EGL error 0x%04x)", static_cast<unsigned>(eglGetError()));
    return std::string(what) + buf;
}

} // namespace

struct vxOffscreenHost::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;

    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    template <typename F> bool load(F& f, const char* name)
    {
        f = reinterpret_cast<F>(eglGetProcAddress(name));
        return f != nullptr;
    }
};

vxOffscreenHost::vxOffscreenHost(int pixelWidth, int pixelHeight, double devicePixelRatio)
    : m_egl(std::make_unique<Egl>())
{
    setDevicePixelRatio(devicePixelRatio);
    Egl& e = *m_egl;

    SharedDisplay& shared = sharedDisplay();
    if (shared.display == EGL_NO_DISPLAY) {
        EGLDisplay d = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d == EGL_NO_DISPLAY) {
            m_error = eglErrorText("no surfaceless EGL display");
            return;
        }
        if (!eglInitialize(d, nullptr, nullptr)) {
            m_error = eglErrorText("cannot initialise EGL");
            return;
        }
        shared.display = d;
    }
    e.display = shared.display;

    if (!eglBindAPI(EGL_OPENGL_API)) {
        m_error = eglErrorText("EGL has no desktop OpenGL");
        return;
    }
    const EGLint configAttribs[] = {EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_ALPHA_SIZE,
                                    8,
                                    EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(e.display, configAttribs, &config, 1, &configs) || configs < 1)
        config = nullptr; // surfaceless contexts may do without (EGL_KHR_no_config_context)
    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    e.context = eglCreateContext(e.display, config, EGL_NO_CONTEXT, contextAttribs);
    if (e.context == EGL_NO_CONTEXT) {
        m_error = eglErrorText("cannot create an OpenGL compatibility context");
        return;
    }
    if (!eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, e.context)) {
        m_error = eglErrorText("cannot make the OpenGL context current");
        return;
    }
    if (!e.load(e.genFramebuffers, "glGenFramebuffers") ||
        !e.load(e.deleteFramebuffers, "glDeleteFramebuffers") ||
        !e.load(e.bindFramebuffer, "glBindFramebuffer") ||
        !e.load(e.genRenderbuffers, "glGenRenderbuffers") ||
        !e.load(e.deleteRenderbuffers, "glDeleteRenderbuffers") ||
        !e.load(e.bindRenderbuffer, "glBindRenderbuffer") ||
        !e.load(e.renderbufferStorage, "glRenderbufferStorage") ||
        !e.load(e.framebufferRenderbuffer, "glFramebufferRenderbuffer") ||
        !e.load(e.checkFramebufferStatus, "glCheckFramebufferStatus")) {
        m_error = "the OpenGL driver has no framebuffer objects";
        return;
    }
    // Multisampling is optional (setSamples).
    e.load(e.renderbufferStorageMultisample, "glRenderbufferStorageMultisample");
    e.load(e.blitFramebuffer, "glBlitFramebuffer");
    m_ok = true;
    if (!resize(pixelWidth, pixelHeight))
        m_ok = false;
}

vxOffscreenHost::~vxOffscreenHost()
{
    Egl& e = *m_egl;
    if (e.context != EGL_NO_CONTEXT) {
        if (eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, e.context))
            destroyFramebuffer();
        eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(e.display, e.context);
    }
}

bool vxOffscreenHost::createFramebuffer()
{
    Egl& e = *m_egl;
    e.genFramebuffers(1, &m_fbo);
    e.bindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    auto storage = [&](GLenum format) {
        if (m_samples > 0)
            e.renderbufferStorageMultisample(GL_RENDERBUFFER, m_samples, format, m_width, m_height);
        else
            e.renderbufferStorage(GL_RENDERBUFFER, format, m_width, m_height);
    };
    e.genRenderbuffers(1, &m_colorBuffer);
    e.bindRenderbuffer(GL_RENDERBUFFER, m_colorBuffer);
    storage(GL_RGBA8);
    e.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colorBuffer);
    e.genRenderbuffers(1, &m_depthBuffer);
    e.bindRenderbuffer(GL_RENDERBUFFER, m_depthBuffer);
    storage(GL_DEPTH_COMPONENT24);
    e.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depthBuffer);
    bool complete = e.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete && m_samples > 0) {
        e.genFramebuffers(1, &m_resolveFbo);
        e.bindFramebuffer(GL_FRAMEBUFFER, m_resolveFbo);
        e.genRenderbuffers(1, &m_resolveBuffer);
        e.bindRenderbuffer(GL_RENDERBUFFER, m_resolveBuffer);
        e.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, m_width, m_height);
        e.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_resolveBuffer);
        complete = e.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        e.bindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    }
    e.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (!complete) {
        m_error = "cannot set up an off-screen framebuffer of " + std::to_string(m_width) + "x" +
                  std::to_string(m_height) + " pixels";
        destroyFramebuffer();
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, m_width, m_height);
    return true;
}

void vxOffscreenHost::destroyFramebuffer()
{
    Egl& e = *m_egl;
    if (m_fbo == 0)
        return;
    e.bindFramebuffer(GL_FRAMEBUFFER, 0);
    e.deleteFramebuffers(1, &m_fbo);
    e.deleteRenderbuffers(1, &m_colorBuffer);
    e.deleteRenderbuffers(1, &m_depthBuffer);
    if (m_resolveFbo != 0) {
        e.deleteFramebuffers(1, &m_resolveFbo);
        e.deleteRenderbuffers(1, &m_resolveBuffer);
    }
    m_fbo = m_colorBuffer = m_depthBuffer = m_resolveFbo = m_resolveBuffer = 0;
}

bool vxOffscreenHost::setSamples(int samples)
{
    Egl& e = *m_egl;
    if (!m_ok)
        return false;
    makeCurrent();
    GLint most = 0;
    if (e.renderbufferStorageMultisample && e.blitFramebuffer)
        glGetIntegerv(GL_MAX_SAMPLES, &most);
    const int wanted = std::clamp(samples, 0, static_cast<int>(most));
    if (wanted == m_samples)
        return true;
    m_samples = wanted;
    destroyFramebuffer();
    m_ok = createFramebuffer();
    return m_ok;
}

bool vxOffscreenHost::resize(int pixelWidth, int pixelHeight)
{
    if (m_egl->context == EGL_NO_CONTEXT)
        return false;
    GLint maxSize = 0;
    makeCurrent();
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (pixelWidth < 1 || pixelHeight < 1 || pixelWidth > maxSize || pixelHeight > maxSize) {
        m_error = "an off-screen picture must be 1 to " + std::to_string(maxSize) + " pixels wide and high";
        return false;
    }
    destroyFramebuffer();
    m_width = pixelWidth;
    m_height = pixelHeight;
    return createFramebuffer();
}

vxImage vxOffscreenHost::readPixels()
{
    vxImage image;
    if (!m_ok || m_fbo == 0)
        return image;
    makeCurrent();
    glFinish();
    image.width = m_width;
    image.height = m_height;
    const std::size_t row = static_cast<std::size_t>(m_width) * 4;
    std::vector<std::uint8_t> bottomUp(row * static_cast<std::size_t>(m_height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (m_resolveFbo != 0) {
        // The samples of each pixel averaged into one.
        Egl& e = *m_egl;
        e.bindFramebuffer(GL_READ_FRAMEBUFFER, m_fbo);
        e.bindFramebuffer(GL_DRAW_FRAMEBUFFER, m_resolveFbo);
        e.blitFramebuffer(0, 0, m_width, m_height, 0, 0, m_width, m_height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        e.bindFramebuffer(GL_READ_FRAMEBUFFER, m_resolveFbo);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
    }
    glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    if (m_resolveFbo != 0)
        m_egl->bindFramebuffer(GL_FRAMEBUFFER, m_fbo);
    image.rgba.resize(bottomUp.size());
    for (int y = 0; y < m_height; ++y)
        std::memcpy(&image.rgba[static_cast<std::size_t>(y) * row],
                    &bottomUp[static_cast<std::size_t>(m_height - 1 - y) * row], row);
    return image;
}

void vxOffscreenHost::makeCurrent()
{
    Egl& e = *m_egl;
    if (e.context == EGL_NO_CONTEXT)
        return;
    if (eglGetCurrentContext() != e.context)
        eglMakeCurrent(e.display, EGL_NO_SURFACE, EGL_NO_SURFACE, e.context);
    if (m_fbo != 0)
        e.bindFramebuffer(GL_FRAMEBUFFER, m_fbo);
}

vxSize vxOffscreenHost::boundsInPoints() const
{
    return {m_width / m_ratio, m_height / m_ratio};
}

vxSize vxOffscreenHost::boundsInPixels() const
{
    return {static_cast<double>(m_width), static_cast<double>(m_height)};
}

vxPoint vxOffscreenHost::convertFromWindow(vxPoint windowPoint) const
{
    return {windowPoint.x, m_height / m_ratio - windowPoint.y};
}

vxPoint vxOffscreenHost::windowPointFromView(vxPoint viewPoint) const
{
    return {viewPoint.x, m_height / m_ratio - viewPoint.y};
}

std::string vxOffscreenHost::rendererName()
{
    if (!m_ok)
        return {};
    makeCurrent();
    const auto* r = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* v = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(r ? r : "?") + ", OpenGL " + (v ? v : "?");
}

vxOffscreenView::vxOffscreenView(int pixelWidth, int pixelHeight, bool gridVisible)
    : host(pixelWidth, pixelHeight), view(host)
{
    if (!host.ok())
        return;
    view.prepare();
    view.awakeFromNib();
    view.set3DGridVisible(gridVisible ? 1 : 0);
    view.reshape();
}
