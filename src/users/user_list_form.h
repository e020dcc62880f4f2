#pragma once

#include <QDialog>
#include <memory>

namespace Ui
{
class TUserListForm;
}

// The accounts of the user file, at most 19, under a heading row. "Supprimmer tout" asks
// first, keeps one account of level 5 or more and audits each account it removes.
class TUserListForm : public QDialog
{
    Q_OBJECT
public:
    explicit TUserListForm(QWidget* parent = nullptr);
    ~TUserListForm() override;

    static constexpr int Rows = 20;
    static constexpr int Columns = 5;

public slots:
    void FormShow();
    void BitBtn1Click(); // "Supprimmer tout"
    void BitBtn2Click(); // "Fermer"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillRows();
    void blankRowsFrom(int firstRow);
    void deleteAll();

    std::unique_ptr<Ui::TUserListForm> ui;
};
