// cal.cfg, the calibration dialog and the alarm dialog, driven as a user would.
#include "common/errors.h"
#include "settings/alarm_form.h"
#include "settings/calibration_file.h"
#include "settings/calibration_form.h"
#include "support/scripted_services.h"
#include "support/test_files.h"
#include "users/audit_log.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace
{

QString CalPath()
{
    return QDir::current().absoluteFilePath(QStringLiteral("cal.cfg"));
}

} // namespace

class CalibrationTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void saveWritesTwoCrLfLines_data();
    void saveWritesTwoCrLfLines();
    void loadReadsTheFirstTwoLines_data();
    void loadReadsTheFirstTwoLines();
    void missingFileRaisesAndKeepsZeros();
    void oversizedFileIsRefusedAndKeepsTheLines();
    void failedSaveStillHoldsTheNewLines();

    void showingPutsTheStoredOffsetsBack();
    void firstStartWithoutFileShowsZeros();
    void validerSavesThenAuditsThenAsksForTheClockDialog();
    void validerRewritesAnLfFileWithCrLf();
    void validerThatCannotCreateTheFileStopsBeforeTheAudit();
    void validerWhoseAuditFailsStaysOpen();
    void closeBoxLeavesTypedTextInForceUntilNextShowing();

    void alarmInitialThresholds();
    void alarmValiderRecordsTheFourTexts();
    void alarmTypedThresholdIsInForceWithoutValider();
    void alarmValiderWhoseAuditFailsStaysOpen();

private:
    struct CalibrationFixture {
        CalibrationStore store;
        Tcalibrationform form;
        QLineEdit* temp() { return form.findChild<QLineEdit*>("TempOffsetEdit"); }
        QLineEdit* hum() { return form.findChild<QLineEdit*>("HumOffsetEdit"); }
        QPushButton* valider() { return form.findChild<QPushButton*>("BitBtn1"); }
        CalibrationFixture() { form.setCalibrationStore(&store); }
    };

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock;
};

void CalibrationTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    Services::setDialogs(&m_dialogs);
    Services::setClock(&m_clock);
    SetCurrentUserId(3);
    OpenAuditLog();
    m_dialogs.clear();
}

void CalibrationTest::cleanup()
{
    ResetAuditLog();
    Services::setDialogs(nullptr);
    Services::setClock(nullptr);
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void CalibrationTest::saveWritesTwoCrLfLines_data()
{
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("0,5 and -1: nine bytes") << "0,5"
                                            << "-1" << QByteArray("0,5\r\n-1\r\n");
    QTest::newRow("kept as typed") << " 1.25 "
                                   << "abc" << QByteArray(" 1.25 \r\nabc\r\n");
    QTest::newRow("empty offsets give empty lines") << ""
                                                    << "" << QByteArray("\r\n\r\n");
    QTest::newRow("Windows-1252") << "1°"
                                  << "é" << QByteArray("1\xb0\r\n\xe9\r\n");
}

void CalibrationTest::saveWritesTwoCrLfLines()
{
    QFETCH(QString, temperature);
    QFETCH(QString, humidity);
    QFETCH(QByteArray, bytes);

    WriteAll("cal.cfg", "old line 1\r\nold line 2\r\nold line 3\r\n");
    CalibrationStore store;
    store.SaveCalibrationFile({temperature, humidity});
    QCOMPARE(ReadAll("cal.cfg"), bytes);
    QCOMPARE(store.offsetLines().temperature, temperature);
    QCOMPARE(store.offsetLines().humidity, humidity);

    CalibrationStore reread;
    reread.LoadCalibrationFile();
    QCOMPARE(reread.offsetLines().temperature, temperature);
    QCOMPARE(reread.offsetLines().humidity, humidity);
}

void CalibrationTest::loadReadsTheFirstTwoLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("temperature");
    QTest::addColumn<QString>("humidity");

    QTest::newRow("CR LF") << QByteArray("0,5\r\n-1\r\n") << "0,5"
                           << "-1";
    QTest::newRow("LF") << QByteArray("0,5\n-1\n") << "0,5"
                        << "-1";
    QTest::newRow("CR") << QByteArray("0,5\r-1\r") << "0,5"
                        << "-1";
    QTest::newRow("no final break") << QByteArray("0,5\r\n-1") << "0,5"
                                    << "-1";
    QTest::newRow("single line") << QByteArray("1,2\r\n") << "1,2"
                                 << "";
    QTest::newRow("further lines ignored") << QByteArray("1\n2\n3\n") << "1"
                                           << "2";
    QTest::newRow("empty first line") << QByteArray("\r\n2\r\n") << ""
                                      << "2";
    QTest::newRow("empty file") << QByteArray() << ""
                                << "";
    QTest::newRow("Windows-1252") << QByteArray("\xe9\r\n1\r\n") << "é"
                                  << "1";
}

void CalibrationTest::loadReadsTheFirstTwoLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, temperature);
    QFETCH(QString, humidity);

    WriteAll("cal.cfg", file);
    CalibrationStore store;
    store.LoadCalibrationFile();
    QCOMPARE(store.offsetLines().temperature, temperature);
    QCOMPARE(store.offsetLines().humidity, humidity);
}

void CalibrationTest::missingFileRaisesAndKeepsZeros()
{
    CalibrationStore store;
    try {
        store.LoadCalibrationFile();
        QFAIL("no error raised");
    } catch (const EFOpenError& e) {
        const QString start = QStringLiteral("Cannot open file \"%1\". ").arg(CalPath());
        QVERIFY2(e.message().startsWith(start), qPrintable(e.message()));
        QVERIFY(e.message().size() > start.size()); // the system's reason follows
    }
    QCOMPARE(store.offsetLines().temperature, QStringLiteral("0"));
    QCOMPARE(store.offsetLines().humidity, QStringLiteral("0"));
    QVERIFY(!QFile::exists("cal.cfg")); // nothing created until the first save
}

void CalibrationTest::oversizedFileIsRefusedAndKeepsTheLines()
{
    // Line breaks after the two lines: up to 64 KiB the file is read, past it refused unread.
    WriteAll("cal.cfg", "0,5\r\n-1\r\n" + QByteArray(MaxCalibrationFileBytes - 9, '\n'));
    CalibrationStore store;
    store.LoadCalibrationFile();
    QCOMPARE(store.offsetLines().temperature, QStringLiteral("0,5"));

    WriteAll("cal.cfg", "2\r\n3\r\n" + QByteArray(MaxCalibrationFileBytes, '\n'));
    try {
        store.LoadCalibrationFile();
        QFAIL("no error raised");
    } catch (const EFOpenError& e) {
        QCOMPARE(e.message(), QStringLiteral("Le fichier \"%1\" dépasse la taille admise de 64 Kio "
                                             ": il n'a pas été lu.")
                                  .arg(CalPath()));
    }
    QCOMPARE(store.offsetLines().temperature, QStringLiteral("0,5"));
    QCOMPARE(store.offsetLines().humidity, QStringLiteral("-1"));
}

void CalibrationTest::failedSaveStillHoldsTheNewLines()
{
    // A folder in the way: the file cannot be created.
    QVERIFY(QDir().mkdir("cal.cfg"));
    CalibrationStore store;
    QVERIFY_THROWS_EXCEPTION(EFCreateError, store.SaveCalibrationFile({"1,5", "2"}));
    QCOMPARE(store.offsetLines().temperature, QStringLiteral("1,5"));
    QCOMPARE(store.offsetLines().humidity, QStringLiteral("2"));
}

void CalibrationTest::showingPutsTheStoredOffsetsBack()
{
    WriteAll("cal.cfg", "0,5\r\n-1\r\n");
    CalibrationFixture f;
    QCOMPARE(f.temp()->text(), QStringLiteral("0,0")); // the dialog's own text before loading
    f.store.LoadCalibrationFile();
    f.form.ApplyOffsetLines(); // as the main window does after the connection dialog
    QCOMPARE(f.form.CalibrationOffsetsInForce().temperature, QStringLiteral("0,5"));
    QCOMPARE(f.form.CalibrationOffsetsInForce().humidity, QStringLiteral("-1"));

    f.temp()->setText("9,9");
    f.form.open();
    QCOMPARE(f.temp()->text(), QStringLiteral("0,5"));
    QCOMPARE(f.hum()->text(), QStringLiteral("-1"));
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void CalibrationTest::firstStartWithoutFileShowsZeros()
{
    CalibrationFixture f;
    QVERIFY_THROWS_EXCEPTION(EFOpenError, f.store.LoadCalibrationFile());
    f.form.ApplyOffsetLines();
    QCOMPARE(f.temp()->text(), QStringLiteral("0"));
    QCOMPARE(f.hum()->text(), QStringLiteral("0"));
}

void CalibrationTest::validerSavesThenAuditsThenAsksForTheClockDialog()
{
    CalibrationFixture f;
    f.form.open();
    f.temp()->setText("0,5");
    f.hum()->setText("-1");

    // What is already done when the clock dialog is asked for.
    QByteArray fileAtRequest;
    QList<AuditRecord> auditAtRequest;
    bool openAtRequest = false;
    connect(&f.form, &Tcalibrationform::clockDialogRequested, this, [&] {
        fileAtRequest = ReadAll("cal.cfg");
        auditAtRequest = ReadAuditEntries();
        openAtRequest = f.form.isVisible();
    });
    QSignalSpy requests(&f.form, &Tcalibrationform::clockDialogRequested);

    f.valider()->click();

    QCOMPARE(requests.count(), 1);
    QCOMPARE(fileAtRequest, QByteArray("0,5\r\n-1\r\n"));
    QCOMPARE(auditAtRequest.size(), 1);
    QCOMPARE(auditAtRequest[0].userId, 3);
    QCOMPARE(auditAtRequest[0].action, QByteArray("calibration modfication "));
    QCOMPARE(auditAtRequest[0].details, QByteArray("offset t0,5offset h-1"));
    QVERIFY(openAtRequest);
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.form.result(), int(QDialog::Accepted));
    QCOMPARE(f.store.offsetLines().temperature, QStringLiteral("0,5"));
    QCOMPARE(f.store.offsetLines().humidity, QStringLiteral("-1"));
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void CalibrationTest::validerRewritesAnLfFileWithCrLf()
{
    WriteAll("cal.cfg", "1.25\n");
    CalibrationFixture f;
    f.store.LoadCalibrationFile();
    f.form.open();
    QCOMPARE(f.temp()->text(), QStringLiteral("1.25"));
    QCOMPARE(f.hum()->text(), QString());
    f.valider()->click();
    QCOMPARE(ReadAll("cal.cfg"), QByteArray("1.25\r\n\r\n"));
    QCOMPARE(ReadAuditEntries().value(0).details, QByteArray("offset t1.25offset h"));
}

void CalibrationTest::validerThatCannotCreateTheFileStopsBeforeTheAudit()
{
    QVERIFY(QDir().mkdir("cal.cfg"));
    CalibrationFixture f;
    QSignalSpy requests(&f.form, &Tcalibrationform::clockDialogRequested);
    f.form.open();
    f.temp()->setText("2");
    f.hum()->setText("3");
    f.valider()->click();

    QCOMPARE(m_dialogs.boxes.size(), 1);
    const ShownBox& box = m_dialogs.boxes[0];
    QCOMPARE(box.kind, MsgKind::Error);
    QCOMPARE(box.title, QStringLiteral("QUIVEL CONFIG"));
    QVERIFY2(box.text.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(CalPath())),
             qPrintable(box.text));
    QVERIFY(ReadAuditEntries().isEmpty());
    QCOMPARE(requests.count(), 0);
    QVERIFY(f.form.isVisible());
    QCOMPARE(f.store.offsetLines().temperature, QStringLiteral("2"));
    QCOMPARE(f.store.offsetLines().humidity, QStringLiteral("3"));
}

void CalibrationTest::validerWhoseAuditFailsStaysOpen()
{
    ResetAuditLog(); // no audit file open: every append fails with I/O error 103
    CalibrationFixture f;
    QSignalSpy requests(&f.form, &Tcalibrationform::clockDialogRequested);
    f.form.open();
    f.temp()->setText("0,5");
    f.valider()->click();

    QCOMPARE(m_dialogs.texts(), QStringList{"I/O error 103."});
    QCOMPARE(ReadAll("cal.cfg"), QByteArray("0,5\r\n0\r\n"));
    QCOMPARE(requests.count(), 0);
    QVERIFY(f.form.isVisible());
}

void CalibrationTest::closeBoxLeavesTypedTextInForceUntilNextShowing()
{
    CalibrationFixture f;
    f.form.open();
    f.temp()->setText("4,5");
    QVERIFY(f.form.close());
    QCOMPARE(f.form.CalibrationOffsetsInForce().temperature, QStringLiteral("4,5"));
    QVERIFY(!QFile::exists("cal.cfg"));
    QVERIFY(ReadAuditEntries().isEmpty());

    f.form.open();
    QCOMPARE(f.form.CalibrationOffsetsInForce().temperature, QStringLiteral("0"));
}

void CalibrationTest::alarmInitialThresholds()
{
    Talarmconfigform form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Configuration des alarmes"));
    const TAlarmThresholds t = form.AlarmThresholdsInForce();
    QCOMPARE(t.tempHigh, QStringLiteral("30"));
    QCOMPARE(t.tempLow, QStringLiteral("20"));
    QCOMPARE(t.humHigh, QStringLiteral("85"));
    QCOMPARE(t.humLow, QStringLiteral("60"));
}

void CalibrationTest::alarmValiderRecordsTheFourTexts()
{
    Talarmconfigform form;
    form.open();
    QPushButton* valider = form.findChild<QPushButton*>("Button1");
    QCOMPARE(valider->text(), QStringLiteral("&Valider"));
    valider->click();

    QList<AuditRecord> entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].action, QByteArray("alarm modfication "));
    QCOMPARE(entries[0].details, QByteArray("TL30TL20 HH85 HL60"));
    QVERIFY(!form.isVisible());

    form.open();
    form.findChild<QLineEdit*>("talarmhedit")->setText("31,5");
    form.findChild<QLineEdit*>("halarmledit")->setText("");
    valider->click();
    entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[1].details, QByteArray("TL31,5TL20 HH85 HL"));
    // The fields keep their texts across showings.
    form.open();
    QCOMPARE(form.AlarmThresholdsInForce().tempHigh, QStringLiteral("31,5"));
}

void CalibrationTest::alarmTypedThresholdIsInForceWithoutValider()
{
    Talarmconfigform form;
    form.open();
    form.findChild<QLineEdit*>("talarmledit")->setText("abc");
    QVERIFY(form.close());
    QCOMPARE(form.AlarmThresholdsInForce().tempLow, QStringLiteral("abc"));
    QVERIFY(ReadAuditEntries().isEmpty());
}

void CalibrationTest::alarmValiderWhoseAuditFailsStaysOpen()
{
    ResetAuditLog();
    Talarmconfigform form;
    form.open();
    form.findChild<QPushButton*>("Button1")->click();
    QCOMPARE(m_dialogs.texts(), QStringList{"I/O error 103."});
    QVERIFY(form.isVisible());
}

QTEST_MAIN(CalibrationTest)
#include "tst_calibration.moc"
