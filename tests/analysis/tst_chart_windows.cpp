// The two chart windows as the shell creates them: captions, the chart area, the buttons.
#include "analysis/chart_windows.h"

#include <QPushButton>
#include <QTest>
#include <memory>

class ChartWindowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void captionsAndButtons_data();
    void captionsAndButtons();
};

void ChartWindowsTest::captionsAndButtons_data()
{
    QTest::addColumn<bool>("temperature");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("saveText");
    QTest::addColumn<int>("buttonsLeft");
    QTest::newRow("temperature") << true << "Temperature"
                                 << "Enregistrer Image" << 1240;
    QTest::newRow("humidity") << false << "Humidité"
                              << "Enregistrer image" << 1248;
}

void ChartWindowsTest::captionsAndButtons()
{
    QFETCH(bool, temperature);
    QFETCH(QString, caption);
    QFETCH(QString, saveText);
    QFETCH(int, buttonsLeft);
    std::unique_ptr<ChartWindow> window;
    if (temperature)
        window = std::make_unique<TTempCurveForm>();
    else
        window = std::make_unique<THumCurveForm>();
    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    auto* chart = window->findChild<QWidget*>("Chart1");
    QVERIFY(chart);
    auto* save = chart->findChild<QPushButton*>("BitBtn1");
    auto* print = chart->findChild<QPushButton*>("BitBtn2");
    QVERIFY(save && print);
    QCOMPARE(save->text(), saveText);
    QCOMPARE(print->text(), QStringLiteral("Imprimer"));
    QCOMPARE(save->x(), buttonsLeft);
    QCOMPARE(print->x(), buttonsLeft);
    QVERIFY(print->y() > save->y());
}

QTEST_MAIN(ChartWindowsTest)
#include "tst_chart_windows.moc"
