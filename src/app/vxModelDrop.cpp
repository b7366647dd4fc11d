#include "vxModelDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

vxModelDrop::vxModelDrop(QWidget* window) : QObject(window)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString vxModelDrop::modelPath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            QFileInfo(url.toLocalFile()).suffix().compare(QLatin1String("kmf"), Qt::CaseInsensitive) == 0)
            return url.toLocalFile();
    return QString();
}

QString vxModelDrop::firstFileName(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.toDisplayString();
}

bool vxModelDrop::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter: // a QDragMoveEvent too
    case QEvent::DragMove: {
        // Files are taken in, so that a wrong one can be refused with a
        // message rather than with a silent "no entry" pointer.
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (e->mimeData()->hasUrls()) {
            e->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QString path = modelPath(e->mimeData());
        e->acceptProposedAction();
        if (path.isEmpty())
            emit refused(firstFileName(e->mimeData()));
        else
            emit modelDropped(path);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
