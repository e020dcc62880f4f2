#include "analysis/chart_windows.h"

#include "analysis/chart_output.h"
#include "analysis/chart_view.h"
#include "common/error_handler.h"
#include "common/errors.h"
#include "common/services.h"
#include "common/window_placement.h"

#include <QEvent>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

constexpr int SaveButtonTop = 16;
constexpr int PrintButtonTop = 56;
// Room kept between the buttons and the window's right edge when it is narrow.
constexpr int ButtonsRightMargin = 8;
constexpr QSize NormalSize(1024, 640);

const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 0, 255);
const QColor Yellow(255, 255, 0);

struct ChartLook {
    QString title;
    QColor gradientEnd;
    LabelOrientation bottomLabels;
    // The curve, the high threshold and the low threshold.
    QString names[3];
    QColor colours[3];
};

void SetUpChart(Chart& chart, const ChartLook& look)
{
    chart.title = look.title;
    chart.view3D = false;
    chart.backWallColour = Qt::white;
    chart.backWallFilled = false;
    chart.gradientEndColour = look.gradientEnd;
    chart.bottomLabels = look.bottomLabels;
    chart.legendVisible = true;
    chart.addSeries(look.names[0], SeriesKind::Line, look.colours[0], 2);
    chart.addSeries(look.names[1], SeriesKind::FastLine, look.colours[1], 1);
    chart.addSeries(look.names[2], SeriesKind::FastLine, look.colours[2], 1);
}

} // namespace

ChartWindow::ChartWindow(const QString& caption, const QString& saveText, int buttonsLeft,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), m_buttonsLeft(buttonsLeft)
{
    setWindowTitle(caption);
    // The size it has when not maximised (restored, or where nothing maximises it): the
    // chart's own size hint is empty.
    resize(NormalSize);
    setWindowState(windowState() | Qt::WindowMaximized);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Chart1 = new ChartView(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    layout->addWidget(Chart1);
    BitBtn1 = new QPushButton(saveText, Chart1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("Imprimer"), Chart1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    const int width = qMax(BitBtn1->sizeHint().width(), BitBtn2->sizeHint().width());
    BitBtn1->setFixedWidth(width);
    BitBtn2->setFixedWidth(width);
    // The buttons must not start a rubber band or a pan on the chart under them.
    for (QPushButton* button : {BitBtn1, BitBtn2})
        button->setCursor(Qt::ArrowCursor);
    Chart1->installEventFilter(this);
    placeButtons();
    connect(BitBtn1, &QPushButton::clicked, this, &ChartWindow::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &ChartWindow::BitBtn2Click);
}

ChartSeries& ChartWindow::curve() const
{
    return Chart1->chart().series(0);
}

ChartSeries& ChartWindow::highThreshold() const
{
    return Chart1->chart().series(1);
}

ChartSeries& ChartWindow::lowThreshold() const
{
    return Chart1->chart().series(2);
}

void ChartWindow::showWindow()
{
    ShowBesideModal(this);
}

bool ChartWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Chart1 && event->type() == QEvent::Resize)
        placeButtons();
    return QWidget::eventFilter(watched, event);
}

void ChartWindow::placeButtons()
{
    // Never over the legend, at the right of the plot.
    const int plotRight = int(Chart1->plotGeometry().plot.right());
    const int fits = qMin(Chart1->width(), plotRight) - BitBtn1->width() - ButtonsRightMargin;
    const int left = qMax(0, qMin(m_buttonsLeft, fits));
    BitBtn1->move(left, SaveButtonTop);
    BitBtn2->move(left, PrintButtonTop);
}

void ChartWindow::BitBtn1Click()
{
    Guarded([&] { saveImage(); });
}

void ChartWindow::BitBtn2Click()
{
    Guarded([&] { print(); });
}

void ChartWindow::saveImage()
{
    FileSaveRequest request;
    request.filters = ChartImageFilters();
    request.filterIndex = m_pictureFilterIndex;
    const auto answer = Services::dialogs().savePicture(request);
    if (!answer)
        return;
    m_pictureFilterIndex = answer->filterIndex;
    SaveChartImage(Chart1->chart(), Chart1->size(),
                   WithImageExtension(answer->fileName, answer->filterIndex));
}

void ChartWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!Services::dialogs().useDefaultPrinter(printer))
        throw QuivelError(QStringLiteral("Aucune imprimante n'est installée : le graphique n'a pas "
                                         "été imprimé"));
    PrintChart(Chart1->chart(), Chart1->size(), printer);
}

TTempCurveForm::TTempCurveForm(QWidget* parent)
    : ChartWindow(QStringLiteral("Temperature"), QStringLiteral("Enregistrer Image"), 1240, parent)
{
    setObjectName(QStringLiteral("TTempCurveForm"));
    SetUpChart(chartView()->chart(), {QStringLiteral("Température"),
                                      QColor(255, 255, 191),
                                      LabelOrientation::Vertical,
                                      {QStringLiteral("Series1"), QStringLiteral("t_alarm_h"),
                                       QStringLiteral("t_alarm_l")},
                                      {Red, Green, Blue}});
}

THumCurveForm::THumCurveForm(QWidget* parent)
    : ChartWindow(QStringLiteral("Humidité"), QStringLiteral("Enregistrer image"), 1248, parent)
{
    setObjectName(QStringLiteral("THumCurveForm"));
    SetUpChart(chartView()->chart(), {QStringLiteral("Humidité"),
                                      QColor(204, 255, 255),
                                      LabelOrientation::Horizontal,
                                      {QStringLiteral("LineSeries2"), QStringLiteral("h_alarm_h"),
                                       QStringLiteral("h_alarm_l")},
                                      {Blue, Green, Yellow}});
}
