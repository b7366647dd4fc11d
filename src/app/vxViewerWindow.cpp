#include "vxViewerWindow.h"

#include "vxGLWidget.h"
#include "vxPartPanelController.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>

vxViewerWindow::vxViewerWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kolbrik Viewer"));
    m_glWidget = new vxGLWidget(this);
    setCentralWidget(m_glWidget);
    m_partPanel = new vxPartPanelController(this);
    m_glWidget->view().setPartPanelController(m_partPanel);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* open = file->addAction(tr("&Open..."), this, &vxViewerWindow::menOpen);
    open->setShortcut(QKeySequence::Open);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), qApp, &QApplication::quit);
    quit->setShortcut(QKeySequence::Quit);
    resize(1024, 768);
}

vxViewerWindow::~vxViewerWindow()
{
    m_glWidget->view().setPartPanelController(nullptr);
}

void vxViewerWindow::menOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Model"), QString(),
                                                      tr("Kolbrik models (*.kmf)"));
    if (!path.isEmpty())
        openModel(path);
}

bool vxViewerWindow::openModel(const QString& path, bool quiet)
{
    vxOpenGLView& view = m_glWidget->view();
    view.set3DGridVisible(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const vxLoadResult result = view.loadModelFromFile(path.toStdString());
    QApplication::restoreOverrideCursor();
    if (!result) {
        if (!quiet)
            QMessageBox::warning(this, tr("Open Model"), QString::fromStdString(result.error));
        return false;
    }
    setWindowTitle(QFileInfo(path).fileName());
    return true;
}
