#pragma once

// What the report tests share: a record table as the curve view fills it, and the poppler
// tools that read a PDF back (text, page facts, word boxes in millimetres).
#include "reports/report_content.h"

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <memory>

// Row r of a downloaded table: day/month, hour:minute, the calibrated temperature with the
// regional comma, the humidity. Every row's texts differ from every other row's.
inline QString CellText(int column, int row)
{
    switch (column) {
    case 1:
        return QStringLiteral("%1/%2").arg(1 + row % 28).arg(1 + row / 28 % 12);
    case 2:
        return QStringLiteral("%1:%2").arg(row / 60 % 24).arg(row % 60);
    case 3:
        return QStringLiteral("%1,%2").arg(row / 10 + 10).arg(row % 10);
    case 4:
        return QStringLiteral("%1.%2").arg(row / 10 + 40).arg(row % 10);
    }
    return {};
}

// A table of that many rows; a row past it reads as empty text. Counts the cells asked.
struct FakeTable {
    int rows = 0;
    std::shared_ptr<qint64> asked = std::make_shared<qint64>(0);

    QString cell(int column, int row) const
    {
        ++*asked;
        return row >= 0 && row < rows ? CellText(column, row) : QString();
    }
};

inline ReportSources SourcesFor(const FakeTable& table, int first, int last,
                                const QString& serial = QStringLiteral("101/102/103/104/"))
{
    ReportSources sources;
    sources.cell = [table](int column, int row) { return table.cell(column, row); };
    sources.range = [first, last] { return std::pair<int, int>(first, last); };
    sources.serialNumber = [serial] { return serial; };
    return sources;
}

inline QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of one page (from 1), or of all pages when page is 0, laid out as on the paper.
inline QString PdfText(const QString& file, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return RunTool(QStringLiteral("pdftotext"), arguments << file << QStringLiteral("-"));
}

// One field of pdfinfo ("Pages", "Page size", "Title", "Creator").
inline QString PdfInfo(const QString& file, const QString& field)
{
    const QString info = RunTool(QStringLiteral("pdfinfo"), {file});
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                  QRegularExpression::MultilineOption);
    return line.match(info).captured(1).trimmed();
}

struct PdfWord {
    QString text;
    int page = 0;
    double leftMm = 0;
    double topMm = 0;
};

// Every word with its box's top-left corner in millimetres from the paper's corner.
inline QList<PdfWord> PdfWords(const QString& file)
{
    const QString html =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    const QRegularExpression word(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    const double mmPerPoint = 25.4 / 72.0;
    QList<PdfWord> words;
    int page = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        if (match.captured(0).startsWith(QStringLiteral("<page "))) {
            ++page;
            continue;
        }
        QString text = match.captured(3);
        text.replace(QLatin1String("&apos;"), QLatin1String("'"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({text, page, match.captured(1).toDouble() * mmPerPoint,
                      match.captured(2).toDouble() * mmPerPoint});
    }
    return words;
}

// The line holding a row's four texts in order, and only them, as pdftotext lays it out.
inline QRegularExpression RowLine(int row)
{
    QStringList cells;
    for (int column = 1; column <= 4; ++column)
        cells.append(QRegularExpression::escape(CellText(column, row)));
    return QRegularExpression(
        QStringLiteral("^\\s*%1\\s*$").arg(cells.join(QStringLiteral("\\s+"))),
        QRegularExpression::MultilineOption);
}
