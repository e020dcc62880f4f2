#include "settings/alarm_form.h"
#include "ui_alarm_form.h"

#include "common/error_handler.h"
#include "users/audit_log.h"

Talarmconfigform::Talarmconfigform(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Talarmconfigform>())
{
    ui->setupUi(this);
    connect(ui->Button1, &QPushButton::clicked, this, &Talarmconfigform::Button1Click);
}

Talarmconfigform::~Talarmconfigform() = default;

TAlarmThresholds Talarmconfigform::AlarmThresholdsInForce() const
{
    return {ui->talarmhedit->text(), ui->talarmledit->text(), ui->halarmhedit->text(),
            ui->halarmledit->text()};
}

void Talarmconfigform::Button1Click()
{
    Guarded([&] {
        const TAlarmThresholds t = AlarmThresholdsInForce();
        AppendAuditEntry(AuditAction::AlarmModification,
                         AuditDetails::Alarm(t.tempHigh, t.tempLow, t.humHigh, t.humLow));
        accept();
    });
}
