#pragma once

#include <QWidget>

class ChartSeries;
class ChartView;
class QPushButton;

// A chart window: the chart fills it; the save and print buttons sit on the chart at a fixed
// distance from its left edge, or nearer when the window is too narrow for that. Closing the
// window only hides it: the series keep their points.
class ChartWindow : public QWidget
{
    Q_OBJECT
public:
    ChartView* chartView() const { return Chart1; }
    // The curve of the chart and its high and low threshold lines, in the chart's order.
    ChartSeries& curve() const;
    ChartSeries& highThreshold() const;
    ChartSeries& lowThreshold() const;

    // Shows the window modelessly (usable beside a modal window); shown again, only brings it
    // forward.
    void showWindow();

public Q_SLOTS:
    void BitBtn1Click(); // saves the chart as an image
    void BitBtn2Click(); // prints the chart

protected:
    ChartWindow(const QString& caption, const QString& saveText, int buttonsLeft, QWidget* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeButtons();
    void saveImage();
    void print();

    ChartView* Chart1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    int m_buttonsLeft;
    // The picture-save dialog's filter, as chosen the last time (1: the first).
    int m_pictureFilterIndex = 1;
};

// The temperature chart window.
class TTempCurveForm : public ChartWindow
{
    Q_OBJECT
public:
    explicit TTempCurveForm(QWidget* parent = nullptr);
};

// The humidity chart window.
class THumCurveForm : public ChartWindow
{
    Q_OBJECT
public:
    explicit THumCurveForm(QWidget* parent = nullptr);
};
