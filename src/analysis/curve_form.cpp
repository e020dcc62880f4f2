#include "analysis/curve_form.h"

#include "ui_curve_form.h"

#include "common/error_handler.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "records/record_loader.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QShowEvent>
#include <limits>

Tcurveform::Tcurveform(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tcurveform>()), m_model(m_table)
{
    ui->setupUi(this);
    setWindowState(windowState() | Qt::WindowMaximized);
    ui->alarmlabel->hide();
    for (QSpinBox* range : {ui->startpdf, ui->endpdf}) {
        range->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        range->setSingleStep(1);
        range->setValue(0);
    }
    setUpGrid();
}

Tcurveform::~Tcurveform() = default;

void Tcurveform::setUpGrid()
{
    QTableView* grid = ui->StringGrid1;
    grid->setModel(&m_model);
    // No fixed rows or columns: the headings are the labels above the grid.
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setMinimumSectionSize(GridColumnWidth);
    grid->horizontalHeader()->setDefaultSectionSize(GridColumnWidth);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Uniform rows keep half a million of them cheap to lay out.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedWidth(RecordTable::DefaultColumns * GridColumnWidth + 2 * grid->frameWidth() +
                        grid->verticalScrollBar()->sizeHint().width());
}

void Tcurveform::setLoadDataForm(TLoadDataForm* form)
{
    m_loadDataForm = form;
}

void Tcurveform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tcurveform::FormShow()
{
    Guarded([&] {
        if (m_loadDataForm)
            m_loadDataForm->exec();
        // A failed load leaves the table, the statistics and the alarm as they were.
        LoadRecordFile(RecordFileName, m_table);
    });
}
