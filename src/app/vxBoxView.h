#pragma once

#include <QFrame>

// A plain framed box used to group controls in the window forms. It adds
// nothing to QFrame's own construction and drawing.
class vxBoxView : public QFrame {
    Q_OBJECT
  public:
    explicit vxBoxView(QWidget* parent = nullptr) : QFrame(parent) {}
};
