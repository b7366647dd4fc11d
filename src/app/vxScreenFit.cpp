#include "vxScreenFit.h"

#include <QBoxLayout>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <algorithm>

namespace vxScreenFit {

namespace {

// Room for a window manager's title bar and borders before the window is
// shown (afterwards the frame is known).
QSize frameAllowance(const QWidget* w)
{
    if (w->isVisible()) {
        const QSize extra = w->frameGeometry().size() - w->geometry().size();
        if (extra.width() >= 0 && extra.height() >= 0)
            return extra;
    }
    return QSize(16, 40);
}

} // namespace

QRect available(const QWidget* w)
{
    const QScreen* screen = nullptr;
    for (const QWidget* p = w; p && !screen; p = p->parentWidget())
        if (p->isVisible() || p->isWindow())
            screen = p->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void fitDialog(QWidget* w, QSize preferred)
{
    const QRect area = available(w);
    const QSize room = area.size() - frameAllowance(w);
    QSize size = preferred.boundedTo(room).expandedTo(w->minimumSize()).boundedTo(room);
    w->resize(size);
    if (w->isVisible())
        return;
    const QWidget* over = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    const QRect target = over && over->isVisible() ? over->frameGeometry() : area;
    QRect r(QPoint(0, 0), size + frameAllowance(w));
    r.moveCenter(target.center());
    r.moveLeft(std::clamp(r.left(), area.left(), std::max(area.left(), area.right() - r.width() + 1)));
    r.moveTop(std::clamp(r.top(), area.top(), std::max(area.top(), area.bottom() - r.height() + 1)));
    w->move(r.topLeft());
}

void fitMainWindow(QWidget* w, double fraction)
{
    const QRect area = available(w);
    const QSize room = area.size() - frameAllowance(w);
    const QSize size(static_cast<int>(area.width() * fraction), static_cast<int>(area.height() * fraction));
    w->resize(size.boundedTo(room));
    QRect r(QPoint(0, 0), w->size() + frameAllowance(w));
    r.moveCenter(area.center());
    w->move(r.topLeft());
}

void keepOnScreen(QWidget* w)
{
    const QRect area = available(w);
    const QSize extra = frameAllowance(w);
    const QSize room = area.size() - extra;
    if (w->width() > room.width() || w->height() > room.height())
        w->resize(w->size().boundedTo(room));
    QRect frame(w->pos(), w->size() + extra);
    frame.moveLeft(
        std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
    frame.moveTop(
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    if (frame.topLeft() != w->pos())
        w->move(frame.topLeft());
}

void scrollContent(QDialog* dialog)
{
    auto* layout = qobject_cast<QBoxLayout*>(dialog->layout());
    if (!layout || layout->count() < 2)
        return;
    auto* area = new QScrollArea(dialog);
    area->setObjectName(QStringLiteral("contentScroll"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* inner = new QWidget(area);
    auto* content = new QVBoxLayout(inner);
    content->setContentsMargins(0, 0, 0, 0);
    while (layout->count() > 1) {
        QLayoutItem* item = layout->takeAt(0);
        if (QWidget* w = item->widget()) {
            delete item;
            content->addWidget(w);
        } else if (QLayout* l = item->layout()) {
            content->addLayout(l);
        } else {
            content->addItem(item);
        }
    }
    area->setWidget(inner);
    layout->insertWidget(0, area, 1);
}

QSize preferredSize(const QWidget* w)
{
    return w->size().expandedTo(w->sizeHint());
}

} // namespace vxScreenFit
