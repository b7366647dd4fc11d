#pragma once

#include "vxLibrary.h"

#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>

class QActionGroup;
class QCloseEvent;
class QDialog;
class QLabel;
class QMenu;
class QStackedWidget;
class QProgressBar;
class QComboBox;
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
// phase and grid controls, the menus and the sheets.
class MainWindowController : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindowController(QWidget* parent = nullptr);
    ~MainWindowController() override;

    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }

    // --- load flow ---------------------------------------------------------
    // Shows the wait sheet, loads the model and fills the controls. A file
    // that cannot be read leaves everything as it was and shows an alert.
    bool loadModelFromFile(const QString& path);
    bool loadModelFromResource(const QString& name);
    void beforeLoadModel();
    void afterLoadModel();
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
    // "PATH could not be written: REASON" for a failed write of path.
    static QString writeFailureText(const QString& path, const std::string& error);
    // Whether path is the model shown (under any name): then an alert says
    // that it is not written over, and a save panel's choice is dropped.
    bool refusesToOverwriteModel(const QString& path);
    // File > Export… (glTF, STL, OBJ, VRML).
    vxExportCommand* exportCommand() const { return m_exportCommand; }

    // --- library -------------------------------------------------------------
    void menShowLibrary();
    void fillLibraryList();
    void fillModellList(const QString& kitName);
    void tblLibrarySelect();
    // Hides the models whose names do not hold the filter text.
    void filterModelList();
    void btnLibraryClick(const QString& modelPath);
    void btnCloseLibrary();

    // --- parts, for tests and the rest of the window -------------------------
    vxGLWidget* viewWidget() const { return m_viewWidget; }
    vxOpenGLView& view() const;
    vxPartPanelController* partPanel() const { return m_partPanel.get(); }
    vxViewCommands* viewCommands() const { return m_viewCommands; }
    QDialog* sheetParameter() const { return m_sheetParameter; }
    QDialog* sheetWait() const { return m_sheetWait; }
    QDialog* sheetAboutDlg() const { return m_sheetAboutDlg; }
    QDialog* sheetBuildingPhase() const { return m_sheetBuildingPhase; }
    QDialog* sheetLibrary() const { return m_sheetLibrary; }
    QProgressBar* progressIndicator() const;
    QComboBox* cbBauphaseSelector() const;
    vxSegmentedControl* btnBauphase() const { return m_btnBauphase; }
    vxSegmentedControl* btnWorkMode() const { return m_btnWorkMode; }
    QLabel* titleLine1() const;
    QLabel* titleLine2() const;
    QLabel* titleLine3() const;
    QToolButton* btnGrid() const { return m_btnGrid; }
    QLabel* lblSheetWait() const;
    QStandardItemModel* controllerBaukasten() const { return m_controllerBaukasten; }
    QStandardItemModel* controllerModelle() const { return m_controllerModelle; }
    const std::vector<vxModelItem>& modelItems() const { return m_modelItems; }
    Ui::vxSheetLibrary* libraryUi() const { return m_libraryUi.get(); }
    Ui::vxSheetParameter* parameterUi() const { return m_parameterUi.get(); }

    // --- desktop: start page, message bar, recent files, drops, settings ----
    // The commands that need a model: disabled until one is shown. A
    // command joins them with modelActions()->addAction(action).
    QActionGroup* modelActions() const { return m_modelActions; }
    // Whether a model with something to show is loaded.
    bool hasModel() const;
    // The name a save panel proposes for what is made of the model shown:
    // the model file's name with suffix instead of ".kmf" (no suffix: the
    // bare name), or empty before the first model.
    QString proposedFileName(const QString& suffix = {}) const;
    vxMessageBar* messageBar() const { return m_messageBar; }
    vxStartPage* startPage() const { return m_startPage; }
    QStackedWidget* viewStack() const { return m_viewStack; }
    vxRecentFiles* recentFiles() const { return m_recentFiles; }
    vxModelStatus* modelStatus() const { return m_modelStatus; }
    QMenu* menuRecent() const { return m_menuRecent; }
    // Opens a model of the recent list; one that no longer exists is
    // dropped from the list with a note.
    void openRecent(const QString& path);
    // Opens a dropped model, or says why a dropped file is refused.
    void openDropped(const QString& path);
    void refuseDrop(const QString& what);
    // Keeps the window's geometry and its tool bar and dock layout.
    void saveWindowSettings();

    // The last alert shown (title and text), for tests and the log.
    QString lastAlertTitle() const { return m_lastAlertTitle; }
    QString lastAlertText() const { return m_lastAlertText; }
    // When false, alerts are recorded but not shown (tests).
    void setShowAlerts(bool show) { m_showAlerts = show; }
    void alert(const QString& title, const QString& text, bool error);

    // The building-instruction tools (parts dock, highlight, booklets).
    vxInstructionsController* instructions() const { return m_instructions; }

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

    friend class vxExportCommand; // uses the wait sheet and the alerts
    void awakeFromNib();
    void buildToolBar();
    void connectCommands();
    void showSheet(QDialog* sheet);
    void endSheet(QDialog* sheet);
    void updatePhaseSegments(int phase, int maximum);

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
    std::vector<vxModelItem> m_modelItems;

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
