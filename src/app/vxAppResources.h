#pragma once

#include <QPixmap>
#include <QString>

class QPrinter;
class QWidget;

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

// Asks for the name of a file to save, in a save dialog modal to its window
// with one filter ("PNG pictures (*.png)"), the suffix added when none is
// typed, and a proposed name if one is given. Empty when cancelled.
QString vxAskSaveFileName(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                          const QString& proposed = QString());

// Asks which printer and pages to print on, in a print dialog with this
// title. False when cancelled.
bool vxAskPrinter(QWidget* parent, QPrinter& printer, const QString& title);
