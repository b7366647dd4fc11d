#include "vxGLWidget.h"

#include <QMouseEvent>
#include <QWheelEvent>

vxGLWidget::vxGLWidget(QWidget* parent) : QOpenGLWidget(parent), m_view(*this)
{
    setFormat(viewFormat());
    setMinimumSize(64, 64);
    setFocusPolicy(Qt::StrongFocus);
    // The fields are set up once, here; they need no context. A model can
    // therefore be loaded before the widget is first shown, and a context
    // recreated by Qt (a new top-level window) keeps the scene.
    m_view.awakeFromNib();
}

vxGLWidget::~vxGLWidget() = default;

QSurfaceFormat vxGLWidget::viewFormat()
{
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setVersion(2, 1);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setDepthBufferSize(24);
    f.setRedBufferSize(8);
    f.setGreenBufferSize(8);
    f.setBlueBufferSize(8);
    return f;
}

void vxGLWidget::makeCurrent()
{
    QOpenGLWidget::makeCurrent();
}

vxSize vxGLWidget::boundsInPoints() const
{
    return {static_cast<double>(width()), static_cast<double>(height())};
}

vxSize vxGLWidget::boundsInPixels() const
{
    const double ratio = devicePixelRatioF();
    return {width() * ratio, height() * ratio};
}

vxPoint vxGLWidget::convertFromWindow(vxPoint windowPoint) const
{
    const QPointF local = mapFrom(window(), QPointF(windowPoint.x, windowPoint.y));
    return {local.x(), height() - local.y()};
}

vxPoint vxGLWidget::windowPointFromWidget(QPointF widgetPoint) const
{
    const QPointF w = mapTo(window(), widgetPoint);
    return {w.x(), w.y()};
}

void vxGLWidget::setNeedsDisplay()
{
    update();
}

void vxGLWidget::initializeGL()
{
    // Called for every new context: its display lists start from nothing.
    m_view.prepare();
}

void vxGLWidget::resizeGL(int, int)
{
    m_view.reshape();
}

void vxGLWidget::paintGL()
{
    m_view.drawRect();
}

void vxGLWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    vxMouseEvent e;
    e.locationInWindow = windowPointFromWidget(event->position());
    e.clickCount = 1;
    m_view.mouseDown(e);
}

void vxGLWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    vxMouseEvent e;
    e.locationInWindow = windowPointFromWidget(event->position());
    e.clickCount = 2;
    m_view.mouseDown(e);
}

void vxGLWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    vxMouseEvent e;
    e.locationInWindow = windowPointFromWidget(event->position());
    m_view.mouseDragged(e);
}

double vxGLWidget::wheelDeltaY(QPoint angleDelta, QPoint pixelDelta)
{
    // Touchpads report pixels; about 50 of them make one wheel notch.
    if (!pixelDelta.isNull())
        return pixelDelta.y() / 50.0;
    return angleDelta.y() / 120.0; // one notch of a common wheel is 120
}

void vxGLWidget::wheelEvent(QWheelEvent* event)
{
    vxMouseEvent e;
    e.locationInWindow = windowPointFromWidget(event->position());
    e.deltaY = wheelDeltaY(event->angleDelta(), event->pixelDelta());
    m_view.scrollWheel(e);
    event->accept();
}
