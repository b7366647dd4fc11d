#include "vxAppResources.h"

#include "vxResources.h"
#include "vxTextFile.h"

#include <QGuiApplication>
#include <QImage>

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
