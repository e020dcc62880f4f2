#include "settings/calibration_form.h"
#include "ui_calibration_form.h"

#include "common/error_handler.h"
#include "settings/calibration_file.h"
#include "users/audit_log.h"

#include <QShowEvent>

Tcalibrationform::Tcalibrationform(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tcalibrationform>()),
      m_ownStore(std::make_unique<CalibrationStore>())
{
    ui->setupUi(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &Tcalibrationform::BitBtn1Click);
}

Tcalibrationform::~Tcalibrationform() = default;

void Tcalibrationform::setCalibrationStore(CalibrationStore* store)
{
    m_store = store;
}

CalibrationStore& Tcalibrationform::store()
{
    return m_store ? *m_store : *m_ownStore;
}

TCalibrationOffsets Tcalibrationform::CalibrationOffsetsInForce() const
{
    return {ui->TempOffsetEdit->text(), ui->HumOffsetEdit->text()};
}

void Tcalibrationform::ApplyOffsetLines()
{
    const TCalibrationOffsets lines = store().offsetLines();
    ui->TempOffsetEdit->setText(lines.temperature);
    ui->HumOffsetEdit->setText(lines.humidity);
}

void Tcalibrationform::FormShow()
{
    Guarded([&] { ApplyOffsetLines(); });
}

void Tcalibrationform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tcalibrationform::BitBtn1Click()
{
    Guarded([&] {
        // Taken as typed: no trimming, no conversion, no range check.
        const TCalibrationOffsets offsets = CalibrationOffsetsInForce();
        store().SaveCalibrationFile(offsets);
        AppendAuditEntry(AuditAction::CalibrationModification,
                         AuditDetails::Calibration(offsets.temperature, offsets.humidity));
        emit clockDialogRequested();
        accept();
    });
}
