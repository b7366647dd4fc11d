#pragma once

#include <QPixmap>
#include <QString>

// What the application takes from its resource folder besides model data.
namespace vxAppResources {

// The picture named name (without extension) in the resource folder, or a
// null pixmap when there is none. Part pictures are named by short name.
QPixmap namedImage(const QString& name);

} // namespace vxAppResources

// Names the application for the desktop and for its settings (QSettings
// with no arguments then reads and writes ~/.config/Kolbrik/Kolbrik
// Viewer.conf). Called once, right after the QApplication is made.
void vxSetApplicationIdentity();
