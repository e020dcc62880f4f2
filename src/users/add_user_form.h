#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class TAddUserForm;
}

// Creates accounts. Its creation prepares the user file; the fields keep what was typed, so
// the next opening shows the last account entered.
class TAddUserForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAddUserForm(QWidget* parent = nullptr);
    ~TAddUserForm() override;

public slots:
    void BitBtn1Click(); // "Save"
    void BitBtn2Click(); // "Close"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TAddUserForm> ui;
};
