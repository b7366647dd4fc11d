#pragma once

#include "vxOpenGLView.h"

#include <QMainWindow>

#include <QObject>
#include <QSize>
#include <QString>

class vxCommandHost;
class QAction;
class QActionGroup;
class QDialog;
class QMenu;
class QPrinter;
namespace Ui {
class vxSheetParameter;
}

// The window's navigation and picture commands: fit, reset, standard views,
// the orthographic projection, showing the tubes, keyboard navigation (turn, zoom, phase and
// work-mode keys), the navigation settings of the Settings sheet
// (remembered under "navigation/..."), Save picture…, Copy picture, printing
// the view and Help > Keyboard shortcuts. It adds its actions to the
// window's menus and drives the window's own controls, so that keys and
// clicks take the same paths. It knows the window through vxCommandHost.
class vxViewCommands : public QObject {
    Q_OBJECT
  public:
    explicit vxViewCommands(vxCommandHost& host);

    // The remembered settings, applied to the view and the widget.
    void applySettings();
    // The Settings sheet's navigation boxes: filled when it opens, taken
    // (and remembered) when it is confirmed.
    void loadSettingsIntoSheet(Ui::vxSheetParameter& sheet);
    void takeSettingsFromSheet(const Ui::vxSheetParameter& sheet);
    // Checks the work-mode entry of the view's work mode (after the
    // toolbar's control changed it).
    void showWorkMode();

    void fitModel();
    void fitSelection();
    void resetView();
    void showStandardView(vxStandardView which);
    void setOrthographic(bool on);
    // Draws the model's tubes (remembered as "view/showTubes").
    void setShowTubes(bool on);

    // Draws the view off-screen at size and writes it as a PNG file
    // (atomically). False, with the reason in *error, when it cannot.
    bool savePicture(const QString& path, QSize size, QString* error = nullptr);
    // Puts the view, drawn at the window's size, on the clipboard.
    bool copyPicture(QString* error = nullptr);
    // Prints a title line (model, shown phase, date) and the view drawn at
    // the printer's resolution (at most 600 dpi) below it.
    bool printView(QPrinter& printer, QString* error = nullptr);
    // The title line of a print.
    QString printTitle() const;

    // The commands that need a model (the camera, phase and picture
    // commands): the window enables them once one is shown.
    const QList<QAction*>& modelCommands() const { return m_modelCommands; }

    // The sheet that lists every keyboard shortcut and mouse gesture.
    QDialog* shortcutsSheet();

  private:
    QAction* addAction(QMenu* menu, const char* name, const QString& text, const QList<QKeySequence>& keys);
    void buildActions();
    void menSavePicture();
    void menCopyPicture();
    void message(const QString& text);
    // A checkable setting: checks the action to match (false: it did not, and
    // its toggled signal calls back) or, when it matches, remembers the
    // value under key (true: the caller applies it).
    bool setRemembered(QAction* action, const char* key, bool on);
    vxOpenGLView& view() const;

    vxCommandHost& m_host;
    QMainWindow& m_window;
    QAction* m_orthographic = nullptr;
    QAction* m_showTubes = nullptr;
    QActionGroup* m_workModes = nullptr;
    QDialog* m_shortcutsSheet = nullptr;
    QList<QAction*> m_modelCommands;
};
