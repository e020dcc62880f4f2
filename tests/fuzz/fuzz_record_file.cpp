// A record file (quivel.c00) of any bytes, loaded as the curve view loads it, then calibrated,
// numbered, charted and summed up as the curve view does.

#include "analysis/chart/chart_series.h"
#include "analysis/cold_chain.h"
#include "analysis/curve_analysis.h"
#include "common/errors.h"
#include "common/number_text.h"
#include "common/windows1252.h"
#include "fuzz_support.h"
#include "records/record_loader.h"
#include "records/record_table.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{

// The lines as documented: ended by CR LF, a lone CR or a lone LF; no empty line after a
// final break.
QStringList ReferenceLines(const QString& text)
{
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            line += text[i];
            continue;
        }
        lines << line;
        line.clear();
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

bool isWholeNumber(QStringView text)
{
    if (text.startsWith(u'-'))
        text = text.mid(1);
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// d/m;h:m;t.t;h.h with optionally negative whole numbers and an optional final ";", once the
// double quotes are out.
bool LooksLikeRecord(QString line)
{
    line.remove(u'"');
    if (line.endsWith(u';'))
        line.chop(1);
    const QStringList fields = line.split(u';');
    if (fields.size() != 4)
        return false;
    const QChar inner[4] = {u'/', u':', u'.', u'.'};
    for (int i = 0; i < 4; ++i) {
        const QStringList parts = fields[i].split(inner[i]);
        if (parts.size() != 2 || !isWholeNumber(parts[0]) || !isWholeNumber(parts[1]))
            return false;
    }
    return true;
}

void checkAnalysis(RecordTable& table)
{
    const int rows = table.rowCount();
    QStringList before[2];
    for (int row = 0; row < rows; ++row) {
        before[0] << table.cell(3, row);
        before[1] << table.cell(4, row);
    }
    const QString separator = QLocale().decimalPoint();
    const CurveColumns columns = CalibrateRecordTable(table, 0.5, -1.2);
    FUZZ_CHECK(int(columns.temperature.size()) == rows && int(columns.humidity.size()) == rows);
    for (int row = 0; row < rows; ++row) {
        const double t = TryParseLocaleNumber(before[0][row], separator).value_or(0.0) + 0.5;
        const double h = TryParseLocaleNumber(before[1][row], separator).value_or(0.0) - 1.2;
        FUZZ_CHECK(columns.temperature[size_t(row)] == t && columns.humidity[size_t(row)] == h);
        FUZZ_CHECK(table.cell(3, row) == GeneralNumberText(t, separator));
        FUZZ_CHECK(table.cell(4, row) == GeneralNumberText(h, separator));
    }

    NumberRecordRows(table);
    for (int row = 0; row < rows; ++row)
        FUZZ_CHECK(table.cell(0, row) == QString::number(row + 1));

    ChartSeries curve(QStringLiteral("T"), SeriesKind::Line, Qt::red, 1);
    ChartSeries high(QStringLiteral("H"), SeriesKind::FastLine, Qt::blue, 1);
    ChartSeries low(QStringLiteral("L"), SeriesKind::FastLine, Qt::blue, 1);
    ChartSeries humidity(QStringLiteral("RH"), SeriesKind::Line, Qt::green, 1);
    ChartSeries humidityHigh(QStringLiteral("HH"), SeriesKind::FastLine, Qt::blue, 1);
    ChartSeries humidityLow(QStringLiteral("HL"), SeriesKind::FastLine, Qt::blue, 1);
    FillCurveSeries(table, columns, {8, 2, 80, 20}, {curve, high, low},
                    {humidity, humidityHigh, humidityLow});
    FUZZ_CHECK(curve.count() == rows && humidityLow.count() == rows);
    for (int row = 0; row < rows; ++row) {
        FUZZ_CHECK(curve.y(row) == columns.temperature[size_t(row)]);
        FUZZ_CHECK(curve.label(row) ==
                   QString::number(row + 1) + QStringLiteral("  ") + table.cell(1, row));
    }

    const CurveStatistics statistics = ComputeCurveStatistics(columns);
    FUZZ_CHECK(statistics.rows == rows);
    if (rows > 0) {
        FUZZ_CHECK(statistics.temperatureMin <= statistics.temperatureMax);
        FUZZ_CHECK(statistics.humidityMin <= statistics.humidityMax);
    }
    const ColdChainSummary summary = SummariseColdChain(table, columns, 8, 2);
    FUZZ_CHECK(summary.above.records + summary.below.records <= rows);
    FUZZ_CHECK(summary.above.minutes >= 0 && summary.below.minutes >= 0);
    FUZZ_CHECK(summary.meanKineticTemperature.has_value() == (rows > 0));
    FUZZ_CHECK(!ColdChainText(summary, QStringLiteral("8"), QStringLiteral("2")).isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const QByteArray bytes = FuzzBytes(data, size);
    const QString name = WriteFuzzFile(QStringLiteral("quivel.c00"), bytes);
    const QStringList lines = ReferenceLines(DecodeWindows1252(bytes));

    // A table that held another file: nothing of it may remain.
    RecordTable table;
    table.setRowCount(3);
    for (int col = 0; col < table.columnCount(); ++col)
        table.setCell(col, 2, QStringLiteral("remains of an earlier file"));

    LoadSummary summary;
    try {
        summary = LoadRecordFile(name, table);
    } catch (const EListError& e) {
        FUZZ_CHECK(lines.isEmpty());
        FUZZ_CHECK(e.message() == QStringLiteral("List index out of bounds (1)"));
        return 0;
    }
    FUZZ_CHECK(!lines.isEmpty());
    FUZZ_CHECK(summary.lines == lines.size() && table.rowCount() == lines.size());
    FUZZ_CHECK(table.columnCount() == 5);

    // Columns 1 to 4 hold the ";" fields of each line, as many as the second line has (the
    // first, alone).
    const qsizetype fields = std::min<qsizetype>(lines.value(1, lines[0]).count(u';') + 1, 4);
    qint64 notRecords = 0;
    for (int row = 0; row < table.rowCount(); ++row) {
        const QString& line = lines[row];
        QString unquoted = line;
        const QStringList parts = unquoted.remove(u'"').split(u';');
        FUZZ_CHECK(table.cell(0, row).isEmpty());
        for (int i = 0; i < 4; ++i) {
            const QString expected = i < fields && i < parts.size() ? parts[i] : QString();
            FUZZ_CHECK(table.cell(1 + i, row) == expected);
        }
        const bool record = IsRecordLine(line);
        notRecords += record ? 0 : 1;
        if (record)
            FUZZ_CHECK(LooksLikeRecord(line));
        else if (!line.contains(u'"'))
            FUZZ_CHECK(!LooksLikeRecord(line));
    }
    FUZZ_CHECK(summary.notRecords == notRecords);

    checkAnalysis(table);
    QLocale::setDefault(QLocale::c());
    return 0;
}
