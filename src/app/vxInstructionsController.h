#pragma once

#include "vxPartsList.h"

#include <QObject>
#include <QPageSize>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class vxCommandHost;
class QAction;
class QPagedPaintDevice;
class QPrinter;
class vxBooklet;
class vxPartsDock;
class vxPartPictures;

// The window's building-instruction tools: the Parts dock, Highlight new
// parts (View menu, toolbar, key), and File > Export / Print building
// instructions. It adds its menu entries, toolbar button and dock to the
// main window and follows the window's loads and phase changes.
class vxInstructionsController : public QObject {
    Q_OBJECT
  public:
    explicit vxInstructionsController(vxCommandHost& host);
    ~vxInstructionsController() override;

    vxPartsDock* partsDock() const { return m_dock; }
    QAction* actionHighlight() const { return m_highlight; }
    QAction* actionExport() const { return m_export; }
    QAction* actionPrint() const { return m_print; }

    // Highlight new parts on or off (remembered).
    void setHighlight(bool on);

    // Commands. The do… variants run without a dialog and report failure
    // with an alert; they return whether the booklet was made.
    void menExportInstructions();
    bool doExportInstructions(const QString& path, const QPageSize& paper);
    void menPrintInstructions();
    bool doPrintInstructions(QPrinter& printer);

    // Follow the window.
    void modelLoaded();
    void phaseShown();

  private:
    void markEntry(const std::optional<vxPartsListEntry>& entry);
    void blink();
    // Makes the booklet of the shown model and hands it to write (which
    // paints it on its device); shows progress with a Cancel button.
    bool
    makeBooklet(const std::function<bool(vxBooklet&, const std::function<bool(int, int)>&, QString*)>& write,
                QString* error, bool* cancelled);
    bool hasParts() const;

    vxCommandHost& m_host;
    vxPartsDock* m_dock = nullptr;
    QAction* m_highlight = nullptr;
    QAction* m_export = nullptr;
    QAction* m_print = nullptr;
    std::unique_ptr<vxPartPictures> m_pictures;
    QTimer m_blink;
    int m_blinksLeft = 0;
};
