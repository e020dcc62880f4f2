// The curve view: the download dialog first, modally, then the record file into the grid,
// calibrated, the charts filled, the statistics and the alarm; CSV export, report range,
// clearing. Errors in the error box.
#include "analysis/chart/chart_series.h"
#include "analysis/chart_view.h"
#include "analysis/chart_windows.h"
#include "analysis/curve_form.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "users/audit_log.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

class CurveFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void captionsAndControls_data();
    void captionsAndControls();
    void gridIsTheRecordTable();
    void showingRunsTheDownloadThenLoadsTheFile();
    void failedLoadIsReportedAndLeavesTheTable_data();
    void failedLoadIsReportedAndLeavesTheTable();
    void oneRecordOrMoreIsShown_data();
    void oneRecordOrMoreIsShown();
    void calibrationAndStatistics_data();
    void calibrationAndStatistics();
    void alarmAgainstTheHighThreshold_data();
    void alarmAgainstTheHighThreshold();
    void thresholdThatIsNoNumberIsReportedAfterTheStatistics();
    void chartsReceiveOnePointPerRowReplacingEarlierOnes();
    void rangeCouplingAndReportAnswers_data();
    void rangeCouplingAndReportAnswers();
    void csvExportWritesTwoFilesAfterItsAuditEntry();
    void csvExportCancelledOrWithoutFile();
    void clearingAsksThenEmptiesTheTableAndDeletesTheFile();
    void chartButtonsAndPreviewsShowTheWindows();
    void zoomedRowsBecomeTheReportRange();
    void coldChainSummary();
    void fileOfOtherLinesIsShownWithAWarning();

private:
    // Writes the record file and shows the view, closing the download dialog unused.
    bool showWith(const QByteArray& recordFile);
    QString label(const char* name) const { return m_view->findChild<QLabel*>(name)->text(); }
    QSpinBox* spin(const char* name) const { return m_view->findChild<QSpinBox*>(name); }
    void click(const char* name) { m_view->findChild<QAbstractButton*>(name)->click(); }

    // Shows the view; while the download dialog is up, runs `whileDownloadIsUp` and
    // closes it with "Ouvrir les données".
    bool showAndLeaveDownload(std::function<void()> whileDownloadIsUp = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TLoadDataForm> m_download;
    std::unique_ptr<Tcurveform> m_view;
    std::unique_ptr<TTempCurveForm> m_temperature;
    std::unique_ptr<THumCurveForm> m_humidity;
    TCalibrationOffsets m_offsets{QStringLiteral("0,0"), QStringLiteral("0,0")};
    TAlarmThresholds m_thresholds{"30", "20", "85", "60"};
    int m_reportsShown = 0;
    FixedClock m_clock;
};

void CurveFormTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    Services::setDialogs(m_dialogs.get());
    m_download = std::make_unique<TLoadDataForm>();
    Services::setClock(&m_clock);
    ResetAuditLog();
    OpenAuditLog(); // says that the new file holds no entry yet
    m_dialogs->clear();
    SetCurrentUserId(7);
    m_offsets = {QStringLiteral("0,0"), QStringLiteral("0,0")};
    m_thresholds = {"30", "20", "85", "60"};
    m_reportsShown = 0;
    m_view = std::make_unique<Tcurveform>();
    m_view->setLoadDataForm(m_download.get());
    m_temperature = std::make_unique<TTempCurveForm>();
    m_humidity = std::make_unique<THumCurveForm>();
    m_view->setOffsetsSource([this] { return m_offsets; });
    m_view->setThresholdsSource([this] { return m_thresholds; });
    m_view->setChartWindows(m_temperature.get(), m_humidity.get());
    m_view->setReportRequest([this] { ++m_reportsShown; });
    QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
}

void CurveFormTest::cleanup()
{
    QLocale::setDefault(QLocale::c());
    ResetAuditLog();
    Services::setClock(nullptr);
    m_view.reset();
    m_temperature.reset();
    m_humidity.reset();
    m_download.reset();
    Services::setDialogs(nullptr);
    m_dialogs.reset();
}

bool CurveFormTest::showAndLeaveDownload(std::function<void()> whileDownloadIsUp)
{
    bool wasModal = false;
    // Looks for the modal download dialog until it comes; the timer ends with this call.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != m_download.get())
            return;
        poll.stop();
        wasModal = !m_view->isActiveWindow();
        if (whileDownloadIsUp)
            whileDownloadIsUp();
        m_download->findChild<QPushButton*>("BitBtn2")->click();
    });
    poll.start(10);
    m_view->show();
    return wasModal && !m_download->isVisible() && m_view->isVisible();
}

void CurveFormTest::captionsAndControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const QList<QPair<const char*, const char*>> controls = {
        {"Label1", "Données enregistrées"},
        {"Label7", "N°"},
        {"Label3", "jours / mois"},
        {"Label4", "H:M"},
        {"Label5", "Température "},
        {"Label6", "Humidité"},
        {"Tmaxl", "0"},
        {"Label17", "Température MAX"},
        {"TMinl", "0"},
        {"Label18", "Température Min"},
        {"TAvl", "0"},
        {"Label16", "Température moyenne"},
        {"HMaxl", "0"},
        {"Label19", "Humidité MAX"},
        {"HMinl", "0"},
        {"Label20", "Humidité Min"},
        {"havl", "0"},
        {"Label21", "Valeur moyenne H"},
        {"alarmlabel", "ALARM HAUTE TEMPERATURE"},
        {"Label8", "Enregistrement debut"},
        {"Label9", "Enregistrement fin"},
        {"Button1", "Générer le rapport PDF"},
        {"SpeedButton1", "Enregistrer CSV EXCEL"},
        {"BitBtn1", "Tracé courbe temperature"},
        {"BitBtn2", "Tracé courbe humidité"},
        {"Button2", "EFFACER LES DONNER"},
    };
    for (const auto& [name, text] : controls)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text);
}

void CurveFormTest::captionsAndControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QCOMPARE(m_view->windowTitle(), QStringLiteral("Tracés  des courbes"));
    QVERIFY(m_view->windowState() & Qt::WindowMaximized);
    QWidget* control = m_view->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    const QString shown = qobject_cast<QLabel*>(control)
                              ? qobject_cast<QLabel*>(control)->text()
                              : qobject_cast<QAbstractButton*>(control)->text();
    QCOMPARE(shown, text);
    QVERIFY(m_view->findChild<QWidget*>("alarmlabel")->isHidden());
}

void CurveFormTest::gridIsTheRecordTable()
{
    auto* grid = m_view->findChild<QTableView*>("StringGrid1");
    QVERIFY(grid);
    QCOMPARE(grid->model()->columnCount(), 5);
    QVERIFY(grid->horizontalHeader()->isHidden());
    QVERIFY(grid->verticalHeader()->isHidden());
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    m_view->recordTable().setRowCount(3);
    for (int col = 0; col < 5; ++col)
        QCOMPARE(grid->columnWidth(col), 85);
}

void CurveFormTest::showingRunsTheDownloadThenLoadsTheFile()
{
    // Written while the download dialog is up: the load comes after it closes.
    QVERIFY(showAndLeaveDownload(
        [] { WriteAll(RecordFileName, "5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n"); }));
    auto* grid = m_view->findChild<QTableView*>("StringGrid1");
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->index(1, 2).data().toString(), QStringLiteral("14:22"));
    QCOMPARE(m_view->recordTable().cell(4, 0), QStringLiteral("61"));
    QCOMPARE(m_dialogs->texts(), QStringList());
    QCOMPARE(label("Tmaxl"), QStringLiteral("23,6°C"));
}

void CurveFormTest::failedLoadIsReportedAndLeavesTheTable_data()
{
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << true << QByteArray() << "Cannot open file \"%1\". ";
    QTest::newRow("empty") << false << QByteArray() << "List index out of bounds (1)";
}

void CurveFormTest::failedLoadIsReportedAndLeavesTheTable()
{
    QFETCH(bool, missing);
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    QVERIFY(showWith("1/1;0:0;20.0;50.0\r\n1/1;0:15;21.0;51.0\r\n1/1;0:30;22.0;52.0\r\n"));
    m_view->hide();
    QFile::remove(RecordFileName);
    if (!missing)
        WriteAll(RecordFileName, file);

    QVERIFY(showAndLeaveDownload());
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes.first().kind, MsgKind::Error);
    QCOMPARE(m_dialogs->boxes.first().title, QStringLiteral("QUIVEL CONFIG"));
    const QString expected = message.contains("%1")
                                 ? message.arg(QDir::current().absoluteFilePath(RecordFileName))
                                 : message;
    QVERIFY2(m_dialogs->boxes.first().text.startsWith(expected),
             qPrintable(m_dialogs->boxes.first().text));
    QVERIFY(m_view->isVisible());
    QCOMPARE(m_view->recordTable().rowCount(), 3);
    QCOMPARE(m_view->recordTable().cell(4, 2), QStringLiteral("52"));
    QCOMPARE(label("Tmaxl"), QStringLiteral("22°C"));
}

bool CurveFormTest::showWith(const QByteArray& recordFile)
{
    WriteAll(RecordFileName, recordFile);
    m_view->hide();
    return showAndLeaveDownload();
}

void CurveFormTest::oneRecordOrMoreIsShown_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<double>>("temperatures"); // the points of the temperature curve
    QTest::addColumn<QStringList>("statistics");     // Tmaxl TMinl TAvl HMaxl HMinl havl
    QTest::addColumn<bool>("alarm");                 // above 30 °C
    QTest::newRow("one record") << QByteArray("5/3;14:7;31.5;61.0\r\n") << QList<double>{31.5}
                                << QStringList{"31,5°C", "31,5°C", "31,50°C",
                                               "61%",    "61%",    "61,00%"}
                                << true;
    QTest::newRow("one record, no line end")
        << QByteArray("5/3;14:7;23.5;61.0") << QList<double>{23.5}
        << QStringList{"23,5°C", "23,5°C", "23,50°C", "61%", "61%", "61,00%"} << false;
    QTest::newRow("two records") << QByteArray("5/3;14:7;20.0;50.0\r\n5/3;14:22;21.0;51.0\r\n")
                                 << QList<double>{20, 21}
                                 << QStringList{"21°C", "20°C", "20,50°C", "51%", "50%", "50,50%"}
                                 << false;
    QTest::newRow("three records")
        << QByteArray("5/3;14:7;20.0;50.0\r\n5/3;14:22;21.0;51.0\r\n5/3;14:37;31.0;52.0\r\n")
        << QList<double>{20, 21, 31}
        << QStringList{"31°C", "20°C", "24,00°C", "52%", "50%", "51,00%"} << true;
}

void CurveFormTest::oneRecordOrMoreIsShown()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<double>, temperatures);
    QFETCH(QStringList, statistics);
    QFETCH(bool, alarm);
    const int records = int(temperatures.size());

    QVERIFY(showWith(file));
    QVERIFY2(m_dialogs->boxes.isEmpty(), qPrintable(m_dialogs->texts().join('|')));
    auto* grid = m_view->findChild<QTableView*>("StringGrid1");
    QCOMPARE(grid->model()->rowCount(), records);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("1"));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("5/3"));
    QCOMPARE(grid->model()->index(records - 1, 0).data().toString(), QString::number(records));
    const QStringList shown{label("Tmaxl"), label("TMinl"), label("TAvl"),
                            label("HMaxl"), label("HMinl"), label("havl")};
    QCOMPARE(shown, statistics);
    QCOMPARE(m_view->findChild<QLabel*>("alarmlabel")->isVisible(), alarm);

    const ChartSeries& curve = m_temperature->curve();
    QCOMPARE(curve.count(), records);
    for (int r = 0; r < records; ++r) {
        QCOMPARE(curve.x(r), double(r));
        QCOMPARE(curve.y(r), temperatures[r]);
    }
    QCOMPARE(curve.label(0), QStringLiteral("1  5/3"));
    QCOMPARE(m_humidity->curve().count(), records);
    QCOMPARE(m_temperature->highThreshold().count(), records);
    QCOMPARE(m_humidity->lowThreshold().count(), records);
    // The chart window draws the records, a single one as well as many: the curve reaches the
    // last one in red.
    click("BitBtn1");
    QVERIFY(m_temperature->isVisible());
    const QImage drawn = m_temperature->chartView()->grab().toImage();
    const QPoint last = m_temperature->chartView()
                            ->plotGeometry()
                            .pixel(records - 1, temperatures.last())
                            .toPoint();
    int red = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            red += drawn.pixelColor(last + QPoint(dx, dy)) == QColor(255, 0, 0) ? 1 : 0;
    QVERIFY(red > 0);
    m_temperature->close();
}

void CurveFormTest::calibrationAndStatistics_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("tempOffset");
    QTest::addColumn<QString>("humOffset");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("row0"); // columns 0..4
    QTest::addColumn<QStringList>("row1");
    QTest::addColumn<QStringList>("statistics"); // Tmaxl TMinl TAvl HMaxl HMinl havl

    const QByteArray twoRows = "5/3;14:7;20.0;50.0\r\n5/3;14:22;21.0;51.0\r\n";
    // The first row is calibrated like the others, so the minimum is 20,5, not the raw 20.
    QTest::newRow("offsets, French")
        << "fr_FR"
        << "0,5"
        << "-1,0" << twoRows << QStringList{"1", "5/3", "14:7", "20,5", "49"}
        << QStringList{"2", "5/3", "14:22", "21,5", "50"}
        << QStringList{"21,5°C", "20,5°C", "21,00°C", "50%", "49%", "49,50%"};
    QTest::newRow("offsets, English")
        << "en_US"
        << "0.5"
        << "-1" << twoRows << QStringList{"1", "5/3", "14:7", "20.5", "49"}
        << QStringList{"2", "5/3", "14:22", "21.5", "50"}
        << QStringList{"21.5°C", "20.5°C", "21.00°C", "50%", "49%", "49.50%"};
    QTest::newRow("mean of 20 21 22")
        << "fr_FR"
        << "0,0"
        << "0,0" << QByteArray("1/1;0:0;20.0;50.0\r\n1/1;0:15;21.0;50.0\r\n1/1;0:30;22.0;50.0\r\n")
        << QStringList{"1", "1/1", "0:0", "20", "50"} << QStringList{"2", "1/1", "0:15", "21", "50"}
        << QStringList{"22°C", "20°C", "21,00°C", "50%", "50%", "50,00%"};
    QTest::newRow("offset as typed with %")
        << "fr_FR"
        << "1 %"
        << "abc" << twoRows << QStringList{"1", "5/3", "14:7", "21", "50"}
        << QStringList{"2", "5/3", "14:22", "22", "51"}
        << QStringList{"22°C", "21°C", "21,50°C", "51%", "50%", "50,50%"};
    QTest::newRow("negative and hundredths")
        << "fr_FR"
        << "0"
        << "0" << QByteArray("5/3;14:7;-5.25;61.0\r\n5/3;14:22;-4.5;60.9\r\n")
        << QStringList{"1", "5/3", "14:7", "-5,25", "61"}
        << QStringList{"2", "5/3", "14:22", "-4,5", "60,9"}
        << QStringList{"-4,5°C", "-5,25°C", "-4,88°C", "61%", "60,9%", "60,95%"};
}

void CurveFormTest::calibrationAndStatistics()
{
    QFETCH(QString, locale);
    QFETCH(QString, tempOffset);
    QFETCH(QString, humOffset);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, row0);
    QFETCH(QStringList, row1);
    QFETCH(QStringList, statistics);
    QLocale::setDefault(QLocale(locale));
    m_offsets = {tempOffset, humOffset};

    QVERIFY(showWith(file));
    QVERIFY(m_dialogs->boxes.isEmpty());
    for (int column = 0; column < 5; ++column) {
        QCOMPARE(m_view->recordTable().cell(column, 0), row0[column]);
        QCOMPARE(m_view->recordTable().cell(column, 1), row1[column]);
    }
    const QStringList shown{label("Tmaxl"), label("TMinl"), label("TAvl"),
                            label("HMaxl"), label("HMinl"), label("havl")};
    QCOMPARE(shown, statistics);
    // The record file itself is never calibrated.
    QCOMPARE(ReadAll(RecordFileName), file);
}

void CurveFormTest::alarmAgainstTheHighThreshold_data()
{
    QTest::addColumn<QString>("threshold");
    QTest::addColumn<QByteArray>("maximum"); // the temperature text of the hottest record
    QTest::addColumn<bool>("alarm");
    QTest::newRow("equal") << "30" << QByteArray("30.0") << false;
    QTest::newRow("0.1 above") << "30" << QByteArray("30.1") << true;
    QTest::newRow("below") << "30" << QByteArray("29.9") << false;
    QTest::newRow("decimal threshold, above") << "30,5" << QByteArray("30.6") << true;
    QTest::newRow("decimal threshold, equal") << "30.5" << QByteArray("30.5") << false;
    QTest::newRow("spaces and sign") << "  +29" << QByteArray("29.5") << true;
}

void CurveFormTest::alarmAgainstTheHighThreshold()
{
    QFETCH(QString, threshold);
    QFETCH(QByteArray, maximum);
    QFETCH(bool, alarm);
    m_thresholds.tempHigh = threshold;
    QVERIFY(showWith("1/1;0:0;20.0;50.0\r\n1/1;0:15;" + maximum + ";50.0\r\n"));
    QVERIFY2(m_dialogs->boxes.isEmpty(), qPrintable(m_dialogs->texts().join('|')));
    QCOMPARE(m_view->findChild<QLabel*>("alarmlabel")->isVisible(), alarm);
}

void CurveFormTest::thresholdThatIsNoNumberIsReportedAfterTheStatistics()
{
    QVERIFY(showWith("1/1;0:0;35.0;50.0\r\n1/1;0:15;20.0;50.0\r\n"));
    QVERIFY(m_view->findChild<QLabel*>("alarmlabel")->isVisible());

    m_thresholds.tempHigh = QStringLiteral("trente");
    QVERIFY(showWith("1/1;0:0;20.0;50.0\r\n1/1;0:15;21.0;50.0\r\n"));
    QCOMPARE(m_dialogs->texts(), QStringList{"'trente' is not a valid integer value."});
    QCOMPARE(m_dialogs->boxes[0].kind, MsgKind::Error);
    QCOMPARE(label("Tmaxl"), QStringLiteral("21°C"));               // shown before the error
    QVERIFY(m_view->findChild<QLabel*>("alarmlabel")->isVisible()); // as it was
}

void CurveFormTest::chartsReceiveOnePointPerRowReplacingEarlierOnes()
{
    m_offsets = {QStringLiteral("0,5"), QStringLiteral("-1")};
    m_thresholds = {"30", "20,5", "85", "60"};
    const QByteArray file = "5/3;14:7;20.0;50.0\r\n6/3;14:22;21.0;51.0\r\n7/3;0:0;22.0;52.5\r\n";
    QVERIFY(showWith(file));
    QVERIFY(showWith(file)); // a second showing replaces the points

    const ChartSeries& temperature = m_temperature->curve();
    const ChartSeries& humidity = m_humidity->curve();
    QCOMPARE(temperature.count(), 3);
    QCOMPARE(humidity.count(), 3);
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(temperature.x(r), double(r));
        QCOMPARE(temperature.y(r), 20.5 + r);
        QCOMPARE(humidity.y(r), r == 2 ? 51.5 : 49.0 + r);
        QCOMPARE(temperature.pointColour(r), QColor(255, 0, 0));
        QCOMPARE(humidity.pointColour(r), QColor(0, 128, 0));
    }
    QCOMPARE(temperature.label(0), QStringLiteral("1  5/3"));
    QCOMPARE(humidity.label(2), QStringLiteral("3  7/3"));
    const struct {
        const ChartSeries& series;
        double y;
    } thresholds[] = {{m_temperature->highThreshold(), 30},
                      {m_temperature->lowThreshold(), 20.5},
                      {m_humidity->highThreshold(), 85},
                      {m_humidity->lowThreshold(), 60}};
    for (const auto& t : thresholds) {
        QCOMPARE(t.series.count(), 3);
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(t.series.y(r), t.y);
            QCOMPARE(t.series.pointColour(r), t.series.colour()); // the series' own colour
            QCOMPARE(t.series.label(r), QString());
        }
    }
}

void CurveFormTest::rangeCouplingAndReportAnswers_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end"); // -1: as the coupling sets it
    QTest::addColumn<QString>("message");
    QTest::newRow("coupled: 7 to 47") << 7 << -1 << QString();
    QTest::newRow("48 is too far") << 7 << 48 << "Nombre d enregistrement > 40";
    QTest::newRow("equal") << 7 << 7 << "Nombre d enregistrement < 1";
    QTest::newRow("end below start") << 7 << 3 << "Nombre d enregistrement < 1";
    QTest::newRow("one apart") << 7 << 8 << QString();
}

void CurveFormTest::rangeCouplingAndReportAnswers()
{
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QString, message);
    spin("startpdf")->setValue(start);
    QCOMPARE(spin("endpdf")->value(), start + 40);
    if (end >= 0)
        spin("endpdf")->setValue(end);
    click("Button1");

    // The request is audited first, with the two range texts, also when refused.
    const QList<AuditRecord> entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].action, QByteArray("pdf report "));
    QCOMPARE(entries[0].userId, 7);
    QCOMPARE(entries[0].details, AuditDetails::PdfReport(QString::number(start),
                                                         QString::number(spin("endpdf")->value()))
                                     .toLatin1());
    if (message.isEmpty()) {
        QVERIFY(m_dialogs->boxes.isEmpty());
        QCOMPARE(m_reportsShown, 1);
    } else {
        QCOMPARE(m_dialogs->texts(), QStringList{message});
        QCOMPARE(m_dialogs->boxes[0].kind, MsgKind::Plain);
        QCOMPARE(m_reportsShown, 0);
    }
    QCOMPARE(m_view->reportStart(), start);
}

void CurveFormTest::csvExportWritesTwoFilesAfterItsAuditEntry()
{
    const QByteArray file = "5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n";
    m_offsets = {QStringLiteral("1"), QStringLiteral("1")};
    QVERIFY(showWith(file));
    m_dialogs->saveAnswers.enqueue(FileSaveAnswer{QDir::current().filePath("data.csv"), 1});
    bool auditedFirst = false;
    m_dialogs->onBox = nullptr;
    click("SpeedButton1");
    auditedFirst = ReadAuditEntries().size() == 1;
    QVERIFY(m_dialogs->boxes.isEmpty());
    QCOMPARE(m_dialogs->saveRequests.size(), 1);
    QCOMPARE(m_dialogs->saveRequests[0].filters, QStringList{"Excel CSV File (*.csv)"});
    QCOMPARE(m_dialogs->saveRequests[0].defaultSuffix, QStringLiteral("*.csv"));
    // Raw record lines, no offsets, no row numbers, no heading.
    QCOMPARE(ReadAll("data.csv"), file);
    QCOMPARE(ReadAll("data.csv.CSV"), file);
    QVERIFY(auditedFirst);
    const AuditRecord entry = ReadAuditEntries().constFirst();
    QCOMPARE(entry.action, QByteArray("SAVE CSV FILE "));
    QCOMPARE(entry.details, QByteArray("save csv"));

    // A copy that cannot be written is reported, not passed over.
    m_dialogs->saveAnswers.enqueue(FileSaveAnswer{QDir::current().filePath("absent/x.csv"), 1});
    click("SpeedButton1");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QVERIFY2(
        m_dialogs->boxes[0].text.startsWith(QStringLiteral("Cannot create file \"%1\"")
                                                .arg(QDir::current().filePath("absent/x.csv"))),
        qPrintable(m_dialogs->boxes[0].text));
}

void CurveFormTest::csvExportCancelledOrWithoutFile()
{
    WriteAll(RecordFileName, "5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n");
    click("SpeedButton1"); // the dialog is cancelled
    QCOMPARE(m_dialogs->saveRequests.size(), 1);
    QCOMPARE(QDir::current().entryList({"*.csv", "*.CSV"}, QDir::Files), QStringList());
    QCOMPARE(ReadAuditEntries().size(), 1);

    QFile::remove(RecordFileName);
    click("SpeedButton1");
    QCOMPARE(ReadAuditEntries().size(), 2); // audited before the file was looked at
    QCOMPARE(m_dialogs->saveRequests.size(), 1);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QVERIFY(m_dialogs->boxes[0].text.startsWith(
        QStringLiteral("Cannot open file \"%1\"")
            .arg(QDir::current().absoluteFilePath(RecordFileName))));
}

void CurveFormTest::clearingAsksThenEmptiesTheTableAndDeletesTheFile()
{
    QVERIFY(showWith("5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n"));
    const QString maximum = label("Tmaxl");

    m_dialogs->answers.enqueue(MsgButton::No);
    click("Button2");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].kind, MsgKind::Warning);
    QCOMPARE(m_dialogs->boxes[0].text,
             QStringLiteral("Effacer définitivement les enregistrements affichés ?"));
    QCOMPARE(m_dialogs->boxes[0].buttons, (QList<MsgButton>{MsgButton::Yes, MsgButton::No}));
    QVERIFY(QFile::exists(RecordFileName));
    QCOMPARE(m_view->recordTable().cell(3, 0), QStringLiteral("23,5"));

    m_dialogs->answers.enqueue(MsgButton::Yes);
    click("Button2");
    QVERIFY(!QFile::exists(RecordFileName));
    QCOMPARE(m_view->recordTable().rowCount(), 2);
    for (int column = 0; column < 5; ++column)
        QCOMPARE(m_view->recordTable().cell(column, 1), QString());
    QCOMPARE(label("Tmaxl"), maximum); // the statistics stay
    QCOMPARE(ReadAuditEntries().size(), 0);

    // The next showing reports the missing file.
    m_dialogs->clear();
    m_view->hide();
    QVERIFY(showAndLeaveDownload());
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QVERIFY(m_dialogs->boxes[0].text.startsWith(QStringLiteral("Cannot open file")));
}

void CurveFormTest::chartButtonsAndPreviewsShowTheWindows()
{
    QVERIFY(showWith("5/3;14:7;23.5;61.0\r\n5/3;14:22;23.6;60.9\r\n"));
    click("BitBtn1");
    QVERIFY(m_temperature->isVisible());
    QVERIFY(!m_humidity->isVisible());
    click("BitBtn2");
    QVERIFY(m_humidity->isVisible());
    m_temperature->close();
    m_humidity->close();
    auto* preview = m_view->findChild<QWidget*>("humiditypreview");
    QVERIFY(preview && preview->isVisible());
    QTest::mouseClick(preview, Qt::LeftButton);
    QVERIFY(m_humidity->isVisible());
    m_humidity->close();
}

void CurveFormTest::zoomedRowsBecomeTheReportRange()
{
    QByteArray file;
    for (int r = 0; r < 200; ++r)
        file += QByteArray::number(1 + r / 96) + "/3;" + QByteArray::number(r % 24) +
                ":0;21.0;50.0\r\n";
    QVERIFY(showWith(file));
    auto* button = m_view->findChild<QPushButton*>("rangebutton");
    QVERIFY(!button->isEnabled());
    ChartView* chart = m_temperature->chartView();
    chart->chart().setVisibleXRange({10.5, 40.2});
    emit chart->visibleRangeChanged(10.5, 40.2);
    QVERIFY(button->isEnabled());
    button->click();
    QCOMPARE(spin("startpdf")->value(), 11);
    QCOMPARE(spin("endpdf")->value(), 40);
}

void CurveFormTest::coldChainSummary()
{
    m_thresholds = {"25", "20", "85", "60"};
    // Every 15 minutes: two records above 25 °C, one below 20 °C.
    QVERIFY(showWith("1/1;0:0;21.0;50.0\r\n1/1;0:15;26.0;50.0\r\n1/1;0:30;27.0;50.0\r\n"
                     "1/1;0:45;19.0;50.0\r\n1/1;1:0;22.0;50.0\r\n"));
    const QString text = label("coldchainlabel");
    QVERIFY2(text.contains(QStringLiteral("Au-dessus de 25 °C : 2 enregistrements, 30\u00A0min")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Au-dessous de 20 °C : 1 enregistrement, 15\u00A0min")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Température cinétique moyenne : 23,")),
             qPrintable(text));
}

void CurveFormTest::fileOfOtherLinesIsShownWithAWarning()
{
    QVERIFY(showWith("a;b;c;d\r\n1/1;0:0;20.0;50.0\r\nx;y;z;w\r\n"));
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].kind, MsgKind::Warning);
    QCOMPARE(m_dialogs->boxes[0].text,
             QStringLiteral("Attention : 2 lignes sur 3 du fichier quivel.c00 ne sont pas des "
                            "enregistrements ; ce fichier n'a sans doute pas été écrit par un "
                            "téléchargement."));
    QCOMPARE(m_view->recordTable().rowCount(), 3);
    QCOMPARE(m_view->recordTable().cell(1, 1), QStringLiteral("1/1"));
}

QTEST_MAIN(CurveFormTest)
#include "tst_curve_form.moc"
