// The two chart windows: their charts and series, the buttons at any width, saving the chart
// as an image and printing it on the default printer.
#include "analysis/chart/chart_series.h"
#include "analysis/chart_view.h"
#include "analysis/chart_windows.h"
#include "support/scripted_services.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

namespace
{

std::unique_ptr<ChartWindow> MakeWindow(bool temperature)
{
    if (temperature)
        return std::make_unique<TTempCurveForm>();
    return std::make_unique<THumCurveForm>();
}

// A curve of that many rows with its two threshold lines, as the curve view fills them.
void Fill(ChartWindow& window, int rows)
{
    for (int r = 0; r < rows; ++r) {
        const QString label = QStringLiteral("%1  %2/12").arg(r + 1).arg(1 + r / 96);
        window.curve().addPoint(r, 20 + (r % 7), QColor(255, 0, 0), label);
        window.highThreshold().addPoint(r, 30);
        window.lowThreshold().addPoint(r, 18);
    }
    window.chartView()->chartChanged();
}

QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class ChartWindowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void captionsChartsAndSeries_data();
    void captionsChartsAndSeries();
    void buttonsStayInsideANarrowWindow();
    void closingHidesAndKeepsThePoints();
    void saveImage_data();
    void saveImage();
    void saveImageFilterIsRememberedAndCancelWritesNothing();
    void saveImageThatCannotBeWritten();
    void printsOnePageOnTheDefaultPrinter();
    void printWithoutPrinterSaysSo();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
};

void ChartWindowsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(m_dir->path());
    m_dialogs.clear();
    m_dialogs.defaultPrinterFile.clear();
    Services::setDialogs(&m_dialogs);
}

void ChartWindowsTest::cleanup()
{
    Services::setDialogs(nullptr);
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void ChartWindowsTest::captionsChartsAndSeries_data()
{
    QTest::addColumn<bool>("temperature");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("saveText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QColor>("gradientEnd");
    QTest::addColumn<bool>("verticalLabels");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<QColor>>("colours");

    QTest::newRow("temperature") << true << "Temperature"
                                 << "Enregistrer Image"
                                 << "Température" << QColor(255, 255, 191) << true
                                 << QStringList{"Series1", "t_alarm_h", "t_alarm_l"}
                                 << QList<QColor>{QColor(255, 0, 0), QColor(0, 128, 0),
                                                  QColor(0, 0, 255)};
    QTest::newRow("humidity") << false << "Humidité"
                              << "Enregistrer image"
                              << "Humidité" << QColor(204, 255, 255) << false
                              << QStringList{"LineSeries2", "h_alarm_h", "h_alarm_l"}
                              << QList<QColor>{QColor(0, 0, 255), QColor(0, 128, 0),
                                               QColor(255, 255, 0)};
}

void ChartWindowsTest::captionsChartsAndSeries()
{
    QFETCH(bool, temperature);
    QFETCH(QString, caption);
    QFETCH(QString, saveText);
    QFETCH(QString, title);
    QFETCH(QColor, gradientEnd);
    QFETCH(bool, verticalLabels);
    QFETCH(QStringList, names);
    QFETCH(QList<QColor>, colours);

    auto window = MakeWindow(temperature);
    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    auto* view = window->findChild<ChartView*>("Chart1");
    QVERIFY(view);
    const Chart& chart = view->chart();
    QCOMPARE(chart.title, title);
    QCOMPARE(chart.gradientEndColour, gradientEnd);
    QCOMPARE(chart.bottomLabels == LabelOrientation::Vertical, verticalLabels);
    QVERIFY(!chart.view3D);
    QVERIFY(chart.legendVisible);
    QCOMPARE(chart.backWallColour, QColor(Qt::white));
    QVERIFY(!chart.backWallFilled);
    QCOMPARE(chart.seriesCount(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(chart.series(i).name(), names[i]);
        QCOMPARE(chart.series(i).colour(), colours[i]);
        QCOMPARE(chart.series(i).penWidth(), i == 0 ? 2 : 1);
        QCOMPARE(chart.series(i).kind(), i == 0 ? SeriesKind::Line : SeriesKind::FastLine);
    }
    QCOMPARE(&window->curve(), &chart.series(0));

    auto* save = view->findChild<QPushButton*>("BitBtn1");
    auto* print = view->findChild<QPushButton*>("BitBtn2");
    QVERIFY(save && print);
    QCOMPARE(save->text(), saveText);
    QCOMPARE(print->text(), QStringLiteral("Imprimer"));
    // On a wide enough window, at their fixed distance from the chart's left edge.
    window->resize(1920, 1000);
    window->show();
    QCOMPARE(save->x(), temperature ? 1240 : 1248);
    QCOMPARE(print->x(), save->x());
    QVERIFY(print->y() > save->y());
}

void ChartWindowsTest::buttonsStayInsideANarrowWindow()
{
    for (bool temperature : {true, false}) {
        auto window = MakeWindow(temperature);
        window->setWindowState(Qt::WindowNoState);
        window->resize(700, 500);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QRectF plot = window->chartView()->plotGeometry().plot;
        for (const char* name : {"BitBtn1", "BitBtn2"}) {
            auto* button = window->findChild<QPushButton*>(name);
            QVERIFY(window->rect().contains(button->geometry()));
            QVERIFY(button->isVisible());
            // Inside the plot, not over the legend at its right.
            QVERIFY(button->geometry().right() < plot.right());
        }
    }
}

void ChartWindowsTest::closingHidesAndKeepsThePoints()
{
    TTempCurveForm window;
    Fill(window, 10);
    window.showWindow();
    QVERIFY(window.isVisible());
    window.close();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.curve().count(), 10);
    // Shown from a modal window, the chart stays usable beside it.
    QDialog modal;
    bool usable = false;
    QTimer::singleShot(0, &modal, [&] {
        window.showWindow();
        usable = window.isVisible() && !QApplication::activeModalWidget()->isAncestorOf(&window) &&
                 window.windowHandle()->transientParent() == modal.windowHandle();
        modal.done(0);
    });
    modal.exec();
    QVERIFY(usable);
    window.close();
}

void ChartWindowsTest::saveImage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("magic");

    const QByteArray bmp("BM"), png("\x89PNG"), jpeg("\xFF\xD8\xFF");
    QTest::newRow("bmp") << "courbe" << 1 << "courbe.bmp" << bmp;
    QTest::newRow("png") << "courbe" << 2 << "courbe.png" << png;
    QTest::newRow("jpg") << "courbe" << 3 << "courbe.jpg" << jpeg;
    QTest::newRow("already .jpg") << "graph.jpg" << 3 << "graph.jpg" << jpeg;
    QTest::newRow("any case") << "GRAPH.PNG" << 2 << "GRAPH.PNG" << png;
    QTest::newRow("jpeg name") << "photo.jpeg" << 3 << "photo.jpeg" << jpeg;
    QTest::newRow("other extension") << "courbe.png" << 1 << "courbe.png.bmp" << bmp;
}

void ChartWindowsTest::saveImage()
{
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(QByteArray, magic);

    TTempCurveForm window;
    window.setWindowState(Qt::WindowNoState);
    window.resize(640, 400);
    window.show();
    Fill(window, 50);
    m_dialogs.pictureAnswers.enqueue(FileSaveAnswer{QDir::current().filePath(typed), filter});
    window.findChild<QPushButton*>("BitBtn1")->click();

    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(m_dialogs.pictureRequests.size(), 1);
    QCOMPARE(m_dialogs.pictureRequests[0].filters,
             (QStringList{"Bitmap (*.bmp)", "PNG (*.png)", "JPEG (*.jpg)"}));
    QCOMPARE(QDir::current().entryList(QDir::Files), QStringList{written});
    QVERIFY(ReadAll(written).startsWith(magic));
    // At the chart's size on screen, showing the chart.
    const QImage image(written);
    QCOMPARE(image.size(), window.chartView()->size());
    QCOMPARE(image.pixelColor(image.width() / 2, 2).red(), 255); // the gradient's white top
}

void ChartWindowsTest::saveImageFilterIsRememberedAndCancelWritesNothing()
{
    THumCurveForm window;
    window.findChild<QPushButton*>("BitBtn1")->click(); // cancelled
    QVERIFY(QDir::current().entryList(QDir::Files).isEmpty());
    QCOMPARE(m_dialogs.pictureRequests.last().filterIndex, 1);

    m_dialogs.pictureAnswers.enqueue(FileSaveAnswer{QStringLiteral("vide"), 2});
    window.findChild<QPushButton*>("BitBtn1")->click();
    // The empty chart is an image too.
    QVERIFY(ReadAll("vide.png").startsWith("\x89PNG"));
    window.findChild<QPushButton*>("BitBtn1")->click();
    QCOMPARE(m_dialogs.pictureRequests.last().filterIndex, 2);
}

void ChartWindowsTest::saveImageThatCannotBeWritten()
{
    TTempCurveForm window;
    const QString target = QDir::current().filePath(QStringLiteral("absent/courbe.png"));
    m_dialogs.pictureAnswers.enqueue(FileSaveAnswer{target, 2});
    window.findChild<QPushButton*>("BitBtn1")->click();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QVERIFY2(m_dialogs.boxes[0].text.startsWith(
                 QStringLiteral("Cannot create file \"%1\". ").arg(target)),
             qPrintable(m_dialogs.boxes[0].text));
    QVERIFY(!QFileInfo::exists(QStringLiteral("absent")));
}

void ChartWindowsTest::printsOnePageOnTheDefaultPrinter()
{
    TTempCurveForm window;
    window.setWindowState(Qt::WindowNoState);
    window.resize(1200, 600);
    window.show();
    Fill(window, 200);
    m_dialogs.defaultPrinterFile = QDir::current().filePath(QStringLiteral("print.pdf"));
    window.findChild<QPushButton*>("BitBtn2")->click();
    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(m_dialogs.printRequests, 0); // no dialog
    QVERIFY(QFileInfo::exists(QStringLiteral("print.pdf")));

    const QString info = RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("print.pdf")});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+Chart1\\n"))),
             qPrintable(info));
    // Drawn as vectors: the title and the labels are text in the PDF.
    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("print.pdf"), QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Température")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("t_alarm_h")));

    // The page shows the chart: the gradient's pale yellow and the red curve.
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
             QStringLiteral("print.pdf"), QStringLiteral("page")});
    const QImage page(QStringLiteral("page-1.png"));
    if (qEnvironmentVariableIsSet("KEEP_PRINT"))
        QFile::copy(QStringLiteral("print.pdf"), qEnvironmentVariable("KEEP_PRINT"));
    QVERIFY(!page.isNull());
    int red = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    }
    QVERIFY2(red > 20, qPrintable(QString::number(red)));
}

void ChartWindowsTest::printWithoutPrinterSaysSo()
{
    THumCurveForm window;
    window.findChild<QPushButton*>("BitBtn2")->click();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Error);
    QCOMPARE(
        m_dialogs.boxes[0].text,
        QStringLiteral("Aucune imprimante n'est installée : le graphique n'a pas été imprimé."));
}

QTEST_MAIN(ChartWindowsTest)
#include "tst_chart_windows.moc"
