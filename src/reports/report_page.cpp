#include "reports/report_page.h"

#include "reports/report_layout.h"

#include <QFontMetricsF>
#include <QPainter>

namespace
{

// Text is set in hundredths of a millimetre, so that font sizes, which are whole pixel sizes,
// come within 0.1 % of their point sizes.
constexpr qreal Unit = 0.01;

struct PageText {
    const ReportContent& content;
    int number;
    int count;
};

QRectF InUnits(const QRectF& mm)
{
    return {mm.x() / Unit, mm.y() / Unit, mm.width() / Unit, mm.height() / Unit};
}

QString LabelText(const ReportElement& element, const PageText& page)
{
    switch (element.source) {
    case ReportSource::Fixed:
        return element.text;
    case ReportSource::Date:
        return page.content.date;
    case ReportSource::SerialNumber:
        return page.content.serialNumber;
    case ReportSource::PageNumber:
        return ReportPageFooter(page.number, page.count);
    case ReportSource::None:
    case ReportSource::Column:
        break;
    }
    return {};
}

// Labels size themselves to their text, up to a margin inside the frame, where their words
// wrap. Text is drawn from its baseline, a font ascent below the box's top: the text
// layout of a drawing in a box costs several times more, on every row of every page.
void DrawLabel(QPainter& painter, const ReportElement& element, const PageText& page)
{
    const QString text = LabelText(element, page);
    if (text.isEmpty())
        return;
    painter.setFont(MakeReportFont(element.font, Unit));
    const QFontMetricsF metrics(painter.font());
    const QRectF box = InUnits(element.box);
    const qreal width = metrics.horizontalAdvance(text);
    const qreal room = ReportLayout::LabelRightEdge / Unit - box.left();
    if (width > room) {
        painter.drawText(QRectF(box.left(), box.top(), room, room), Qt::TextWordWrap, text);
        return;
    }
    qreal left = box.left();
    if (element.source == ReportSource::PageNumber)
        left = box.center().x() - width / 2;
    painter.drawText(QPointF(left, box.top() + metrics.ascent()), text);
}

void DrawColumn(QPainter& painter, const ReportElement& element, const PageText& page)
{
    painter.setFont(MakeReportFont(element.font, Unit));
    const ReportRows& rows = page.content.rows;
    const qint64 first = qint64(page.number - 1) * ReportLayout::RowsPerPage;
    const qint64 last = qMin(rows.count(), first + ReportLayout::RowsPerPage);
    const QRectF box = InUnits(element.box);
    // Each row's top at its pitch; the text hangs from it.
    QPointF baseline(box.left(), box.top() + QFontMetricsF(painter.font()).ascent());
    for (qint64 r = first; r < last; ++r) {
        const QStringView text = rows.text(element.tableColumn - 1, r);
        if (!text.isEmpty())
            painter.drawText(baseline, text.toString());
        baseline.ry() += ReportLayout::RowPitch / Unit;
    }
}

void DrawSeparator(QPainter& painter, const ReportElement& element)
{
    painter.setPen(QPen(Qt::black, ReportLayout::SeparatorPenWidth / Unit));
    const QRectF box = InUnits(element.box);
    painter.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
    painter.setPen(Qt::black);
}

// Round dots, one pen width across, two pen widths apart.
void DrawFrame(QPainter& painter)
{
    QPen pen(Qt::black, ReportLayout::FramePenWidth / Unit);
    pen.setCapStyle(Qt::RoundCap);
    pen.setDashPattern({0.001, 2.0});
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(InUnits({0, 0, ReportLayout::PrintableWidth, ReportLayout::PrintableHeight}));
    painter.setPen(Qt::black);
}

} // namespace

int ReportPageCount(const ReportContent& content)
{
    const qint64 rows = content.rows.count();
    if (rows <= 0)
        return 1;
    return int((rows + ReportLayout::RowsPerPage - 1) / ReportLayout::RowsPerPage);
}

QString ReportPageFooter(int number, int count)
{
    if (count <= 1)
        return {};
    return QStringLiteral("Page %1 / %2").arg(number).arg(count);
}

QPicture PrepareReportPage(const ReportContent& content, int number)
{
    const PageText page{content, number, ReportPageCount(content)};
    QPicture picture;
    QPainter painter(&picture);
    painter.translate(ReportLayout::Margin, ReportLayout::Margin);
    painter.scale(Unit, Unit);
    painter.setPen(Qt::black);
    DrawFrame(painter);
    for (const ReportElement& element : ReportElements()) {
        switch (element.kind) {
        case ReportElementKind::Label:
            DrawLabel(painter, element, page);
            break;
        case ReportElementKind::Column:
            DrawColumn(painter, element, page);
            break;
        case ReportElementKind::Separator:
            DrawSeparator(painter, element);
            break;
        }
    }
    painter.end();
    return picture;
}

void DrawReportPage(QPainter& painter, const QPicture& page)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // A picture plays itself scaled by the device's resolution over its own: undone here, so
    // that its units stay the painter's.
    const QPaintDevice* device = painter.device();
    painter.scale(qreal(page.logicalDpiX()) / device->logicalDpiX(),
                  qreal(page.logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(QPointF(0, 0), page);
    painter.restore();
}
