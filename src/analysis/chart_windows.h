#pragma once

#include <QWidget>

class QPushButton;

// A chart window: the chart fills it, the save and print buttons sit on the chart at a fixed
// distance from its left edge.
class ChartWindow : public QWidget
{
    Q_OBJECT
public:
    QWidget* Chart1 = nullptr;
    QPushButton* BitBtn1 = nullptr; // saves the chart as an image
    QPushButton* BitBtn2 = nullptr; // prints the chart

protected:
    ChartWindow(const QString& caption, const QString& saveText, int buttonsLeft, QWidget* parent);
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
