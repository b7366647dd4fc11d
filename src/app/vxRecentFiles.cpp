#include "vxRecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QMenu>
#include <QSettings>

namespace {

const char* const kKey = "files/recent";

} // namespace

vxRecentFiles::vxRecentFiles(QObject* parent) : QObject(parent) {}

QStringList vxRecentFiles::files() const
{
    return QSettings().value(QLatin1String(kKey)).toStringList();
}

void vxRecentFiles::store(const QStringList& list)
{
    QSettings settings;
    if (list.isEmpty())
        settings.remove(QLatin1String(kKey));
    else
        settings.setValue(QLatin1String(kKey), list);
    emit changed();
}

void vxRecentFiles::add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    while (list.size() > kMaximum)
        list.removeLast();
    store(list);
}

void vxRecentFiles::remove(const QString& path)
{
    QStringList list = files();
    if (list.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        store(list);
}

void vxRecentFiles::clear()
{
    store({});
}

QStringList vxRecentFiles::dropMissing()
{
    QStringList kept;
    QStringList gone;
    for (const QString& f : files())
        (QFileInfo(f).isFile() ? kept : gone) << f;
    if (!gone.isEmpty())
        store(kept);
    return gone;
}

void vxRecentFiles::fillMenu(QMenu* menu)
{
    menu->clear();
    const QStringList list = files();
    QMap<QString, int> sameName;
    for (const QString& f : list)
        ++sameName[QFileInfo(f).fileName()];
    int n = 0;
    for (const QString& f : list) {
        const QFileInfo info(f);
        // Files of the same name tell their folders.
        QString label = sameName.value(info.fileName()) > 1
                            ? tr("%1 — in %2").arg(info.fileName(), QDir::toNativeSeparators(info.path()))
                            : info.fileName();
        // "&" in a file name would become a mnemonic.
        label.replace(QLatin1Char('&'), QLatin1String("&&"));
        if (++n < 10)
            label = QStringLiteral("&%1 %2").arg(QString::number(n), label);
        QAction* a = menu->addAction(label);
        a->setToolTip(QDir::toNativeSeparators(f));
        a->setStatusTip(QDir::toNativeSeparators(f));
        connect(a, &QAction::triggered, this, [this, f] { emit openRequested(f); });
    }
    if (list.isEmpty())
        menu->addAction(tr("No recent models"))->setEnabled(false);
    menu->addSeparator();
    QAction* clearAction = menu->addAction(tr("Clear list"));
    clearAction->setObjectName(QStringLiteral("actionClearRecent"));
    clearAction->setEnabled(!list.isEmpty());
    connect(clearAction, &QAction::triggered, this, &vxRecentFiles::clear);
}
