#pragma once

#include "vxImage.h"
#include "vxOpenGLView.h"

#include <memory>
#include <string>

// A view host without a window: an OpenGL compatibility-profile context on
// EGL's surfaceless platform (no X server, no DISPLAY) drawing into a
// framebuffer object with an RGBA8 colour buffer and a 24-bit depth buffer.
// The CLI and the tests use it.
//
// Sizes are in backing pixels; the bounds in points are the pixels divided
// by the device pixel ratio (1 unless set), so tests can play a high
// resolution screen. Window coordinates, as the tests hand them to the
// view's mouse handlers, are points with the origin at the top left; the
// view covers the whole "window".
class vxOffscreenHost : public vxViewHost {
  public:
    // Creates the context and the framebuffer and makes them current.
    // Check ok(); error() says why not.
    explicit vxOffscreenHost(int pixelWidth = 1024, int pixelHeight = 768, double devicePixelRatio = 1.0);
    ~vxOffscreenHost() override;
    vxOffscreenHost(const vxOffscreenHost&) = delete;
    vxOffscreenHost& operator=(const vxOffscreenHost&) = delete;

    bool ok() const { return m_ok; }
    const std::string& error() const { return m_error; }

    // A new framebuffer size in pixels (contents are lost). The view's
    // reshape is not called: call it as a window system would.
    bool resize(int pixelWidth, int pixelHeight);
    // Samples per pixel of the framebuffer (0: one, as by default; more
    // for anti-aliased drawing, up to what the driver offers). The
    // framebuffer is made afresh (contents are lost); readPixels resolves
    // the samples.
    bool setSamples(int samples);
    static constexpr int kAntiAliasSamples = 4;
    int samples() const { return m_samples; }
    void setDevicePixelRatio(double ratio) { m_ratio = ratio > 0.0 ? ratio : 1.0; }
    double devicePixelRatio() const { return m_ratio; }
    int pixelWidth() const { return m_width; }
    int pixelHeight() const { return m_height; }

    // The framebuffer's pixels, rows from top to bottom.
    vxImage readPixels();

    // A point in the view's own coordinates (points, origin lower left) as
    // the window point that converts to it.
    vxPoint windowPointFromView(vxPoint viewPoint) const;

    // Redraw requests since the last takeNeedsDisplay.
    int needsDisplayCount() const { return m_needsDisplay; }
    bool takeNeedsDisplay()
    {
        const bool any = m_needsDisplay > 0;
        m_needsDisplay = 0;
        return any;
    }

    // vxViewHost
    void makeCurrent() override;
    vxSize boundsInPoints() const override;
    vxSize boundsInPixels() const override;
    vxPoint convertFromWindow(vxPoint windowPoint) const override;
    void setNeedsDisplay() override { ++m_needsDisplay; }

    // The renderer's name (for messages and the benchmarks).
    std::string rendererName();

  private:
    struct Egl;
    bool createFramebuffer();
    void destroyFramebuffer();

    std::unique_ptr<Egl> m_egl;
    bool m_ok = false;
    std::string m_error;
    int m_width = 0;
    int m_height = 0;
    double m_ratio = 1.0;
    int m_needsDisplay = 0;
    unsigned m_fbo = 0;
    unsigned m_colorBuffer = 0;
    unsigned m_depthBuffer = 0;
    int m_samples = 0;
    unsigned m_resolveFbo = 0; // with samples: one sample per pixel, for reading
    unsigned m_resolveBuffer = 0;
};

// A view drawing off-screen, set up as the window sets it up before it
// opens a model: context prepared, start values, the grid shown or hidden,
// projection for the size. Use the view only when host.ok().
struct vxOffscreenView {
    vxOffscreenView(int pixelWidth, int pixelHeight, bool gridVisible);
    vxOffscreenHost host;
    vxOpenGLView view;
};
