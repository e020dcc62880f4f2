#pragma once

#include "records/record_table.h"
#include "records/record_table_model.h"

#include <QDialog>
#include <QPointer>
#include <memory>

class TLoadDataForm;

namespace Ui
{
class Tcurveform;
}

// The curve view: the record table in its grid, the statistics, the report range and the
// buttons to the charts, the CSV export and the clearing. Each showing first runs the
// download dialog, then loads the record file into the table.
class Tcurveform : public QDialog
{
    Q_OBJECT
public:
    static constexpr int GridColumnWidth = 85;

    explicit Tcurveform(QWidget* parent = nullptr);
    ~Tcurveform() override;

    // The download dialog, shown modally at the start of every showing.
    void setLoadDataForm(TLoadDataForm* form);

    // The record table shown in StringGrid1 (read by the report).
    RecordTable& recordTable() { return m_table; }
    const RecordTable& recordTable() const { return m_table; }

public Q_SLOTS:
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpGrid();

    std::unique_ptr<Ui::Tcurveform> ui;
    RecordTable m_table;
    RecordTableModel m_model;
    QPointer<TLoadDataForm> m_loadDataForm;
};
