#include "records/record_table.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace
{
// Below this much unused text a compaction would not pay for itself.
constexpr size_t MinWasteToCompact = size_t(1) << 20;
} // namespace

RecordTable::RecordTable() = default;

void RecordTable::replaceWith(RecordTable&& other)
{
    aboutToChange();
    m_columns = other.m_columns;
    m_rows = other.m_rows;
    m_fixedCols = other.m_fixedCols;
    m_cells = std::move(other.m_cells);
    m_text = std::move(other.m_text);
    m_unusedText = other.m_unusedText;
    other.m_rows = 0;
    other.m_cells.clear();
    other.m_text.clear();
    other.m_unusedText = 0;
    changed();
}

bool RecordTable::contains(int col, int row) const
{
    return col >= 0 && col < m_columns && row >= 0 && row < m_rows;
}

QStringView RecordTable::cellView(int col, int row) const
{
    if (!contains(col, row))
        return {};
    const Span& s = span(col, row);
    if (s.length == 0)
        return {};
    return QStringView(m_text.data() + s.offset, qsizetype(s.length));
}

QString RecordTable::cell(int col, int row) const
{
    return cellView(col, row).toString();
}

void RecordTable::setColumnCount(int count)
{
    count = std::max(count, 0);
    if (count == m_columns)
        return;
    aboutToChange();
    std::vector<Span> cells(size_t(m_rows) * size_t(count));
    const int kept = std::min(count, m_columns);
    for (int row = 0; row < m_rows; ++row) {
        for (int col = 0; col < m_columns; ++col) {
            const Span& s = span(col, row);
            if (col < kept)
                cells[size_t(row) * size_t(count) + size_t(col)] = s;
            else
                m_unusedText += s.length;
        }
    }
    m_cells.swap(cells);
    m_columns = count;
    compactIfWasteful();
    changed();
}

void RecordTable::setRowCount(int count)
{
    count = std::max(count, 0);
    if (count == m_rows)
        return;
    aboutToChange();
    const size_t size = size_t(count) * size_t(m_columns);
    for (size_t i = size; i < m_cells.size(); ++i)
        m_unusedText += m_cells[i].length;
    m_cells.resize(size);
    m_rows = count;
    if (m_rows == 0) {
        std::vector<Span>().swap(m_cells);
        releaseText();
    }
    compactIfWasteful();
    changed();
}

void RecordTable::setFixedCols(int count)
{
    m_fixedCols = std::clamp(count, 0, m_columns);
}

void RecordTable::setCell(int col, int row, QStringView text)
{
    if (!contains(col, row))
        return;
    const char16_t* first = m_text.data();
    const char16_t* last = first + m_text.size();
    const auto* source = reinterpret_cast<const char16_t*>(text.utf16());
    if (!text.isEmpty() && source >= first && source < last) {
        // A text taken from this table would move under our feet while it is stored.
        const QString copy = text.toString();
        store(span(col, row), copy);
    } else {
        store(span(col, row), text);
    }
    compactIfWasteful();
    if (m_updateDepth == 0 && m_observer)
        m_observer->cellChanged(col, row);
}

void RecordTable::reserveText(qsizetype characters)
{
    const size_t wanted = m_text.size() - m_unusedText + size_t(std::max<qsizetype>(characters, 0));
    if (wanted > m_text.capacity())
        m_text.reserve(std::min<size_t>(wanted, std::numeric_limits<quint32>::max()));
}

void RecordTable::store(Span& target, QStringView text)
{
    const auto length = size_t(text.size());
    const auto* source = reinterpret_cast<const char16_t*>(text.utf16());
    if (length <= target.length) {
        std::copy(source, source + length, m_text.begin() + target.offset);
        m_unusedText += target.length - length;
        target.length = quint32(length);
        if (length == 0)
            target.offset = 0;
        return;
    }
    if (m_text.size() + length > std::numeric_limits<quint32>::max())
        throw std::length_error("record table text beyond 4 G characters");
    m_unusedText += target.length;
    target.offset = quint32(m_text.size());
    target.length = quint32(length);
    m_text.insert(m_text.end(), source, source + length);
}

void RecordTable::compactIfWasteful()
{
    if (m_unusedText < MinWasteToCompact || m_unusedText < m_text.size() / 2)
        return;
    std::vector<char16_t> text;
    text.reserve(m_text.size() - m_unusedText);
    for (Span& s : m_cells) {
        if (s.length == 0)
            continue;
        const auto from = m_text.begin() + s.offset;
        s.offset = quint32(text.size());
        text.insert(text.end(), from, from + s.length);
    }
    m_text.swap(text);
    m_unusedText = 0;
}

void RecordTable::releaseText()
{
    std::vector<char16_t>().swap(m_text);
    m_unusedText = 0;
}

void RecordTable::clearCells()
{
    aboutToChange();
    std::fill(m_cells.begin(), m_cells.end(), Span{});
    releaseText();
    changed();
}

void RecordTable::beginUpdate()
{
    if (m_updateDepth++ == 0 && m_observer)
        m_observer->tableAboutToChange();
}

void RecordTable::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth == 0 && m_observer)
        m_observer->tableChanged();
}

void RecordTable::aboutToChange()
{
    if (m_updateDepth == 0 && m_observer)
        m_observer->tableAboutToChange();
}

void RecordTable::changed()
{
    if (m_updateDepth == 0 && m_observer)
        m_observer->tableChanged();
}

qint64 RecordTable::memoryBytes() const
{
    return qint64(m_cells.capacity() * sizeof(Span) + m_text.capacity() * sizeof(char16_t));
}
