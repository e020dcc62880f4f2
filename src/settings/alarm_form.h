#pragma once

#include "settings/alarm_thresholds.h"

#include <QDialog>
#include <memory>

namespace Ui
{
class Talarmconfigform;
}

// The alarm dialog: its four fields are the thresholds in force, whether or not "&Valider"
// was pressed; the curve view reads them when it builds its curves.
class Talarmconfigform : public QDialog
{
    Q_OBJECT
public:
    explicit Talarmconfigform(QWidget* parent = nullptr);
    ~Talarmconfigform() override;

    TAlarmThresholds AlarmThresholdsInForce() const;

public Q_SLOTS:
    void Button1Click();

private:
    std::unique_ptr<Ui::Talarmconfigform> ui;
};
