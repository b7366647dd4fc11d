// The main window driven as a user drives it: real widgets, real mouse
// clicks through Qt, under Xvfb.
#include "ui_vxSheetLibrary.h"
#include "ui_vxSheetParameter.h"
#include "vxExportCommand.h"
#include "vxInstructionsController.h"
#include "vxLocalized.h"
#include "vxPartPanelController.h"
#include "vxVersion.h"
#include "vxViewCommands.h"
#include "vxWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPrinter>
#include <QSettings>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace vxTest;
using MainWindow = WindowTest;

TEST_F(MainWindow, OpeningAModelFillsTitleLinesAndPhaseControl)
{
    EXPECT_TRUE(widget<QLabel>("titleLine1")->text().isEmpty());
    EXPECT_EQ(view().gridVisible(), 1);
    widget<QToolButton>("btnGrid")->setChecked(true);
    ASSERT_TRUE(open());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("three.kmf – Kolbrik Viewer"));
    EXPECT_EQ(widget<QLabel>("titleLine1")->text(), "Three blocks");
    EXPECT_EQ(widget<QLabel>("titleLine2")->text(), "Original model: Starter kit");
    EXPECT_EQ(widget<QLabel>("titleLine3")->text(), "Built by: Anna");
    EXPECT_EQ(view().gridVisible(), 0);
    EXPECT_FALSE(widget<QToolButton>("btnGrid")->isChecked());
    EXPECT_FALSE(widget<QDialog>("vxSheetWait")->isVisible());
    EXPECT_EQ(widget<vxSegmentedControl>("btnBauphase")->label(1), "3");
    EXPECT_TRUE(widget<vxSegmentedControl>("btnBauphase")->isEnabled(0));
    EXPECT_FALSE(widget<vxSegmentedControl>("btnBauphase")->isEnabled(2));

    // A file that cannot be read changes nothing and says why.
    EXPECT_FALSE(window->loadModelFromFile(QString::fromStdString(res.file("gone.kmf"))));
    EXPECT_TRUE(window->lastAlertText().contains("gone.kmf"));
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("three.kmf – Kolbrik Viewer"));
    EXPECT_EQ(widget<QLabel>("titleLine1")->text(), "Three blocks");
    EXPECT_EQ(view().sceneObjectList().size(), 4u);
    EXPECT_FALSE(widget<QDialog>("vxSheetWait")->isVisible());

    // The grid button toggles the grid.
    QTest::mouseClick(widget<QToolButton>("btnGrid"), Qt::LeftButton);
    EXPECT_EQ(view().gridVisible(), 1);
    EXPECT_TRUE(widget<QToolButton>("btnGrid")->isChecked());
}

// The step control stays within one and the last phase; the phase sheet
// shows a phase without moving it.
TEST_F(MainWindow, PhaseStepsAndThePhaseSheet)
{
    ASSERT_TRUE(open());
    vxSegmentedControl* phase = widget<vxSegmentedControl>("btnBauphase");
    auto& objs = view().sceneObjectList();
    clickSegment(phase, 0);
    EXPECT_EQ(phase->label(1), "2");
    EXPECT_EQ(objs[2]->visible(), 0);
    EXPECT_TRUE(phase->isEnabled(0));
    EXPECT_TRUE(phase->isEnabled(2));
    clickSegment(phase, 0);
    EXPECT_EQ(phase->label(1), "1");
    EXPECT_FALSE(phase->isEnabled(0)); // stepping back from 2 to 1
    EXPECT_EQ(view().model()->actualBauphase(), 1);
    clickSegment(phase, 1); // the number does nothing
    EXPECT_EQ(view().model()->actualBauphase(), 1);
    clickSegment(phase, 2);
    EXPECT_TRUE(phase->isEnabled(0)); // forward from 1 to 2
    clickSegment(phase, 2);
    EXPECT_EQ(phase->label(1), "3");
    EXPECT_FALSE(phase->isEnabled(2)); // forward to the maximum
    EXPECT_EQ(objs[2]->visible(), 1);

    auto choose = [&](int index) {
        window->btnBuildingPhase();
        ASSERT_TRUE(widget<QDialog>("vxSheetBuildingPhase")->isVisible());
        widget<QComboBox>("cbBauphaseSelector")->setCurrentIndex(index);
        QTest::mouseClick(
            widget<QDialog>("vxSheetBuildingPhase")->findChild<QPushButton*>("btnBuildingPhaseOK"),
            Qt::LeftButton);
        EXPECT_FALSE(widget<QDialog>("vxSheetBuildingPhase")->isVisible());
    };
    QComboBox* cb = widget<QComboBox>("cbBauphaseSelector");
    choose(0);
    ASSERT_EQ(cb->count(), 3);
    EXPECT_EQ(cb->itemText(0), "Phase 1");
    EXPECT_EQ(cb->itemText(2), "Phase 3");
    EXPECT_EQ(objs[1]->visible(), 0);
    EXPECT_EQ(objs[2]->visible(), 0);
    EXPECT_EQ(phase->label(1), "3");
    EXPECT_EQ(view().model()->actualBauphase(), 3);

    // Back steps from the label's phase, not from the one the sheet showed.
    clickSegment(phase, 0);
    EXPECT_EQ(phase->label(1), "2");
    EXPECT_EQ(objs[1]->visible(), 1);
    EXPECT_EQ(objs[2]->visible(), 0);

    // Refresh brings back parts hidden by hand, but not those of later phases.
    objs[0]->setVisible(0);
    choose(0);
    window->btnRefresh();
    EXPECT_EQ(objs[0]->visible(), 1);
    EXPECT_EQ(objs[1]->visible(), 1);
    EXPECT_EQ(objs[2]->visible(), 0);

    // A second model starts at its own last phase, with everything shown.
    choose(0);
    writeFile(res.file("two.kmf"), kmfFile({0, 0, -12}, {0, 0, 0},
                                           {{"K31005_a", {0, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x0000ff, 1},
                                            {"K31005_b", {3, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0x00ff00, 2}}));
    ASSERT_TRUE(window->loadModelFromFile(QString::fromStdString(res.file("two.kmf"))));
    EXPECT_EQ(phase->label(1), "2");
    EXPECT_TRUE(phase->isEnabled(0));
    EXPECT_FALSE(phase->isEnabled(2));
    for (const auto& o : view().sceneObjectList())
        EXPECT_EQ(o->visible(), 1);
    clickSegment(phase, 0);
    EXPECT_EQ(phase->label(1), "1");
    EXPECT_EQ(view().sceneObjectList()[0]->visible(), 1);
    EXPECT_EQ(view().sceneObjectList()[1]->visible(), 0);

    // A model without parts has one phase: label 1, no steps, one entry.
    writeFile(res.file("none.kmf"), "[COMMON]\r\nCOUNT=0\r\n");
    ASSERT_TRUE(window->loadModelFromFile(QString::fromStdString(res.file("none.kmf"))));
    EXPECT_EQ(phase->label(1), "1");
    EXPECT_FALSE(phase->isEnabled(0));
    EXPECT_FALSE(phase->isEnabled(2));
    window->btnBuildingPhase();
    ASSERT_EQ(cb->count(), 1);
    EXPECT_EQ(cb->itemText(0), "Phase 1");
    widget<QDialog>("vxSheetBuildingPhase")->hide();
}

// Select shows the part's name, number and picture in the part panel (which
// opens with the part selected before it was first shown, and keeps the
// last picture when nothing is selected); Hide hides parts.
TEST_F(MainWindow, WorkModesSelectShowTheNameAndHideParts)
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(q(res.file("31005.png"))));
    ASSERT_TRUE(open());
    vxSegmentedControl* mode = widget<vxSegmentedControl>("btnWorkMode");
    clickSegment(mode, 2);
    EXPECT_EQ(view().workMode(), 3);
    clickSegment(mode, 0);
    EXPECT_EQ(view().workMode(), 1);

    vxPartPanelController& panel = *window->partPanel();
    clickView();
    EXPECT_EQ(panel.myPanel(), nullptr); // recorded only: no window yet
    window->menAnsichtBauteilInfo();
    ASSERT_NE(panel.myPanel(), nullptr);
    EXPECT_TRUE(panel.myPanel()->isVisible());
    EXPECT_EQ(panel.lblName()->text(), "Block 30");
    window->menDeselectAll();
    EXPECT_TRUE(panel.lblName()->text().isEmpty());
    clickView();
    ASSERT_EQ(view().selectedBauteil(), view().sceneObjectList()[0]);
    EXPECT_EQ(panel.lblName()->text(), "Block 30");
    EXPECT_EQ(panel.lblNr()->text(), "31005");
    EXPECT_EQ(panel.imgIcon()->pixmap().toImage().pixelColor(3, 3), QColor(Qt::red));

    // Centre on it, then deselect all.
    view().cameraTarget().setVector3f(5, 5, 5);
    window->menBauteilMittelpunkt();
    EXPECT_EQ(view().cameraTarget(), vxVector(0, 0, 0, 0));
    window->menDeselectAll();
    EXPECT_EQ(view().selectedBauteil(), nullptr);
    EXPECT_TRUE(panel.lblName()->text().isEmpty());
    EXPECT_TRUE(panel.lblNr()->text().isEmpty());
    EXPECT_FALSE(panel.imgIcon()->pixmap().isNull()); // the last picture stays
    panel.selectPart(std::make_shared<vxPart>());
    EXPECT_TRUE(panel.imgIcon()->pixmap().isNull()); // no picture of that name
    view().cameraTarget().setVector3f(5, 5, 5);
    window->menBauteilMittelpunkt(); // nothing selected: nothing changes
    EXPECT_EQ(view().cameraTarget(), vxVector(5, 5, 5, 0));
    view().cameraTarget().setVector3f(0, 0, 0);

    clickSegment(mode, 2);
    clickView();
    EXPECT_EQ(view().sceneObjectList()[0]->visible(), 0);
    clickView();
    EXPECT_EQ(view().sceneObjectList()[1]->visible(), 0);
    clickSegment(mode, 1);
    EXPECT_EQ(view().workMode(), 2);
}

// Paint earlier phases white shows at once when switched on or off, and
// keeps parts hidden by hand hidden.
TEST_F(MainWindow, PaintingEarlierPhasesWhiteShowsAtOnce)
{
    ASSERT_TRUE(open());
    vxGLWidget* w = window->viewWidget();
    auto middle = [w] {
        const QImage frame = w->grabFramebuffer();
        return frame.pixelColor(frame.width() / 2, frame.height() / 2);
    };
    EXPECT_EQ(middle(), QColor(255, 0, 0)); // the front block, of phase 1
    view().sceneObjectList()[1]->setVisible(0);
    auto setWhite = [this](bool on) {
        window->menParameter();
        window->parameterUi()->cbPaintOldWhite->setChecked(on);
        window->btnParameterOK();
    };
    setWhite(true);
    EXPECT_EQ(middle(), QColor(255, 255, 255));
    EXPECT_EQ(view().sceneObjectList()[1]->visible(), 0);
    setWhite(false);
    EXPECT_EQ(middle(), QColor(255, 0, 0));
}

TEST_F(MainWindow, TheAboutSheetShowsTheVersion)
{
    window->menAboutDlg();
    EXPECT_TRUE(widget<QDialog>("vxSheetAbout")->isVisible());
    const auto* version =
        widget<QDialog>("vxSheetAbout")->findChild<QLabel*>(QStringLiteral("lblAboutVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->text().contains(QLatin1String(kKolbrikVersion))) << version->text().toStdString();
    window->btnAboutDlgOK();
    EXPECT_FALSE(widget<QDialog>("vxSheetAbout")->isVisible());
}

TEST_F(MainWindow, LibraryListsKitsAndModelsAndAClickLoads)
{
    // Without a library it says so.
    window->menShowLibrary();
    EXPECT_TRUE(widget<QDialog>("vxSheetLibrary")->isVisible());
    EXPECT_EQ(window->controllerBaukasten()->rowCount(), 0);
    auto* empty = widget<QDialog>("vxSheetLibrary")->findChild<QLabel*>("lblEmpty");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->isVisible());
    EXPECT_TRUE(empty->text().contains("library"));
    window->btnCloseLibrary();

    const std::string lib = res.file("library");
    writeFile(lib + "/Kit/Car.kmf", readFile(res.file("three.kmf")));
    writeFile(lib + "/Kit/Car.KMF", "x");
    QImage preview(40, 30, QImage::Format_RGB32);
    preview.fill(Qt::blue);
    ASSERT_TRUE(preview.save(QString::fromStdString(lib + "/Kit/Car.bmp")));
    writeFile(lib + "/Kit/sub/Crane.kmf", "[COMMON]\r\nCOUNT=0\r\n");
    // A model in a sub-folder has its picture beside it, not in the kit's folder.
    preview.fill(Qt::red);
    ASSERT_TRUE(preview.save(QString::fromStdString(lib + "/Kit/sub/Crane.bmp")));
    preview.fill(Qt::green);
    ASSERT_TRUE(preview.save(QString::fromStdString(lib + "/Kit/Crane.bmp")));
    writeFile(lib + "/Kit/a.b.kmf", "[COMMON]\r\nCOUNT=0\r\n");
    std::filesystem::create_directories(lib + "/Other.kit");
    std::filesystem::create_directory_symlink("Kit", lib + "/Link"); // no kit of its own

    // One walk of the first kit per showing.
    int walks = 0;
    QObject::connect(window->controllerModelle(), &QStandardItemModel::modelReset, [&walks] { ++walks; });
    window->menShowLibrary();
    EXPECT_EQ(walks, 1);
    ASSERT_TRUE(widget<QDialog>("vxSheetLibrary")->isVisible());
    EXPECT_FALSE(empty->isVisible());
    QStandardItemModel* kits = window->controllerBaukasten();
    ASSERT_EQ(kits->rowCount(), 3);
    EXPECT_EQ(kits->item(0)->text(), "Kit");
    EXPECT_EQ(kits->item(1)->text(), "Kit/sub");
    EXPECT_EQ(kits->item(2)->text(), "Other"); // the extension of the folder name goes
    // The sub-folder's models belong to its own kit only.
    const auto& models = window->modelItems();
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[0].fullName, "Car");
    EXPECT_FALSE(models[0].fullImage.isNull());
    EXPECT_EQ(window->controllerModelle()->item(0)->text(), "Car\n4 parts \u00b7 3 phases");
    EXPECT_EQ(models[1].fullName, "a.b");
    window->libraryUi()->tblLibrary->setCurrentIndex(kits->index(1, 0));
    ASSERT_EQ(window->modelItems().size(), 1u);
    EXPECT_EQ(window->modelItems()[0].fullName, "Crane");
    ASSERT_FALSE(window->modelItems()[0].fullImage.isNull());
    EXPECT_EQ(window->modelItems()[0].fullImage.toImage().pixelColor(5, 5), QColor(Qt::red));
    EXPECT_TRUE(window->modelItems()[0].index.endsWith("library/Kit/sub/Crane.kmf"));

    // Another kit; closing loads nothing.
    window->libraryUi()->tblLibrary->setCurrentIndex(kits->index(2, 0));
    EXPECT_TRUE(window->modelItems().empty());
    window->btnCloseLibrary();
    EXPECT_FALSE(widget<QDialog>("vxSheetLibrary")->isVisible());
    EXPECT_TRUE(view().sceneObjectList().empty());

    // Showing it again selects the first kit and model, with the focus in
    // the filter; the filter searches every kit and tells each match's kit;
    // choosing a kit shows it whole again.
    window->menShowLibrary();
    EXPECT_EQ(window->libraryUi()->tblLibrary->currentIndex().row(), 0);
    EXPECT_EQ(widget<QDialog>("vxSheetLibrary")->focusWidget(), window->libraryUi()->edtFilter);
    QListView* list = window->libraryUi()->tblModels;
    EXPECT_EQ(list->currentIndex().row(), 0);
    auto listed = [&] {
        QStringList texts;
        for (int row = 0; row < window->controllerModelle()->rowCount(); ++row)
            texts << window->controllerModelle()->item(row)->text();
        return texts;
    };
    window->libraryUi()->edtFilter->setText("A.B");
    EXPECT_EQ(listed(), QStringList{"a.b\nKit"});
    EXPECT_EQ(list->currentIndex().row(), 0);
    window->libraryUi()->edtFilter->setText("r");
    EXPECT_EQ(listed(), QStringList({QString::fromUtf8("Car\nKit · 4 parts · 3 phases"), "Crane\nKit/sub"}));
    window->libraryUi()->edtFilter->setText("nothing");
    EXPECT_TRUE(listed().isEmpty());
    window->libraryUi()->tblLibrary->setCurrentIndex(kits->index(1, 0));
    EXPECT_TRUE(window->libraryUi()->edtFilter->text().isEmpty());
    EXPECT_EQ(listed(), QStringList{"Crane"});
    // Enter in the kit list opens the kit's first model.
    QTest::keyClick(window->libraryUi()->tblLibrary, Qt::Key_Return);
    EXPECT_FALSE(widget<QDialog>("vxSheetLibrary")->isVisible());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Crane.kmf – Kolbrik Viewer"));

    // Enter in the model list opens the model chosen with the keys.
    window->menShowLibrary();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(widget<QDialog>("vxSheetLibrary")->isVisible());
    EXPECT_EQ(view().sceneObjectList().size(), 4u);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Car.kmf – Kolbrik Viewer"));

    // A click opens too.
    window->menShowLibrary();
    QTest::qWait(20);
    const QRect r = list->visualRect(window->controllerModelle()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_FALSE(widget<QDialog>("vxSheetLibrary")->isVisible());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("a.b.kmf – Kolbrik Viewer"));
}

TEST_F(MainWindow, ExportChosenInTheSaveDialogWritesTheShownPhaseAndCancelChangesNothing)
{
    ASSERT_TRUE(open());
    clickSegment(widget<vxSegmentedControl>("btnBauphase"), 0); // phase 2: the third block is left out
    vxExportCommand* command = window->exportCommand();
    ASSERT_TRUE(window->findChild<QMenu*>("menuFile")->actions().contains(command->action()));

    // The user picks the OBJ filter and types a name without extension.
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        auto* types = dlg->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        EXPECT_EQ(dlg->findChild<QLineEdit*>("fileNameEdit")->text(), "three"); // the model's name
        types->setCurrentIndex(types->findText(vxExportCommand::filterOf(vxExportFormat::kObj)));
        emit types->activated(types->currentIndex());
        emit types->textActivated(types->currentText());
        dlg->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(out.file("three")));
        QMetaObject::invokeMethod(dlg, "accept");
    });
    command->menExport();
    EXPECT_EQ(window->lastAlertTitle(), "Export finished");
    const std::string obj = readFile(out.file("three.obj"));
    int faces = 0;
    for (auto p = obj.find("\nf "); p != std::string::npos; p = obj.find("\nf ", p + 1))
        ++faces;
    EXPECT_EQ(faces, 24); // two blocks of 12 triangles
    EXPECT_NE(readFile(out.file("three.mtl")).find("newmtl"), std::string::npos);
    EXPECT_EQ(QSettings().value("export/format").toString(), "obj");

    // A failure says why, naming the file once; so does Export as VRML,
    // which also says when it is done.
    const QString missing = q(out.file("no/such/x.glb"));
    EXPECT_FALSE(command->doExport(missing, vxExportFormat::kGlb));
    EXPECT_EQ(window->lastAlertTitle(), "The export failed");
    EXPECT_EQ(window->lastAlertText(), missing + " could not be written: No such file or directory");
    EXPECT_FALSE(widget<QDialog>("vxSheetWait")->isVisible());
    EXPECT_FALSE(window->doExportAsVRML(q(out.file("no/such/x.wrl"))));
    EXPECT_EQ(window->lastAlertText(),
              q(out.file("no/such/x.wrl")) + " could not be written: No such file or directory");
    EXPECT_TRUE(window->doExportAsVRML(q(out.file("three.wrl"))));
    EXPECT_EQ(window->lastAlertTitle(), "VRML export");
    EXPECT_EQ(window->lastAlertText(), "The scene has been written as a VRML file.");
    EXPECT_EQ(readFile(out.file("three.wrl")).rfind("#VRML V1.0 ascii\r\n", 0), 0u);
    EXPECT_FALSE(widget<QDialog>("vxSheetWait")->isVisible());

    // Cancel in the open and the save panels changes nothing.
    const auto files = entries(out.path());
    int cancelled = 0;
    QStringList proposed; // the name each panel offers
    auto cancelNextPanel = [&] {
        auto* timer = new QTimer(window.get());
        QObject::connect(timer, &QTimer::timeout, timer, [timer, &cancelled, &proposed] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                proposed << d->findChild<QLineEdit*>("fileNameEdit")->text();
                d->reject();
                ++cancelled;
                timer->deleteLater();
            }
        });
        timer->start(20);
    };
    const QString title = window->windowTitle();
    const auto scene = view().sceneObjectList();
    const QString alertTitle = window->lastAlertTitle();
    cancelNextPanel();
    window->menuFileOpen();
    cancelNextPanel();
    window->exportAsVRML();
    cancelNextPanel();
    window->exportCommand()->menExport();
    EXPECT_EQ(cancelled, 3);
    EXPECT_EQ(proposed.mid(1), QStringList({"three.wrl", "three"}));
    EXPECT_EQ(window->windowTitle(), title);
    EXPECT_EQ(view().sceneObjectList(), scene);
    EXPECT_EQ(window->lastAlertTitle(), alertTitle);
    EXPECT_FALSE(widget<QDialog>("vxSheetWait")->isVisible());
    EXPECT_EQ(entries(out.path()), files);
}

// Choose phase… shows a phase without moving the step control; what the
// window adds follows the phase shown: the status bar tells both, and
// Export… writes the phase shown. The list starts at the phase shown,
// Cancel changes nothing, and its entries are translated.
TEST_F(MainWindow, ChoosePhaseKeepsTheStepControlAndExportAndStatusFollowTheShownPhase)
{
    ASSERT_TRUE(open());
    auto* sheet = widget<QDialog>("vxSheetBuildingPhase");
    auto* cb = widget<QComboBox>("cbBauphaseSelector");
    auto* status = widget<QLabel>("statusPhase");
    window->btnBuildingPhase();
    ASSERT_TRUE(sheet->isVisible());
    EXPECT_EQ(cb->currentIndex(), 2); // the phase shown
    cb->setCurrentIndex(0);
    QTest::mouseClick(sheet->findChild<QPushButton*>("btnBuildingPhaseOK"), Qt::LeftButton);
    EXPECT_EQ(widget<vxSegmentedControl>("btnBauphase")->label(1), "3");
    EXPECT_EQ(view().model()->actualBauphase(), 3);
    EXPECT_EQ(status->text(), "Phase 1 of 3 (step control at 3)");

    // One block of twelve triangles, as shown, not the four of the step control.
    ASSERT_TRUE(window->exportCommand()->doExport(q(out.file("one.stl")), vxExportFormat::kStl));
    const std::string stl = readFile(out.file("one.stl"));
    ASSERT_GE(stl.size(), 84u);
    EXPECT_EQ(static_cast<unsigned char>(stl[80]) | static_cast<unsigned char>(stl[81]) << 8, 12);

    // Cancel leaves the phase shown as it was.
    window->btnBuildingPhase();
    EXPECT_EQ(cb->currentIndex(), 0);
    cb->setCurrentIndex(1);
    QTest::mouseClick(sheet->findChild<QPushButton*>("btnBuildingPhaseCancel"), Qt::LeftButton);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(view().shownBauphase(), 1);
    EXPECT_EQ(status->text(), "Phase 1 of 3 (step control at 3)");

    // A step shows the step control's neighbour, and the status says no more.
    clickSegment(widget<vxSegmentedControl>("btnBauphase"), 0);
    EXPECT_EQ(status->text(), "Phase 2 of 3");

    vxInstallTranslations(qtApp(), QLocale::German, kTranslations);
    window->btnBuildingPhase();
    EXPECT_EQ(cb->itemText(0), "Bauphase 1");
    sheet->hide();
    vxInstallTranslations(qtApp(), QLocale::English, kTranslations);
}

TEST_F(MainWindow, KeysWheelAndMiddleDragNavigateAndTheSettingsAreRemembered)
{
    ASSERT_TRUE(open());
    view().setSmoothTransitions(false);

    auto offset = [this] {
        vxVector v;
        v.vectorSubtract3f(view().cameraPosition(), view().cameraTarget());
        return v;
    };
    auto key = [this](int k) {
        // The keys are the window's shortcuts: the window is made active
        // here, whatever other test windows on the same display do.
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window->windowHandle(), static_cast<Qt::Key>(k));
    };
    const float distance = offset().vectorLength3f();
    key(Qt::Key_Left); // turns in every work mode
    EXPECT_NE(view().cameraPosition(), vxVector(0, 0, -12));
    EXPECT_NEAR(offset().vectorLength3f(), distance, 1e-3f);
    key(Qt::Key_Plus);
    EXPECT_NEAR(offset().vectorLength3f(), distance / 1.1f, 1e-3f);
    key(Qt::Key_5);
    const vxCameraPose top =
        view().fittedCamera(view().visibleBoxes(), vxOpenGLView::standardViewDirection(vxStandardView::kTop));
    EXPECT_EQ(view().cameraPosition(), top.position);
    key(Qt::Key_R);
    EXPECT_EQ(view().cameraPosition(), vxVector(0, 0, -12));
    key(Qt::Key_O);
    EXPECT_TRUE(view().orthographic());
    key(Qt::Key_PageUp);
    EXPECT_EQ(widget<vxSegmentedControl>("btnBauphase")->label(1), "2");
    key(Qt::Key_PageDown);
    key(Qt::Key_PageDown); // already at the last phase
    EXPECT_EQ(widget<vxSegmentedControl>("btnBauphase")->label(1), "3");
    key(Qt::Key_S);
    EXPECT_EQ(view().workMode(), 1);
    EXPECT_EQ(widget<vxSegmentedControl>("btnWorkMode")->selectedSegment(), 0);

    // Wheel away from the user zooms in; a middle drag pans (in any mode).
    vxGLWidget* w = window->viewWidget();
    const QPointF middle(w->width() / 2.0, w->height() / 2.0);
    auto wheel = [&](int angle) {
        QWheelEvent e(middle, w->mapToGlobal(middle), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
        return offset().vectorLength3f();
    };
    float before = offset().vectorLength3f();
    EXPECT_LT(wheel(120), before);
    const vxVector turned = offset();
    const vxVector target = view().cameraTarget();
    auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::MiddleButton, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    mouse(QEvent::MouseButtonPress, middle, Qt::MiddleButton);
    mouse(QEvent::MouseMove, middle + QPointF(30, 10), Qt::MiddleButton);
    mouse(QEvent::MouseButtonRelease, middle + QPointF(30, 10), Qt::NoButton);
    EXPECT_NE(view().cameraTarget(), target);
    EXPECT_NEAR(offset().x(), turned.x(), 1e-3f);
    EXPECT_NEAR(offset().z(), turned.z(), 1e-3f);

    // The sheet turns the wheel round; a new window starts with it (and
    // with the projection chosen in the menu).
    window->menParameter();
    EXPECT_FALSE(window->parameterUi()->cbInvertWheel->isChecked());
    window->parameterUi()->cbInvertWheel->setChecked(true);
    window->parameterUi()->cbSmoothTransitions->setChecked(false);
    window->btnParameterOK();
    before = offset().vectorLength3f();
    EXPECT_GT(wheel(120), before);
    // View > Show cables and tubes, off at first, is remembered too.
    EXPECT_FALSE(view().showTubes());
    QAction* tubes = window->findChild<QAction*>("actionShowTubes");
    ASSERT_TRUE(tubes);
    tubes->trigger();
    EXPECT_TRUE(view().showTubes());
    MainWindowController second;
    EXPECT_FALSE(second.viewWidget()->wheelAwayZoomsIn());
    EXPECT_FALSE(second.view().smoothTransitions());
    EXPECT_TRUE(second.view().orthographic());
    EXPECT_TRUE(second.view().showTubes());
    QSettings().remove("navigation");
    QSettings().remove("view/showTubes");
}

TEST_F(MainWindow, PicturesOfTheViewAreDrawnOffScreenAtTheirSizeOrPrintedAndEveryShortcutIsListed)
{
    ASSERT_TRUE(open());
    vxGLWidget* w = window->viewWidget();
    vxViewCommands& commands = *window->viewCommands();
    const QImage screen = w->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(w->renderPicture(screen.size()).convertToFormat(QImage::Format_RGB32), screen);

    QString error;
    ASSERT_TRUE(commands.savePicture(QString::fromStdString(out.file("p.png")), QSize(300, 120), &error))
        << error.toStdString();
    const QImage saved(QString::fromStdString(out.file("p.png")));
    EXPECT_EQ(saved.size(), QSize(300, 120));
    EXPECT_EQ(saved.pixelColor(150, 60), QColor(255, 0, 0)); // the front cube's lit face
    EXPECT_FALSE(
        commands.savePicture(QString::fromStdString(out.file("no/such/p.png")), QSize(30, 20), &error));
    EXPECT_TRUE(error.contains("no/such")) << error.toStdString();
    EXPECT_TRUE(w->renderPicture(QSize(1 << 20, 10), &error).isNull());
    EXPECT_TRUE(commands.copyPicture());
    EXPECT_EQ(QApplication::clipboard()->image().size(), screen.size());
    EXPECT_TRUE(commands.printTitle().startsWith(QString::fromUtf8("Three blocks · Phase 3 of 3 · ")));

    // Every action with keys, wherever it lives, is in the list.
    QStringList listed;
    QTreeWidget* tree = commands.shortcutsSheet()->findChild<QTreeWidget*>();
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        listed << (*it)->text(0) + " = " + (*it)->text(1);
    EXPECT_TRUE(listed.contains("Fit model = F or Home"));
    EXPECT_TRUE(listed.contains(QString::fromUtf8("Standard views › Front = 1")));
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->shortcuts().isEmpty())
            continue;
        const QString text = QString(a->text()).remove('&');
        EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const QString& l) {
            return l.contains(text + " = ");
        })) << text.toStdString();
    }

    // The printed page, rendered back from the PDF, shows the picture of the
    // view: its background and the red cube in front.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(out.file("print.pdf")));
    ASSERT_TRUE(window->printView(printer));
    const std::string command =
        "pdftoppm -r 40 -png -singlefile '" + out.file("print.pdf") + "' '" + out.file("page") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const QImage page(QString::fromStdString(out.file("page.png")));
    ASSERT_FALSE(page.isNull());
    long background = 0, red = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            background +=
                std::abs(c.red() - 235) < 6 && std::abs(c.green() - 232) < 6 && std::abs(c.blue() - 217) < 6;
            red += c.red() > 120 && c.green() < 60 && c.blue() < 60;
        }
    const long area = static_cast<long>(page.width()) * page.height();
    EXPECT_GT(background, area / 5) << "the view's background";
    EXPECT_GT(red, area / 200) << "the cube in front";
}

// The window host of the view: sizes, coordinates and a real draw; the
// grid is hidden after opening.
// View > Drawing style and the toolbar's toggle switch the view's style in
// step; pictures are drawn in it, Classic's as before; a new window starts
// with the style chosen last.
TEST_F(MainWindow, TheDrawingStyleIsChosenInTheMenuOrTheToolbarAndRemembered)
{
    ASSERT_TRUE(open());
    auto* classic = window->findChild<QAction*>("actionStyleClassic");
    auto* outlined = window->findChild<QAction*>("actionStyleOutlined");
    auto* toggle = window->findChild<QAction*>("actionToggleOutlined");
    ASSERT_TRUE(classic && outlined && toggle);
    EXPECT_TRUE(classic->isChecked());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_EQ(view().drawStyle(), vxDrawStyle::kClassic);
    vxGLWidget* w = window->viewWidget();
    const QImage flat = w->renderPicture(QSize(160, 120));

    outlined->trigger();
    EXPECT_EQ(view().drawStyle(), vxDrawStyle::kOutlined);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_FALSE(classic->isChecked());
    const QImage lined = w->renderPicture(QSize(160, 120));
    ASSERT_FALSE(lined.isNull());
    EXPECT_NE(lined, flat);
    {
        MainWindowController second;
        EXPECT_EQ(second.view().drawStyle(), vxDrawStyle::kOutlined);
    }

    toggle->trigger();
    EXPECT_EQ(view().drawStyle(), vxDrawStyle::kClassic);
    EXPECT_TRUE(classic->isChecked());
    EXPECT_EQ(w->renderPicture(QSize(160, 120)), flat);
    QSettings().remove("view/drawingStyle");
}

TEST_F(MainWindow, TheGLWidgetHostsTheViewWithPointsPixelsAndALowerLeftOrigin)
{
    ASSERT_TRUE(open());
    vxGLWidget& w = *window->viewWidget();
    EXPECT_EQ(w.view().gridVisible(), 0);
    const vxSize points = w.boundsInPoints();
    const vxSize pixels = w.boundsInPixels();
    EXPECT_EQ(points.width, w.width());
    EXPECT_EQ(pixels.width, w.width() * w.devicePixelRatioF());
    EXPECT_EQ(pixels.height, w.height() * w.devicePixelRatioF());
    // The widget's top left corner, in window coordinates, is the view's
    // point (0, height).
    const vxPoint topLeft = w.convertFromWindow(w.windowPointFromWidget(QPointF(0, 0)));
    EXPECT_EQ(topLeft.x, 0);
    EXPECT_EQ(topLeft.y, w.height());
    const vxPoint bottom = w.convertFromWindow(w.windowPointFromWidget(QPointF(10, w.height())));
    EXPECT_EQ(bottom.x, 10);
    EXPECT_EQ(bottom.y, 0);

    const QImage image = w.grabFramebuffer();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(1, 1), QColor(235, 232, 217));
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(255, 0, 0)); // the lit front
}

TEST(Translations, GermanTableUnderAGermanLocaleEnglishOtherwise)
{
    vxTest::qtApp();
    // Ours, and Qt's own for its standard dialogs and shortcut names.
    EXPECT_EQ(vxInstallTranslations(vxTest::qtApp(), QLocale::German, kTranslations), 3);
    EXPECT_EQ(vxLocalized("ORIGINAL"), "Originalmodell: %1");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
    EXPECT_EQ(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText), "Strg+O");
    EXPECT_EQ(vxLocalized("NOSUCHKEY"), "NOSUCHKEY");
    EXPECT_EQ(vxInstallTranslations(vxTest::qtApp(), QLocale::French, kTranslations), 1);
    EXPECT_EQ(vxLocalized("ORIGINAL"), "Original model: %1");
    EXPECT_EQ(vxLocalizedFormat("CAPTION", "a.kmf"), QString::fromUtf8("a.kmf – Kolbrik Viewer"));
    vxRemoveTranslations(vxTest::qtApp());
    EXPECT_EQ(vxLocalized("CAPTION"), "CAPTION"); // a key without an entry shows itself
    EXPECT_EQ(vxLocalizedFormat("CAPTION", "a.kmf"), "CAPTION");
}

// A save panel's choice of the model shown, under its own name or through a
// link, is refused with an alert for every kind of file the window writes;
// the model stays as it was.
TEST_F(MainWindow, SavePanelsDoNotWriteOverTheModelShown)
{
    ASSERT_TRUE(open());
    const std::string model = res.file("three.kmf");
    const std::string before = readFile(model);
    std::filesystem::create_symlink(model, res.file("link.kmf"));
    for (const std::string& chosen : {model, res.file("link.kmf")}) {
        // Chooses `chosen` in the next save panel; other dialogs (the picture
        // size) are accepted as they are.
        auto* timer = new QTimer(window.get());
        QObject::connect(timer, &QTimer::timeout, timer, [chosen] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* d = qobject_cast<QFileDialog*>(modal)) {
                d->setOption(QFileDialog::DontConfirmOverwrite);
                d->selectFile(q(chosen));
                d->findChild<QLineEdit*>("fileNameEdit")->setText(q(chosen));
                static_cast<QDialog*>(d)->accept();
            } else if (auto* other = qobject_cast<QDialog*>(modal)) {
                other->accept();
            }
        });
        const std::function<void()> commands[] = {
            [&] { window->exportAsVRML(); }, [&] { window->exportCommand()->menExport(); },
            [&] { window->findChild<QAction*>("actionSavePicture")->trigger(); },
            [&] { window->instructions()->menExportInstructions(); }};
        for (const auto& command : commands) {
            timer->start(20);
            window->alert(QStringLiteral("none"), QString(), false);
            command();
            timer->stop();
            EXPECT_EQ(window->lastAlertTitle(), "The model is not written over")
                << chosen << window->lastAlertText().toStdString();
            EXPECT_EQ(readFile(model), before);
        }
        timer->deleteLater();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(res.file("link.kmf")));
}
