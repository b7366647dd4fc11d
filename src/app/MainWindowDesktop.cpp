// The main window as a desktop program: the start page and the message bar
// around the 3D view, recent files, dropped files, remembered settings and
// window layout, the status bar, and the commands that need a model.
#include "MainWindowController.h"

#include "ui_MainWindowController.h"
#include "vxEventWatcher.h"
#include "vxGLWidget.h"
#include "vxInstructionsController.h"
#include "vxMessageBar.h"
#include "vxModelDrop.h"
#include "vxModelStatus.h"
#include "vxOpenGLView.h"
#include "vxRecentFiles.h"
#include "vxScreenFit.h"
#include "vxStartPage.h"
#include "vxViewCommands.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

void MainWindowController::setUpDesktop()
{
    // The view area: the start page until a model is shown, and the message
    // bar above both.
    auto* layout = static_cast<QVBoxLayout*>(centralWidget()->layout());
    const int at = layout->indexOf(m_viewWidget);
    layout->removeWidget(m_viewWidget);
    m_messageBar = new vxMessageBar(centralWidget());
    m_viewStack = new QStackedWidget(centralWidget());
    m_viewStack->setObjectName(QStringLiteral("viewStack"));
    m_startPage = new vxStartPage(m_viewStack);
    m_viewStack->addWidget(m_startPage);
    m_viewStack->addWidget(m_viewWidget);
    layout->insertWidget(at, m_messageBar);
    layout->insertWidget(at + 1, m_viewStack, 1);
    m_ui->boxInfo->hide();

    m_modelActions = new QActionGroup(this);
    m_modelActions->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* a : {m_ui->actionExportVRML, m_ui->actionPrint, m_ui->actionDeselectAll, m_ui->actionCentre,
                       m_ui->actionRefresh, m_ui->actionChoosePhase, m_ui->actionGrid})
        m_modelActions->addAction(a);
    for (QAction* a : m_viewCommands->modelCommands())
        m_modelActions->addAction(a);
    m_modelActions->addAction(m_instructions->actionHighlight());

    m_recentFiles = new vxRecentFiles(this);
    m_menuRecent = new QMenu(tr("Open &Recent"), this);
    m_menuRecent->setObjectName(QStringLiteral("menuRecent"));
    m_menuRecent->setToolTipsVisible(true);
    m_ui->menuFile->insertMenu(m_ui->actionLibrary, m_menuRecent);
    auto refill = [this] {
        m_recentFiles->fillMenu(m_menuRecent);
        m_startPage->setRecentFiles(m_recentFiles->files());
    };
    connect(m_recentFiles, &vxRecentFiles::changed, this, refill);
    connect(m_recentFiles, &vxRecentFiles::openRequested, this, &MainWindowController::openRecent);
    connect(m_menuRecent, &QMenu::aboutToShow, this,
            [this] { showRecentNote(m_recentFiles->dropMissing()); });
    refill();

    connect(m_startPage, &vxStartPage::openClicked, this, [this] { menuFileOpen(); });
    connect(m_startPage, &vxStartPage::libraryClicked, this, [this] { menShowLibrary(); });
    connect(m_startPage, &vxStartPage::recentActivated, this, &MainWindowController::openRecent);

    // A load inside the drop event would keep the file manager waiting.
    auto* drop = new vxModelDrop(this);
    connect(drop, &vxModelDrop::modelDropped, this, &MainWindowController::openDropped, Qt::QueuedConnection);
    connect(drop, &vxModelDrop::refused, this, &MainWindowController::refuseDrop, Qt::QueuedConnection);

    m_modelStatus = new vxModelStatus(statusBar());
    // After a click in the hide mode has been handled.
    new vxEventWatcher(m_viewWidget, QEvent::MouseButtonRelease, [this](QEvent*) {
        if (hasModel())
            updateStatus(-1);
        return false;
    });

    restoreSettings();
    updateModelCommands();
    showRecentNote(m_recentFiles->dropMissing());
}

void MainWindowController::restoreSettings()
{
    QSettings s;
    view().setPaintOldWhite(s.value(QStringLiteral("view/paintOldWhite"), false).toBool());
    if (restoreGeometry(s.value(QStringLiteral("window/geometry")).toByteArray()))
        vxScreenFit::keepOnScreen(this);
    else
        vxScreenFit::fitMainWindow(this, 0.8);
    restoreState(s.value(QStringLiteral("window/state")).toByteArray());
}

void MainWindowController::saveWindowSettings()
{
    QSettings s;
    s.setValue(QStringLiteral("window/geometry"), saveGeometry());
    s.setValue(QStringLiteral("window/state"), saveState());
}

void MainWindowController::closeEvent(QCloseEvent* event)
{
    saveWindowSettings();
    QMainWindow::closeEvent(event);
}

bool MainWindowController::hasModel() const
{
    return !view().sceneObjectList().empty();
}

void MainWindowController::modelShown(const QString& path, const vxLoadResult& result)
{
    m_modelPath = path;
    // Only a file that gave parts is worth opening again.
    if (hasModel())
        m_recentFiles->add(path);
    m_messageBar->showFindings(QFileInfo(path).fileName(), result.findings);
    m_ui->boxInfo->show();
    m_viewStack->setCurrentWidget(m_viewWidget);
    updateModelCommands();
    updateStatus(view().model()->maximumBauphase());
}

void MainWindowController::updateModelCommands()
{
    const bool has = hasModel();
    m_modelActions->setEnabled(has);
    m_btnGrid->setEnabled(has);
}

void MainWindowController::updateStatus(int phaseShown)
{
    if (phaseShown >= 0)
        m_phaseShown = phaseShown;
    m_modelStatus->update(m_modelPath.isEmpty() ? QString() : QFileInfo(m_modelPath).completeBaseName(),
                          view(), m_phaseShown);
}

void MainWindowController::openRecent(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        m_recentFiles->remove(path);
        showRecentNote({path});
        return;
    }
    loadModelFromFile(path);
}

void MainWindowController::openDropped(const QString& path)
{
    activateWindow();
    loadModelFromFile(path);
}

void MainWindowController::refuseDrop(const QString& what)
{
    m_messageBar->showMessage(
        what.isEmpty() ? tr("Only model files (.kmf) can be opened here.")
                       : tr("%1 is not a model file; only model files (.kmf) can be opened.").arg(what));
}

void MainWindowController::showRecentNote(const QStringList& gone)
{
    if (gone.isEmpty())
        return;
    QStringList shown;
    for (const QString& f : gone)
        shown << QDir::toNativeSeparators(f);
    if (gone.size() == 1)
        m_messageBar->showMessage(tr("%1 no longer exists; it was removed from the recent models.")
                                      .arg(QFileInfo(gone.first()).fileName()),
                                  shown);
    else
        m_messageBar->showMessage(tr("%n recent model(s) no longer exist and were removed from the list.",
                                     nullptr, static_cast<int>(gone.size())),
                                  shown);
}
