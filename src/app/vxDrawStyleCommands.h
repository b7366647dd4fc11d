#pragma once

#include "vxOpenGLView.h"

#include <QObject>

class vxCommandHost;
class QAction;
class QActionGroup;

// The view's drawing style: View > Drawing style (Classic, Outlined) and a
// toolbar toggle for Outlined, remembered under "view/drawingStyle".
class vxDrawStyleCommands : public QObject {
    Q_OBJECT
  public:
    explicit vxDrawStyleCommands(vxCommandHost& host);

    void setDrawStyle(vxDrawStyle style);
    vxDrawStyle drawStyle() const;

    // The settings' names of the styles ("classic", "outlined").
    static QString styleName(vxDrawStyle style);
    static vxDrawStyle styleNamed(const QString& name);

  private:
    vxCommandHost& m_host;
    QAction* m_classic = nullptr;
    QAction* m_outlined = nullptr;
    QAction* m_toggle = nullptr; // the toolbar's
};
