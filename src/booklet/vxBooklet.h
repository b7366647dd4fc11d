#pragma once

#include "vxAtomicFile.h"
#include "vxBookletPictures.h"
#include "vxPartsList.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QSizeF>
#include <QString>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QRectF;

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

    // "1 part", "4 parts" and the like, in the application's language.
    static QString partsText(int n);
    static QString kindsText(int n);
    static QString stepsText(int n);

    // Lays the pages out for a printable area of the given size in
    // millimetres and makes the step model for its picture size. paint()
    // does it for its device.
    void layOut(QSizeF printableMillimetres);
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    int stepPageCount() const;
    int partsListPageCount() const;
    // The steps as laid out last (empty before the first layout).
    const vxBookletSteps& stepModel() const { return m_steps; }

    // Lays out and paints every page. False, with the reason in *error, when
    // the device cannot be painted on or progress stopped it.
    bool paint(QPagedPaintDevice& device, const Progress& progress, QString* error);

  private:
    struct StepPiece {
        std::size_t step = 0; // in the step model
        int firstRow = 0;
        int rows = 0;
        bool picture = false;
        double y = 0; // from the top of the page body, mm
    };
    struct Page {
        enum Kind { Cover, Steps, PartsList } kind = Steps;
        std::vector<StepPiece> pieces;
        int firstRow = 0; // parts list rows
        int rows = 0;
        bool totals = false;
        bool title = false; // the parts list starts on this page
    };

    void paintPage(QPainter& p, const Page& page, int number);
    void paintCover(QPainter& p);
    void paintStepPiece(QPainter& p, const StepPiece& piece);
    void paintDetail(QPainter& p, const QRectF& box, const vxBookletPicture& detail);
    void paintPartsList(QPainter& p, const Page& page);
    void paintCell(QPainter& p, const QRectF& cell, const vxPartsListEntry& entry, double pictureMm);

    vxBookletPictures& m_pictures;
    QString m_title;
    vxBookletSteps m_steps;
    std::vector<Page> m_pages;

    // Geometry of the current layout, in millimetres.
    QSizeF m_page;
    double m_pictureHeight = 100;
    int m_calloutColumns = 4;
    int m_listColumns = 4;
    int m_listRowsFirst = 1; // parts list rows on its first page
    int m_listRowsPerPage = 1;
    double m_mm = 1; // device pixels per millimetre while painting
};

// Writes the booklet as a PDF file at path, atomically: on any failure, or
// when progress stops it, an existing file stays as it was and nothing is
// left behind.
vxWriteResult vxWriteBookletPdf(vxBooklet& booklet, const std::string& path, const QPageSize& paper,
                                const vxBooklet::Progress& progress = {});
