// The main window as a desktop program: the message bar, recent files,
// dropped files, remembered settings, commands that wait for a model, texts
// from files shown as they stand, the status bar, windows that fit the
// screen, and the string tables.
#include "ui_vxSheetLibrary.h"
#include "ui_vxSheetParameter.h"
#include "vxMessageBar.h"
#include "vxModelStatus.h"
#include "vxPartPanelController.h"
#include "vxRecentFiles.h"
#include "vxStartPage.h"
#include "vxWindowTest.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <QXmlStreamReader>
#include <set>

using namespace vxTest;
using Desktop = WindowTest;

// Commands that need a model wait for one (the start page shows until
// then); the message bar tells what a load left out and goes when there is
// nothing to say; a file that holds no model opens, says so, and leaves
// nothing to export.
TEST_F(Desktop, TheMessageBarTellsWhatALoadLeftOutAndModelCommandsWaitForAModel)
{
    QActionGroup* commands = window->modelActions();
    auto* later = new QAction("Later", window.get()); // a command added by other work joins in one line
    commands->addAction(later);
    for (QAction* a : commands->actions())
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    EXPECT_EQ(widget<QStackedWidget>("viewStack")->currentWidget(), widget<vxStartPage>("startPage"));
    EXPECT_FALSE(window->doExportAsVRML(q(out.file("none.wrl"))));
    EXPECT_FALSE(QFile::exists(q(out.file("none.wrl"))));

    vxMessageBar* bar = widget<vxMessageBar>("messageBar");
    EXPECT_FALSE(bar->isVisible());
    // A name with "%2" in it reads as it stands.
    writeFile(res.file("percent.kmf"), crlf({"[COMMON]", "COUNT=1", "[PART1]", "NAME=K%2_hook"}));
    ASSERT_TRUE(open("percent.kmf"));
    EXPECT_EQ(bar->text(),
              QString::fromUtf8("1 part could not be shown: K%2_hook is not in the part catalogue (1×)"));
    writeFile(
        res.file("unknown.kmf"),
        crlf({"[COMMON]", "COUNT=4", "[PART1]", "NAME=K99999", "[PART2]", "NAME=K99999", "[PART3]",
              "NAME=K31005_a", "XPOS=x", "YPOS=" + std::string(50, '1') + "q", "[PART4]", "NAME=K99999"}));
    ASSERT_TRUE(open("unknown.kmf"));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->text(),
              QString::fromUtf8("3 parts could not be shown: K99999 is not in the part catalogue (3×)"));
    EXPECT_EQ(bar->details(), QStringList({QString::fromUtf8("K99999 is not in the part catalogue (3×)"),
                                           "Line 9: XPOS=x in [PART3] is not a number; read as 0",
                                           QString::fromUtf8("Line 10: YPOS=") + QString(40, '1') +
                                               QString::fromUtf8("… (51 characters) in [PART3] is not a "
                                                                 "number; read as inf")}));
    QTest::mouseClick(bar->detailsButton(), Qt::LeftButton);
    auto* details = window->findChild<QDialog*>("messageDetailsWindow");
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->findChild<QPlainTextEdit*>()->toPlainText().contains("XPOS=x"));
    details->close();

    ASSERT_TRUE(open("three.kmf"));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(widget<QStackedWidget>("viewStack")->currentWidget(),
              static_cast<QWidget*>(window->viewWidget()));
    for (QAction* a : commands->actions())
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();

    writeFile(res.file("empty.kmf"), "");
    ASSERT_TRUE(open("empty.kmf"));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->text(), "The file is empty.");
    EXPECT_FALSE(later->isEnabled());
    QTest::mouseClick(bar->closeButton(), Qt::LeftButton);
    EXPECT_FALSE(bar->isVisible());
}

// Every command of the window, by name: those that need a model are off on
// the start page and on once a model is shown (and off again after a file
// that holds none); the others are always on.
TEST_F(Desktop, EveryCommandWaitsForAModelUnlessItNeedsNone)
{
    const QSet<QString> withoutModel = {"actionPartInfo",          "actionOpen",
                                        "actionLibrary",           "actionQuit",
                                        "actionParameter",         "actionAbout",
                                        "actionKeyboardShortcuts", "actionPartsDock",
                                        "actionModeSelect",        "actionModeNavigate",
                                        "actionModeHide",          "actionExportInstructions",
                                        "actionPrintInstructions", "actionStyleClassic",
                                        "actionStyleOutlined",     "actionToggleOutlined"};
    auto sorted = [](const QSet<QString>& names) {
        QStringList list = names.values();
        list.sort();
        return list.join(' ').toStdString();
    };
    auto enabled = [&] {
        QSet<QString> on, off;
        for (QAction* a : window->findChildren<QAction*>()) {
            if (!a->objectName().startsWith("action") || a->menu() || a->objectName() == "actionClearRecent")
                continue;
            (a->isEnabled() ? on : off) << a->objectName();
        }
        return std::make_pair(sorted(on), sorted(off));
    };
    // Export and print building instructions are off too (no parts yet).
    const QSet<QString> always =
        withoutModel - QSet<QString>{"actionExportInstructions", "actionPrintInstructions"};
    auto [on, off] = enabled();
    EXPECT_EQ(on, sorted(always));
    for (const char* name :
         {"actionSavePicture", "actionCopyPicture", "actionFitModel", "actionFitSelection", "actionResetView",
          "actionViewFront", "actionViewIso", "actionOrthographic", "actionZoomIn", "actionZoomOut",
          "actionTurnLeft", "actionTurnDown", "actionPreviousPhase", "actionNextPhase",
          "actionHighlightNewParts", "actionExport", "actionExportVRML", "actionPrint", "actionGrid"})
        EXPECT_NE((" " + off + " ").find(std::string(" ") + name + " "), std::string::npos) << name;

    ASSERT_TRUE(open("three.kmf"));
    std::tie(on, off) = enabled();
    EXPECT_EQ(off, "");

    writeFile(res.file("empty.kmf"), "");
    ASSERT_TRUE(open("empty.kmf"));
    std::tie(on, off) = enabled();
    EXPECT_EQ(on, sorted(always));
}

TEST_F(Desktop, RecentFilesKeepTheLastTenAndADroppedModelOpens)
{
    vxRecentFiles* recent = window->recentFiles();
    for (int i = 0; i < 12; ++i)
        recent->add(q(res.file("m" + std::to_string(i) + ".kmf")));
    ASSERT_TRUE(open("three.kmf"));
    recent->add(q(res.file("m11.kmf"))); // moves up, not in twice
    const QStringList files = recent->files();
    ASSERT_EQ(files.size(), 10);
    EXPECT_EQ(files[0], q(res.file("m11.kmf")));
    EXPECT_EQ(files[1], q(res.file("three.kmf")));
    EXPECT_EQ(files[2], q(res.file("m10.kmf")));
    EXPECT_EQ(files.last(), q(res.file("m3.kmf")));
    EXPECT_EQ(widget<vxStartPage>("startPage")->recentList()->count(), 10);

    // Showing the menu drops what no longer exists, and says so.
    emit widget<QMenu>("menuRecent")->aboutToShow();
    EXPECT_EQ(recent->files(), QStringList{q(res.file("three.kmf"))});
    EXPECT_TRUE(widget<vxMessageBar>("messageBar")->text().contains("9 recent models no longer exist"));
    EXPECT_EQ(widget<vxStartPage>("startPage")->recentList()->count(), 1);
    QList<QAction*> entries = widget<QMenu>("menuRecent")->actions();
    ASSERT_GE(entries.size(), 1);
    EXPECT_EQ(entries[0]->text(), "&1 three.kmf");

    // One that went since is dropped when chosen.
    writeFile(res.file("gone.kmf"), readFile(res.file("three.kmf")));
    recent->add(q(res.file("gone.kmf")));
    std::filesystem::remove(res.file("gone.kmf"));
    window->openRecent(q(res.file("gone.kmf")));
    EXPECT_EQ(widget<vxMessageBar>("messageBar")->text(),
              "gone.kmf no longer exists; it was removed from the recent models.");
    EXPECT_EQ(recent->files(), QStringList{q(res.file("three.kmf"))});

    // A dropped model opens; other files are refused.
    auto drop = [this](const std::string& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(q(file))});
        const QPoint at(window->width() / 2, window->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &dropped);
        QCoreApplication::processEvents();
    };
    writeFile(res.file("notes.txt"), "hello");
    const auto scene = window->view().sceneObjectList();
    drop(res.file("notes.txt"));
    EXPECT_EQ(widget<vxMessageBar>("messageBar")->text(),
              "notes.txt is not a model file; only model files (.kmf) can be opened.");
    EXPECT_EQ(window->view().sceneObjectList(), scene);
    writeFile(res.file("dropped.kmf"), readFile(res.file("three.kmf")));
    drop(res.file("dropped.kmf"));
    EXPECT_NE(window->view().sceneObjectList(), scene);
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("dropped.kmf – Kolbrik Viewer"));

    // Files that hold no model do not go on the list; two of the same name
    // tell their folders.
    recent->clear();
    writeFile(res.file("empty.kmf"), "");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(q(res.file("picture.png"))));
    std::filesystem::rename(res.file("picture.png"), res.file("picture.kmf"));
    writeFile(res.file("none.kmf"), "[COMMON]\r\nCOUNT=0\r\n");
    for (const char* name : {"empty.kmf", "picture.kmf", "none.kmf"})
        window->loadModelFromFile(q(res.file(name)));
    EXPECT_TRUE(recent->files().isEmpty());
    writeFile(res.file("a/three.kmf"), readFile(res.file("three.kmf")));
    ASSERT_TRUE(open("a/three.kmf"));
    ASSERT_TRUE(open("three.kmf"));
    ASSERT_TRUE(open("dropped.kmf"));
    emit widget<QMenu>("menuRecent")->aboutToShow();
    entries = widget<QMenu>("menuRecent")->actions();
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(entries[0]->text(), "&1 dropped.kmf");
    EXPECT_EQ(entries[1]->text(),
              QString::fromUtf8("&2 three.kmf — in ") + QDir::toNativeSeparators(q(res.path())));
    EXPECT_EQ(entries[2]->text(),
              QString::fromUtf8("&3 three.kmf — in ") + QDir::toNativeSeparators(q(res.file("a"))));
}

TEST_F(Desktop, SettingsAndTheWindowSurviveARestart)
{
    window->resize(640, 480);
    window->move(50, 60);
    ASSERT_TRUE(open("three.kmf"));
    window->tbGrid(); // on: models now open with the grid
    window->menParameter();
    ASSERT_TRUE(widget<QDialog>("vxSheetParameter")->isVisible());
    window->parameterUi()->cbPaintOldWhite->setChecked(true);
    QTest::mouseClick(window->parameterUi()->btnParameterOK, Qt::LeftButton);
    EXPECT_FALSE(widget<QDialog>("vxSheetParameter")->isVisible());
    EXPECT_TRUE(window->view().paintOldWhite());
    window->close();

    makeWindow();
    EXPECT_EQ(window->size(), QSize(640, 480));
    EXPECT_TRUE(window->view().paintOldWhite());
    EXPECT_EQ(widget<vxStartPage>("startPage")->recentList()->count(), 1);
    ASSERT_TRUE(open("three.kmf"));
    EXPECT_EQ(window->view().gridVisible(), 1);
    EXPECT_TRUE(widget<QToolButton>("btnGrid")->isChecked());
}

TEST_F(Desktop, TextsFromFilesShowAsTheyStandAndTheStatusBarFollows)
{
    writeFile(res.file("31005.def"), crlf({"[COMMON]", "NAME=<i>Block</i>", "ORGNUMBER=31005"}));
    writeFile(res.file("x[*]y.kmf"),
              readFile(res.file("three.kmf")) + crlf({"[COMMON]", "INFMODELL=<b>bold</b> & <i>more</i>"}));
    ASSERT_TRUE(open("x[*]y.kmf"));
    EXPECT_EQ(window->windowHandle()->title(), QString::fromUtf8("x[*]y.kmf – Kolbrik Viewer"));
    EXPECT_EQ(widget<QLabel>("titleLine1")->textFormat(), Qt::PlainText);
    EXPECT_EQ(widget<QLabel>("titleLine1")->text(), "<b>bold</b> & <i>more</i>");
    window->menAnsichtBauteilInfo();
    window->partPanel()->selectPart(window->view().model()->partList()[0]);
    EXPECT_EQ(window->partPanel()->lblName()->textFormat(), Qt::PlainText);
    EXPECT_EQ(window->partPanel()->lblName()->text(), "<i>Block</i>");

    vxModelStatus* status = window->modelStatus();
    EXPECT_EQ(status->nameLabel()->text(), "x[*]y");
    EXPECT_EQ(status->partsLabel()->text(), "4 of 4 parts shown");
    EXPECT_EQ(status->phaseLabel()->text(), "Phase 3 of 3");
    QTest::mouseClick(widget<vxSegmentedControl>("btnBauphase")->button(0), Qt::LeftButton);
    EXPECT_EQ(status->partsLabel()->text(), "2 of 4 parts shown");
    EXPECT_EQ(status->phaseLabel()->text(), "Phase 2 of 3");
}

// Run also on a 1366 x 768 screen and, at a device pixel ratio of 2, on a
// 1600 x 1000 one (tests/app/CMakeLists.txt).
TEST_F(Desktop, TheWindowAndEveryDialogFitTheScreen)
{
    window.reset();
    QSettings().clear();
    makeWindow(); // at its own size
    const QRect area = window->screen()->availableGeometry();
    auto fits = [&area](QWidget* w, const char* what) {
        EXPECT_TRUE(area.contains(w->frameGeometry())) << what << " is larger than the screen";
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << what << " squeezes its contents";
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << what << " squeezes its contents";
    };
    fits(window.get(), "the main window");

    writeFile(res.file("library/Kit/Car.kmf"), readFile(res.file("three.kmf")));
    window->menShowLibrary();
    fits(widget<QDialog>("vxSheetLibrary"), "the library");
    QPushButton* close = window->libraryUi()->btnCloseLibrary;
    EXPECT_TRUE(area.contains(QRect(close->mapToGlobal(QPoint(0, 0)), close->size())));
    window->btnCloseLibrary();
    window->menParameter();
    fits(widget<QDialog>("vxSheetParameter"), "the settings");
    window->btnParameterOK();
    window->menAboutDlg();
    fits(widget<QDialog>("vxSheetAbout"), "the about sheet");
    window->btnAboutDlgOK();
    // Help > Keyboard shortcuts, its OK button in sight and every row whole
    // (long ones wrap).
    window->findChild<QAction*>("actionKeyboardShortcuts")->trigger();
    auto* keys = widget<QDialog>("sheetKeyboardShortcuts");
    ASSERT_TRUE(keys->isVisible());
    fits(keys, "the keyboard shortcuts");
    auto* ok = keys->findChild<QPushButton*>();
    EXPECT_TRUE(area.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size())));
    auto* tree = keys->findChild<QTreeWidget*>();
    QAbstractItemModel* rows = tree->model();
    for (int group = 0; group < rows->rowCount(); ++group)
        for (int row = 0; row < rows->rowCount(rows->index(group, 0)); ++row)
            for (int column = 0; column < 2; ++column) {
                const QModelIndex index = rows->index(row, column, rows->index(group, 0));
                const QRect cell = tree->visualRect(index);
                const QString text = index.data().toString();
                const QRect needed = tree->fontMetrics().boundingRect(QRect(0, 0, cell.width() - 8, 100000),
                                                                      Qt::TextWordWrap, text);
                const bool oneLine = tree->fontMetrics().horizontalAdvance(text) < cell.width();
                EXPECT_TRUE(oneLine || needed.height() <= cell.height()) << text.toStdString() << " is cut";
            }
    keys->hide();

    // The part panel opens on the screen, at the window's side.
    ASSERT_TRUE(open("three.kmf"));
    window->menAnsichtBauteilInfo();
    QWidget* panel = window->partPanel()->myPanel();
    // The window system places the panel in its own time (slow on a busy machine).
    (void)QTest::qWaitFor(
        [&] { return std::abs(panel->frameGeometry().top() - window->frameGeometry().top()) < 60; }, 3000);
    fits(panel, "the part panel");
    EXPECT_LT(std::abs(panel->frameGeometry().top() - window->frameGeometry().top()), 60);

    // A geometry kept from a larger screen is brought onto this one.
    window->resize(area.size() * 2);
    window->move(area.topLeft() - QPoint(300, 300));
    window->close();
    makeWindow();
    fits(window.get(), "the restored main window");
}

// Every text of the program, as lupdate finds it in the sources, stands in
// both string tables, and the German one translates each.
TEST(StringTables, EveryTextIsInBothTables)
{
    TempDir tmp;
    const std::string found = tmp.file("found.ts");
    const CommandResult r =
        runCommand(std::string(KOLBRIK_LUPDATE) + " -silent " + KOLBRIK_SOURCE_DIR "/src -ts " + found);
    ASSERT_EQ(r.status, 0) << r.out;
    auto read = [](const std::string& path, bool needTranslation) {
        std::set<std::pair<QString, QString>> keys;
        QFile file(q(path));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
        QXmlStreamReader xml(&file);
        QString context, source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            else if (xml.name() == QLatin1String("source"))
                keys.insert({context, source = xml.readElementText()});
            else if (xml.name() == QLatin1String("translation") && needTranslation) {
                const bool unfinished = xml.attributes().value("type") == QLatin1String("unfinished");
                EXPECT_FALSE(unfinished) << path << ": " << source.toStdString();
            }
        }
        EXPECT_FALSE(xml.hasError()) << path << ": " << xml.errorString().toStdString();
        return keys;
    };
    const auto inSources = read(found, false);
    const auto en = read(KOLBRIK_SOURCE_DIR "/resources/translations/kolbrik_en.ts", true);
    const auto de = read(KOLBRIK_SOURCE_DIR "/resources/translations/kolbrik_de.ts", true);
    EXPECT_GT(inSources.size(), 50u);
    for (const auto& k : inSources) {
        EXPECT_TRUE(en.count(k)) << "not in the English table: " << k.first.toStdString() << " / "
                                 << k.second.toStdString();
        EXPECT_TRUE(de.count(k)) << "not in the German table: " << k.first.toStdString() << " / "
                                 << k.second.toStdString();
    }
    for (const auto& k : en)
        EXPECT_TRUE(de.count(k)) << "only in the English table: " << k.second.toStdString();
    for (const auto& k : de)
        EXPECT_TRUE(en.count(k)) << "only in the German table: " << k.second.toStdString();
}
