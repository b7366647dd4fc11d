#pragma once

#include <QWidget>
#include <vector>

class QToolButton;
class QButtonGroup;

// A row of buttons of which one is the selected segment; each segment has
// its own label and enabled state. Clicking a segment selects it and emits
// activated(segment).
class vxSegmentedControl : public QWidget {
    Q_OBJECT
  public:
    explicit vxSegmentedControl(QWidget* parent = nullptr, int segmentCount = 3);

    int segmentCount() const { return static_cast<int>(m_buttons.size()); }
    void setLabel(int segment, const QString& label);
    QString label(int segment) const;
    void setToolTip(int segment, const QString& tip);
    void setEnabled(int segment, bool enabled);
    bool isEnabled(int segment) const;
    // Whether segments stay pressed when selected (a mode selector) or only
    // while clicked (a row of actions).
    void setSelectable(bool selectable);
    int selectedSegment() const { return m_selected; }
    void setSelectedSegment(int segment);
    QToolButton* button(int segment) const;

  signals:
    void activated(int segment);

  private:
    std::vector<QToolButton*> m_buttons;
    int m_selected = -1;
    bool m_selectable = true;
};
