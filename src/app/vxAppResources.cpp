#include "vxAppResources.h"

#include "vxResources.h"
#include "vxTextFile.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QPrintDialog>
#include <QRegularExpression>

namespace vxAppResources {

QPixmap namedImage(const QString& name)
{
    for (const char* type : {"png", "bmp"}) {
        auto path = vxResources::resourcePath(name.toStdString(), type, "");
        if (!path)
            continue;
        vxReadResult r = readWholeFile(*path, vxFileLimits::kPictureFile);
        if (!r.ok)
            continue;
        QImage img;
        if (img.loadFromData(reinterpret_cast<const uchar*>(r.data.data()), static_cast<int>(r.data.size())))
            return QPixmap::fromImage(img);
    }
    return QPixmap();
}

} // namespace vxAppResources

void vxSetApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Kolbrik"));
    QCoreApplication::setApplicationName(QStringLiteral("Kolbrik Viewer"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kolbrik-viewer"));
}

QString vxAskSaveFileName(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                          const QString& proposed)
{
    QFileDialog dlg(parent, title);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilter(filter);
    dlg.setDefaultSuffix(suffix);
    // With several filters, a name typed without an extension gets that of
    // the filter chosen.
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& chosen) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(chosen);
        if (m.hasMatch())
            dlg.setDefaultSuffix(m.captured(1));
    });
    if (!proposed.isEmpty())
        dlg.selectFile(proposed);
    dlg.setWindowModality(Qt::WindowModal);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().first();
}

bool vxAskPrinter(QWidget* parent, QPrinter& printer, const QString& title)
{
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(title);
    return dlg.exec() == QDialog::Accepted;
}
