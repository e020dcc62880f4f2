#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QtGlobal>
#include <vector>

// The record report's page as data: the paper, the frame, and the elements of its one band, in
// millimetres. Element boxes are measured from the top-left corner of the printable area.
namespace ReportLayout
{

constexpr qreal PaperWidth = 210.0;
constexpr qreal PaperHeight = 297.0;
constexpr qreal Margin = 12.7;
constexpr qreal PrintableWidth = PaperWidth - 2 * Margin;
constexpr qreal PrintableHeight = PaperHeight - 2 * Margin;
constexpr qreal BandWidth = 184.68;
constexpr qreal BandHeight = 239.71;

// Where a label too long for the line wraps: as far from the frame as the labels' left side.
constexpr qreal LabelRightEdge = PrintableWidth - 6.35;

// Pen widths are given in screen pixels of 96 per inch.
constexpr qreal PixelMm = 25.4 / 96.0;
constexpr qreal FramePenWidth = 4 * PixelMm;
constexpr qreal SeparatorPenWidth = 1 * PixelMm;

// All four columns step by the same pitch, so that a row's texts stay on one line across the
// page; 41 rows fit the shortest column.
constexpr qreal RowPitch = 4.5;
constexpr int RowsPerPage = 41;

} // namespace ReportLayout

enum class ReportElementKind { Label, Column, Separator };

// Garamond 12 pt, Arial 16 pt, Garamond 16 pt bold.
enum class ReportFont { Body, Title, Heading };

enum class ReportSource {
    None,         // separators
    Fixed,        // the element's own text
    Date,         // today's date, set when the report is filled
    SerialNumber, // the main window's serial-number caption
    PageNumber,   // "Page x / y", on reports of more than one page only
    Column,       // one column of the record table, row by row
};

struct ReportElement {
    QString name;
    ReportElementKind kind;
    QRectF box; // mm; a separator is drawn through the middle of its box, top to bottom
    ReportFont font = ReportFont::Body;
    ReportSource source = ReportSource::None;
    QString text;        // Fixed
    int tableColumn = 0; // Column: 1 dates, 2 hours and minutes, 3 temperatures, 4 humidities
};

// The elements, in drawing order.
const std::vector<ReportElement>& ReportElements();
// The element of that name; raises QuivelError for an unknown name.
const ReportElement& ReportElementNamed(const QString& name);

// The family that draws the role: Garamond, else EB Garamond, else a serif; Arial, else
// Liberation Sans, else a sans serif.
QString ReportFontFamily(ReportFont font);
qreal ReportFontPoints(ReportFont font);
// The font with its size in drawing units of unitMm millimetres each.
QFont MakeReportFont(ReportFont font, qreal unitMm);
