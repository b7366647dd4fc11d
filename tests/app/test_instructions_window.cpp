// The window's building-instruction tools driven as a user drives them:
// the Parts dock following the phase, marking a row's parts, Highlight new
// parts, and a booklet made from the window (after which the view still
// draws with its own context).
#include "vxInstructionsController.h"
#include "vxPartsDock.h"
#include "vxWindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QToolButton>

using namespace vxTest;

namespace {

class InstructionsWindow : public WindowTest {
  protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(open());
        dock = window->instructions()->partsDock();
    }
    QString rows()
    {
        QStringList r;
        for (int i = 0; i < dock->list()->count(); ++i)
            r << dock->list()->item(i)->text().section(QLatin1Char('\n'), 0, 0);
        return r.join(QStringLiteral(" | "));
    }
    vxPartsDock* dock = nullptr;
};

} // namespace

// Every path that fills the dock (a load, a phase step, the scope
// buttons) draws the part pictures, whatever GL context is current: none
// falls back to the catalogue picture (transparent around a colour dot).
TEST_F(InstructionsWindow, ThePartsDockDrawsItsPicturesOnEveryPath)
{
    auto drawn = [this] {
        int rows = 0;
        for (int i = 0; i < dock->list()->count(); ++i) {
            const QImage icon = dock->list()->item(i)->icon().pixmap(48, 48).toImage();
            rows += icon.pixelColor(1, 1).alpha() == 255;
        }
        return rows;
    };
    dock->setWholeModel(false);
    EXPECT_EQ(drawn(), 1);
    // The window's context is current after it draws.
    window->viewWidget()->grabFramebuffer();
    QTest::mouseClick(dock->wholeButton(), Qt::LeftButton);
    EXPECT_EQ(dock->list()->count(), 3);
    EXPECT_EQ(drawn(), 3);
    window->viewWidget()->grabFramebuffer();
    QTest::mouseClick(dock->phaseButton(), Qt::LeftButton);
    EXPECT_EQ(drawn(), 1);
    // The view still draws with its own context.
    EXPECT_EQ(window->viewWidget()->grabFramebuffer().pixelColor(window->viewWidget()->width() / 2,
                                                                 window->viewWidget()->height() / 2),
              QColor(255, 0, 0));
}

TEST_F(InstructionsWindow, ThePartsDockHighlightAndBookletFromTheWindow)
{
    ASSERT_TRUE(dock->isVisible());
    dock->setWholeModel(false);
    EXPECT_EQ(rows(), QString::fromUtf8("2×  Block 30"));
    EXPECT_EQ(dock->totals()->text(), "Phase 3 adds 2 parts of 1 kind");

    QTest::mouseClick(widget<vxSegmentedControl>("btnBauphase")->button(0), Qt::LeftButton); // back to 2
    EXPECT_EQ(rows(), QString::fromUtf8("1×  Block 30"));
    EXPECT_EQ(dock->totals()->text(), "Phase 2 adds 1 part of 1 kind");

    // The phase sheet shows phase 1 without moving the step control.
    window->btnBuildingPhase();
    widget<QComboBox>("cbBauphaseSelector")->setCurrentIndex(0);
    window->btnBuildingPhaseOK();
    EXPECT_EQ(dock->totals()->text(), "Phase 1 adds 1 part of 1 kind");
    window->btnRefresh();
    EXPECT_EQ(dock->totals()->text(), "Phase 2 adds 1 part of 1 kind");

    QTest::mouseClick(dock->wholeButton(), Qt::LeftButton);
    EXPECT_EQ(rows(), QString::fromUtf8("2×  Block 30 | 1×  Block 30 | 1×  Block 30")); // blue, green, red
    EXPECT_EQ(dock->totals()->text(), "4 parts of 3 kinds in the model");

    // A row marks its parts (the blue ones); the selection stays as it was.
    QListWidget* list = dock->list();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    const auto& marked = view().highlight().marked();
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_EQ(marked[0].lock(), view().sceneObjectList()[2]);
    EXPECT_EQ(marked[1].lock(), view().sceneObjectList()[3]);
    EXPECT_EQ(view().selectedBauteil(), nullptr);
    // A phase step lists afresh and clears the marks.
    dock->setWholeModel(false);
    QTest::mouseClick(widget<vxSegmentedControl>("btnBauphase")->button(2), Qt::LeftButton);
    EXPECT_FALSE(view().highlight().hasMarked());
    EXPECT_EQ(dock->totals()->text(), "Phase 3 adds 2 parts of 1 kind");

    // Highlight new parts is a toggle; a booklet made from the window leaves
    // the view drawing with its own context.
    QAction* highlight = window->instructions()->actionHighlight();
    highlight->setChecked(false);
    const QImage plain = window->viewWidget()->grabFramebuffer();
    highlight->trigger();
    EXPECT_TRUE(view().highlight().enabled());
    const QImage faded = window->viewWidget()->grabFramebuffer();
    EXPECT_NE(plain, faded);
    highlight->trigger();
    EXPECT_FALSE(view().highlight().enabled());
    EXPECT_EQ(window->viewWidget()->grabFramebuffer(), plain);

    const QString pdf = QString::fromStdString(out.file("three.pdf"));
    ASSERT_TRUE(window->instructions()->doExportInstructions(pdf, QPageSize(QPageSize::A4)));
    EXPECT_EQ(readFile(out.file("three.pdf")).rfind("%PDF", 0), 0u);
    EXPECT_EQ(window->viewWidget()->grabFramebuffer(), plain);
    // A name ending in .html gives the web page of the same steps.
    ASSERT_TRUE(window->instructions()->doExportInstructions(QString::fromStdString(out.file("three.html")),
                                                             QPageSize(QPageSize::A4)));
    EXPECT_NE(readFile(out.file("three.html")).find("<body data-step-count=\"3\">"), std::string::npos);
    EXPECT_EQ(window->viewWidget()->grabFramebuffer(), plain);

    // Printing lays the same pages out on the printer's paper.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setOutputFileName(QString::fromStdString(out.file("printed.pdf")));
    ASSERT_TRUE(window->instructions()->doPrintInstructions(printer));
    const std::string info = runCommand("pdfinfo '" + out.file("printed.pdf") + "'").out;
    EXPECT_NE(info.find("612 x 792"), std::string::npos) << info;
    EXPECT_EQ(runCommand("pdfinfo '" + out.file("three.pdf") + "' | grep Pages").out,
              runCommand("pdfinfo '" + out.file("printed.pdf") + "' | grep Pages").out);

    EXPECT_FALSE(window->instructions()->doExportInstructions(
        QString::fromStdString(out.file("no/such/folder.pdf")), QPageSize(QPageSize::A4)));
    EXPECT_EQ(window->lastAlertTitle(), "The building instructions could not be written");
    EXPECT_TRUE(window->lastAlertText().contains("no/such/folder.pdf"));
}
