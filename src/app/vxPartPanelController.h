#pragma once

#include "vxOpenGLView.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;
class QLabel;
namespace Ui {
class vxPartPanelController;
}

// The floating panel that shows the selected part: name, article number and
// picture. Its window is built from the form the first time it is shown;
// until then selectPart only records the part, which the new window shows.
class vxPartPanelController : public QObject, public vxPartPanel {
    Q_OBJECT
  public:
    explicit vxPartPanelController(QWidget* parentWindow = nullptr);
    ~vxPartPanelController() override;

    void selectPart(const std::shared_ptr<vxPart>& part) override;
    void showPanel() override;

    // Loads the window from its form (once) and shows it.
    void showWindow();
    QWidget* myPanel() const { return m_panel; }
    void setMyPanel(QWidget* panel) { m_panel = panel; }
    const std::shared_ptr<vxPart>& selectedPart() const { return m_selectedPart; }

    QLabel* lblName() const;
    QLabel* lblNr() const;
    QLabel* imgIcon() const;

  private:
    void windowDidLoad();
    // Puts the new panel beside the main window, on its screen.
    void placeBesideParent();

    QPointer<QWidget> m_parentWindow;
    QPointer<QWidget> m_panel;
    std::unique_ptr<Ui::vxPartPanelController> m_ui;
    std::shared_ptr<vxPart> m_selectedPart;
};
