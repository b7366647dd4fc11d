#include "vxBooklet.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cmath>
#include <map>
#include <numbers>
#include <optional>

namespace {

// Page geometry, in millimetres.
constexpr double kMarginX = 12;
constexpr double kMarginTop = 12;
constexpr double kMarginBottom = 16; // the footer sits in it
constexpr double kFooter = 8;        // footer line, from the bottom edge

// A step: its number, beside it the parts box, below them the picture.
constexpr double kNumberWidth = 20;
constexpr double kNumberHeight = 13;
constexpr double kPad = 2.5;
constexpr double kRowHeight = 14;
constexpr double kCellWidth = 40;
// The usual part picture: the middle-sized part type of the booklet fills
// it, larger ones get a larger picture (and cell) at the same scale, up to
// kLargestPicture mm tall.
constexpr double kCalloutPicture = 11;
constexpr double kLargestPicture = 30;
// The least width of a cell's texts beside its picture.
constexpr double kLeastText = 24;
// Parts longer than kGaugeFrom mm and at least kSlender times as long as
// wide (axles, struts, girders) get a gauge of their length at true size.
constexpr double kGaugeFrom = 45;
constexpr double kSlender = 2.5;
constexpr double kGaugeHeight = 6;
constexpr double kGaugeBar = 1.6;
// The turn symbol below a step's number.
constexpr double kTurnHeight = 15;
constexpr double kGap = 2;
constexpr double kStepGap = 7;
constexpr double kColumnGap = 6;
// Steps share a page as long as the model shows at least this share of its
// size on a page of its own, and at least kLeastPicture mm tall.
constexpr double kSmallest = 0.4;
constexpr double kLeastPicture = 60;
// Close-ups and extra pictures below a step's picture are at least this
// tall, mm.
constexpr double kLeastInset = 22;
// A step alone in its column grows its pictures where more than kGrowFrom
// of its picture's height is left blank below it, at most kMostGrowth
// times.
constexpr double kGrowFrom = 0.2;
constexpr double kMostGrowth = 1.6;

// The width of a step's parts box in a column of the given width.
double boxWidth(double columnWidth)
{
    return std::max(columnWidth - kNumberWidth - 2 * kPad, kCellWidth);
}

// The parts list.
constexpr double kListTitle = 20;
constexpr double kListRowHeight = 17;
constexpr double kListCellWidth = 46;
constexpr double kListTotals = 10;

const QColor kInk(30, 30, 30);
const QColor kAccent(30, 110, 200);
const QColor kGrey(110, 110, 110);
const QColor kBoxLine(150, 170, 195);
// Only the length gauges and the turn symbols use these.
const QColor kGauge(240, 150, 20);
const QColor kTurn(200, 40, 120);

QFont font(double points, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Texts are measured at one resolution whatever the device, in mm, so that
// the layout is the same on every device.
constexpr double kMeasureDpi = 300;

QFontMetricsF measure(const QFont& f)
{
    static QImage reference = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(static_cast<int>(std::lround(kMeasureDpi / 0.0254)));
        i.setDotsPerMeterY(static_cast<int>(std::lround(kMeasureDpi / 0.0254)));
        return i;
    }();
    return QFontMetricsF(f, &reference);
}

double lineHeightMm(const QFont& f)
{
    return measure(f).height() * 25.4 / kMeasureDpi;
}

// Text broken into lines no wider than widthMm: at spaces where it can,
// inside a word that is wider than a line on its own.
QStringList wrapped(const QString& text, const QFont& f, double widthMm)
{
    const QFontMetricsF m = measure(f);
    const double width = std::max(widthMm, 1.0) * kMeasureDpi / 25.4;
    QStringList lines;
    QString line;
    auto fits = [&](const QString& s) { return m.horizontalAdvance(s) <= width; };
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        line.clear();
        for (const QChar c : word) {
            if (!line.isEmpty() && !fits(line + c)) {
                lines << line;
                line.clear();
            }
            line += c;
        }
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

// The texts of a parts cell: the count with the colour, the name, the
// article number, each wrapped.
struct CellText {
    QString count, color;
    QStringList name, number;
};

// A QIODevice that streams into an atomic file.
class AtomicDevice : public QIODevice {
  public:
    explicit AtomicDevice(vxAtomicFile& file) : m_file(file) {}
    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        m_file.write(data, static_cast<std::size_t>(size));
        return m_file.ok() ? size : -1;
    }

  private:
    vxAtomicFile& m_file;
};

} // namespace

vxBooklet::vxBooklet(vxBookletPictures& pictures, QString title)
    : m_pictures(pictures), m_title(std::move(title))
{
}

QString vxBooklet::partsText(int n)
{
    return n == 1 ? tr("1 part") : tr("%1 parts").arg(n);
}

QString vxBooklet::kindsText(int n)
{
    return n == 1 ? tr("1 kind") : tr("%1 kinds").arg(n);
}

QString vxBooklet::stepsText(int n)
{
    return n == 1 ? tr("1 step") : tr("%1 steps").arg(n);
}

int vxBooklet::stepPageCount() const
{
    return static_cast<int>(
        std::count_if(m_pages.begin(), m_pages.end(), [](const Page& p) { return p.kind == Page::Steps; }));
}

int vxBooklet::partsListPageCount() const
{
    return static_cast<int>(std::count_if(m_pages.begin(), m_pages.end(),
                                          [](const Page& p) { return p.kind == Page::PartsList; }));
}

void vxBooklet::layOut(QSizeF printable)
{
    m_page = printable;
    m_pages.clear();
    const double width = std::max(printable.width() - 2 * kMarginX, 60.0);
    const double body = std::max(printable.height() - kMarginTop - kMarginBottom, 80.0);

    // One picture size for every step, never wider than the model's
    // proportions need. Steps stand in one or two columns, as densely as
    // keeps the model at least kSmallest as large as on a page of its own:
    // several steps share a page whenever they fit. A close-up and the
    // extra pictures stand beside the picture where the column has room
    // for them, else below it; they never cover the picture.
    const double aspect = std::max(m_pictures.framing().modelAspect(), 0.05);
    const double plainHeader = std::max(kNumberHeight, 2 * kPad + kRowHeight);
    struct Choice {
        Geometry geometry;
        int pages = 0; // of steps
    };
    // One scale for every part picture, callouts and parts list alike.
    m_scale = partScale(vxMakePartsList(m_pictures.model(), std::nullopt));
    // How the steps stand in a column of a width. Before the steps are made
    // only their parts boxes are known (cables and ropes aside); which steps
    // get a close-up or extra pictures is known only once the steps are
    // made for the chosen size. Most steps that show parts before what
    // covers them do, so until then every step keeps room for them.
    using Shapes = std::function<const std::vector<StepShape>&(double columnWidth)>;
    const auto lists = vxMakePhasePartsLists(m_pictures.model());
    std::map<double, std::vector<StepShape>> plannedOf;
    const Shapes planned = [&](double columnWidth) -> const std::vector<StepShape>& {
        auto [it, fresh] = plannedOf.try_emplace(columnWidth);
        if (fresh)
            for (const auto& [phase, list] : lists)
                it->second.push_back(shape(flow(list, kCellWidth, boxWidth(columnWidth), kRowHeight, false),
                                           kNumberHeight, true));
        return it->second;
    };
    // A picture height for steps in columns: the width the model's
    // proportions give it, close-ups beside or below, and the pages the
    // steps take.
    auto candidate = [&](int columns, double height, const Shapes& shapes) {
        Geometry g{columns};
        g.columnWidth = (width - (columns - 1) * kColumnGap) / columns;
        // Below its number and the turns before it, a step's picture fits
        // a column.
        g.height = std::min({height, g.columnWidth / aspect, body - kNumberHeight - 2 * kTurnHeight - kGap});
        g.width = std::min(g.columnWidth, g.height * aspect);
        g.beside = g.columnWidth - g.width - kGap >= kDetailShare * g.width;
        if (!g.beside) {
            // Room for a close-up below the picture in a column of its own.
            g.height = std::min(g.height, (body - plainHeader - 2 * kGap) / (1 + kDetailShare));
            g.width = std::min(g.columnWidth, g.height * aspect);
        }
        g.height = std::max(g.height, 10.0);
        g.width = std::max(g.width, 10.0);
        return Choice{g, static_cast<int>(placeSteps(shapes(g.columnWidth), g, body).size())};
    };
    // The largest picture a step of a typical parts box has in a column of
    // its own on a page of its own.
    std::vector<double> headers;
    for (const StepShape& s : planned(width))
        headers.push_back(headerHeight(s, 0, static_cast<int>(s.rows.size())));
    std::sort(headers.begin(), headers.end());
    const double typical = headers.empty() ? plainHeader : headers[headers.size() * 3 / 4];
    const double alone = candidate(1, body - typical - kGap, planned).geometry.height;
    // Every height from that down to kSmallest of it in steps of a
    // millimetre: of those that take hardly more than the fewest pages, the
    // largest.
    auto choose = [&](const Shapes& shapes) {
        std::vector<Choice> choices{candidate(1, alone, shapes)};
        for (int columns = 1; columns <= 2; ++columns)
            for (double h = alone; h >= std::max(kSmallest * alone, kLeastPicture); h -= 1) {
                const Choice c = candidate(columns, h, shapes);
                if (c.geometry.height >= kSmallest * alone && c.geometry.height >= kLeastPicture)
                    choices.push_back(c);
            }
        int fewest = choices.front().pages;
        for (const Choice& c : choices)
            fewest = std::min(fewest, c.pages);
        Choice best = choices.front();
        for (const Choice& c : choices)
            if (c.pages <= fewest + fewest / 8 &&
                (best.pages > fewest + fewest / 8 || c.geometry.height > best.geometry.height))
                best = c;
        return best;
    };
    auto make = [&](const Geometry& g) {
        setGeometry(g);
        m_steps = vxMakeBookletSteps(m_pictures.model(), m_pictures.framing(),
                                     {m_pictureWidth, m_pictureHeight, kPictureDpi}, m_pictures.measure());
        if (m_stepsHook)
            m_stepsHook(m_steps);
    };
    std::map<double, std::vector<StepShape>> madeOf;
    const Shapes made = [&](double columnWidth) -> const std::vector<StepShape>& {
        auto [it, fresh] = madeOf.try_emplace(columnWidth);
        if (fresh)
            it->second = madeShapes(columnWidth, nullptr);
        return it->second;
    };
    const Geometry chosen = choose(planned).geometry;
    make(chosen);
    // Now that the steps tell which of them have pictures below the main
    // one, and how tall their boxes and turns are, the size is chosen
    // again. Making the steps is costly: they are made once more, at the
    // other size, only where that saves at least a page and an eighth of
    // them, and kept only where they do save pages.
    const int pages = candidate(chosen.columns, chosen.height, made).pages;
    const Choice again = choose(made);
    if (pages - again.pages >= std::max(1.0, pages / 8.0)) {
        vxBookletSteps firstSteps = std::move(m_steps);
        make(again.geometry);
        madeOf.clear();
        if (candidate(again.geometry.columns, again.geometry.height, made).pages >= pages) {
            setGeometry(chosen);
            m_steps = std::move(firstSteps);
        }
    }

    m_boxes.clear();
    for (const vxBookletStep& step : m_steps.steps)
        m_boxes.push_back(boxEntries(step.callouts, step.tubeCallouts));
    m_shapes = madeShapes(m_columnWidth, &m_calloutRows);
    m_listEntries = boxEntries(m_steps.partsList, m_steps.tubeList);
    const int listColumns = std::max(1, static_cast<int>(width / kListCellWidth));
    m_listRows = flow(m_listEntries, width / listColumns, width, kListRowHeight, true);

    Page cover;
    cover.kind = Page::Cover;
    m_pages.push_back(cover);
    const Geometry geometry{m_columns, m_columnWidth, m_pictureHeight, m_pictureWidth, m_detailBeside};
    std::vector<Page> stepPages = placeSteps(m_shapes, geometry, body);
    growLoneSteps(stepPages, m_shapes, geometry, body);
    for (Page& page : stepPages) {
        // A grown step's pictures are drawn at their printed size: the
        // same view and framing, only larger, so that every new part covers
        // more pixels than where the step was measured. The other pictures
        // grow as much as the main one, so that those of its size stay of
        // its size.
        for (const StepPiece& piece : page.pieces) {
            vxBookletStep& step = m_steps.steps.at(piece.step);
            if (piece.scale == 1 || step.pictures.empty())
                continue;
            const vxBookletRender before = step.pictures.front().render;
            const int wide = vxBookletPixels(m_pictureWidth * piece.scale, kPictureDpi);
            const int tall = vxBookletPixels(m_pictureHeight * piece.scale, kPictureDpi);
            for (vxBookletPicture& picture : step.pictures) {
                vxBookletRender& r = picture.render;
                r.width = std::max(1, static_cast<int>(std::lround(static_cast<double>(r.width) * wide /
                                                                   std::max(before.width, 1))));
                r.height = std::max(1, static_cast<int>(std::lround(static_cast<double>(r.height) * tall /
                                                                    std::max(before.height, 1))));
            }
        }
        m_pages.push_back(std::move(page));
    }

    const int rows = static_cast<int>(m_listRows.size());
    int row = 0;
    bool first = true;
    while (first || row < rows) {
        Page list{Page::PartsList, {}, row, 0, false, first};
        double used = first ? kListTitle : 0;
        // At least one row on every page, however tall.
        while (row < rows &&
               (list.rows == 0 || used + m_listRows[static_cast<std::size_t>(row)].height <= body)) {
            used += m_listRows[static_cast<std::size_t>(row)].height;
            ++row;
            ++list.rows;
        }
        // The totals line goes under the last row when it fits.
        list.totals = row >= rows && used + kListTotals <= body;
        m_pages.push_back(list);
        first = false;
        if (row >= rows && !list.totals)
            m_pages.push_back(Page{Page::PartsList, {}, row, 0, true, false});
    }
}

bool vxBooklet::paint(QPagedPaintDevice& device, const Progress& progress, QString* error)
{
    const double dpi = device.logicalDpiX();
    m_mm = dpi / 25.4;
    layOut(QSizeF(device.width() / m_mm, device.height() / m_mm));

    QPainter p;
    if (!p.begin(&device)) {
        if (error)
            *error = tr("The pages cannot be written.");
        return false;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    // Pictures go in lossless: compressed photographically, the white
    // around the model would turn into a visible grey box.
    p.setRenderHint(QPainter::LosslessImageRendering);
    const int total = pageCount();
    for (int i = 0; i < total; ++i) {
        if (i > 0 && !device.newPage()) {
            p.end();
            if (error)
                *error = tr("The pages cannot be written.");
            return false;
        }
        paintPage(p, m_pages[static_cast<std::size_t>(i)], i + 1);
#ifdef __GLIBC__
        // Every step recompiles the scene's drawings; the allocator keeps
        // the freed memory unless told to give it back.
        malloc_trim(0);
#endif
        if (progress && !progress(i + 1, total)) {
            p.end();
            if (error)
                *error = tr("Stopped.");
            return false;
        }
    }
    if (!p.end()) {
        if (error)
            *error = tr("The pages cannot be written.");
        return false;
    }
    return true;
}

void vxBooklet::paintPage(QPainter& p, const Page& page, int number)
{
    const double k = m_mm;
    switch (page.kind) {
    case Page::Cover:
        paintCover(p);
        break;
    case Page::Steps:
        for (const StepPiece& piece : page.pieces)
            paintStepPiece(p, piece);
        break;
    case Page::PartsList:
        paintPartsList(p, page);
        break;
    }
    // Footer: the model's name and the page number.
    p.setPen(kGrey);
    p.setFont(font(8));
    const QRectF footer(kMarginX * k, (m_page.height() - kFooter - 4) * k,
                        (m_page.width() - 2 * kMarginX) * k, 5 * k);
    if (page.kind != Page::Cover)
        p.drawText(
            footer, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(p.font(), p.device()).elidedText(m_title, Qt::ElideRight, footer.width() * 0.7));
    p.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, tr("Page %1 of %2").arg(number).arg(pageCount()));
}

void vxBooklet::paintCover(QPainter& p)
{
    const double k = m_mm;
    const vxModel& model = m_pictures.model();
    const double width = m_page.width() - 2 * kMarginX;
    double y = kMarginTop + 8;

    auto text = [&](const QString& s, const QFont& f, const QColor& color, double gapAfter) {
        if (s.isEmpty())
            return;
        p.setFont(f);
        p.setPen(color);
        const QRectF area(kMarginX * k, y * k, width * k, 60 * k);
        const QRectF used = p.boundingRect(area, Qt::AlignHCenter | Qt::TextWordWrap, s);
        p.drawText(area, Qt::AlignHCenter | Qt::TextWordWrap, s);
        y += used.height() / k + gapAfter;
    };
    text(m_title, font(26, true), kInk, 4);
    text(QString::fromStdString(model.infModell()), font(14), kInk, 3);
    if (!model.infOriginal().empty())
        text(tr("Original model: %1").arg(QString::fromStdString(model.infOriginal())), font(10), kGrey, 1);
    if (!model.infGebaut().empty())
        text(tr("Built by: %1").arg(QString::fromStdString(model.infGebaut())), font(10), kGrey, 1);
    y += 6;

    const double bottom = m_page.height() - kMarginBottom - 14;
    const QSizeF box(width, std::max(bottom - y, 30.0));
    const QImage image = m_pictures.draw(vxWholeModelRender(m_pictures.framing(), model.maximumBauphase(),
                                                            false, vxBookletPixels(box.width(), kPictureDpi),
                                                            vxBookletPixels(box.height(), kPictureDpi)));
    if (!image.isNull())
        p.drawImage(QRectF(kMarginX * k, y * k, box.width() * k, box.height() * k), image);

    const QString counts = tr("%1 of %2, %3")
                               .arg(partsText(vxPartsListTotal(m_steps.partsList)),
                                    kindsText(static_cast<int>(m_steps.partsList.size())),
                                    stepsText(static_cast<int>(m_steps.steps.size())));
    p.setFont(font(12, true));
    p.setPen(kInk);
    p.drawText(QRectF(kMarginX * k, (bottom + 2) * k, width * k, 10 * k), Qt::AlignHCenter | Qt::AlignVCenter,
               counts);
}

void vxBooklet::paintStepPiece(QPainter& p, const StepPiece& piece)
{
    const double k = m_mm;
    const double left = kMarginX + piece.x;
    const double top = kMarginTop + piece.y;
    const vxBookletStep& step = m_steps.steps.at(piece.step);
    const auto& list = m_boxes.at(piece.step);

    p.setFont(font(26, true));
    p.setPen(kInk);
    p.drawText(QRectF(left * k, top * k, kNumberWidth * k, kNumberHeight * k), Qt::AlignLeft | Qt::AlignTop,
               QString::number(step.number));
    if (piece.picture)
        paintTurn(p, left, top + kNumberHeight, step);

    const std::vector<Row>& rows = m_calloutRows.at(piece.step);
    const int last = std::min(piece.firstRow + piece.rows, static_cast<int>(rows.size()));
    if (piece.rows > 0 && piece.firstRow < last) {
        const double boxX = left + kNumberWidth;
        double width = 0;
        for (int r = piece.firstRow; r < last; ++r)
            width = std::max(width, rows[static_cast<std::size_t>(r)].width);
        const QRectF box(boxX * k, top * k, (2 * kPad + width) * k,
                         boxRowsHeight(m_shapes.at(piece.step), piece.firstRow, piece.rows) * k);
        p.setPen(QPen(kBoxLine, 0.3 * k));
        p.setBrush(vxBookletPictures::kPartsBox);
        p.drawRoundedRect(box, 2 * k, 2 * k);
        p.setBrush(Qt::NoBrush);
        double rowTop = top + kPad;
        for (int r = piece.firstRow; r < last; ++r) {
            const Row& row = rows[static_cast<std::size_t>(r)];
            for (const Cell& c : row.cells)
                paintCell(p, QRectF((boxX + kPad + c.x) * k, rowTop * k, c.look.width * k, row.height * k),
                          list.at(c.entry), c.look);
            rowTop += row.height;
        }
    }
    const vxBookletPicture* main = step.picture(vxBookletPicture::Role::Main);
    if (piece.picture && main) {
        const double y = top + headerHeight(m_shapes.at(piece.step), piece.firstRow, piece.rows) + kGap;
        const double width = m_pictureWidth * piece.scale;
        const double x = piece.beside ? left : left + (m_columnWidth - width) / 2;
        const QRectF box(x, y, width, m_pictureHeight * piece.scale);
        const QImage image = m_pictures.draw(main->render);
        if (!image.isNull()) {
            // In the picture's own shape, centred in its place.
            const QSizeF size = QSizeF(image.size()).scaled(box.size(), Qt::KeepAspectRatio);
            const QRectF at(box.center().x() - size.width() / 2, box.center().y() - size.height() / 2,
                            size.width(), size.height());
            p.drawImage(QRectF(at.x() * k, at.y() * k, at.width() * k, at.height() * k), image);
        }
        for (const auto& [picture, slot] : insets(step, box, piece.beside, piece.insets))
            paintInset(p, box, slot, piece.beside, *picture);
    }
}

double vxBooklet::turnHeight(const vxBookletStep& step) const
{
    return (step.turnOver ? kTurnHeight : 0) + (std::abs(step.turnDegrees) >= 0.5 ? kTurnHeight : 0);
}

void vxBooklet::paintTurn(QPainter& p, double left, double top, const vxBookletStep& step)
{
    // A turntable seen from the side: an arc round the vertical with an
    // arrowhead the way to turn, the angle below it; turning over: an arc
    // round the horizontal.
    const double k = m_mm;
    auto arrow = [&](bool over, const QString& label) {
        const QRectF ring = over ? QRectF((left + 5) * k, (top + 0.5) * k, 8 * k, 9 * k)
                                 : QRectF((left + 1) * k, (top + 2) * k, 16 * k, 6 * k);
        // Anticlockwise seen from above is right to left along the front.
        const bool back = !over && step.turnDegrees < 0;
        const double start = over ? 300 : (back ? 240 : 300), span = over ? 300 : (back ? -300 : 300);
        QPainterPath path;
        path.arcMoveTo(ring, start);
        path.arcTo(ring, start, span);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kTurn, 0.7 * k, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        // The arrowhead along the arc's last direction.
        const QPointF tip = path.pointAtPercent(1.0);
        const double angle = path.angleAtPercent(1.0) * std::numbers::pi / 180.0;
        const QPointF along(std::cos(angle), -std::sin(angle)), across(-along.y(), along.x());
        QPolygonF head;
        head << tip + along * 1.6 * k << tip - along * 1.2 * k + across * 1.3 * k
             << tip - along * 1.2 * k - across * 1.3 * k;
        p.setPen(Qt::NoPen);
        p.setBrush(kTurn);
        p.drawPolygon(head);
        p.setBrush(Qt::NoBrush);
        p.setFont(font(8, true));
        p.setPen(kTurn);
        p.drawText(QRectF(left * k, (top + 10) * k, kNumberWidth * k, 4.5 * k),
                   Qt::AlignHCenter | Qt::AlignTop, label);
        top += kTurnHeight;
    };
    if (step.turnOver)
        arrow(true, tr("Turn over"));
    if (std::abs(step.turnDegrees) >= 0.5)
        arrow(false, tr("Turn %1°").arg(std::lround(std::abs(step.turnDegrees))));
}

std::vector<std::pair<const vxBookletPicture*, QRectF>>
vxBooklet::insets(const vxBookletStep& step, const QRectF& box, bool beside, double strip) const
{
    // The close-up first, then the extra pictures: each in a slot of
    // kDetailShare of the picture's size, stacked up from the bottom beside
    // the picture or side by side in a strip below it; where more pictures
    // come than fit, the slots shrink so that they all do.
    std::vector<const vxBookletPicture*> shown;
    if (const vxBookletPicture* detail = step.picture(vxBookletPicture::Role::Detail))
        shown.push_back(detail);
    for (const vxBookletPicture& picture : step.pictures)
        if (picture.role == vxBookletPicture::Role::Extra)
            shown.push_back(&picture);
    std::vector<std::pair<const vxBookletPicture*, QRectF>> out;
    if (shown.empty())
        return out;
    const double n = static_cast<double>(shown.size());
    QSizeF slot(box.width() * kDetailShare, box.height() * kDetailShare);
    if (beside) {
        slot *= std::min(1.0, (box.height() - (n - 1) * kGap) / n / slot.height());
        for (std::size_t i = 0; i < shown.size(); ++i)
            out.emplace_back(shown[i], QRectF(QPointF(box.right() + kGap,
                                                      box.bottom() - (i + 1.0) * slot.height() - i * kGap),
                                              slot));
        return out;
    }
    slot *= std::min({1.0, (box.width() - (n - 1) * kGap) / n / slot.width(), strip / slot.height()});
    const double across = n * slot.width() + (n - 1) * kGap;
    for (std::size_t i = 0; i < shown.size(); ++i)
        out.emplace_back(shown[i], QRectF(QPointF(box.center().x() - across / 2 + i * (slot.width() + kGap),
                                                  box.bottom() + kGap),
                                          slot));
    return out;
}

void vxBooklet::paintInset(QPainter& p, const QRectF& box, const QRectF& slot, bool beside,
                           const vxBookletPicture& picture)
{
    // A close-up frames the area it enlarges in the main picture; every
    // inset keeps its picture's shape, centred in its slot.
    const double k = m_mm;
    auto px = [k](const QRectF& r) { return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k); };
    if (picture.enlarges) {
        const vxBookletArea& area = *picture.enlarges;
        const QRectF spot(box.x() + area.x * box.width(), box.y() + area.y * box.height(),
                          area.width * box.width(), area.height * box.height());
        p.setPen(QPen(kAccent, 0.35 * k));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(px(spot.adjusted(-1, -1, 1, 1)), 1.5 * k, 1.5 * k);
    }
    const QImage image = m_pictures.draw(picture.render);
    const QSizeF size = QSizeF(std::max(picture.render.width, 1), std::max(picture.render.height, 1))
                            .scaled(slot.size(), Qt::KeepAspectRatio);
    const double x = beside ? slot.left() : slot.center().x() - size.width() / 2;
    const QRectF inset(x, slot.top() + (slot.height() - size.height()) / 2, size.width(), size.height());
    p.setPen(QPen(kAccent, 0.5 * k));
    p.setBrush(vxBookletPictures::kPaper);
    p.drawRect(px(inset));
    if (!image.isNull())
        p.drawImage(px(inset), image);
    p.setBrush(Qt::NoBrush);
    p.drawRect(px(inset));
}

void vxBooklet::paintPartsList(QPainter& p, const Page& page)
{
    const double k = m_mm;
    const double width = m_page.width() - 2 * kMarginX;
    double top = kMarginTop;
    const std::vector<vxPartsListEntry>& whole = m_listEntries;
    const int parts = vxPartsListTotal(m_steps.partsList);
    if (page.title) {
        p.setFont(font(18, true));
        p.setPen(kInk);
        p.drawText(QRectF(kMarginX * k, top * k, width * k, 10 * k), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Parts list"));
        p.setFont(font(10));
        p.setPen(kGrey);
        p.drawText(QRectF(kMarginX * k, (top + 10) * k, width * k, 6 * k), Qt::AlignLeft | Qt::AlignVCenter,
                   tr("Every part the model needs"));
        top += kListTitle;
    }
    for (int r = 0; r < page.rows; ++r) {
        const Row& row = m_listRows.at(static_cast<std::size_t>(page.firstRow + r));
        for (const Cell& c : row.cells)
            paintCell(p, QRectF((kMarginX + c.x) * k, top * k, c.look.width * k, row.height * k),
                      whole.at(c.entry), c.look);
        top += row.height;
    }
    if (page.totals) {
        const double y = top + 2;
        p.setPen(QPen(kBoxLine, 0.3 * k));
        p.drawLine(QPointF(kMarginX * k, y * k), QPointF((kMarginX + width) * k, y * k));
        p.setFont(font(10, true));
        p.setPen(kInk);
        p.drawText(QRectF(kMarginX * k, (y + 1) * k, width * k, (kListTotals - 2) * k),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   tr("In total: %1 of %2")
                       .arg(partsText(parts), kindsText(static_cast<int>(m_steps.partsList.size()))));
    }
}

void vxBooklet::paintCell(QPainter& p, const QRectF& cell, const vxPartsListEntry& entry,
                          const CellLook& look)
{
    const double k = m_mm;
    const double gauge = look.gauge > 0 ? kGaugeHeight : 0;
    // The picture and the texts share the cell above the gauge.
    const double above = cell.height() - gauge * k;
    const QRectF pictureRect(cell.left(), cell.top() + (above - look.pictureHeight * k) / 2 - 0.5 * k,
                             look.pictureWidth * k, look.pictureHeight * k);
    if (entry.shortName.empty()) {
        // A cable or rope: a curve in its colour, its outline darker.
        const double picture = std::min(pictureRect.width(), pictureRect.height());
        QPainterPath path(QPointF(pictureRect.left() + 0.1 * picture, pictureRect.bottom() - 0.2 * picture));
        path.cubicTo(QPointF(pictureRect.left() + 0.2 * picture, pictureRect.top()),
                     QPointF(pictureRect.right() - 0.2 * picture, pictureRect.bottom()),
                     QPointF(pictureRect.right() - 0.1 * picture, pictureRect.top() + 0.2 * picture));
        const QColor color =
            QColor::fromRgbF(std::clamp(entry.color.x(), 0.0f, 1.0f), std::clamp(entry.color.y(), 0.0f, 1.0f),
                             std::clamp(entry.color.z(), 0.0f, 1.0f));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(color.darker(180), 1.4 * k, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
        p.setPen(QPen(color, 0.9 * k, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(path);
    } else if (const QImage image = m_pictures.partPicture(
                   entry, QSizeF(look.pictureWidth, look.pictureHeight), m_scale, kPictureDpi);
               !image.isNull()) {
        p.drawImage(pictureRect, image);
    } else {
        p.setPen(QPen(kBoxLine, 0.3 * k, Qt::DashLine));
        p.drawRect(pictureRect);
    }

    const double textX = pictureRect.right() + 1.5 * k;
    const double textWidth = cell.width() / k - look.pictureWidth - 2.5;
    const double textHeight = cellTextHeight(entry, cell.width() / k, look.pictureWidth);
    double y = cell.top() + std::max(0.0, (above - textHeight * k) / 2);
    auto line = [&](const QString& s, const QFont& f, const QColor& color) {
        p.setFont(f);
        p.setPen(color);
        const double h = lineHeightMm(f) * k;
        p.drawText(QRectF(textX, y, textWidth * k, h), Qt::AlignLeft | Qt::AlignTop, s);
        y += h;
    };
    // The count, and the colour's name after it.
    const QFont countFont = font(9, true), textFont = font(7);
    const QString count = QStringLiteral("%1\u00d7").arg(entry.count);
    p.setFont(countFont);
    p.setPen(kInk);
    const double countHeight = lineHeightMm(countFont) * k;
    p.drawText(QRectF(textX, y, textWidth * k, countHeight), Qt::AlignLeft | Qt::AlignTop, count);
    const double countWidth =
        measure(countFont).horizontalAdvance(count + QLatin1Char(' ')) * 25.4 / kMeasureDpi;
    const QStringList color = wrapped(colorName(entry), textFont, textWidth - countWidth);
    double colorY = y + countHeight - lineHeightMm(textFont) * k;
    p.setFont(textFont);
    p.setPen(kInk);
    for (const QString& s : color) {
        p.drawText(
            QRectF(textX + countWidth * k, colorY, (textWidth - countWidth) * k, lineHeightMm(textFont) * k),
            Qt::AlignLeft | Qt::AlignTop, s);
        colorY += lineHeightMm(textFont) * k;
    }
    y = std::max(y + countHeight, colorY);
    for (const QString& s : wrapped(QString::fromStdString(entry.name), textFont, textWidth))
        line(s, textFont, kInk);
    for (const QString& s :
         wrapped(entry.found ? QString::fromStdString(entry.number) : tr("not in the catalogue"), textFont,
                 textWidth))
        line(s, textFont, kGrey);
    if (look.gauge > 0) {
        // The part's length at true size: a bar exactly as long, ticks
        // beside its ends, the length above it.
        const double x0 = cell.left() + 0.6 * k, bar = cell.bottom() - 1.2 * k - kGaugeBar * k;
        p.setFont(textFont);
        p.setPen(kInk);
        p.drawText(QRectF(x0, bar - lineHeightMm(textFont) * k - 0.3 * k, look.gauge * k,
                          lineHeightMm(textFont) * k),
                   Qt::AlignLeft | Qt::AlignBottom, tr("%1 mm at true size").arg(std::lround(look.gauge)));
        p.setPen(Qt::NoPen);
        p.setBrush(kGauge);
        p.drawRect(QRectF(x0, bar, look.gauge * k, kGaugeBar * k));
        p.setBrush(kInk);
        for (const double x : {x0 - 0.3 * k, x0 + look.gauge * k})
            p.drawRect(QRectF(x, bar - 0.6 * k, 0.3 * k, (kGaugeBar + 1.2) * k));
        p.setBrush(Qt::NoBrush);
    }
}

double vxBooklet::cellTextHeight(const vxPartsListEntry& entry, double cellWidth, double pictureMm) const
{
    const double textWidth = cellWidth - pictureMm - 2.5;
    const QFont countFont = font(9, true), textFont = font(7);
    const QString count = QStringLiteral("%1\u00d7 ").arg(entry.count);
    const double countWidth = measure(countFont).horizontalAdvance(count) * 25.4 / kMeasureDpi;
    const double line = lineHeightMm(textFont);
    const auto colorLines = wrapped(colorName(entry), textFont, textWidth - countWidth).size();
    const double countPart =
        std::max(lineHeightMm(countFont), lineHeightMm(countFont) - line + colorLines * line);
    const auto rest = wrapped(QString::fromStdString(entry.name), textFont, textWidth).size() +
                      wrapped(entry.found ? QString::fromStdString(entry.number) : tr("not in the catalogue"),
                              textFont, textWidth)
                          .size();
    return countPart + static_cast<double>(rest) * line;
}

vxBooklet::CellLook vxBooklet::cellLook(const vxPartsListEntry& entry, double cellWidth, double maxWidth,
                                        double least, bool grid)
{
    CellLook look;
    look.pictureWidth = look.pictureHeight = kCalloutPicture;
    const std::optional<vxPartPictureExtent> extent =
        entry.shortName.empty() ? std::nullopt : m_pictures.partExtentMm(entry);
    const double largestWidth = std::max(kCalloutPicture, maxWidth - kLeastText - 2.5);
    if (extent) {
        // At the booklet's scale, with a little room round the part.
        look.pictureWidth = std::clamp(extent->width / m_scale + 1, kCalloutPicture, largestWidth);
        look.pictureHeight = std::clamp(extent->height / m_scale + 1, kCalloutPicture, kLargestPicture);
        if (extent->longest > kGaugeFrom && extent->longest >= kSlender * extent->middle &&
            extent->longest + 1 <= maxWidth + 2) // its end may stand in the box's padding
            look.gauge = extent->longest;
    }
    double width = std::max(look.pictureWidth + 2.5 + kLeastText, look.gauge + 1.5);
    if (grid) {
        width = std::ceil(width / cellWidth - 1e-9) * cellWidth;
    } else {
        // Off the grid the cell takes the room its texts need on one line
        // each, as far as the row has it.
        const QFont countFont = font(9, true), textFont = font(7);
        const double mm = 25.4 / kMeasureDpi;
        const QString count = QStringLiteral("%1\u00d7 ").arg(entry.count);
        const double text =
            std::max({measure(countFont).horizontalAdvance(count) * mm +
                          measure(textFont).horizontalAdvance(colorName(entry)) * mm,
                      measure(textFont).horizontalAdvance(QString::fromStdString(entry.name)) * mm,
                      measure(textFont).horizontalAdvance(entry.found ? QString::fromStdString(entry.number)
                                                                      : tr("not in the catalogue")) *
                          mm});
        width = std::max({width, cellWidth, look.pictureWidth + 2.5 + text + 0.5});
    }
    width = std::min(width, std::max(maxWidth, cellWidth));
    look.width = width;
    look.height =
        std::max({least, look.pictureHeight + 2.5, cellTextHeight(entry, width, look.pictureWidth) + 2.5}) +
        (look.gauge > 0 ? kGaugeHeight : 0);
    return look;
}

std::vector<vxBooklet::Row> vxBooklet::flow(const std::vector<vxPartsListEntry>& entries, double cellWidth,
                                            double maxWidth, double least, bool grid)
{
    std::vector<Row> rows;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CellLook look = cellLook(entries[i], cellWidth, maxWidth, least, grid);
        if (rows.empty() || rows.back().width + look.width > maxWidth + 1e-6)
            rows.emplace_back();
        Row& row = rows.back();
        row.cells.push_back({i, row.width, look});
        row.width += look.width;
        row.height = std::max(row.height, look.height);
    }
    return rows;
}

double vxBooklet::partScale(const std::vector<vxPartsListEntry>& partsList)
{
    // The larger of its width and height in a picture, of every part type.
    std::vector<double> sizes;
    for (const vxPartsListEntry& entry : partsList)
        if (const auto extent = m_pictures.partExtentMm(entry))
            sizes.push_back(std::max(extent->width, extent->height));
    if (sizes.empty())
        return 1;
    const auto middle = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), middle, sizes.end());
    return std::max(1.0, *middle / (kCalloutPicture - 1));
}

double vxBooklet::boxRowsHeight(const StepShape& shape, int first, int rows)
{
    double h = 2 * kPad;
    for (int r = first; r < first + rows && r < static_cast<int>(shape.rows.size()); ++r)
        h += shape.rows[static_cast<std::size_t>(r)];
    return h;
}

double vxBooklet::headerHeight(const StepShape& shape, int first, int rows)
{
    return rows > 0 ? std::max(shape.number, boxRowsHeight(shape, first, rows)) : shape.number;
}

std::vector<vxBooklet::Page> vxBooklet::placeSteps(const std::vector<StepShape>& shapes, const Geometry& g,
                                                   double body)
{
    std::vector<Page> pages;
    Page page;
    double y = 0;
    int column = 0;
    auto nextColumn = [&] {
        y = 0;
        if (++column < g.columns)
            return;
        if (!page.pieces.empty())
            pages.push_back(std::move(page));
        page = Page{};
        column = 0;
    };
    for (std::size_t step = 0; step < shapes.size(); ++step) {
        const StepShape& shape = shapes[step];
        const int rows = std::max(1, static_cast<int>(shape.rows.size()));
        // The strip of pictures below the main picture: as tall as a
        // close-up, or, at the foot of a column, as tall as the room left
        // down to kLeastInset.
        const double strip = !g.beside && shape.strip ? kDetailShare * g.height : 0;
        int row = 0;
        while (true) {
            const int left = rows - row;
            const double all = headerHeight(shape, row, left) + kGap + g.height;
            const double room = body - y - all - kGap;
            const bool fits =
                strip == 0 ? all <= body - y + 1e-6 : room >= std::min(strip, kLeastInset) - 1e-6;
            // At the top of a column with all of its parts box placed the
            // step stands there, whatever room it needs.
            if (fits || (y == 0 && left <= 0)) {
                const double below = std::clamp(room, 0.0, strip);
                page.pieces.push_back({step, row, left, true, column * (g.columnWidth + kColumnGap), y,
                                       strip > 0 ? below : 0, g.beside});
                y += all + (strip > 0 ? kGap + below : 0) + kStepGap;
                break;
            }
            if (y > 0) {
                nextColumn();
                continue;
            }
            // Too many parts for one column with the picture: the parts box
            // goes on as far as it fits, the rest follows in the next column.
            int fit = 1;
            while (fit < left && boxRowsHeight(shape, row, fit + 1) <= body)
                ++fit;
            page.pieces.push_back({step, row, fit, false, column * (g.columnWidth + kColumnGap), y});
            row += fit;
            nextColumn();
        }
    }
    if (!page.pieces.empty())
        pages.push_back(std::move(page));
    return pages;
}

void vxBooklet::growLoneSteps(std::vector<Page>& pages, const std::vector<StepShape>& shapes,
                              const Geometry& g, double body)
{
    for (Page& page : pages)
        for (StepPiece& piece : page.pieces) {
            const bool alone = std::count_if(page.pieces.begin(), page.pieces.end(),
                                             [&](const StepPiece& other) { return other.x == piece.x; }) == 1;
            // A step whose parts box began in the column before stays as
            // large as the others.
            if (!alone || !piece.picture || piece.firstRow > 0)
                continue;
            const StepShape& shape = shapes.at(piece.step);
            // The picture and the strip below it grow down to the foot of
            // the body; the pictures beside it take their share of the
            // column's width.
            const double top = piece.y + headerHeight(shape, piece.firstRow, piece.rows) + kGap +
                               (piece.insets > 0 ? kGap : 0);
            const double tall = g.height + piece.insets;
            if (body - top - tall < kGrowFrom * g.height)
                continue;
            double scale = std::min({kMostGrowth, (body - top) / tall,
                                     (g.columnWidth - (g.beside && shape.strip ? kGap : 0)) /
                                         (g.width * (g.beside && shape.strip ? 1 + kDetailShare : 1))});
            if (g.beside && shape.strip) {
                // The pictures beside it stand below it instead, where
                // that lets it grow more.
                const double below = std::min({kMostGrowth, g.columnWidth / g.width,
                                               (body - top - kGap) / (g.height * (1 + kDetailShare))});
                if (below > std::max(scale, 1.0)) {
                    scale = below;
                    piece.beside = false;
                    piece.insets = kDetailShare * g.height;
                }
            }
            if (scale > 1) {
                piece.scale = scale;
                piece.insets *= scale;
            }
        }
}

void vxBooklet::setGeometry(const Geometry& g)
{
    m_pictureHeight = g.height;
    m_pictureWidth = g.width;
    m_columns = g.columns;
    m_columnWidth = g.columnWidth;
    m_detailBeside = g.beside;
}

std::vector<vxPartsListEntry> vxBooklet::boxEntries(std::vector<vxPartsListEntry> parts,
                                                    const std::vector<vxBookletTubeEntry>& tubes)
{
    for (const vxBookletTubeEntry& t : tubes)
        parts.push_back(tubeRow(t));
    return parts;
}

vxBooklet::StepShape vxBooklet::shape(const std::vector<Row>& rows, double number, bool strip)
{
    StepShape s{{}, number, strip};
    for (const Row& row : rows)
        s.rows.push_back(row.height);
    return s;
}

std::vector<vxBooklet::StepShape> vxBooklet::madeShapes(double columnWidth,
                                                        std::vector<std::vector<Row>>* rowsOut)
{
    std::vector<StepShape> shapes;
    if (rowsOut)
        rowsOut->clear();
    for (const vxBookletStep& step : m_steps.steps) {
        std::vector<Row> rows = flow(boxEntries(step.callouts, step.tubeCallouts), kCellWidth,
                                     boxWidth(columnWidth), kRowHeight, false);
        const bool strip = std::any_of(step.pictures.begin(), step.pictures.end(), [](const auto& picture) {
            return picture.role != vxBookletPicture::Role::Main;
        });
        shapes.push_back(shape(rows, kNumberHeight + turnHeight(step), strip));
        if (rowsOut)
            rowsOut->push_back(std::move(rows));
    }
    return shapes;
}

vxPartsListEntry vxBooklet::tubeRow(const vxBookletTubeEntry& tube)
{
    // A row without a part type: the name says the length, the second line
    // the thickness.
    vxPartsListEntry row;
    row.count = tube.count;
    row.color = tube.color;
    row.colorName = tube.colorName;
    row.found = true;
    row.name = tr("Cable or rope, %1 mm").arg(tube.lengthMm, 0, 'f', 0).toStdString();
    row.number = tr("%1 mm thick").arg(QLocale().toString(tube.thicknessMm, 'g', 3)).toStdString();
    return row;
}

QString vxBooklet::colorName(const vxPartsListEntry& entry) const
{
    // The palette holds both languages; the string tables say which one the
    // booklet speaks.
    const bool german = tr("en", "language of the colour names: en or de") == QLatin1String("de");
    return QString::fromUtf8(german ? entry.colorName.german : entry.colorName.english);
}

vxWriteResult vxWriteBookletPdf(vxBooklet& booklet, const std::string& path, const QPageSize& paper,
                                const vxBooklet::Progress& progress)
{
    vxAtomicFile file(path);
    if (!file.ok())
        return file.commit();
    AtomicDevice device(file);
    device.open(QIODevice::WriteOnly);
    QString error;
    bool painted = false;
    {
        QPdfWriter writer(&device);
        writer.setPageSize(paper);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Kolbrik Viewer"));
        writer.setTitle(booklet.title());
        painted = booklet.paint(writer, progress, &error);
    }
    device.close();
    if (!painted || !file.ok()) {
        const std::string reason =
            !file.ok() ? file.commit().error : "cannot write " + path + ": " + error.toStdString();
        file.abandon();
        return {false, reason};
    }
    return file.commit();
}
