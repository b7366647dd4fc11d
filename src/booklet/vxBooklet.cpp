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
constexpr double kCalloutPicture = 11;
constexpr double kGap = 2;
constexpr double kStepGap = 7;
constexpr double kColumnGap = 6;
// Steps share a page as long as the model shows at least this share of its
// size on a page of its own, and at least kLeastPicture mm tall.
constexpr double kSmallest = 0.45;
constexpr double kLeastPicture = 60;

// The parts list.
constexpr double kListTitle = 20;
constexpr double kListRowHeight = 17;
constexpr double kListCellWidth = 46;
constexpr double kListPicture = 13;
constexpr double kListTotals = 10;

const QColor kInk(30, 30, 30);
const QColor kAccent(30, 110, 200);
const QColor kGrey(110, 110, 110);
const QColor kBoxLine(150, 170, 195);

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

    m_listColumns = std::max(1, static_cast<int>(width / kListCellWidth));
    auto rowHeights = [this](const std::vector<vxPartsListEntry>& list, int columns, double cellWidth,
                             double pictureMm, double least) {
        std::vector<double> rows(
            (list.size() + static_cast<std::size_t>(columns) - 1) / static_cast<std::size_t>(columns), least);
        for (std::size_t i = 0; i < list.size(); ++i) {
            double& h = rows[i / static_cast<std::size_t>(columns)];
            h = std::max(h, cellTextHeight(list[i], cellWidth, pictureMm) + 2.5);
        }
        return rows;
    };

    // One picture size for every step, so that the model keeps its place
    // from step to step, never wider than the model's proportions need.
    // Steps stand in one or two columns, one to three in each, as densely
    // as keeps the model at least kSmallest as large as on a page of its
    // own: several steps share a page whenever they fit. A close-up stands
    // beside the picture where the column has room for it, else below it;
    // it never covers the picture.
    const double aspect = std::max(m_pictures.framing().modelAspect(), 0.05);
    auto plainHeader = [](int rows) { return std::max(kNumberHeight, 2 * kPad + rows * kRowHeight); };
    struct Choice {
        int columns = 1, perColumn = 1;
        double columnWidth = 0, height = 0, width = 0;
        bool beside = false;
    };
    // The steps' parts boxes: how many parts each lists.
    std::vector<int> boxes;
    for (const auto& [phase, list] : vxMakePhasePartsLists(m_pictures.model()))
        boxes.push_back(static_cast<int>(list.size()));
    auto choose = [&](int columns, int perColumn) {
        Choice c{columns, perColumn};
        c.columnWidth = (width - (columns - 1) * kColumnGap) / columns;
        // Room for the parts boxes of three steps in four.
        const int boxColumns =
            std::max(1, static_cast<int>((c.columnWidth - kNumberWidth - 2 * kPad) / kCellWidth));
        std::vector<double> headers;
        for (const int n : boxes)
            headers.push_back(plainHeader((n + boxColumns - 1) / boxColumns));
        double header = plainHeader(1);
        if (!headers.empty()) {
            const auto at = headers.begin() + static_cast<std::ptrdiff_t>(headers.size() * 3 / 4);
            std::nth_element(headers.begin(), at, headers.end());
            header = *at;
        }
        const double each = (body - perColumn * (header + kGap) - (perColumn - 1) * kStepGap) / perColumn;
        c.height = std::min(each, c.columnWidth / aspect);
        c.width = std::min(c.columnWidth, c.height * aspect);
        c.beside = c.columnWidth - c.width - kGap >= kDetailShare * c.width;
        if (!c.beside) {
            // Room for a close-up below the picture in a column of its own.
            c.height = std::min(c.height, (body - plainHeader(1) - 2 * kGap) / (1 + kDetailShare));
            c.width = std::min(c.columnWidth, c.height * aspect);
        }
        c.height = std::max(c.height, 10.0);
        c.width = std::max(c.width, 10.0);
        return c;
    };
    Choice best = choose(1, 1);
    const double alone = best.height;
    for (int columns = 1; columns <= 2; ++columns)
        for (int perColumn = 1; perColumn <= 3; ++perColumn) {
            const Choice c = choose(columns, perColumn);
            const int steps = columns * perColumn, bestSteps = best.columns * best.perColumn;
            if (c.height < kSmallest * alone || c.height < kLeastPicture)
                continue;
            if (steps > bestSteps || (steps == bestSteps && c.height > best.height))
                best = c;
        }
    m_pictureHeight = best.height;
    m_pictureWidth = best.width;
    m_columns = best.columns;
    m_columnWidth = best.columnWidth;
    m_detailBeside = best.beside;
    m_calloutColumns = std::max(1, static_cast<int>((m_columnWidth - kNumberWidth - 2 * kPad) / kCellWidth));
    m_steps = vxMakeBookletSteps(m_pictures.model(), m_pictures.framing(),
                                 {m_pictureWidth, m_pictureHeight, kPictureDpi}, m_pictures.measure());
    // Parts, then cables and ropes, in every box and in the parts list.
    auto withTubes = [this](std::vector<vxPartsListEntry> rows,
                            const std::vector<vxBookletTubeEntry>& tubes) {
        for (const vxBookletTubeEntry& t : tubes)
            rows.push_back(tubeRow(t));
        return rows;
    };
    m_boxes.clear();
    m_calloutRows.clear();
    for (const vxBookletStep& step : m_steps.steps) {
        m_boxes.push_back(withTubes(step.callouts, step.tubeCallouts));
        m_calloutRows.push_back(
            rowHeights(m_boxes.back(), m_calloutColumns, kCellWidth, kCalloutPicture, kRowHeight));
    }
    m_listEntries = withTubes(m_steps.partsList, m_steps.tubeList);
    m_listRows =
        rowHeights(m_listEntries, m_listColumns, width / m_listColumns, kListPicture, kListRowHeight);

    Page cover;
    cover.kind = Page::Cover;
    m_pages.push_back(cover);

    Page page;
    double y = 0;
    int column = 0;
    auto nextColumn = [&] {
        y = 0;
        if (++column < m_columns)
            return;
        if (!page.pieces.empty())
            m_pages.push_back(std::move(page));
        page = Page{};
        column = 0;
    };
    for (std::size_t step = 0; step < m_steps.steps.size(); ++step) {
        const int columns = m_calloutColumns;
        const int callouts = static_cast<int>(m_boxes[step].size());
        const int rows = std::max(1, (callouts + columns - 1) / columns);
        const vxBookletStep& s = m_steps.steps[step];
        const double detail = !m_detailBeside && s.picture(vxBookletPicture::Role::Detail)
                                  ? kGap + kDetailShare * m_pictureHeight
                                  : 0;
        int row = 0;
        while (true) {
            const int left = rows - row;
            const double all = headerHeight(step, row, left) + kGap + m_pictureHeight + detail;
            if (all <= body - y) {
                page.pieces.push_back({step, row, left, true, column * (m_columnWidth + kColumnGap), y});
                y += all + kStepGap;
                break;
            }
            if (y > 0) {
                nextColumn();
                continue;
            }
            // Too many parts for one column with the picture: the parts box
            // goes on as far as it fits, the rest follows in the next column.
            int fit = 1;
            while (fit < left && boxRowsHeight(step, row, fit + 1) <= body)
                ++fit;
            page.pieces.push_back({step, row, fit, false, column * (m_columnWidth + kColumnGap), y});
            row += fit;
            nextColumn();
        }
    }
    if (!page.pieces.empty())
        m_pages.push_back(std::move(page));

    const int rows = static_cast<int>(m_listRows.size());
    int row = 0;
    bool first = true;
    while (first || row < rows) {
        Page list{Page::PartsList, {}, row, 0, false, first};
        double used = first ? kListTitle : 0;
        // At least one row on every page, however tall.
        while (row < rows && (list.rows == 0 || used + m_listRows[static_cast<std::size_t>(row)] <= body)) {
            used += m_listRows[static_cast<std::size_t>(row)];
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

    if (piece.rows > 0) {
        const double boxX = left + kNumberWidth;
        const int first = piece.firstRow * m_calloutColumns;
        const int count = std::min(static_cast<int>(list.size()) - first, piece.rows * m_calloutColumns);
        const int columns = std::min(m_calloutColumns, std::max(count, 1));
        const QRectF box(boxX * k, top * k, (2 * kPad + columns * kCellWidth) * k,
                         boxRowsHeight(piece.step, piece.firstRow, piece.rows) * k);
        p.setPen(QPen(kBoxLine, 0.3 * k));
        p.setBrush(vxBookletPictures::kPartsBox);
        p.drawRoundedRect(box, 2 * k, 2 * k);
        p.setBrush(Qt::NoBrush);
        const std::vector<double>& heights = m_calloutRows.at(piece.step);
        double rowTop = top + kPad;
        for (int i = 0; i < count; ++i) {
            const int r = i / m_calloutColumns, c = i % m_calloutColumns;
            const double h = heights.at(static_cast<std::size_t>(piece.firstRow + r));
            if (i > 0 && c == 0)
                rowTop += heights.at(static_cast<std::size_t>(piece.firstRow + r - 1));
            const QRectF cell((boxX + kPad + c * kCellWidth) * k, rowTop * k, kCellWidth * k, h * k);
            paintCell(p, cell, list[static_cast<std::size_t>(first + i)], kCalloutPicture);
        }
    }
    const vxBookletPicture* main = step.picture(vxBookletPicture::Role::Main);
    if (piece.picture && main) {
        const double y = top + headerHeight(piece.step, piece.firstRow, piece.rows) + kGap;
        const double x = m_detailBeside ? left : left + (m_columnWidth - m_pictureWidth) / 2;
        const QRectF box(x, y, m_pictureWidth, m_pictureHeight);
        const QImage image = m_pictures.draw(main->render);
        if (!image.isNull())
            p.drawImage(QRectF(box.x() * k, box.y() * k, box.width() * k, box.height() * k), image);
        if (const vxBookletPicture* detail = step.picture(vxBookletPicture::Role::Detail))
            paintDetail(p, box, *detail);
    }
}

void vxBooklet::paintDetail(QPainter& p, const QRectF& box, const vxBookletPicture& detail)
{
    // The new parts are small in the picture: their surroundings framed in
    // it and shown larger beside it or below it.
    const double k = m_mm;
    const vxBookletArea area = detail.enlarges.value_or(vxBookletArea{});
    const QRectF spot(box.x() + area.x * box.width(), box.y() + area.y * box.height(),
                      area.width * box.width(), area.height * box.height());
    const QRectF inset = detailBox(box);
    auto px = [k](const QRectF& r) { return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k); };
    p.setPen(QPen(kAccent, 0.35 * k));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(px(spot.adjusted(-1, -1, 1, 1)), 1.5 * k, 1.5 * k);
    // The close-up has the picture's shape.
    const QImage close = m_pictures.draw(detail.render);
    p.setBrush(vxBookletPictures::kPaper);
    p.drawRect(px(inset));
    if (!close.isNull())
        p.drawImage(px(inset), close);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, 0.5 * k));
    p.drawRect(px(inset));
}

QRectF vxBooklet::detailBox(const QRectF& box) const
{
    const QSizeF size(box.width() * kDetailShare, box.height() * kDetailShare);
    if (m_detailBeside)
        return QRectF(QPointF(box.right() + kGap, box.bottom() - size.height()), size);
    return QRectF(QPointF(box.center().x() - size.width() / 2, box.bottom() + kGap), size);
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
    const double cellWidth = width / m_listColumns;
    for (int r = 0; r < page.rows; ++r) {
        const double h = m_listRows.at(static_cast<std::size_t>(page.firstRow + r));
        for (int c = 0; c < m_listColumns; ++c) {
            const std::size_t i = static_cast<std::size_t>((page.firstRow + r) * m_listColumns + c);
            if (i >= whole.size())
                break;
            const QRectF cell((kMarginX + c * cellWidth) * k, top * k, cellWidth * k, h * k);
            paintCell(p, cell, whole[i], kListPicture);
        }
        top += h;
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

void vxBooklet::paintCell(QPainter& p, const QRectF& cell, const vxPartsListEntry& entry, double pictureMm)
{
    const double k = m_mm;
    const double picture = pictureMm * k;
    const QRectF pictureRect(cell.left(), cell.top() + (cell.height() - picture) / 2 - 0.5 * k, picture,
                             picture);
    const int pixels = std::max(16, static_cast<int>(std::lround(pictureMm * kPictureDpi / 25.4)));
    const QImage image = entry.shortName.empty() ? QImage() : m_pictures.partPicture(entry, pixels);
    if (entry.shortName.empty()) {
        // A cable or rope: a curve in its colour, its outline darker.
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
    } else if (!image.isNull()) {
        p.drawImage(pictureRect, image);
    } else {
        p.setPen(QPen(kBoxLine, 0.3 * k, Qt::DashLine));
        p.drawRect(pictureRect);
    }

    const double textX = pictureRect.right() + 1.5 * k;
    const double textWidth = cell.width() / k - pictureMm - 2.5;
    const double textHeight = cellTextHeight(entry, cell.width() / k, pictureMm);
    double y = cell.top() + std::max(0.0, (cell.height() - textHeight * k) / 2);
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

double vxBooklet::boxRowsHeight(std::size_t step, int first, int rows) const
{
    const std::vector<double>& heights = m_calloutRows.at(step);
    double h = 2 * kPad;
    for (int r = first; r < first + rows && r < static_cast<int>(heights.size()); ++r)
        h += heights[static_cast<std::size_t>(r)];
    return h;
}

double vxBooklet::headerHeight(std::size_t step, int first, int rows) const
{
    return rows > 0 ? std::max(kNumberHeight, boxRowsHeight(step, first, rows)) : kNumberHeight;
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
