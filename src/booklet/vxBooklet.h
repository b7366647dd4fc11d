#pragma once

#include "vxAtomicFile.h"
#include "vxBookletPictures.h"
#include "vxPartsList.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// A building-instructions booklet of a model laid out on pages: a cover,
// the steps of the booklet's step model (its number, the parts to add, the
// model with the new parts highlighted and a close-up where they are
// small), several steps to a page when they fit, and a parts list of the
// whole model at the end. The layout is the same on every paged device: a
// PDF writer or a printer.
class vxBooklet {
    Q_DECLARE_TR_FUNCTIONS(vxBooklet)
  public:
    // Called after each page with (pages done, pages in all); returning
    // false stops the booklet.
    using Progress = std::function<bool(int done, int total)>;

    // Pictures are drawn at this resolution at their printed size.
    static constexpr double kPictureDpi = 200.0;

    // pictures holds the loaded model; title names it on the cover and in
    // the page footers.
    vxBooklet(vxBookletPictures& pictures, QString title);

    const QString& title() const { return m_title; }
    // The pictures and the model they draw.
    vxBookletPictures& pictures() { return m_pictures; }

    // "1 part", "4 parts" and the like, in the application's language.
    static QString partsText(int n);
    static QString kindsText(int n);
    static QString stepsText(int n);

    // Lays the pages out for a printable area of the given size in
    // millimetres and makes the step model for its picture size: once,
    // or twice where the steps made show that another size saves pages.
    // paint() does it for its device.
    void layOut(QSizeF printableMillimetres);
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int stepPageCount() const;
    int partsListPageCount() const;
    // The steps as laid out last (empty before the first layout).
    const vxBookletSteps& stepModel() const { return m_steps; }
    // A parts-list row for tubes: no part type, the length as its name and
    // the thickness as its second line, in the booklet's language.
    static vxPartsListEntry tubeRow(const vxBookletTubeEntry& tube);

    // Called with the steps each time the layout makes them, before the
    // pages are laid out: lets a writer change them (add pictures or a
    // turn) and have the pages follow.
    using StepsHook = std::function<void(vxBookletSteps&)>;
    void setStepsHook(StepsHook hook) { m_stepsHook = std::move(hook); }

    // Lays out and paints every page. False, with the reason in *error, when
    // the device cannot be painted on or progress stopped it.
    bool paint(QPagedPaintDevice& device, const Progress& progress, QString* error);

  private:
    struct StepPiece {
        std::size_t step = 0; // in the step model
        int firstRow = 0;
        int rows = 0;
        bool picture = false;
        double x = 0;        // from the left of the page body, mm
        double y = 0;        // from the top of the page body, mm
        double insets = 0;   // the height of the pictures below the main picture, mm
        bool beside = false; // the pictures besides the main one stand beside it, else below it
        // How much larger than the booklet's picture size the step's
        // pictures are drawn: a step alone in its column grows into the
        // room left below it.
        double scale = 1;
    };
    struct Page {
        enum Kind { Cover, Steps, PartsList } kind = Steps;
        std::vector<StepPiece> pieces;
        int firstRow = 0; // parts list rows
        int rows = 0;
        bool totals = false;
        bool title = false; // the parts list starts on this page
    };

    // How a parts cell is laid out, mm: the part's picture at the booklet's
    // scale (at least the usual picture size), a true-size length gauge
    // for a long part (0: none), the cell's width and its height.
    struct CellLook {
        double pictureWidth = 0, pictureHeight = 0;
        double gauge = 0;
        double width = 0, height = 0;
    };
    // Cells of a parts box or of the parts list, flowed into rows.
    struct Cell {
        std::size_t entry = 0;
        double x = 0; // from the row's left
        CellLook look;
    };
    struct Row {
        std::vector<Cell> cells;
        double width = 0, height = 0;
    };

    // How a step stands in a column: the heights of its parts box's rows,
    // of its number with the turn below it, and whether it has pictures
    // besides the main one (below it where they cannot stand beside it).
    struct StepShape {
        std::vector<double> rows;
        double number = 0;
        bool strip = false;
    };
    // The size of every step's main picture and where steps stand, mm.
    struct Geometry {
        int columns = 1;
        double columnWidth = 0, height = 0, width = 0;
        bool beside = false; // close-ups and extra pictures beside the main picture, else below it
    };
    // The steps' pieces on pages of a body this tall, as many to a column
    // as fit.
    static std::vector<Page> placeSteps(const std::vector<StepShape>& shapes, const Geometry& g, double body);
    // Grows the pictures of every step that stands alone in its column,
    // with its whole parts box, into the room left below it: the picture
    // and the pictures below or beside it by one scale, within the column
    // and the page body, at most kMostGrowth times. The pictures beside
    // the main one move below it where that lets it grow more.
    static void growLoneSteps(std::vector<Page>& pages, const std::vector<StepShape>& shapes,
                              const Geometry& g, double body);
    void setGeometry(const Geometry& g);
    // What a step's parts box shows: parts, then cables and ropes.
    static std::vector<vxPartsListEntry> boxEntries(std::vector<vxPartsListEntry> parts,
                                                    const std::vector<vxBookletTubeEntry>& tubes);
    static StepShape shape(const std::vector<Row>& rows, double number, bool strip);
    // The shapes of the steps made, their parts boxes flowed in a column of
    // the given width; rowsOut, if given, receives the rows.
    std::vector<StepShape> madeShapes(double columnWidth, std::vector<std::vector<Row>>* rowsOut);

    void paintPage(QPainter& p, const Page& page, int number);
    void paintCover(QPainter& p);
    void paintStepPiece(QPainter& p, const StepPiece& piece);
    // The turn before a step, drawn in a box of kNumberWidth x turnHeight()
    // below the step's number.
    void paintTurn(QPainter& p, double left, double top, const vxBookletStep& step);
    // The close-up and the extra pictures of a step and their places on the
    // page for a main picture at box, mm: beside the picture where the
    // column has room, else in a strip below it (strip mm tall); never on
    // it.
    std::vector<std::pair<const vxBookletPicture*, QRectF>>
    insets(const vxBookletStep& step, const QRectF& box, bool beside, double strip) const;
    void paintInset(QPainter& p, const QRectF& box, const QRectF& slot, bool beside,
                    const vxBookletPicture& picture);
    void paintPartsList(QPainter& p, const Page& page);
    void paintCell(QPainter& p, const QRectF& cell, const vxPartsListEntry& entry, const CellLook& look);
    // The height a cell's texts need, mm, beside a picture in a cell of the
    // given width.
    double cellTextHeight(const vxPartsListEntry& entry, double cellWidth, double pictureMm) const;
    // The cell of an entry in rows at most maxWidth wide: on a grid, a
    // multiple of cellWidth wide; else at least cellWidth, wide enough for
    // its texts on one line each where the row has room. least is the
    // row's least height.
    CellLook cellLook(const vxPartsListEntry& entry, double cellWidth, double maxWidth, double least,
                      bool grid);
    std::vector<Row> flow(const std::vector<vxPartsListEntry>& entries, double cellWidth, double maxWidth,
                          double least, bool grid);
    // The booklet's one scale of part pictures (mm of part per mm of
    // paper) for its parts list: the middle-sized part type fills the usual
    // picture, never larger than life.
    double partScale(const std::vector<vxPartsListEntry>& partsList);
    // The height of a step's parts box from its row first, rows rows, mm,
    // and of the box with the number beside it.
    static double boxRowsHeight(const StepShape& shape, int first, int rows);
    static double headerHeight(const StepShape& shape, int first, int rows);
    double turnHeight(const vxBookletStep& step) const;
    QString colorName(const vxPartsListEntry& entry) const;

    vxBookletPictures& m_pictures;
    QString m_title;
    vxBookletSteps m_steps;
    StepsHook m_stepsHook;
    std::vector<Page> m_pages;

    // Geometry of the current layout, in millimetres.
    QSizeF m_page;
    double m_pictureHeight = 100;
    double m_pictureWidth = 100;
    int m_columns = 1; // of steps on a page
    double m_columnWidth = 100;
    bool m_detailBeside = false; // close-ups beside the main picture, else below it
    double m_scale = 1;          // of part pictures: mm of part per mm of paper
    // The rows of each step's parts box and of the parts list; rows grow
    // where a name needs more lines or a picture more room.
    std::vector<std::vector<Row>> m_calloutRows;
    std::vector<StepShape> m_shapes;
    std::vector<Row> m_listRows;
    // What each step's parts box and the parts list show: parts, then tubes.
    std::vector<std::vector<vxPartsListEntry>> m_boxes;
    std::vector<vxPartsListEntry> m_listEntries;
    double m_mm = 1; // device pixels per millimetre while painting
};

// Writes the booklet as a PDF file at path, atomically: on any failure, or
// when progress stops it, an existing file stays as it was and nothing is
// left behind.
vxWriteResult vxWriteBookletPdf(vxBooklet& booklet, const std::string& path, const QPageSize& paper,
                                const vxBooklet::Progress& progress = {});
