#pragma once

#include <QPicture>
#include <QWidget>

// A prepared report page shown at half its paper size, on a grey desk, whatever the screen's
// font size.
class ReportPageView : public QWidget
{
    Q_OBJECT
public:
    explicit ReportPageView(QWidget* parent = nullptr);

    void setPage(const QPicture& page);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPicture m_page;
};
