#include "vxBooklet.h"

#include <QFontMetricsF>
#include <QIODevice>
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

double headerHeight(int rows)
{
    return rows > 0 ? std::max(kNumberHeight, 2 * kPad + rows * kRowHeight) : kNumberHeight;
}

QFont font(double points, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

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

    m_calloutColumns = std::max(1, static_cast<int>((width - kNumberWidth - 2 * kPad) / kCellWidth));
    m_listColumns = std::max(1, static_cast<int>(width / kListCellWidth));

    // One picture size for every step, so that the model keeps its place
    // from step to step, never taller than the model's proportions need:
    // two steps to a page when the model shows at least three quarters as
    // large as on a page of its own (wide models), else one large picture
    // with room for a few rows of parts.
    const double aspect = std::max(m_pictures.framing().modelAspect(), 0.05);
    const double roomy = body - headerHeight(3) - kGap;
    const double two = (body - 2 * (headerHeight(1) + kGap + kStepGap)) / 2;
    const double fitted = std::min(roomy, width / aspect);
    const bool twoToAPage = two * aspect >= 0.75 * std::min(width, fitted * aspect);
    // A picture always fits on a page of its own with the step number.
    m_pictureHeight = std::clamp(std::min(twoToAPage ? two : roomy, width / aspect), std::min(40.0, roomy),
                                 body - kNumberHeight - kGap);
    m_steps =
        vxMakeBookletSteps(m_pictures.model(), m_pictures.framing(), {width, m_pictureHeight, kPictureDpi});

    Page cover;
    cover.kind = Page::Cover;
    m_pages.push_back(cover);

    Page page;
    double y = 0;
    auto nextPage = [&] {
        if (!page.pieces.empty())
            m_pages.push_back(std::move(page));
        page = Page{};
        y = 0;
    };
    for (std::size_t step = 0; step < m_steps.steps.size(); ++step) {
        const int columns = m_calloutColumns;
        const int callouts = static_cast<int>(m_steps.steps[step].callouts.size());
        const int rows = std::max(1, (callouts + columns - 1) / columns);
        int row = 0;
        while (true) {
            const int left = rows - row;
            const double all = headerHeight(left) + kGap + m_pictureHeight;
            if (all <= body - y) {
                page.pieces.push_back({step, row, left, true, y});
                y += all + kStepGap;
                break;
            }
            if (y > 0) {
                nextPage();
                continue;
            }
            // Too many parts for one page with the picture: the parts box
            // goes on as far as it fits, the rest follows on the next page.
            const int fit = std::clamp(static_cast<int>((body - 2 * kPad) / kRowHeight), 1, left);
            page.pieces.push_back({step, row, fit, false, y});
            row += fit;
            nextPage();
        }
    }
    nextPage();

    const int rows = (static_cast<int>(m_steps.partsList.size()) + m_listColumns - 1) / m_listColumns;
    m_listRowsFirst = std::max(1, static_cast<int>((body - kListTitle) / kListRowHeight));
    m_listRowsPerPage = std::max(1, static_cast<int>(body / kListRowHeight));
    int row = 0;
    bool first = true;
    while (first || row < rows) {
        const int room = first ? m_listRowsFirst : m_listRowsPerPage;
        Page list{Page::PartsList, {}, row, std::min(room, rows - row), false, first};
        row += list.rows;
        // The totals line goes under the last row when it fits.
        const double used = (first ? kListTitle : 0) + list.rows * kListRowHeight;
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
    const double width = m_page.width() - 2 * kMarginX;
    const double top = kMarginTop + piece.y;
    const vxBookletStep& step = m_steps.steps.at(piece.step);
    const auto& list = step.callouts;

    p.setFont(font(26, true));
    p.setPen(kInk);
    p.drawText(QRectF(kMarginX * k, top * k, kNumberWidth * k, kNumberHeight * k),
               Qt::AlignLeft | Qt::AlignTop, QString::number(step.number));

    if (piece.rows > 0) {
        const double boxX = kMarginX + kNumberWidth;
        const int first = piece.firstRow * m_calloutColumns;
        const int count = std::min(static_cast<int>(list.size()) - first, piece.rows * m_calloutColumns);
        const int columns = std::min(m_calloutColumns, std::max(count, 1));
        const QRectF box(boxX * k, top * k, (2 * kPad + columns * kCellWidth) * k,
                         (2 * kPad + piece.rows * kRowHeight) * k);
        p.setPen(QPen(kBoxLine, 0.3 * k));
        p.setBrush(vxBookletPictures::kPartsBox);
        p.drawRoundedRect(box, 2 * k, 2 * k);
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < count; ++i) {
            const int r = i / m_calloutColumns, c = i % m_calloutColumns;
            const QRectF cell((boxX + kPad + c * kCellWidth) * k, (top + kPad + r * kRowHeight) * k,
                              kCellWidth * k, kRowHeight * k);
            paintCell(p, cell, list[static_cast<std::size_t>(first + i)], kCalloutPicture);
        }
    }
    const vxBookletPicture* main = step.picture(vxBookletPicture::Role::Main);
    if (piece.picture && main) {
        const double y = top + headerHeight(piece.rows) + kGap;
        const QRectF box(kMarginX, y, width, m_pictureHeight);
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
    // it and shown larger in a corner, the corner farthest from them.
    const double k = m_mm;
    const vxBookletArea area = detail.enlarges.value_or(vxBookletArea{});
    const QRectF spot(box.x() + area.x * box.width(), box.y() + area.y * box.height(),
                      area.width * box.width(), area.height * box.height());
    const double gap = 2;
    const QSizeF size(box.width() * kDetailShare, box.height() * kDetailShare);
    QRectF inset;
    double farthest = -1;
    for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        const QRectF r(corner.x() < box.center().x() ? corner.x() + gap : corner.x() - gap - size.width(),
                       corner.y() < box.center().y() ? corner.y() + gap : corner.y() - gap - size.height(),
                       size.width(), size.height());
        const QPointF d = r.center() - spot.center();
        const double distance = std::hypot(d.x(), d.y()) - (r.intersects(spot) ? 1e6 : 0);
        if (distance > farthest) {
            farthest = distance;
            inset = r;
        }
    }
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

void vxBooklet::paintPartsList(QPainter& p, const Page& page)
{
    const double k = m_mm;
    const double width = m_page.width() - 2 * kMarginX;
    double top = kMarginTop;
    const std::vector<vxPartsListEntry>& whole = m_steps.partsList;
    const int parts = vxPartsListTotal(whole);
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
    for (int r = 0; r < page.rows; ++r)
        for (int c = 0; c < m_listColumns; ++c) {
            const std::size_t i = static_cast<std::size_t>((page.firstRow + r) * m_listColumns + c);
            if (i >= whole.size())
                break;
            const QRectF cell((kMarginX + c * cellWidth) * k, (top + r * kListRowHeight) * k, cellWidth * k,
                              kListRowHeight * k);
            paintCell(p, cell, whole[i], kListPicture);
        }
    if (page.totals) {
        const double y = top + page.rows * kListRowHeight + 2;
        p.setPen(QPen(kBoxLine, 0.3 * k));
        p.drawLine(QPointF(kMarginX * k, y * k), QPointF((kMarginX + width) * k, y * k));
        p.setFont(font(10, true));
        p.setPen(kInk);
        p.drawText(QRectF(kMarginX * k, (y + 1) * k, width * k, (kListTotals - 2) * k),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   tr("In total: %1 of %2").arg(partsText(parts), kindsText(static_cast<int>(whole.size()))));
    }
}

void vxBooklet::paintCell(QPainter& p, const QRectF& cell, const vxPartsListEntry& entry, double pictureMm)
{
    const double k = m_mm;
    const double picture = pictureMm * k;
    const QRectF pictureRect(cell.left(), cell.top() + (cell.height() - picture) / 2 - 0.5 * k, picture,
                             picture);
    const int pixels = std::max(16, static_cast<int>(std::lround(pictureMm * kPictureDpi / 25.4)));
    const QImage image = m_pictures.partPicture(entry, pixels);
    if (!image.isNull()) {
        p.drawImage(pictureRect, image);
    } else {
        p.setPen(QPen(kBoxLine, 0.3 * k, Qt::DashLine));
        p.drawRect(pictureRect);
    }

    const double textX = pictureRect.right() + 1.5 * k;
    const double textWidth = cell.right() - textX - 1 * k;
    double y = pictureRect.top();
    auto line = [&](const QString& s, const QFont& f, const QColor& color) {
        p.setFont(f);
        p.setPen(color);
        const QFontMetricsF metrics(f, p.device());
        p.drawText(QRectF(textX, y, textWidth, metrics.height()), Qt::AlignLeft | Qt::AlignTop,
                   metrics.elidedText(s, Qt::ElideRight, textWidth));
        y += metrics.height();
    };
    line(QStringLiteral("%1\u00d7").arg(entry.count), font(9, true), kInk);
    line(QString::fromStdString(entry.name), font(7), kInk);
    line(entry.found ? QString::fromStdString(entry.number) : tr("not in the catalogue"), font(7), kGrey);
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
