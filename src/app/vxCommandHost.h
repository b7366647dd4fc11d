#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <functional>
#include <string>

class QMainWindow;
class vxGLWidget;
class vxOpenGLView;

// What the window's commands (export, the view's commands, the building
// instructions) take from the window that holds them: the view, the window
// for their dialogs, menus and status bar, the alerts, the name proposed for
// a file made of the model, the wait sheet, and the toolbar's phase and
// work-mode controls. The main window implements it; the commands know
// nothing else of it.
class vxCommandHost {
    Q_DECLARE_TR_FUNCTIONS(vxCommandHost)
  public:
    // Reports the progress of a piece of work: done of total steps.
    using Progress = std::function<void(std::size_t done, std::size_t total)>;

    virtual ~vxCommandHost() = default;

    // The window: parent of the commands' dialogs, holder of the menus,
    // tool bar, docks and status bar.
    virtual QMainWindow& mainWindow() = 0;
    virtual vxGLWidget* viewWidget() const = 0;
    virtual vxOpenGLView& view() const = 0;
    // Whether a model with something to show is loaded.
    virtual bool hasModel() const = 0;
    // The name a save panel proposes for what is made of the model shown:
    // the model file's name with suffix instead of ".kmf" (no suffix: the
    // bare name), or empty before the first model.
    virtual QString proposedFileName(const QString& suffix = {}) const = 0;
    // Shows an alert (recorded for tests; an error also goes to stderr).
    virtual void alert(const QString& title, const QString& text, bool error) = 0;
    // Runs work with the wait sheet showing text and a progress bar that
    // work moves through the Progress it is handed (busy until the first
    // report); the window takes no input meanwhile. Returns work's result.
    virtual bool runWithWaitSheet(const QString& text, const std::function<bool(const Progress&)>& work) = 0;
    // Steps the building phase back (-1) or on (+1), as the step control's
    // arrows do (nothing when that arrow is disabled).
    virtual void stepPhase(int direction) = 0;
    // Chooses the work mode (0 select, 1 navigate, 2 hide) as the toolbar's
    // control does.
    virtual void chooseWorkMode(int segment) = 0;
    // Whether path is the model shown (under any name): then an alert says
    // that it is not written over, and a save panel's choice is dropped.
    virtual bool refusesToOverwriteModel(const QString& path) = 0;

    // "PATH could not be written: REASON" for a failed write of path.
    static QString writeFailureText(const QString& path, const std::string& error);
};
