// The acceptance test: a user's whole day through the real program's windows, against the
// simulated logger at the real line's pace. First run and first account, sign-in, connection,
// calibration and clock transfer, alarm thresholds, a download of 200 records in the curve
// view, both charts saved as PNG, the CSV export, the report of rows 10 to 50 saved as PDF,
// and the audit trail of it all. At each step it checks what the user sees and the files.
#include "analysis/chart/chart_series.h"
#include "analysis/chart_view.h"
#include "analysis/chart_windows.h"
#include "analysis/curve_form.h"
#include "app/application_windows.h"
#include "app/main_form.h"
#include "common/string_grid.h"
#include "device/connect_form.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "reports/report_form.h"
#include "settings/calibration_form.h"
#include "settings/serial_number_form.h"
#include "settings/time_config_form.h"
#include "support/audit_file.h"
#include "support/test_files.h"
#include "support/user_journey.h"
#include "support/window_driving.h"
#include "users/audit_form.h"
#include "users/audit_log.h"
#include "users/login_form.h"
#include "users/user_store.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>
#include <climits>

namespace
{

const QString Question =
    QStringLiteral("Etes vous sure de vouloire modifier les paramètres du DATALOGGER ");
const QString Completion = QStringLiteral(" configurations Términer avec succee");
const QString SerialNumber = QStringLiteral("101/102/103/104/");
const QList<int> FrameBytes = {99, 11, 5, 9, 12, 234, 0, 15, 5, 0, 244, 1, 101, 102, 103, 104, 0};
constexpr int PeriodMinutes = 15;

// One line of quivel.c00, its values in tenths as the logger sent them.
struct RecordRow {
    QString date; // day/month
    QString time; // hour:minute
    int temperature = 0;
    int humidity = 0;
};

// "21.4" in tenths; the record file always writes one decimal digit after a point.
bool ReadTenths(const QString& text, int* tenths)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    bool wholeOk = false;
    bool digitOk = false;
    if (parts.size() != 2 || parts[1].size() != 1)
        return false;
    const int whole = parts[0].toInt(&wholeOk);
    const int digit = parts[1].toInt(&digitOk);
    const bool negative = parts[0].startsWith(QLatin1Char('-'));
    *tenths = whole * 10 + (negative ? -digit : digit);
    return wholeOk && digitOk;
}

QList<RecordRow> ReadRecordFile(const QString& name)
{
    QList<RecordRow> rows;
    const QStringList lines = QString::fromLatin1(ReadAll(name)).split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char(';'));
        RecordRow row;
        if (fields.size() != 4 || !ReadTenths(fields[2], &row.temperature) ||
            !ReadTenths(fields[3], &row.humidity))
            return {};
        row.date = fields[0];
        row.time = fields[1];
        rows << row;
    }
    return rows;
}

// A value in tenths as the curve view writes it: no trailing zero, the regional separator.
QString TenthsText(int tenths, const QString& separator)
{
    QString text = tenths < 0 ? QStringLiteral("-") : QString();
    text += QString::number(qAbs(tenths) / 10);
    if (qAbs(tenths) % 10)
        text += separator + QString::number(qAbs(tenths) % 10);
    return text;
}

// A duration of the cold-chain summary.
QString DurationText(int minutes)
{
    if (minutes >= 1440)
        return QStringLiteral("%1\u00A0j\u00A0%2\u00A0h\u00A0%3\u00A0min")
            .arg(minutes / 1440)
            .arg(minutes % 1440 / 60)
            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    if (minutes >= 60)
        return QStringLiteral("%1\u00A0h\u00A0%2\u00A0min")
            .arg(minutes / 60)
            .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1\u00A0min").arg(minutes);
}

QString ExcursionText(const QString& side, const QString& threshold, int records)
{
    const QString head = QStringLiteral("%1 de %2 °C : ").arg(side, threshold);
    if (records == 0)
        return head + QStringLiteral("aucun enregistrement");
    return head + QStringLiteral("%1 enregistrement%2, %3")
                      .arg(records)
                      .arg(records > 1 ? QStringLiteral("s") : QString())
                      .arg(DurationText(records * PeriodMinutes));
}

QString Text(QWidget* window, const char* name)
{
    if (auto* label = window->findChild<QLabel*>(QString::fromLatin1(name)))
        return label->text();
    return Edit(window, name)->text();
}

// Pixels of exactly that colour.
int PixelsOf(const QImage& image, QRgb colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (line[x] & 0xFFFFFF) == (colour & 0xFFFFFF);
    }
    return count;
}

} // namespace

class JourneyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void aUsersDay_data();
    void aUsersDay();

private:
    // The steps inside the curve view, while it is open.
    void checkCurveView(UserJourney& journey);
    void saveCharts(UserJourney& journey);
    void exportCsv(UserJourney& journey);
    void reportAsPdf(UserJourney& journey);
    void checkAuditView(UserJourney& journey);

    // Per data row: the decimal separator and the short date of the regional settings.
    QString m_separator;
    QString m_date;
    QList<RecordRow> m_records;
};

void JourneyTest::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void JourneyTest::aUsersDay_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("date"); // 9 December 2026, short format

    QTest::newRow("French settings") << "fr_FR"
                                     << ","
                                     << "09/12/2026";
    QTest::newRow("English settings") << "en_US"
                                      << "."
                                      << "12/9/26";
}

void JourneyTest::aUsersDay()
{
    QFETCH(QString, locale);
    QFETCH(QString, separator);
    QFETCH(QString, date);
    QLocale::setDefault(QLocale(locale));
    m_separator = separator;
    m_date = date;
    QElapsedTimer took;
    took.start();

    UserJourney journey;
    QVERIFY2(journey.launch(), qPrintable(journey.failure()));
    ApplicationWindows& windows = journey.windows();
    ScriptedDialogs& dialogs = journey.dialogs();
    QVERIFY2(dialogs.boxes.isEmpty(), qPrintable(dialogs.texts().join('|')));

    // First run: the add-user dialog before the sign-in window; then the audit file is new.
    QVERIFY2(journey.createFirstAccount(), qPrintable(journey.failure()));
    QCOMPARE(dialogs.texts(), QStringList{"no actions data available"});
    const QList<UserRecord> accounts = SharedUserStore().readAll();
    QCOMPARE(accounts.size(), 1);
    QCOMPARE(accounts[0].id, 1);
    QCOMPARE(accounts[0].login, QByteArray("marie"));
    QCOMPARE(accounts[0].firstName, QByteArray("Marie"));
    QCOMPARE(accounts[0].level, 9);
    QVERIFY(!ReadAll(UserFileName).contains("Quivel-2026"));
    QVERIFY(windows.LoginForm()->isVisible());
    QVERIFY(!windows.Form1()->isVisible());

    // Sign-in, then the connection dialog, then the main window with the serial number.
    dialogs.clear();
    QVERIFY2(journey.signIn(), qPrintable(journey.failure()));
    QVERIFY2(dialogs.boxes.isEmpty(), qPrintable(dialogs.texts().join('|')));
    QCOMPARE(CurrentUserId(), 1);
    QVERIFY(!windows.LoginForm()->isVisible());
    QVERIFY(windows.Form1()->isMaximized());
    QCOMPARE(Text(windows.ConnectForm(), "statuslabel"), QStringLiteral("Numéro de série lus"));
    QCOMPARE(Text(windows.Form1(), "snlabel"), SerialNumber);
    QCOMPARE(Text(windows.Form1(), "comlabel"), journey.logger().portPath());
    const QStringList fields{
        Text(windows.serialnumber(), "Edit1"), Text(windows.serialnumber(), "Edit2"),
        Text(windows.serialnumber(), "Edit3"), Text(windows.serialnumber(), "Edit4")};
    QCOMPARE(fields, (QStringList{"101", "102", "103", "104"}));
    for (const char* name : {"Button1", "Button2", "Button3"})
        QVERIFY(Child<QWidget>(windows.Form1(), name)->isVisible()); // level 9

    // Calibration: saved in cal.cfg, and "VALIDER" opens the clock dialog with the clock.
    QVERIFY2(journey.calibrate(), qPrintable(journey.failure()));
    QCOMPARE(ReadAll("cal.cfg"), QByteArray("0,5\r\n-1,2\r\n"));
    QVERIFY(!windows.calibrationform()->isVisible());
    Ttimeconfigform* clock = windows.timeconfigform();
    QVERIFY(clock->isVisible());
    const QStringList clockFields{Text(clock, "dateeditday"),  Text(clock, "dateeditmonth"),
                                  Text(clock, "dateedityear"), Text(clock, "hoursedit"),
                                  Text(clock, "minutesedit"),  Text(clock, "freqminedit"),
                                  Text(clock, "freqsecedit")};
    QCOMPARE(clockFields, (QStringList{"9", "12", "2026", "11", "5", "0", "15"}));

    // The clock transfer: the question, the 17 bytes on the line, the completion message.
    QVERIFY2(journey.transferClock(), qPrintable(journey.failure()));
    QCOMPARE(dialogs.texts(), (QStringList{Question, Completion}));
    const QStringList frames = journey.logger().frameLogLines();
    QCOMPARE(frames.size(), 1);
    const QMap<QString, QString> frame = LoggerSimProcess::frameFields(frames[0]);
    QList<int> bytes;
    for (const QString& byte : frame.value("bytes").split(','))
        bytes << byte.toInt();
    QCOMPARE(bytes, FrameBytes);
    QCOMPARE(frame.value("toff"), QStringLiteral("5"));
    QCOMPARE(frame.value("hoff"), QStringLiteral("-12"));
    QCOMPARE(frame.value("serial"), QStringLiteral("101/102/103/104"));
    QCOMPARE(frame.value("restart"), QStringLiteral("0"));
    QVERIFY(!clock->isVisible());

    QVERIFY2(journey.setAlarms(), qPrintable(journey.failure()));

    // The curve view and what is done from it.
    dialogs.clear();
    QVERIFY2(journey.openCurveView([&] {
        checkCurveView(journey);
        if (!QTest::currentTestFailed())
            saveCharts(journey);
        if (!QTest::currentTestFailed())
            exportCsv(journey);
        if (!QTest::currentTestFailed())
            reportAsPdf(journey);
    }),
             qPrintable(journey.failure()));
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(dialogs.boxes.isEmpty(), qPrintable(dialogs.texts().join('|')));
    QVERIFY(!windows.curveform()->isVisible());

    // The audit trail of the day.
    QVERIFY2(journey.openAuditView([&] { checkAuditView(journey); }),
             qPrintable(journey.failure()));
    if (QTest::currentTestFailed())
        return;
    qInfo("The journey took %lld ms.", took.elapsed());
}

void JourneyTest::checkCurveView(UserJourney& journey)
{
    ApplicationWindows& windows = journey.windows();
    Tcurveform* view = windows.curveform();

    // The download: 200 records, one every 15 minutes from the logger's first, none twice.
    QVERIFY(!windows.LoadDataForm()->isVisible());
    m_records = ReadRecordFile(RecordFileName);
    QCOMPARE(m_records.size(), JourneyDay::Records);
    QVERIFY(!QFileInfo::exists(RecordFileName + QStringLiteral(".bak")));
    QDateTime expected(QDate(2026, 12, 1), QTime(8, 0));
    for (const RecordRow& row : m_records) {
        QCOMPARE(row.date,
                 QStringLiteral("%1/%2").arg(expected.date().day()).arg(expected.date().month()));
        QCOMPARE(row.time,
                 QStringLiteral("%1:%2").arg(expected.time().hour()).arg(expected.time().minute()));
        expected = expected.addSecs(PeriodMinutes * 60);
    }

    // The table as the user reads it: row numbers, and every value calibrated, the first
    // row included.
    const QAbstractItemModel* grid = Child<QTableView>(view, "StringGrid1")->model();
    QCOMPARE(grid->rowCount(), JourneyDay::Records);
    for (int r : {0, 10, 50, JourneyDay::Records - 1}) {
        const RecordRow& row = m_records[r];
        const QStringList shown{
            grid->index(r, 0).data().toString(), grid->index(r, 1).data().toString(),
            grid->index(r, 2).data().toString(), grid->index(r, 3).data().toString(),
            grid->index(r, 4).data().toString()};
        QCOMPARE(shown, (QStringList{QString::number(r + 1), row.date, row.time,
                                     TenthsText(row.temperature + 5, m_separator),
                                     TenthsText(row.humidity - 12, m_separator)}));
    }

    // Statistics and alarm, from the calibrated values.
    int tMax = INT_MIN, tMin = INT_MAX, hMax = INT_MIN, hMin = INT_MAX;
    qint64 tSum = 0, hSum = 0;
    int above = 0, below = 0;
    for (const RecordRow& row : m_records) {
        const int t = row.temperature + 5;
        const int h = row.humidity - 12;
        tMax = qMax(tMax, t);
        tMin = qMin(tMin, t);
        hMax = qMax(hMax, h);
        hMin = qMin(hMin, h);
        tSum += t;
        hSum += h;
        above += t > 240;
        below += t < 190;
    }
    QCOMPARE(Text(view, "Tmaxl"), TenthsText(tMax, m_separator) + QStringLiteral("°C"));
    QCOMPARE(Text(view, "TMinl"), TenthsText(tMin, m_separator) + QStringLiteral("°C"));
    QCOMPARE(Text(view, "HMaxl"), TenthsText(hMax, m_separator) + QStringLiteral("%"));
    QCOMPARE(Text(view, "HMinl"), TenthsText(hMin, m_separator) + QStringLiteral("%"));
    const auto mean = [&](const char* name, const QString& unit) {
        QString text = Text(view, name);
        if (!text.endsWith(unit))
            return -1.0;
        text.chop(unit.size());
        const QStringList parts = text.split(m_separator);
        if (parts.size() != 2 || parts[1].size() != 2)
            return -1.0;
        return parts[0].toInt() + parts[1].toInt() / 100.0;
    };
    const double records = JourneyDay::Records;
    QVERIFY2(qAbs(mean("TAvl", QStringLiteral("°C")) - tSum / records / 10) <= 0.0051,
             qPrintable(Text(view, "TAvl")));
    QVERIFY2(qAbs(mean("havl", QStringLiteral("%")) - hSum / records / 10) <= 0.0051,
             qPrintable(Text(view, "havl")));
    // The day's high threshold, 24, is crossed in the afternoons.
    QVERIFY(tMax > 240);
    QVERIFY(Child<QLabel>(view, "alarmlabel")->isVisible());
    QCOMPARE(Text(view, "alarmlabel"), QStringLiteral("ALARM HAUTE TEMPERATURE"));
    const QStringList coldChain = Text(view, "coldchainlabel").split('\n');
    QCOMPARE(coldChain.size(), 3);
    QVERIFY(above > 0);
    QCOMPARE(coldChain[0], ExcursionText(QStringLiteral("Au-dessus"), "24", above));
    QCOMPARE(coldChain[1], ExcursionText(QStringLiteral("Au-dessous"), "19", below));
    QVERIFY(coldChain[2].startsWith(QStringLiteral("Température cinétique moyenne : ")));

    // Both charts hold the calibrated curve and the thresholds the user set.
    const ChartSeries& temperature = windows.TempCurveForm()->curve();
    QCOMPARE(temperature.count(), JourneyDay::Records);
    QCOMPARE(temperature.y(10), (m_records[10].temperature + 5) / 10.0);
    QCOMPARE(windows.TempCurveForm()->highThreshold().y(0), 24.0);
    QCOMPARE(windows.TempCurveForm()->lowThreshold().y(0), 19.0);
    QCOMPARE(windows.HumCurveForm()->curve().count(), JourneyDay::Records);
    QCOMPARE(windows.HumCurveForm()->lowThreshold().y(0), 60.0);
}

void JourneyTest::saveCharts(UserJourney& journey)
{
    ApplicationWindows& windows = journey.windows();
    const struct {
        ChartWindow* window;
        QString name;
        QRgb curve;
    } charts[] = {{windows.TempCurveForm(), JourneyDay::TemperatureImage, qRgb(255, 0, 0)},
                  {windows.HumCurveForm(), JourneyDay::HumidityImage, qRgb(0, 128, 0)}};
    for (const auto& chart : charts) {
        QVERIFY2(journey.saveChart(chart.window, chart.name), qPrintable(journey.failure()));
        QVERIFY(journey.dialogs().pictureRequests.last().filters.contains("PNG (*.png)"));
        const QString file = chart.name + QStringLiteral(".png");
        QVERIFY2(ReadAll(file).startsWith("\x89PNG\r\n"), qPrintable(file));
        const QImage image(file);
        QCOMPARE(image.size(), chart.window->chartView()->size());
        // Opened maximised, not at the empty size of the chart's hint.
        QVERIFY2(image.width() >= 600 && image.height() >= 400,
                 qPrintable(QStringLiteral("%1x%2").arg(image.width()).arg(image.height())));
        // The curve in its points' colour, drawn over the whole of it, not only the legend.
        QVERIFY2(PixelsOf(image, chart.curve) > image.width() / 4,
                 qPrintable(QString::number(PixelsOf(image, chart.curve))));
        QVERIFY(!chart.window->isVisible());
    }
}

void JourneyTest::exportCsv(UserJourney& journey)
{
    journey.exportCsv(JourneyDay::CsvFile);
    // Two files, both the record lines as downloaded: not calibrated, no heading.
    const QByteArray downloaded = ReadAll(RecordFileName);
    QCOMPARE(ReadAll(JourneyDay::CsvFile), downloaded);
    QCOMPARE(ReadAll(JourneyDay::CsvFile + QStringLiteral(".CSV")), downloaded);
    QCOMPARE(downloaded.count("\r\n"), JourneyDay::Records);
}

void JourneyTest::reportAsPdf(UserJourney& journey)
{
    ApplicationWindows& windows = journey.windows();
    const int first = JourneyDay::ReportFirstRow;
    journey.requestReport(first);
    QCOMPARE(Child<QSpinBox>(windows.curveform(), "endpdf")->text(), QStringLiteral("50"));
    QVERIFY(windows.formpdf()->isVisible());

    journey.saveReportPdf(JourneyDay::ReportFile);
    QCOMPARE(journey.dialogs().previewRequests, 1);
    const QString file = JourneyDay::ReportFile + QStringLiteral(".pdf");
    QVERIFY(QFileInfo::exists(file));
    QString text;
    QVERIFY(RunCommand("pdftotext", {"-layout", file, "-"}, &text));
    QVERIFY2(text.contains(SerialNumber), qPrintable(text));
    QVERIFY2(text.contains(m_date), qPrintable(text));
    // Rows 10 to 50 as the table shows them, calibrated; not the rows either side.
    const auto line = [&](int r) {
        const RecordRow& row = m_records[r];
        const QStringList cells{row.date, row.time, TenthsText(row.temperature + 5, m_separator),
                                TenthsText(row.humidity - 12, m_separator)};
        QStringList escaped;
        for (const QString& cell : cells)
            escaped << QRegularExpression::escape(cell);
        return QRegularExpression(QStringLiteral("^\\s*%1\\s*$").arg(escaped.join("\\s+")),
                                  QRegularExpression::MultilineOption);
    };
    for (int r = first; r <= first + 40; ++r)
        QVERIFY2(line(r).match(text).hasMatch(), qPrintable(QString::number(r) + '\n' + text));
    QVERIFY(!line(first - 1).match(text).hasMatch());
    QVERIFY(!line(first + 41).match(text).hasMatch());
    QVERIFY(!windows.formpdf()->isVisible());
}

void JourneyTest::checkAuditView(UserJourney& journey)
{
    const QStringList day = {
        "0||User created |id:1 level:9 login:marie name:Marie Durand",
        "1|Marie|Sign in |login:marie",
        "1|Marie|calibration modfication |offset t0,5offset h-1,2",
        "1|Marie|Timing Modfication |periode H0perdiod min15 départ:suite horloge 09/12/2026 "
        "11:05 offset t0.5 offset h-1.2 sn 101/102/103/104",
        "1|Marie|alarm modfication |TL24TL19 HH85 HL60",
        "1|Marie|SAVE CSV FILE |save csv",
        "1|Marie|pdf report |start rec:10 end rec:50",
    };
    auto* grid = Child<StringGrid>(journey.windows().AuditForm(), "StringGrid1");
    QStringList shown;
    for (int row = 1; row <= day.size() + 1; ++row) {
        if (grid->cell(0, row).isEmpty())
            break;
        shown << QStringList{grid->cell(0, row), grid->cell(1, row), grid->cell(2, row),
                             grid->cell(3, row)}
                     .join('|');
        QVERIFY2(grid->cell(4, row).startsWith(m_date + ' '), qPrintable(grid->cell(4, row)));
    }
    QCOMPARE(shown, day);
    // The same entries in the file, read byte by byte.
    QStringList file;
    for (const QString& entry : day) {
        QStringList parts = entry.split('|');
        parts.removeAt(1);
        file << parts.join('|');
    }
    QCOMPARE(AuditLines(AuditFileName), file);
}

QTEST_MAIN(JourneyTest)
#include "tst_journey.moc"
