#include "vxGLWidget.h"

#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <memory>

vxGLWidget::vxGLWidget(QWidget* parent) : QOpenGLWidget(parent), m_view(*this), m_stillTimer(new QTimer(this))
{
    setFormat(viewFormat());
    m_stillTimer->setSingleShot(true);
    connect(m_stillTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    setMinimumSize(64, 64);
    setFocusPolicy(Qt::StrongFocus);
    // The fields are set up once, here; they need no context. A model can
    // therefore be loaded before the widget is first shown, and a context
    // recreated by Qt (a new top-level window) keeps the scene.
    m_view.awakeFromNib();
    // While the camera moves the window draws simplified frames.
    m_view.setSimplifyWhileMoving(true);
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
    // The Outlined style draws anti-aliased; Classic uses one sample.
    f.setSamples(4);
    return f;
}

void vxGLWidget::makeCurrent()
{
    // While a picture is drawn its framebuffer stays bound (making the
    // widget current would bind the widget's own).
    if (m_pictureSize.isEmpty())
        QOpenGLWidget::makeCurrent();
}

vxSize vxGLWidget::boundsInPoints() const
{
    return {static_cast<double>(width()), static_cast<double>(height())};
}

vxSize vxGLWidget::boundsInPixels() const
{
    if (!m_pictureSize.isEmpty())
        return {static_cast<double>(m_pictureSize.width()), static_cast<double>(m_pictureSize.height())};
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

void vxGLWidget::setNeedsDisplayAfter(double seconds)
{
    m_stillTimer->start(std::max(0, static_cast<int>(std::ceil(seconds * 1000.0))));
}

void vxGLWidget::setNeedsDisplay()
{
    // A request made while painting (the next step of a camera glide) would
    // be swallowed by the paint in progress: ask again once it is over.
    if (m_painting)
        QMetaObject::invokeMethod(this, qOverload<>(&QWidget::update), Qt::QueuedConnection);
    else
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
    m_painting = true;
    m_view.drawRect();
    m_painting = false;
}

namespace {

vxMouseButton viewButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::MiddleButton:
        return vxMouseButton::kMiddle;
    case Qt::RightButton:
        return vxMouseButton::kRight;
    default:
        return vxMouseButton::kLeft;
    }
}

unsigned viewModifiers(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? vxModifier::kShift : 0u) |
           (m & Qt::ControlModifier ? vxModifier::kControl : 0u) |
           (m & Qt::AltModifier ? vxModifier::kAlt : 0u);
}

bool handledButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton || b == Qt::MiddleButton || b == Qt::RightButton;
}

} // namespace

vxMouseEvent vxGLWidget::mouseEvent(const QMouseEvent* event, Qt::MouseButton button) const
{
    vxMouseEvent e;
    e.locationInWindow = windowPointFromWidget(event->position());
    e.button = viewButton(button);
    e.modifiers = viewModifiers(event->modifiers());
    return e;
}

void vxGLWidget::mousePressEvent(QMouseEvent* event)
{
    if (!handledButton(event->button()))
        return;
    vxMouseEvent e = mouseEvent(event, event->button());
    e.clickCount = 1;
    m_view.mouseDown(e);
}

void vxGLWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!handledButton(event->button()))
        return;
    // The second press of a double click; only the left button counts it.
    vxMouseEvent e = mouseEvent(event, event->button());
    e.clickCount = event->button() == Qt::LeftButton ? 2 : 1;
    m_view.mouseDown(e);
}

void vxGLWidget::mouseMoveEvent(QMouseEvent* event)
{
    Qt::MouseButton held = Qt::NoButton;
    if (event->buttons() & Qt::LeftButton)
        held = Qt::LeftButton;
    else if (event->buttons() & Qt::MiddleButton)
        held = Qt::MiddleButton;
    else
        return;
    m_view.mouseDragged(mouseEvent(event, held));
}

void vxGLWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (handledButton(event->button()))
        m_view.mouseUp(mouseEvent(event, event->button()));
}

double vxGLWidget::wheelDeltaY(QPoint angleDelta, QPoint pixelDelta, bool awayZoomsIn)
{
    // Touchpads report pixels; about 50 of them make one wheel notch. Qt
    // counts a wheel turned away from the user as positive; the view zooms
    // out for positive amounts.
    const double notches = !pixelDelta.isNull() ? pixelDelta.y() / 50.0 : angleDelta.y() / 120.0;
    return awayZoomsIn ? -notches : notches;
}

void vxGLWidget::wheelEvent(QWheelEvent* event)
{
    vxMouseEvent e;
    e.locationInWindow = windowPointFromWidget(event->position());
    e.deltaY = wheelDeltaY(event->angleDelta(), event->pixelDelta(), m_wheelAwayZoomsIn);
    e.modifiers = viewModifiers(event->modifiers());
    m_view.scrollWheel(e);
    event->accept();
}

int vxGLWidget::maxPictureSide()
{
    QOpenGLWidget::makeCurrent();
    if (!context())
        return 0;
    QOpenGLFunctions* gl = context()->functions();
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    gl->glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    gl->glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({renderbuffer, viewport[0], viewport[1]});
}

QImage vxGLWidget::renderPicture(QSize size, QString* error)
{
    auto failed = [error](const QString& why) {
        if (error)
            *error = why;
        return QImage();
    };
    if (size.isEmpty())
        return failed(tr("The picture has no size."));
    const int limit = maxPictureSide();
    if (limit <= 0)
        return failed(tr("The view is not shown yet."));
    if (size.width() > limit || size.height() > limit)
        return failed(tr("The picture may be at most %1 pixels wide and high.").arg(limit));

    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    const bool antiAliased = m_view.drawStyle() == vxDrawStyle::kOutlined;
    if (antiAliased)
        format.setSamples(4);
    QOpenGLFramebufferObject fbo(size, format);
    // Multisampled pixels are read through one of a sample each.
    std::unique_ptr<QOpenGLFramebufferObject> resolved;
    if (antiAliased)
        resolved = std::make_unique<QOpenGLFramebufferObject>(size);
    if (!fbo.isValid() || (resolved && !resolved->isValid()) || !fbo.bind())
        return failed(tr("The graphics driver cannot draw a picture of %1 × %2 pixels.")
                          .arg(QString::number(size.width()), QString::number(size.height())));
    QImage image(size, QImage::Format_RGBA8888);
    m_pictureSize = size;
    m_view.reshape();
    // A picture is a still frame, with full meshes, even while the camera
    // moves.
    const bool simplify = m_view.simplifyWhileMoving();
    m_view.setSimplifyWhileMoving(false);
    m_view.drawRect();
    m_view.setSimplifyWhileMoving(simplify);
    if (resolved) {
        QOpenGLFramebufferObject::blitFramebuffer(resolved.get(), &fbo);
        resolved->bind();
    }
    QOpenGLFunctions* gl = context()->functions();
    gl->glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl->glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    if (resolved)
        resolved->release();
    fbo.release();
    m_pictureSize = QSize();
    m_view.reshape();
    update();

    // The view clears with alpha 0: the picture is opaque. GL rows run
    // from the bottom up.
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            row[4 * x + 3] = 255;
    }
    return image.mirrored();
}
