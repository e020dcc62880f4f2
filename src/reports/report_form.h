#pragma once

#include "reports/report_content.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <utility>

class ClickableLabel;
class QPushButton;
class ReportPageView;

// The record report window: the report's first page at half size, and the actions "save as
// PDF" and "print". Its content is filled each time it goes from hidden to shown; closing it
// only hides it.
class Tformpdf : public QDialog
{
    Q_OBJECT
public:
    explicit Tformpdf(QWidget* parent = nullptr);
    ~Tformpdf() override;

    // Where the content comes from; app/ connects them to the record table, the curve view's
    // range fields and the main window's serial-number label.
    void setCellSource(std::function<QString(int column, int row)> source);
    void setRangeSource(std::function<std::pair<int, int>()> source);
    void setSerialNumberSource(std::function<QString()> source);
    // The record table's row count: rows past it are known to be empty without asking, so that
    // a range of millions of rows opens at once.
    void setTableRowsSource(std::function<int()> source);

    // Shows the window modelessly, usable beside a modal window that is open, else centred on
    // the screen; already open, it only comes to the front, with its content as it was.
    void showReport();

    // What the report shows since it was last filled.
    const ReportContent& report() const { return *m_content; }
    int pageCount() const;

public Q_SLOTS:
    void FormShow();
    void Button1Click(); // save as PDF
    void Image2Click();  // save as PDF
    void Button2Click(); // print
    void Image1Click();  // print

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpControls();
    void fill();
    void savePdf();
    void print();

    ReportSources m_sources;
    // Shared with an output under way, which a new filling must not pull from under it.
    std::shared_ptr<const ReportContent> m_content;
    ReportPageView* QuickRep1 = nullptr;
    ClickableLabel* Image2 = nullptr;
    ClickableLabel* Image1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
