#pragma once

#include <QMainWindow>
#include <QString>

class vxGLWidget;
class vxPartPanelController;

// A plain window around the 3D view: File > Open... and Quit. Enough to look
// at a model; the full main window with its controls builds on the same
// vxGLWidget.
class vxViewerWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit vxViewerWindow(QWidget* parent = nullptr);
    ~vxViewerWindow() override;

    vxGLWidget* glWidget() const { return m_glWidget; }

    // Opens a model as the window does after the open panel: grid hidden,
    // title set to the file's name. False (with a message box unless quiet)
    // when the file cannot be read.
    bool openModel(const QString& path, bool quiet = false);

private:
    void menOpen();

    vxGLWidget* m_glWidget = nullptr;
    vxPartPanelController* m_partPanel = nullptr;
};
