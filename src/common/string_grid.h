#pragma once

#include <QTableWidget>

// A small text grid addressed by column and row, whose first rows and columns can be fixed:
// drawn in heading style, never selected nor edited. The toolkit's own headers stay hidden:
// a heading is an ordinary cell of a fixed row.
class StringGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent = nullptr);

    void setGridSize(int columns, int rows, int fixedRows, int fixedColumns);
    int fixedRows() const { return m_fixedRows; }
    int fixedColumns() const { return m_fixedColumns; }
    bool isFixed(int column, int row) const;

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);
    // Writes texts from column 0 on.
    void setRowTexts(int row, const QStringList& texts);
    // Shows the first fixed row as the toolkit's header, whose column edges the user can drag;
    // the row itself stays in the grid, hidden.
    void showHeadingRowAsHeader();

private:
    QTableWidgetItem* itemFor(int column, int row);

    int m_fixedRows = 0;
    int m_fixedColumns = 0;
};
