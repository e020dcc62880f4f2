#include "reports/report_content.h"

#include <QLocale>
#include <algorithm>

QStringView ReportRows::text(int column, qint64 row) const
{
    const qint64 index = row - m_firstRead;
    const qint64 read = qint64(m_ends.size()) / Columns;
    if (column < 0 || column >= Columns || index < 0 || index >= read)
        return {};
    const size_t cell = size_t(index) * Columns + size_t(column);
    const quint32 begin = cell == 0 ? 0 : m_ends[cell - 1];
    return QStringView(m_text.data() + begin, qsizetype(m_ends[cell] - begin));
}

void ReportRows::reset(qint64 count, qint64 firstRead)
{
    m_count = count;
    m_firstRead = firstRead;
    m_text.clear();
    m_ends.clear();
}

void ReportRows::reserve(qint64 rows)
{
    // A record table's cells are short: "14/3", "9:45", "23,5".
    constexpr qint64 TypicalCell = 5;
    m_ends.reserve(size_t(rows * Columns));
    m_text.reserve(size_t(rows * Columns * TypicalCell));
}

void ReportRows::appendRead(const QString (&texts)[Columns])
{
    for (const QString& text : texts) {
        const auto* data = reinterpret_cast<const char16_t*>(text.utf16());
        m_text.insert(m_text.end(), data, data + text.size());
        m_ends.push_back(quint32(m_text.size()));
    }
}

QString ReportDateText(const QDate& today)
{
    return QLocale().toString(today, QLocale::ShortFormat);
}

namespace
{

// Rows first..last of the report that lie in the table; empty when none does.
std::pair<qint64, qint64> RowsToRead(const ReportSources& sources, qint64 first, qint64 last)
{
    qint64 from = std::max<qint64>(first, 0);
    qint64 to = last;
    if (sources.tableRows)
        to = std::min<qint64>(to, qint64(sources.tableRows()) - 1);
    if (!sources.cell)
        to = from - 1;
    return {from, to};
}

void ReadRows(const ReportSources& sources, qint64 first, qint64 last, ReportRows& rows)
{
    const auto [from, to] = RowsToRead(sources, first, last);
    rows.reset(last - first + 1, from - first);
    rows.reserve(qMax<qint64>(0, to - from + 1));
    QString texts[ReportRows::Columns];
    for (qint64 r = from; r <= to; ++r) {
        for (int c = 0; c < ReportRows::Columns; ++c)
            texts[c] = sources.cell(c + 1, int(r));
        rows.appendRead(texts);
    }
}

} // namespace

ReportContent FillReport(const ReportSources& sources, const QDate& today)
{
    ReportContent content;
    content.date = ReportDateText(today);
    if (sources.serialNumber)
        content.serialNumber = sources.serialNumber();
    const auto [first, last] = sources.range ? sources.range() : std::pair<int, int>(0, -1);
    if (last >= first)
        ReadRows(sources, first, last, content.rows);
    return content;
}
