#pragma once

#include "vxOpenGLView.h"

#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QTimer>

// The window host of the 3D view: a Qt OpenGL widget (compatibility
// profile, 24-bit depth buffer, four samples per pixel for the Outlined
// style) that owns a vxOpenGLView, gives it its
// context, size and redraw requests, and hands it the mouse.
//
// Window coordinates, as the view receives them in vxMouseEvent, are points
// relative to the top-level window's top left corner; convertFromWindow
// turns them into the view's own points with the origin at its lower left.
class vxGLWidget : public QOpenGLWidget, public vxViewHost {
    Q_OBJECT
  public:
    explicit vxGLWidget(QWidget* parent = nullptr);
    ~vxGLWidget() override;

    vxOpenGLView& view() { return m_view; }

    // The pixel format the view needs.
    static QSurfaceFormat viewFormat();

    // vxViewHost
    void makeCurrent() override;
    vxSize boundsInPoints() const override;
    vxSize boundsInPixels() const override;
    vxPoint convertFromWindow(vxPoint windowPoint) const override;
    void setNeedsDisplay() override;
    void setNeedsDisplayAfter(double seconds) override;

    // The view's scroll amount of a wheel event: one notch about 1, and
    // positive (zooming out) for a wheel turned towards the user unless
    // awayZoomsIn is false.
    static double wheelDeltaY(QPoint angleDelta, QPoint pixelDelta, bool awayZoomsIn = true);
    bool wheelAwayZoomsIn() const { return m_wheelAwayZoomsIn; }
    void setWheelAwayZoomsIn(bool on) { m_wheelAwayZoomsIn = on; }

    // Draws the view off-screen at size pixels, with the camera and
    // everything else as the window shows it (a framebuffer object in the
    // widget's own context; the window's picture is not touched). A null
    // image, with the reason in *error, when the widget has no context yet
    // or the size is beyond what the OpenGL driver draws.
    QImage renderPicture(QSize size, QString* error = nullptr);
    // The largest picture side renderPicture draws (0 without a context).
    int maxPictureSide();

    // A widget point (top-left origin) as window coordinates.
    vxPoint windowPointFromWidget(QPointF widgetPoint) const;

  protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    vxMouseEvent mouseEvent(const QMouseEvent* event, Qt::MouseButton button) const;

    vxOpenGLView m_view;
    bool m_wheelAwayZoomsIn = true;
    QSize m_pictureSize;     // while renderPicture draws
    bool m_painting = false; // inside paintGL
    QTimer* m_stillTimer;    // the full frame after the camera rests
};
