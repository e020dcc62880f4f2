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
    if (!m_port)
        throw EComPort(EComPort::NotOpen);
    m_port->WriteText(DownloadCommand(qint64(records) * ValuesPerRecord));
    m_download.begin(records);
    m_sinceLastValue.start();
    ui->ProgressBar1->setMaximum(m_download.expectedValues());
    ui->ProgressBar1->setValue(0);
    refreshProgress();
    m_refreshTimer.start();
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
        if (m_download.running())
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
    switch (m_download.accept(packet)) {
    case RecordDownload::Step::Ignored:
        return;
    case RecordDownload::Step::Stored:
        m_sinceLastValue.start();
        return;
    case RecordDownload::Step::Complete:
        finishDownload();
        return;
    case RecordDownload::Step::NeedsDecision:
        m_refreshTimer.stop();
        refreshProgress();
        showProblem(QString());
        return;
    }
}

void TLoadDataForm::finishDownload()
{
    m_refreshTimer.stop();
    // A failed save raises here: the earlier file stays, the dialog stays open.
    m_download.save(RecordFileName);
    ui->ProgressBar1->setValue(0);
    ui->ValuesLabel->setText(
        ProgressText(m_download.receivedCount(), m_download.completionCount()));
    ui->SilenceLabel->hide();
    accept();
}

void TLoadDataForm::BitBtn2Click()
{
    Guarded([&] { reject(); });
}

void TLoadDataForm::RefreshTimerTimer()
{
    Guarded([&] { refreshProgress(); });
}

void TLoadDataForm::refreshProgress()
{
    ui->ProgressBar1->setMaximum(m_download.expectedValues());
    ui->ProgressBar1->setValue(m_download.receivedCount());
    // Counted against the values the download needs, so that it ends at "n / n".
    ui->ValuesLabel->setText(
        ProgressText(m_download.receivedCount(), m_download.completionCount()));
    const bool silent = m_download.running() && m_sinceLastValue.elapsed() >= SilenceNoteMs;
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
