#pragma once

#include "records/record_table.h"

#include <QAbstractTableModel>

// The item model over a record table, for the curve view's grid: display text only, no
// headings, no editing.
class RecordTableModel : public QAbstractTableModel, private RecordTableObserver
{
    Q_OBJECT
public:
    explicit RecordTableModel(RecordTable& table, QObject* parent = nullptr);
    ~RecordTableModel() override;

    RecordTable& table() { return m_table; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void tableAboutToChange() override;
    void tableChanged() override;
    void cellChanged(int col, int row) override;

    RecordTable& m_table;
};
