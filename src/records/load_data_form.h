#pragma once

#include "device/com_port.h"
#include "records/record_download.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <memory>

class QLabel;
class QPushButton;

namespace Ui
{
class TLoadDataForm;
}

// The download dialog: asks the logger for a number of records, collects one value per packet
// and writes the records as the record file, then closes. Shown modally by the curve view.
class TLoadDataForm : public QDialog
{
    Q_OBJECT
public:
    // Repaints of the progress display, per second at most.
    static constexpr int ProgressRefreshMs = 33;
    // Silence after which the dialog says that no value comes.
    static constexpr int SilenceNoteMs = 5000;
    // Quiet on the line after which the logger has sent all it will send: a download ends and
    // is judged, and a new request may go out without values of an earlier one entering it.
    static constexpr int SettleMs = 750;

    explicit TLoadDataForm(QWidget* parent = nullptr);
    ~TLoadDataForm() override;

    // The connection dialog's port; the listener attaches to it at every showing.
    void setComPort(TComPort* port);

    const RecordDownload& download() const { return m_download; }
    TComDataPacket& packetListener() { return ComDataPacket1; }
    // A request waits for the line to fall quiet before it goes out.
    bool requestWaiting() const { return m_waitingRecords > 0; }

public Q_SLOTS:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void ComDataPacket1Packet(const QByteArray& packet);
    void RefreshTimerTimer();
    // "Recommencer": the same download again.
    void RetryButtonClick();
    // "Enregistrer quand même": writes what arrived, audited.
    void SaveAnywayButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void startDownload();
    void requestRecords(int records);
    void sendWaitingRequest();
    bool lineQuiet() const;
    void acceptPacket(const QByteArray& packet);
    void judge(RecordDownload::Step step);
    void finishDownload();
    void refreshProgress();
    // Shows what went wrong and the two ways on, under an opening sentence.
    void showProblem(const QString& opening);
    void hideProblem();
    void portLost(const QString& message);

    std::unique_ptr<Ui::TLoadDataForm> ui;
    // Attached from the first showing on, never detached.
    TComDataPacket ComDataPacket1;
    QPointer<TComPort> m_port;
    RecordDownload m_download;
    QTimer m_refreshTimer;
    QElapsedTimer m_sinceLastPacket;
    int m_waitingRecords = 0; // a request not sent yet
    QLabel* m_problemLabel = nullptr;
    QPushButton* m_retryButton = nullptr;
    QPushButton* m_saveAnywayButton = nullptr;
};
