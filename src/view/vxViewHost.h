#pragma once

// What the view needs of the window system, and what it hands back: points
// and sizes, the host interface, mouse events.

struct vxPoint {
    double x = 0.0;
    double y = 0.0;
};

struct vxSize {
    double width = 0.0;
    double height = 0.0;
};

// What the view needs of the window system: the platform's OpenGL view.
// Implemented by the Qt widget host (app) and the EGL off-screen host.
class vxViewHost {
  public:
    virtual ~vxViewHost() = default;
    // Makes the view's GL context current on this thread.
    virtual void makeCurrent() = 0;
    // The view's bounds in points and in backing (device) pixels.
    virtual vxSize boundsInPoints() const = 0;
    virtual vxSize boundsInPixels() const = 0;
    // A point in window coordinates to the view's own: points, origin at
    // the view's lower left corner, y growing upwards.
    virtual vxPoint convertFromWindow(vxPoint windowPoint) const = 0;
    // Asks for a redraw (drawRect) at the host's next opportunity.
    virtual void setNeedsDisplay() = 0;
    // Asks for a redraw once the seconds have passed (hosts without a timer
    // redraw at their next opportunity).
    virtual void setNeedsDisplayAfter(double seconds)
    {
        (void)seconds;
        setNeedsDisplay();
    }
};

// A host without a window or a GL context, for work that draws nothing:
// loading a model and exporting it. It counts the redraws asked for.
class vxHeadlessHost : public vxViewHost {
  public:
    void makeCurrent() override {}
    vxSize boundsInPoints() const override { return {1024, 768}; }
    vxSize boundsInPixels() const override { return {1024, 768}; }
    vxPoint convertFromWindow(vxPoint p) const override { return p; }
    void setNeedsDisplay() override { ++m_needsDisplay; }
    int needsDisplayCount() const { return m_needsDisplay; }

  private:
    int m_needsDisplay = 0;
};

// The mouse button of a press, or the button held during a drag.
enum class vxMouseButton { kLeft, kMiddle, kRight };

// Keys held with a mouse event (a bit set).
namespace vxModifier {
inline constexpr unsigned kShift = 1;
inline constexpr unsigned kControl = 2;
inline constexpr unsigned kAlt = 4;
} // namespace vxModifier

// A mouse event as the view receives it.
struct vxMouseEvent {
    vxPoint locationInWindow; // window coordinates, as the host defines them
    int clickCount = 1;       // 2 for the second press of a double click
    double deltaY = 0.0;      // scroll amount; one wheel notch is about 1; > 0 zooms out
    vxMouseButton button = vxMouseButton::kLeft;
    unsigned modifiers = 0; // vxModifier bits
};
