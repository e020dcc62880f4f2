#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class TAuditForm;
}

// The audit file as a read-only table: at most 499 entries under a heading row.
class TAuditForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAuditForm(QWidget* parent = nullptr);
    ~TAuditForm() override;

    static constexpr int Rows = 500;
    static constexpr int Columns = 5;

public slots:
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TAuditForm> ui;
};
