#include "vxCommandHost.h"

#include <QDir>

QString vxCommandHost::writeFailureText(const QString& path, const std::string& error)
{
    // The writer's reason names the path already ("cannot write PATH: why").
    QString reason = QString::fromStdString(error);
    const QString prefix = QStringLiteral("cannot write %1: ").arg(path);
    if (reason.startsWith(prefix))
        reason = reason.mid(prefix.size());
    return tr("%1 could not be written: %2").arg(QDir::toNativeSeparators(path), reason);
}
