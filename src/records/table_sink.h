#pragma once

#include <QStringView>

// What the record loader fills: a grid of text cells addressed by column and row.
class TableSink
{
public:
    virtual ~TableSink() = default;
    virtual void setColumnCount(int count) = 0;
    // New rows are empty; rows beyond the count are dropped.
    virtual void setRowCount(int count) = 0;
    virtual void setFixedCols(int count) = 0;
    virtual void setCell(int col, int row, QStringView text) = 0;
    // At most this many characters of cell text are about to be set: a hint.
    virtual void reserveText(qsizetype characters) { Q_UNUSED(characters); }

    // A fill of many cells is bracketed by these, so that a view redraws once at the end
    // rather than once per cell. Pairs may nest.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}
};

// Brackets a scope with beginUpdate/endUpdate, also when the scope is left by an error.
class TableUpdate
{
public:
    explicit TableUpdate(TableSink& table) : m_table(table) { m_table.beginUpdate(); }
    ~TableUpdate() { m_table.endUpdate(); }
    TableUpdate(const TableUpdate&) = delete;
    TableUpdate& operator=(const TableUpdate&) = delete;

private:
    TableSink& m_table;
};
