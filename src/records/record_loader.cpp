#include "records/record_loader.h"

#include "common/errors.h"
#include "common/text_file.h"
#include "common/windows1252.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace
{

constexpr int FirstFieldColumn = 1;
constexpr int LastColumn = 4;

// Splits at CR LF, a lone CR and a lone LF; a break at the very end adds no empty line.
std::vector<QStringView> SplitLines(QStringView text)
{
    std::vector<QStringView> lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.push_back(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.push_back(text.mid(start));
    return lines;
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

void LoadRecordFile(const QString& fileName, TableSink& table)
{
    const QString text = DecodeWindows1252(ReadWholeFile(fileName));
    const std::vector<QStringView> lines = SplitLines(text);
    if (lines.size() < 2)
        throw EListError(1);
    if (lines.size() > size_t(std::numeric_limits<int>::max()))
        throw QuivelError(
            QStringLiteral("Le fichier \"%1\" a trop de lignes pour le tableau").arg(fileName));
    const qsizetype fields = lines[1].count(u';') + 1;
    const int rows = int(lines.size());

    TableUpdate update(table);
    table.setColumnCount(LastColumn + 1);
    // Dropping every row first empties the cells an earlier load left behind.
    table.setRowCount(0);
    table.setRowCount(rows);
    table.setFixedCols(0);
    for (int row = 0; row < rows; ++row)
        FillRow(table, row, lines[size_t(row)], fields);
}
