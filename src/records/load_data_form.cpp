#include "records/load_data_form.h"

#include "ui_load_data_form.h"

#include "common/error_handler.h"
#include "common/number_text.h"
#include "common/services.h"
#include "device/protocol.h"
#include "records/record_line.h"
#include "users/audit_log.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <QShowEvent>
#include <algorithm>

TLoadDataForm::TLoadDataForm(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TLoadDataForm>())
{
    ui->setupUi(this);
    ui->SilenceLabel->setText(SilenceNote());
    ui->SilenceLabel->hide();
    ComDataPacket1.setObjectName(QStringLiteral("ComDataPacket1"));
    m_refreshTimer.setObjectName(QStringLiteral("RefreshTimer"));
    m_refreshTimer.setInterval(ProgressRefreshMs);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TLoadDataForm::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &TLoadDataForm::BitBtn2Click);
    connect(&ComDataPacket1, &TComDataPacket::OnPacket, this, &TLoadDataForm::ComDataPacket1Packet);
    connect(&m_refreshTimer, &QTimer::timeout, this, &TLoadDataForm::RefreshTimerTimer);

    // What went wrong with a download, and the two ways on; "Ouvrir les données" is the third.
    m_problemLabel = new QLabel(this);
    m_problemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    m_problemLabel->setWordWrap(true);
    m_problemLabel->setStyleSheet(QStringLiteral("color: rgb(160, 0, 0);"));
    m_retryButton = new QPushButton(QStringLiteral("Recommencer"), this);
    m_retryButton->setObjectName(QStringLiteral("RetryButton"));
    m_saveAnywayButton = new QPushButton(QStringLiteral("Enregistrer quand même"), this);
    m_saveAnywayButton->setObjectName(QStringLiteral("SaveAnywayButton"));
    m_saveAnywayButton->setAutoDefault(false);
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_retryButton);
    choices->addWidget(m_saveAnywayButton);
    ui->mainLayout->insertWidget(ui->mainLayout->indexOf(ui->SilenceLabel) + 1, m_problemLabel);
    ui->mainLayout->insertLayout(ui->mainLayout->indexOf(m_problemLabel) + 1, choices);
    hideProblem();
    connect(m_retryButton, &QPushButton::clicked, this, &TLoadDataForm::RetryButtonClick);
    connect(m_saveAnywayButton, &QPushButton::clicked, this, &TLoadDataForm::SaveAnywayButtonClick);
}

TLoadDataForm::~TLoadDataForm() = default;

void TLoadDataForm::setComPort(TComPort* port)
{
    if (m_port)
        disconnect(m_port, &TComPort::lost, this, &TLoadDataForm::portLost);
    m_port = port;
    if (port)
        connect(port, &TComPort::lost, this, &TLoadDataForm::portLost);
}

void TLoadDataForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TLoadDataForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    // Leaving the dialog ends a download that has not completed: later values are not
    // part of any download and must not reach the record file.
    m_download.abandon();
    m_waitingRecords = 0;
    m_refreshTimer.stop();
    ui->SilenceLabel->hide();
    hideProblem();
}

void TLoadDataForm::FormShow()
{
    Guarded([&] {
        if (m_port)
            ComDataPacket1.setComPort(m_port);
        ui->ProgressBar1->setValue(0);
        // The count of an earlier download says nothing of the next one.
        ui->ValuesLabel->clear();
    });
}

void TLoadDataForm::BitBtn1Click()
{
    Guarded([&] { startDownload(); });
}

void TLoadDataForm::startDownload()
{
    const int typed = StrictToInt(ui->Edit1->text());
    const qint64 records = qint64(typed) + 1;
    if (!RecordDownload::AcceptableRecordCount(records)) {
        MessageDlg(RecordCountRefusedMessage(typed), MsgKind::Warning, {MsgButton::Ok});
        return;
    }
    ui->Edit1->setText(QString::number(records));
    requestRecords(int(records));
}

void TLoadDataForm::requestRecords(int records)
{
    hideProblem();
    if (!m_port || !m_port->Connected())
        throw EComPort(EComPort::NotOpen);
    // Values still coming are an earlier request's: the new one waits until the logger is done.
    m_download.abandon();
    m_waitingRecords = records;
    if (lineQuiet()) {
        sendWaitingRequest();
        return;
    }
    ui->ValuesLabel->setText(
        QStringLiteral("Le datalogger termine un envoi précédent : la demande partira dès qu'il "
                       "aura fini."));
    m_refreshTimer.start();
}

void TLoadDataForm::sendWaitingRequest()
{
    const int records = m_waitingRecords;
    m_waitingRecords = 0;
    // Bytes of an earlier exchange still queued are no part of this download.
    m_port->ClearBuffers(true, false);
    m_port->WriteText(DownloadCommand(qint64(records) * ValuesPerRecord));
    m_download.begin(records);
    m_sinceLastPacket.start();
    ui->ProgressBar1->setMaximum(m_download.expectedValues());
    ui->ProgressBar1->setValue(0);
    refreshProgress();
    m_refreshTimer.start();
}

bool TLoadDataForm::lineQuiet() const
{
    const bool quiet = !m_sinceLastPacket.isValid() || m_sinceLastPacket.elapsed() >= SettleMs;
    // Bytes read but not handed out yet (a busy moment of the program) are no quiet.
    return quiet && !(m_port && m_port->HasUnreadInput());
}

void TLoadDataForm::RetryButtonClick()
{
    Guarded([&] {
        // An adapter unplugged and plugged back: the port opens again under its name.
        if (m_port && !m_port->Connected())
            m_port->OpenPort();
        requestRecords(m_download.records());
    });
}

void TLoadDataForm::SaveAnywayButtonClick()
{
    Guarded([&] {
        m_download.takeWhatArrived();
        const DownloadReport report = m_download.report();
        AppendAuditEntry(AuditAction::DownloadSavedAnyway, DownloadSavedAnywayDetails(report));
        m_refreshTimer.stop();
        m_download.save(RecordFileName);
        hideProblem();
        ui->ProgressBar1->setValue(0);
        accept();
    });
}

void TLoadDataForm::ComDataPacket1Packet(const QByteArray& packet)
{
    m_sinceLastPacket.start();
    // An error must not leave a packet handler: it is reported from the event loop, while the
    // link goes on receiving.
    try {
        acceptPacket(packet);
    } catch (...) {
        const QString message = MessageOf(std::current_exception());
        refreshProgress();
        m_refreshTimer.stop();
        PostErrorBox(message);
    }
}

void TLoadDataForm::acceptPacket(const QByteArray& packet)
{
    m_download.accept(packet);
}

void TLoadDataForm::judge(RecordDownload::Step step)
{
    if (step == RecordDownload::Step::Complete) {
        finishDownload();
        return;
    }
    m_refreshTimer.stop();
    refreshProgress();
    showProblem(QString());
}

void TLoadDataForm::finishDownload()
{
    m_refreshTimer.stop();
    // A failed save raises here: the earlier file stays, the dialog stays open.
    m_download.save(RecordFileName);
    ui->ProgressBar1->setValue(0);
    ui->ValuesLabel->setText(ProgressText(m_download.receivedCount(), m_download.expectedValues()));
    ui->SilenceLabel->hide();
    accept();
}

void TLoadDataForm::BitBtn2Click()
{
    Guarded([&] { reject(); });
}

void TLoadDataForm::RefreshTimerTimer()
{
    Guarded([&] {
        if (m_waitingRecords > 0) {
            if (lineQuiet())
                sendWaitingRequest();
            return;
        }
        refreshProgress();
        if (m_download.running() && m_download.receivedCount() > 0 && lineQuiet())
            judge(m_download.finish());
    });
}

void TLoadDataForm::refreshProgress()
{
    ui->ProgressBar1->setMaximum(m_download.expectedValues());
    ui->ProgressBar1->setValue(std::min(m_download.receivedCount(), m_download.expectedValues()));
    ui->ValuesLabel->setText(ProgressText(m_download.receivedCount(), m_download.expectedValues()));
    const bool silent = m_download.running() && m_sinceLastPacket.elapsed() >= SilenceNoteMs;
    ui->SilenceLabel->setVisible(silent);
    // A stalled download can be asked again or kept as it is; values that come again take
    // the choice away.
    if (silent && m_problemLabel->isHidden())
        showProblem(QStringLiteral("Aucune valeur n'arrive depuis 5 secondes."));
    else if (!silent && m_download.running() && !m_problemLabel->isHidden())
        hideProblem();
    if (!m_download.running())
        m_refreshTimer.stop();
}

void TLoadDataForm::showProblem(const QString& opening)
{
    const DownloadReport report = m_download.report();
    QString text = DownloadProblemText(report);
    if (!opening.isEmpty())
        text = opening + QLatin1Char('\n') + text;
    m_problemLabel->setText(text);
    m_problemLabel->show();
    m_retryButton->show();
    m_retryButton->setDefault(true);
    // Nothing to write before a first whole record.
    m_saveAnywayButton->setVisible(report.recordsArrived > 0);
    const bool onlyFewer = report.fewerRecords() && report.malformed == 0 &&
                           report.check.suspect == 0 && report.extraValues() == 0;
    m_saveAnywayButton->setText(
        onlyFewer
            ? QStringLiteral("Enregistrer les %1 enregistrements reçus").arg(report.recordsArrived)
            : QStringLiteral("Enregistrer quand même"));
}

void TLoadDataForm::hideProblem()
{
    m_problemLabel->hide();
    m_retryButton->hide();
    m_retryButton->setDefault(false);
    m_saveAnywayButton->hide();
}

void TLoadDataForm::portLost(const QString& message)
{
    Guarded([&] {
        if (!m_download.running())
            return;
        m_refreshTimer.stop();
        ui->SilenceLabel->hide();
        showProblem(QStringLiteral("Le datalogger ne répond plus : la liaison a été coupée (%1). "
                                   "Vérifiez le câble USB, puis recommencez.")
                        .arg(message));
    });
}
