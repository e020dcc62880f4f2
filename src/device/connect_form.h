#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QTimer;
class TComPort;
class TComDataPacket;
namespace Ui
{
class TConnectForm;
}

// The connection dialog's pie-shaped progress indicator.
class TPieGauge : public QWidget
{
    Q_OBJECT
public:
    explicit TPieGauge(QWidget* parent = nullptr);
    int Progress() const { return m_progress; }
    void setProgress(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_progress = 0;
};

// Finds the data logger's port, opens it, checks that the logger answers and reads its serial
// number. The procedure is paced by the step timer, not by the replies; it owns the program's
// one serial port, which stays open until the end.
class TConnectForm : public QDialog
{
    Q_OBJECT
public:
    explicit TConnectForm(QWidget* parent = nullptr);
    ~TConnectForm() override;

    // The program's one serial port, and this dialog's listener on it.
    TComPort* comPort() const { return ComPort1; }
    TComDataPacket* packetListener() const { return ComDataPacket1; }
    bool stepTimerActive() const;
    bool parseTimerActive() const;
    // 0 before the check, 1 once "t" is sent, 2 once "s" is sent, 3 when done.
    int connectStep() const { return ConnectStep; }
    bool serialStepActive() const { return SerialStepActive; }

Q_SIGNALS:
    // The port name, in the one-port case only.
    void portNameChosen(const QString& name);
    // The serial-number text, one second after the first serial-number reply (and again after
    // every later packet): the reply's first line, whatever it holds.
    void serialNumberTextRead(const QString& text);
    // The four fields of that text; only when it splits into four fields.
    void serialNumberFieldsRead(const QStringList& fields);
    // "Quitter".
    void exitRequested();

public Q_SLOTS:
    void FormShow();
    void Timer1Timer();
    void Timer2Timer();
    void ComDataPacket1Packet(const QByteArray& packet);
    void BitBtn1Click();
    void exitbuttonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void startOnOnePort();
    void waitForPortChoice();
    void reportNoPort();
    void startSteps();
    void setStatus(const QString& text);
    void centreOnScreen();

    std::unique_ptr<Ui::TConnectForm> ui;
    TComPort* ComPort1 = nullptr;
    TComDataPacket* ComDataPacket1 = nullptr;
    QTimer* Timer1 = nullptr; // step timer
    QTimer* Timer2 = nullptr; // parse timer
    int ConnectStep = 0;
    bool SerialStepActive = false;
    bool m_serialTextTaken = false;
};
