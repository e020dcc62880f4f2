#include "records/load_data_form.h"

#include "ui_load_data_form.h"

#include "common/error_handler.h"
#include "common/number_text.h"
#include "common/services.h"
#include "device/protocol.h"
#include "records/record_line.h"

#include <QShowEvent>

namespace
{

// A warning shown from the event loop, so that a packet handler never waits on a box.
void PostWarning(const QString& text)
{
    PostGuarded([text] { MessageDlg(text, MsgKind::Warning, {MsgButton::Ok}); });
}

} // namespace

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
}

TLoadDataForm::~TLoadDataForm() = default;

void TLoadDataForm::setComPort(TComPort* port)
{
    m_port = port;
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
    const int n = StrictToInt(ui->Edit1->text());
    if (!m_port)
        throw EComPort(EComPort::NotOpen);
    m_port->WriteText(DownloadCommand(qint64(n) * ValuesPerRecord));
    m_download.begin(n);
    m_sinceLastValue.start();
    ui->ProgressBar1->setMaximum(m_download.expectedValues());
    ui->ProgressBar1->setValue(0);
    refreshProgress();
    m_refreshTimer.start();
}

void TLoadDataForm::ComDataPacket1Packet(const QByteArray& packet)
{
    // An error must not leave a packet handler: it is reported from the event loop and the
    // download is abandoned, while the link goes on receiving.
    try {
        acceptPacket(packet);
    } catch (...) {
        m_download.abandon();
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
    }
}

void TLoadDataForm::finishDownload()
{
    m_refreshTimer.stop();
    // A failed save raises here: the earlier file stays, the dialog stays open.
    m_download.save(RecordFileName);
    ui->ProgressBar1->setValue(0);
    ui->ValuesLabel->setText(ProgressText(m_download.receivedCount(), m_download.expectedValues()));
    ui->SilenceLabel->hide();
    if (m_download.check().suspect > 0)
        PostWarning(SuspectRecordsWarning(m_download.check()));
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
    ui->ValuesLabel->setText(ProgressText(m_download.receivedCount(), m_download.expectedValues()));
    ui->SilenceLabel->setVisible(m_download.running() &&
                                 m_sinceLastValue.elapsed() >= SilenceNoteMs);
    if (!m_download.running())
        m_refreshTimer.stop();
}
