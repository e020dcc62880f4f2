#include "analysis/chart_windows.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace
{
constexpr int SaveButtonTop = 16;
constexpr int PrintButtonTop = 56;
} // namespace

ChartWindow::ChartWindow(const QString& caption, const QString& saveText, int buttonsLeft,
                         QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(caption);
    setWindowState(windowState() | Qt::WindowMaximized);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Chart1 = new QWidget(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    layout->addWidget(Chart1);
    BitBtn1 = new QPushButton(saveText, Chart1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->move(buttonsLeft, SaveButtonTop);
    BitBtn2 = new QPushButton(QStringLiteral("Imprimer"), Chart1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->move(buttonsLeft, PrintButtonTop);
}

TTempCurveForm::TTempCurveForm(QWidget* parent)
    : ChartWindow(QStringLiteral("Temperature"), QStringLiteral("Enregistrer Image"), 1240, parent)
{
    setObjectName(QStringLiteral("TTempCurveForm"));
}

THumCurveForm::THumCurveForm(QWidget* parent)
    : ChartWindow(QStringLiteral("Humidité"), QStringLiteral("Enregistrer image"), 1248, parent)
{
    setObjectName(QStringLiteral("THumCurveForm"));
}
