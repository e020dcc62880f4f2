#include "settings/time_config_form.h"
#include "ui_time_config_form.h"

#include "common/error_handler.h"
#include "common/services.h"
#include "common/window_placement.h"
#include "device/com_port.h"
#include "settings/transfer_audit.h"
#include "users/audit_log.h"

#include <QKeyEvent>
#include <QShowEvent>
#include <algorithm>

namespace
{

const QString ConfirmText =
    QStringLiteral("Etes vous sure de vouloire modifier les paramètres du DATALOGGER ");
const QString RestartWarning =
    QStringLiteral("ATTENTION !!!! Toutes les données dans votre DATALOGGER serons remise a zero ");
const QString CompletionText = QStringLiteral(" configurations Términer avec succee");

// Below this many minutes (with 0 hours) the battery runs down quickly.
constexpr int BatteryWarningMinutes = 15;

} // namespace

Ttimeconfigform::Ttimeconfigform(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Ttimeconfigform>()), m_transfer(this)
{
    ui->setupUi(this);
    placeTimeFields();
    ui->UpDown1->setAssociate(ui->freqminedit);
    ui->UpDown2->setAssociate(ui->freqsecedit);
    QSizePolicy warningPolicy = ui->Label2->sizePolicy();
    warningPolicy.setRetainSizeWhenHidden(true);
    ui->Label2->setSizePolicy(warningPolicy);
    ui->Label2->hide();

    m_transfer.setSourcesReader([this] { return FrameSources(); });
    m_transfer.setByteWriter([this](const QByteArray& bytes) { writeToPort(bytes); });

    connect(ui->UpDown2, &UpDownControl::Click, this, &Ttimeconfigform::UpDown2Click);
    connect(ui->CheckBox1, &QCheckBox::toggled, this, &Ttimeconfigform::CheckBox1Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &Ttimeconfigform::BitBtn1Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { endModalShowing(Accepted); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { endModalShowing(Rejected); });
    connect(m_transfer.timer(), &QTimer::timeout, this, &Ttimeconfigform::SendTimerTimer);
}

Ttimeconfigform::~Ttimeconfigform() = default;

void Ttimeconfigform::setComPort(TComPort* port)
{
    m_port = port;
}

void Ttimeconfigform::setOffsetsSource(std::function<TCalibrationOffsets()> source)
{
    m_offsets = std::move(source);
}

void Ttimeconfigform::setSerialNumberSource(std::function<TLoggerSerialNumber()> source)
{
    m_serialNumber = std::move(source);
}

void Ttimeconfigform::showModal()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    ReturnToOwnParent(this);
    m_modal = true;
    exec();
    m_modal = false;
}

void Ttimeconfigform::showModeless()
{
    // Opened from a modal dialog ("programmer"), the dialog is usable beside it.
    ShowBesideModal(this);
}

void Ttimeconfigform::endModalShowing(int result)
{
    // Shown modelessly, neither button closes the dialog.
    if (m_modal)
        done(result);
}

void Ttimeconfigform::keyPressEvent(QKeyEvent* event)
{
    // Escape presses "ANNULER", which closes only a modal showing.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        ui->BitBtn2->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

TFrameSources Ttimeconfigform::FrameSources() const
{
    TFrameSources s;
    s.hours = ui->hoursedit->text();
    s.minutes = ui->minutesedit->text();
    s.day = ui->dateeditday->text();
    s.month = ui->dateeditmonth->text();
    s.year = ui->dateedityear->text();
    s.periodHours = ui->freqminedit->text();
    s.periodMinutes = ui->freqsecedit->text();
    const TCalibrationOffsets offsets =
        m_offsets ? m_offsets() : TCalibrationOffsets{QStringLiteral("0"), QStringLiteral("0")};
    s.tempOffset = offsets.temperature;
    s.humOffset = offsets.humidity;
    const TLoggerSerialNumber serial = m_serialNumber ? m_serialNumber() : TLoggerSerialNumber{};
    for (int i = 0; i < 4; ++i)
        s.serial[i] = serial.fields[i];
    s.restart = ui->CheckBox1->isChecked();
    return s;
}

void Ttimeconfigform::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Ttimeconfigform::FormShow()
{
    Guarded([&] { fillClockFields(); });
}

void Ttimeconfigform::fillClockFields()
{
    // The logger keeps UTC plus one hour whatever the PC's zone; from 23:00 UTC the hour
    // carries over into the next day, the date following.
    const QDateTime clock = Services::clock().utcNow().toUTC().addSecs(3600);
    const QDate date = clock.date();
    ui->hoursedit->setText(QString::number(clock.time().hour()));
    ui->minutesedit->setText(QString::number(clock.time().minute()));
    ui->dateeditday->setText(QString::number(date.day()));
    ui->dateeditmonth->setText(QString::number(date.month()));
    ui->dateedityear->setText(QString::number(date.year()));
}

void Ttimeconfigform::UpDown2Click()
{
    Guarded([&] {
        if (ui->UpDown1->position() != 0)
            return;
        ui->Label2->setVisible(ui->UpDown2->position() < BatteryWarningMinutes);
    });
}

void Ttimeconfigform::CheckBox1Click()
{
    Guarded([&] {
        if (ui->CheckBox1->isChecked())
            MessageDlg(RestartWarning, MsgKind::Warning, {MsgButton::Ok});
    });
}

void Ttimeconfigform::BitBtn1Click()
{
    Guarded([&] {
        // Recorded before the question: the entry stays when the answer is No. It carries
        // what the frame would send now, the start flag included.
        AppendAuditEntry(AuditAction::TimingModification, TransferAuditDetails(FrameSources()));
        if (MessageDlg(ConfirmText, MsgKind::Warning, {MsgButton::Yes, MsgButton::No}) ==
            MsgButton::No)
            return;
        m_transfer.start();
    });
}

void Ttimeconfigform::SendTimerTimer()
{
    Guarded([&] {
        const int item = m_transfer.tick();
        if (item == FrameTransfer::LastItem)
            ShowMessage(CompletionText);
        advanceProgress();
    });
}

void Ttimeconfigform::advanceProgress()
{
    // Never set back: a later transfer starts with a full bar.
    QProgressBar* bar = ui->ProgressBar1;
    bar->setValue(std::min(bar->value() + 1, bar->maximum()));
}

void Ttimeconfigform::writeToPort(const QByteArray& bytes)
{
    if (!m_port)
        throw EComPort(EComPort::NotOpen);
    m_port->WriteText(bytes);
}

void Ttimeconfigform::placeTimeFields()
{
    // The caption's second ":" stands between the hour and the minute: the hour field
    // fills the gap of spaces before it, the minute field follows the caption.
    const QString caption = ui->Label3->text();
    const QFontMetrics metrics(ui->Label3->font());
    const qsizetype firstColon = caption.indexOf(QLatin1Char(':'));
    const qsizetype secondColon = caption.indexOf(QLatin1Char(':'), firstColon + 1);
    const int height = ui->hoursedit->sizeHint().height();
    const int fieldWidth = ui->hoursedit->maximumWidth();
    const int gapStart = metrics.horizontalAdvance(caption.left(firstColon + 2));
    const int gapEnd = metrics.horizontalAdvance(caption.left(secondColon));
    const int hoursX = std::max(gapStart, gapEnd - fieldWidth - 2);
    const int labelY = (height - metrics.height()) / 2;
    ui->Label3->setGeometry(0, labelY, metrics.horizontalAdvance(caption) + 2, metrics.height());
    ui->hoursedit->setGeometry(hoursX, 0, fieldWidth, height);
    const int minutesX = std::max(metrics.horizontalAdvance(caption), hoursX + fieldWidth + 8);
    ui->minutesedit->setGeometry(minutesX, 0, fieldWidth, height);
    ui->timeRow->setMinimumSize(minutesX + fieldWidth, height);
}
