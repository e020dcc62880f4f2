#pragma once

#include "records/table_sink.h"

#include <QString>
#include <QtGlobal>
#include <vector>

// Told about changes of a record table (the item model over it).
class RecordTableObserver
{
public:
    virtual ~RecordTableObserver() = default;
    // Before and after a change of shape, or of many cells at once.
    virtual void tableAboutToChange() = 0;
    virtual void tableChanged() = 0;
    // One cell changed outside a bracketed update.
    virtual void cellChanged(int col, int row) = 0;
};

// The record table: a grid of read-only text cells, five columns by default, no fixed rows or
// columns. Cells live in one shared character buffer, each as an offset and a length, so
// that half a million rows cost a few tens of megabytes and no allocation per cell.
class RecordTable : public TableSink
{
public:
    static constexpr int DefaultColumns = 5;

    RecordTable();

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_rows; }
    int fixedCols() const { return m_fixedCols; }

    // The text of a cell; empty outside the grid.
    QString cell(int col, int row) const;
    // The same without a copy; valid until the table next changes.
    QStringView cellView(int col, int row) const;

    void setColumnCount(int count) override;
    void setRowCount(int count) override;
    void setFixedCols(int count) override;
    // Outside the grid: no effect.
    void setCell(int col, int row, QStringView text) override;
    void reserveText(qsizetype characters) override;
    void beginUpdate() override;
    void endUpdate() override;

    // Empties every cell and keeps the row and column counts.
    void clearCells();
    // Takes the other table's cells at once (a load made aside); the observer stays.
    void replaceWith(RecordTable&& other);

    // At most one observer; nullptr removes it.
    void setObserver(RecordTableObserver* observer) { m_observer = observer; }

    // Bytes held by the cells and their text (capacity included).
    qint64 memoryBytes() const;

private:
    struct Span {
        quint32 offset = 0;
        quint32 length = 0;
    };

    bool contains(int col, int row) const;
    Span& span(int col, int row) { return m_cells[size_t(row) * size_t(m_columns) + size_t(col)]; }
    const Span& span(int col, int row) const
    {
        return m_cells[size_t(row) * size_t(m_columns) + size_t(col)];
    }
    void store(Span& target, QStringView text);
    void compactIfWasteful();
    void releaseText();
    void aboutToChange();
    void changed();

    int m_columns = DefaultColumns;
    int m_rows = 0;
    int m_fixedCols = 0;
    std::vector<Span> m_cells; // row after row
    std::vector<char16_t> m_text;
    size_t m_unusedText = 0; // characters no cell refers to any more
    int m_updateDepth = 0;
    RecordTableObserver* m_observer = nullptr;
};
