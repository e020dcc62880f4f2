#include "records/record_table_model.h"

RecordTableModel::RecordTableModel(RecordTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table)
{
    m_table.setObserver(this);
}

RecordTableModel::~RecordTableModel()
{
    m_table.setObserver(nullptr);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.columnCount();
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return m_table.cell(index.column(), index.row());
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void RecordTableModel::tableAboutToChange()
{
    beginResetModel();
}

void RecordTableModel::tableChanged()
{
    endResetModel();
}

void RecordTableModel::cellChanged(int col, int row)
{
    const QModelIndex changed = index(row, col);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole});
}
