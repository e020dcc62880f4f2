#include "settings/serial_number_form.h"
#include "ui_serial_number_form.h"

#include "common/error_handler.h"

#include <QLineEdit>

Tserialnumber::Tserialnumber(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::Tserialnumber>())
{
    ui->setupUi(this);
    connect(ui->Button1, &QPushButton::clicked, this, &Tserialnumber::Button1Click);
}

Tserialnumber::~Tserialnumber() = default;

TLoggerSerialNumber Tserialnumber::SerialNumber() const
{
    TLoggerSerialNumber number;
    number.fields[0] = ui->Edit1->text();
    number.fields[1] = ui->Edit2->text();
    number.fields[2] = ui->Edit3->text();
    number.fields[3] = ui->Edit4->text();
    return number;
}

void Tserialnumber::setFields(const QStringList& fields)
{
    if (fields.size() != 4)
        return;
    ui->Edit1->setText(fields[0]);
    ui->Edit2->setText(fields[1]);
    ui->Edit3->setText(fields[2]);
    ui->Edit4->setText(fields[3]);
}

void Tserialnumber::Button1Click()
{
    Guarded([&] { emit clockDialogRequested(); });
}
