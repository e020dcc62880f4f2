#pragma once

#include <QWidget>

class ChartView;

// A small live picture of a chart window's chart: the same data and the same painting, drawn
// at the preview's size. A click asks for the full window.
class ChartPreview : public QWidget
{
    Q_OBJECT
public:
    explicit ChartPreview(QWidget* parent = nullptr);

    // The chart shown; nullptr shows nothing.
    void setSource(ChartView* source);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ChartView* m_source = nullptr;
};
