#pragma once

#include <QObject>

class QLabel;
class QStatusBar;
class QString;
class vxOpenGLView;

// The status bar's account of the model: its name, the parts shown out of
// all, and the building phase shown out of all.
class vxModelStatus : public QObject {
    Q_OBJECT
  public:
    explicit vxModelStatus(QStatusBar* bar);

    // Shows what the view holds now, at the building phase shown; an empty
    // name clears the bar.
    void update(const QString& modelName, const vxOpenGLView& view, int phaseShown);

    QLabel* nameLabel() const { return m_name; }
    QLabel* partsLabel() const { return m_parts; }
    QLabel* phaseLabel() const { return m_phase; }

  private:
    QLabel* m_name;
    QLabel* m_parts;
    QLabel* m_phase;
};
