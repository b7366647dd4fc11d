#pragma once

#include "vxExport.h"

#include <QObject>
#include <QString>

class vxCommandHost;
class QAction;
class QMenu;

// File > Export…: the model written as glTF, STL, OBJ or VRML, the format
// chosen in the save dialog.
class vxExportCommand : public QObject {
    Q_OBJECT
  public:
    // Adds the command to menu, before the action `before`.
    vxExportCommand(vxCommandHost& host, QMenu* menu, QAction* before);

    QAction* action() const { return m_action; }

    // Asks for the file and its format, then exports.
    void menExport();
    // Writes the model as it stands at the building phase shown,
    // with the wait sheet; then shows the completion alert or the reason of
    // the failure. Returns whether the file was written.
    bool doExport(const QString& path, vxExportFormat format);

    // The save dialog's filter of a format: "glTF binary (*.glb)".
    static QString filterOf(vxExportFormat format);

  private:
    vxCommandHost& m_host;
    QAction* m_action;
};
