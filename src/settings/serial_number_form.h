#pragma once

#include "settings/serial_number.h"

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui
{
class Tserialnumber;
}

// The serial-number dialog: its four fields are the serial number the next configuration
// frame writes. The connection procedure fills them; the user may overwrite them. Nothing
// is checked on entry.
class Tserialnumber : public QDialog
{
    Q_OBJECT
public:
    explicit Tserialnumber(QWidget* parent = nullptr);
    ~Tserialnumber() override;

    TLoggerSerialNumber SerialNumber() const;

public Q_SLOTS:
    // The four fields of a serial-number reply; any other number of fields changes nothing.
    void setFields(const QStringList& fields);
    void Button1Click();

Q_SIGNALS:
    // "programmer": the clock-configuration dialog is to be shown, without waiting.
    void clockDialogRequested();

private:
    std::unique_ptr<Ui::Tserialnumber> ui;
};
