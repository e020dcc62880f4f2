#include "records/record_loader.h"

#include "common/errors.h"
#include "common/text_file.h"
#include "common/windows1252.h"
#include "records/record_line.h"

#include <algorithm>
#include <limits>

namespace
{

constexpr int FirstFieldColumn = 1;
constexpr int LastColumn = 4;

// Calls f with each line; lines end at CR LF, a lone CR or a lone LF, and a break at the
// very end adds no empty line.
template <class F> void ForEachLine(QStringView text, F&& f)
{
    const char16_t* const begin = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* const end = begin + text.size();
    const char16_t* start = begin;
    for (const char16_t* p = begin; p != end; ++p) {
        if (*p != u'\r' && *p != u'\n')
            continue;
        f(QStringView(start, p - start));
        if (*p == u'\r' && p + 1 != end && p[1] == u'\n')
            ++p;
        start = p + 1;
    }
    if (start != end)
        f(QStringView(start, end - start));
}

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; without those bytes the much faster
// Latin-1 conversion gives the same text.
QString DecodeRecordText(const QByteArray& bytes)
{
    const bool latin1 = std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x80 && b < 0xA0;
    });
    return latin1 ? QString::fromLatin1(bytes) : DecodeWindows1252(bytes);
}

// One line into columns 1..fields of a row. A line is read as if it ended with ";", so the
// text after its last ";" is a field of its own; fields past the last column are dropped.
void FillRow(TableSink& table, int row, QStringView line, qsizetype fields)
{
    QString unquoted;
    QStringView rest = line;
    if (line.contains(u'"')) {
        unquoted = line.toString();
        unquoted.remove(u'"');
        rest = unquoted;
    }
    const qsizetype columns = std::min<qsizetype>(fields, LastColumn - FirstFieldColumn + 1);
    for (int i = 0; i < columns; ++i) {
        const int col = FirstFieldColumn + i;
        const qsizetype end = rest.indexOf(u';');
        if (end < 0) {
            table.setCell(col, row, rest);
            rest = {};
        } else {
            table.setCell(col, row, rest.left(end));
            rest = rest.mid(end + 1);
        }
    }
}

} // namespace

bool IsRecordLine(QStringView line)
{
    static constexpr char16_t Separators[] = {u'/', u';', u':', u';', u'.', u';', u'.'};
    qsizetype i = 0;
    const auto skipQuotes = [&] {
        while (i < line.size() && line[i] == u'"')
            ++i;
    };
    const auto number = [&] {
        skipQuotes();
        if (i < line.size() && line[i] == u'-')
            ++i;
        const qsizetype start = i;
        while (i < line.size() && line[i] >= u'0' && line[i] <= u'9')
            ++i;
        // Digits, not the quotes after them: "-" then a quote is no number.
        const bool digits = i > start;
        skipQuotes();
        return digits;
    };
    for (char16_t separator : Separators) {
        if (!number() || i >= line.size() || line[i] != separator)
            return false;
        ++i;
    }
    if (!number())
        return false;
    if (i < line.size() && line[i] == u';')
        ++i;
    return i == line.size();
}

LoadSummary LoadRecordFile(const QString& fileName, TableSink& table)
{
    const QString text = DecodeRecordText(ReadWholeFile(fileName, MaxRecordFileBytes));
    qint64 lineCount = 0;
    QStringView first;
    QStringView second;
    ForEachLine(text, [&](QStringView line) {
        if (lineCount == 0)
            first = line;
        else if (lineCount == 1)
            second = line;
        ++lineCount;
    });
    if (lineCount < 1)
        throw EListError(1);
    if (lineCount > std::numeric_limits<int>::max())
        throw QuivelError(
            QStringLiteral("Le fichier \"%1\" a trop de lignes pour le tableau").arg(fileName));
    // The second line says how many fields: the first may be a heading. A file of one record
    // has no other line to ask.
    const qsizetype fields = (lineCount == 1 ? first : second).count(u';') + 1;

    TableUpdate update(table);
    table.setColumnCount(LastColumn + 1);
    // Dropping every row first empties the cells an earlier load left behind.
    table.setRowCount(0);
    table.setRowCount(int(lineCount));
    table.setFixedCols(0);
    table.reserveText(text.size());
    int row = 0;
    LoadSummary summary;
    summary.lines = lineCount;
    ForEachLine(text, [&](QStringView line) {
        FillRow(table, row++, line, fields);
        summary.notRecords += IsRecordLine(line) ? 0 : 1;
    });
    return summary;
}
