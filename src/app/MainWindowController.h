#pragma once

#include "vxCommandHost.h"
#include "vxLibrary.h"

#include <QMainWindow>
#include <QString>
#include <map>
#include <memory>
#include <string>

class QActionGroup;
class QCloseEvent;
class QDialog;
class QMenu;
class QStackedWidget;
class QToolButton;
class QStandardItemModel;
class QPrinter;
class vxGLWidget;
class vxOpenGLView;
class vxSegmentedControl;
class vxPartPanelController;
class vxMessageBar;
class vxModelStatus;
class vxRecentFiles;
class vxStartPage;
struct vxLoadResult;
class vxViewCommands;
class vxExportCommand;
class vxInstructionsController;

namespace Ui {
class MainWindowController;
class vxSheetWait;
class vxSheetParameter;
class vxSheetAbout;
class vxSheetBuildingPhase;
class vxSheetLibrary;
} // namespace Ui

// The main window: the 3D view, three information lines, the work-mode,
// phase and grid controls, the menus and the sheets. It hosts the commands
// (export, the view's commands, the building instructions) through the
// narrow vxCommandHost.
class MainWindowController : public QMainWindow, public vxCommandHost {
    Q_OBJECT
  public:
    explicit MainWindowController(QWidget* parent = nullptr);
    ~MainWindowController() override;

    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }

    // --- vxCommandHost -----------------------------------------------------
    QMainWindow& mainWindow() override { return *this; }
    vxGLWidget* viewWidget() const override { return m_viewWidget; }
    vxOpenGLView& view() const override;
    bool hasModel() const override;
    QString proposedFileName(const QString& suffix = {}) const override;
    void alert(const QString& title, const QString& text, bool error) override;
    bool runWithWaitSheet(const QString& text, const std::function<bool(const Progress&)>& work) override;
    void stepPhase(int direction) override;
    void chooseWorkMode(int segment) override;

    // --- load flow ---------------------------------------------------------
    // Shows the wait sheet, loads the model and fills the controls. A file
    // that cannot be read leaves everything as it was and shows an alert.
    bool loadModelFromFile(const QString& path);
    bool loadModelFromResource(const QString& name);
    void makeWindowTitle(const QString& path);

    // --- commands ----------------------------------------------------------
    void menuFileOpen();
    void tbGrid();
    void menParameter();
    void btnParameterOK();
    void menAboutDlg();
    void btnAboutDlgOK();
    void changeWorkMode();
    void menBauteilMittelpunkt();
    void menDeselectAll();
    void menAnsichtBauteilInfo();
    void menPrintModell();
    // Prints a title line and the view, drawn at the printer's resolution.
    bool printView(QPrinter& printer);

    // --- building phases ---------------------------------------------------
    void btnBauphaseClick();
    void btnBuildingPhase();
    void btnBuildingPhaseOK();
    void btnRefresh();

    // --- export --------------------------------------------------------------
    void exportAsVRML();
    // Runs the export with the wait sheet; shows the completion alert, or an
    // error alert naming the reason. Returns whether the file was written.
    bool doExportAsVRML(const QString& path);
    bool refusesToOverwriteModel(const QString& path) override;

    // --- library -------------------------------------------------------------
    void menShowLibrary();
    void fillLibraryList();
    void fillModellList(const QString& kitName);
    void tblLibrarySelect();
    // Lists the chosen kit's models, or, with a filter text, the models of
    // every kit whose names hold it (each with its kit).
    void filterModelList();
    void btnLibraryClick(const QString& modelPath);
    void btnCloseLibrary();

    // --- desktop: recent files, drops, settings -----------------------------
    // Opens a model of the recent list; one that no longer exists is
    // dropped from the list with a note.
    void openRecent(const QString& path);
    // Opens a dropped model, or says why a dropped file is refused.
    void openDropped(const QString& path);
    void refuseDrop(const QString& what);
    // Keeps the window's geometry and its tool bar and dock layout.
    void saveWindowSettings();

    // --- parts, for tests (the other widgets are found by object name) -------
    vxPartPanelController* partPanel() const { return m_partPanel.get(); }
    vxViewCommands* viewCommands() const { return m_viewCommands; }
    // File > Export… (glTF, STL, OBJ, VRML).
    vxExportCommand* exportCommand() const { return m_exportCommand; }
    // The building-instruction tools (parts dock, highlight, booklets).
    vxInstructionsController* instructions() const { return m_instructions; }
    QStandardItemModel* controllerBaukasten() const { return m_controllerBaukasten; }
    QStandardItemModel* controllerModelle() const { return m_controllerModelle; }
    const std::vector<vxModelItem>& modelItems() const { return m_modelItems; }
    Ui::vxSheetLibrary* libraryUi() const { return m_libraryUi.get(); }
    Ui::vxSheetParameter* parameterUi() const { return m_parameterUi.get(); }
    // The commands that need a model: disabled until one is shown. A
    // command joins them with modelActions()->addAction(action).
    QActionGroup* modelActions() const { return m_modelActions; }
    vxRecentFiles* recentFiles() const { return m_recentFiles; }
    vxModelStatus* modelStatus() const { return m_modelStatus; }

    // The last alert shown (title and text), for tests and the log.
    QString lastAlertTitle() const { return m_lastAlertTitle; }
    QString lastAlertText() const { return m_lastAlertText; }
    // When false, alerts are recorded but not shown (tests).
    void setShowAlerts(bool show) { m_showAlerts = show; }

  signals:
    // A model file was opened (path as given).
    void modelLoaded(const QString& path);
    // The view shows another phase (step control, phase sheet, refresh).
    void phaseShown();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // MainWindowDesktop.cpp
    void setUpDesktop();
    void restoreSettings();
    void modelShown(const QString& path, const vxLoadResult& result);
    void updateModelCommands();
    // Shows the model's state in the status bar; a phase below 0 keeps the
    // phase shown before.
    void updateStatus(int phaseShown);
    void showRecentNote(const QStringList& gone);

    void awakeFromNib();
    void beforeLoadModel();
    void afterLoadModel();
    void buildToolBar();
    void connectCommands();
    void showSheet(QDialog* sheet);
    void endSheet(QDialog* sheet);
    void updatePhaseSegments(int phase, int maximum);
    // Paints the parts of earlier phases as the white setting says, at once.
    void paintEarlierPhases();

    std::unique_ptr<Ui::MainWindowController> m_ui;
    vxGLWidget* m_viewWidget = nullptr;
    std::unique_ptr<vxPartPanelController> m_partPanel;
    vxViewCommands* m_viewCommands = nullptr;
    vxExportCommand* m_exportCommand = nullptr;

    QDialog* m_sheetParameter = nullptr;
    QDialog* m_sheetWait = nullptr;
    QDialog* m_sheetAboutDlg = nullptr;
    QDialog* m_sheetBuildingPhase = nullptr;
    QDialog* m_sheetLibrary = nullptr;
    std::unique_ptr<Ui::vxSheetWait> m_waitUi;
    std::unique_ptr<Ui::vxSheetParameter> m_parameterUi;
    std::unique_ptr<Ui::vxSheetAbout> m_aboutUi;
    std::unique_ptr<Ui::vxSheetBuildingPhase> m_phaseUi;
    std::unique_ptr<Ui::vxSheetLibrary> m_libraryUi;

    vxSegmentedControl* m_btnBauphase = nullptr;
    vxSegmentedControl* m_btnWorkMode = nullptr;
    QToolButton* m_btnGrid = nullptr;
    QStandardItemModel* m_controllerBaukasten = nullptr;
    QStandardItemModel* m_controllerModelle = nullptr;
    std::vector<vxLibraryItem> m_kitItems;
    std::vector<vxModelItem> m_modelItems;                   // the models listed
    QString m_shownKit;                                      // the kit chosen
    std::map<QString, std::vector<vxModelItem>> m_kitModels; // read once per showing
    const std::vector<vxModelItem>& kitModels(const QString& kitName);
    void openFirstLibraryModel();

    QActionGroup* m_modelActions = nullptr;
    vxMessageBar* m_messageBar = nullptr;
    vxStartPage* m_startPage = nullptr;
    QStackedWidget* m_viewStack = nullptr;
    vxRecentFiles* m_recentFiles = nullptr;
    vxModelStatus* m_modelStatus = nullptr;
    QMenu* m_menuRecent = nullptr;
    QString m_modelPath; // the model shown, empty before the first
    int m_phaseShown = 1;

    QString m_lastAlertTitle;
    QString m_lastAlertText;
    bool m_showAlerts = true;
    vxInstructionsController* m_instructions = nullptr;
};
