#pragma once

#include "device/protocol.h"
#include "settings/calibration_offsets.h"
#include "settings/frame_transfer.h"
#include "settings/serial_number.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

class TComPort;
namespace Ui
{
class Ttimeconfigform;
}

// The clock-configuration dialog: programs the data logger with the PC's clock (UTC plus
// one hour), the logging period, the calibration offsets in force, the serial number and
// the start flag, one frame item every 50 ms.
//
// Shown modally ("ENREGISTRER" and "ANNULER" end it; a started transfer goes on) or
// modelessly (only the close box closes it; the progress bar follows the transfer).
class Ttimeconfigform : public QDialog
{
    Q_OBJECT
public:
    explicit Ttimeconfigform(QWidget* parent = nullptr);
    ~Ttimeconfigform() override;

    // The port the frame goes out on (the connection dialog's); without it, or while it is
    // closed, a tick fails with "Port Not Open".
    void setComPort(TComPort* port);
    // Read at every tick: the calibration dialog's offsets in force and the serial-number
    // dialog's four fields.
    void setOffsetsSource(std::function<TCalibrationOffsets()> source);
    void setSerialNumberSource(std::function<TLoggerSerialNumber()> source);

    // exec(); when the dialog is already open modelessly it is brought to the front instead.
    void showModal();
    // show() and raise(); an open dialog is only brought to the front.
    void showModeless();

    // What the next item is built from, read now.
    TFrameSources FrameSources() const;
    bool TransferRunning() const { return m_transfer.isRunning(); }

public Q_SLOTS:
    void FormShow();
    void UpDown2Click();
    void CheckBox1Click();
    void BitBtn1Click();
    void SendTimerTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillClockFields();
    void placeTimeFields();
    void advanceProgress();
    void endModalShowing(int result);
    void writeToPort(const QByteArray& bytes);

    std::unique_ptr<Ui::Ttimeconfigform> ui;
    FrameTransfer m_transfer;
    QPointer<TComPort> m_port;
    std::function<TCalibrationOffsets()> m_offsets;
    std::function<TLoggerSerialNumber()> m_serialNumber;
    bool m_modal = false;
};
