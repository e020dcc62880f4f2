#include "common/string_grid.h"

#include <QHeaderView>

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
}

void StringGrid::setGridSize(int columns, int rows, int fixedRows, int fixedColumns)
{
    m_fixedRows = fixedRows;
    m_fixedColumns = fixedColumns;
    setColumnCount(columns);
    setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            itemFor(column, row);
    }
}

bool StringGrid::isFixed(int column, int row) const
{
    return row < m_fixedRows || column < m_fixedColumns;
}

QString StringGrid::cell(int column, int row) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int column, int row, const QString& text)
{
    QTableWidgetItem* it = itemFor(column, row);
    it->setText(text);
    // The whole text, where a narrow column cuts it.
    it->setToolTip(text);
}

void StringGrid::setRowTexts(int row, const QStringList& texts)
{
    for (int column = 0; column < texts.size() && column < columnCount(); ++column)
        setCell(column, row, texts[column]);
}

void StringGrid::showHeadingRowAsHeader()
{
    QStringList headings;
    for (int column = 0; column < columnCount(); ++column)
        headings.append(cell(column, 0));
    setHorizontalHeaderLabels(headings);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->show();
    setRowHidden(0, true);
}

QTableWidgetItem* StringGrid::itemFor(int column, int row)
{
    QTableWidgetItem* it = item(row, column);
    if (it)
        return it;
    it = new QTableWidgetItem;
    if (isFixed(column, row)) {
        it->setFlags(Qt::ItemIsEnabled);
        it->setBackground(palette().button());
        it->setForeground(palette().buttonText());
    } else {
        it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    setItem(row, column, it);
    return it;
}
