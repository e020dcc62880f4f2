#include "reports/report_layout.h"

#include "common/errors.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace
{

using Kind = ReportElementKind;
using Source = ReportSource;

ReportElement Label(const char* name, QRectF box, const char* text,
                    ReportFont font = ReportFont::Body)
{
    return {QString::fromLatin1(name),
            Kind::Label,
            box,
            font,
            Source::Fixed,
            QString::fromUtf8(text),
            0};
}

ReportElement Filled(const char* name, QRectF box, Source source)
{
    return {QString::fromLatin1(name), Kind::Label, box, ReportFont::Body, source, {}, 0};
}

ReportElement Column(const char* name, QRectF box, int tableColumn)
{
    return {QString::fromLatin1(name),
            Kind::Column,
            box,
            ReportFont::Body,
            Source::Column,
            {},
            tableColumn};
}

ReportElement Separator(const char* name, QRectF box)
{
    return {QString::fromLatin1(name), Kind::Separator, box, ReportFont::Body, Source::None, {}, 0};
}

std::vector<ReportElement> MakeElements()
{
    // The humidity column has no height limit of its own: it runs to the foot of the band.
    const qreal humidityHeight = ReportLayout::BandHeight - 42.33;
    return {
        Label("QRLabel1", {6.35, 4.23, 61.38, 6.88}, "QUIVEL DATALOGGER", ReportFont::Title),
        Label("QRLabel8", {6.35, 12.70, 86.25, 6.88}, "Rapport d'enregistrement KX52R10",
              ReportFont::Heading),
        Label("QRLabel9", {6.35, 19.05, 10.58, 5.29}, "Date :"),
        Filled("QRLabel3", {16.93, 19.05, 17.46, 5.29}, Source::Date),
        Label("QRLabel10", {61.38, 19.05, 30.16, 5.29}, "Numéro de série :"),
        Filled("QRLabel11", {93.13, 19.05, 17.46, 5.29}, Source::SerialNumber),
        Label("QRLabel4", {6.35, 35.98, 12.17, 6.35}, "DATE"),
        Label("QRLabel5", {29.63, 35.98, 25.93, 5.29}, "Heure : Minute"),
        Label("QRLabel6", {63.50, 35.98, 21.70, 5.29}, "Température"),
        Label("QRLabel12", {88.90, 35.98, 16.40, 5.29}, "Humidité"),
        Column("QRMemo1", {4.23, 42.33, 19.05, 190.50}, 1),
        Column("QRMemo2", {31.75, 42.33, 19.05, 186.80}, 2),
        Column("QRMemo3", {64.03, 42.33, 19.05, 188.91}, 3),
        Column("QRMemo4", {88.90, 42.33, 19.05, humidityHeight}, 4),
        Separator("QRShape1", {23.28, 40.22, 2.38, 197.11}),
        Separator("QRShape2", {57.15, 42.33, 4.50, 197.11}),
        Separator("QRShape3", {82.55, 42.33, 4.50, 197.11}),
        // Below the band, centred on the printable width.
        Filled("PageFooter", {0, 258.0, ReportLayout::PrintableWidth, 5.29}, Source::PageNumber),
    };
}

QString FirstInstalled(const QStringList& families, const QString& fallback)
{
    for (const QString& family : families) {
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return fallback;
}

} // namespace

const std::vector<ReportElement>& ReportElements()
{
    static const std::vector<ReportElement> elements = MakeElements();
    return elements;
}

const ReportElement& ReportElementNamed(const QString& name)
{
    for (const ReportElement& element : ReportElements()) {
        if (element.name == name)
            return element;
    }
    throw QuivelError(QStringLiteral("Unknown report element %1").arg(name));
}

QString ReportFontFamily(ReportFont font)
{
    // "EB Garamond 12" is the optical size drawn for 12 pt text; "EB Garamond" alone may
    // give the 8 pt cut.
    static const QString serif =
        FirstInstalled({QStringLiteral("Garamond"), QStringLiteral("EB Garamond 12"),
                        QStringLiteral("EB Garamond")},
                       QStringLiteral("serif"));
    static const QString sans = FirstInstalled(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}, QStringLiteral("sans-serif"));
    return font == ReportFont::Title ? sans : serif;
}

qreal ReportFontPoints(ReportFont font)
{
    return font == ReportFont::Body ? 12.0 : 16.0;
}

QFont MakeReportFont(ReportFont role, qreal unitMm)
{
    QFont font(ReportFontFamily(role));
    font.setStyleHint(role == ReportFont::Title ? QFont::SansSerif : QFont::Serif);
    font.setBold(role == ReportFont::Heading);
    // A pixel size is in the painter's own units, whatever the device's resolution: the page
    // looks the same on the screen, in a picture, on a printer and in a PDF.
    const qreal mm = ReportFontPoints(role) * 25.4 / 72.0;
    font.setPixelSize(qMax(1, int(std::lround(mm / unitMm))));
    return font;
}
