#pragma once

#include "settings/calibration_offsets.h"

#include <QDialog>
#include <memory>

class CalibrationStore;
namespace Ui
{
class Tcalibrationform;
}

// The calibration dialog: its two fields are the offsets in force, read by the curve view
// and the configuration frame; "VALIDER" stores them in cal.cfg.
class Tcalibrationform : public QDialog
{
    Q_OBJECT
public:
    explicit Tcalibrationform(QWidget* parent = nullptr);
    ~Tcalibrationform() override;

    // The offset lines (held by the main window). Until set, the dialog uses a store of
    // its own.
    void setCalibrationStore(CalibrationStore* store);

    TCalibrationOffsets CalibrationOffsetsInForce() const;

public Q_SLOTS:
    // Puts the offset lines into the two fields, replacing whatever was typed.
    void ApplyOffsetLines();
    void FormShow();
    void BitBtn1Click();

Q_SIGNALS:
    // The offsets were saved: the clock-configuration dialog is to be shown, without waiting.
    void clockDialogRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    CalibrationStore& store();

    std::unique_ptr<Ui::Tcalibrationform> ui;
    std::unique_ptr<CalibrationStore> m_ownStore;
    CalibrationStore* m_store = nullptr;
};
