// The clock-configuration dialog and the serial-number dialog, driven as a user would.
#include "common/windows1252.h"
#include "device/com_port.h"
#include "settings/frame_transfer.h"
#include "settings/serial_number_form.h"
#include "settings/time_config_form.h"
#include "settings/up_down_control.h"
#include "support/scripted_services.h"
#include "users/audit_log.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace
{

using Bytes = QList<int>;

const QString Question =
    QStringLiteral("Etes vous sure de vouloire modifier les paramètres du DATALOGGER ");
const QString RestartWarning =
    QStringLiteral("ATTENTION !!!! Toutes les données dans votre DATALOGGER serons remise a zero ");

} // namespace

class TimeConfigFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void initialState();
    void clockFieldsOnShowing_data();
    void clockFieldsOnShowing();
    void clockIsReadOnlyWhenShown();
    void frameBytesFromTheDialogsFields();
    void periodControlsStopAtTheirLimits();
    void batteryWarningFollowsTheMinutesWhileHoursAreZero();
    void startFlagWarnsEachTimeItIsChecked();
    void answeringNoKeepsTheAuditEntryAndWritesNothing();
    void failedAuditAsksNothingAndWritesNothing();
    void auditEntryCarriesWhatTheFrameWouldSend_data();
    void auditEntryCarriesWhatTheFrameWouldSend();
    void closedPortStopsTheTransferWithOneError();
    void emptySerialFieldStopsTheTransferWithOneError();
    void modalShowingEndsOnEitherButton();
    void modelessShowingStaysOpenUntilTheCloseBox();
    void modalRequestWhileOpenModelesslyBringsItForward();
    void openedFromTheModalSerialNumberDialogTakesClicks();

    void serialNumberDialog();

private:
    struct Fixture {
        Ttimeconfigform form;
        Tserialnumber serial;
        TComPort port; // never opened
        TCalibrationOffsets offsets{"0", "0"};
        Fixture()
        {
            form.setComPort(&port);
            form.setOffsetsSource([this] { return offsets; });
            form.setSerialNumberSource([this] { return serial.SerialNumber(); });
        }
        template <class W> W* get(const char* name)
        {
            W* w = form.findChild<W*>(name);
            if (!w)
                qFatal("no control %s", name);
            return w;
        }
        QString text(const char* edit) { return get<QLineEdit>(edit)->text(); }
        void step(const char* upDown, const char* arrow, int times = 1)
        {
            QToolButton* button = get<UpDownControl>(upDown)->findChild<QToolButton*>(arrow);
            for (int i = 0; i < times; ++i)
                button->click();
        }
        bool warningShown() { return get<QLabel>("Label2")->isVisibleTo(&form); }
        QTimer* sendTimer() { return get<QTimer>("SendTimer"); }
        void enregistrer() { get<QPushButton>("BitBtn1")->click(); }
    };

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs m_dialogs;
    FixedClock m_clock;
};

void TimeConfigFormTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_clock = FixedClock();
    m_dialogs.onBox = nullptr;
    Services::setDialogs(&m_dialogs);
    Services::setClock(&m_clock);
    SetCurrentUserId(5);
    OpenAuditLog();
    m_dialogs.clear();
}

void TimeConfigFormTest::cleanup()
{
    ResetAuditLog();
    Services::setDialogs(nullptr);
    Services::setClock(nullptr);
    QDir::setCurrent(QDir::tempPath());
    m_dir.reset();
}

void TimeConfigFormTest::initialState()
{
    Fixture f;
    QCOMPARE(f.form.windowTitle(), QStringLiteral("timeconfigform"));
    QCOMPARE(f.get<QLabel>("Label1")->text(), QStringLiteral("CONFIGURATION HORLOGE"));
    QCOMPARE(f.get<QLabel>("Label3")->text(), QStringLiteral("Heure actuelle :             : "));
    QCOMPARE(f.get<QLabel>("Label4")->text(), QStringLiteral("Périodicité enregistrement "));
    QCOMPARE(f.get<QLabel>("Label2")->text(),
             QStringLiteral("Pour des intervalles < 15 minutes la pile sera rapidement épuisé"));
    QCOMPARE(f.text("freqminedit"), QStringLiteral("0"));
    QCOMPARE(f.text("freqsecedit"), QStringLiteral("15"));
    for (const char* name : {"dateeditday", "dateeditmonth", "dateedityear", "hoursedit",
                             "minutesedit", "freqminedit", "freqsecedit"})
        QVERIFY2(f.get<QLineEdit>(name)->isReadOnly(), name);
    QVERIFY(!f.warningShown());
    QProgressBar* bar = f.get<QProgressBar>("ProgressBar1");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 12);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(f.get<QCheckBox>("CheckBox1")->text(),
             QStringLiteral("Démarrer l'enregistrement de zéro"));
    QVERIFY(!f.get<QCheckBox>("CheckBox1")->isChecked());
    QCOMPARE(f.get<QPushButton>("BitBtn1")->text(), QStringLiteral("ENREGISTRER"));
    QCOMPARE(f.get<QPushButton>("BitBtn2")->text(), QStringLiteral("ANNULER"));
    QCOMPARE(f.sendTimer()->interval(), 50);
    QVERIFY(!f.sendTimer()->isActive());
}

void TimeConfigFormTest::clockFieldsOnShowing_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("fields"); // hour, minute, day, month, year

    QTest::newRow("10:05 UTC on 9 December 2026")
        << QDateTime(QDate(2026, 12, 9), QTime(10, 5), Qt::UTC)
        << QStringList{"11", "5", "9", "12", "2026"};
    QTest::newRow("22:59 UTC stays on the day")
        << QDateTime(QDate(2026, 12, 9), QTime(22, 59, 59), Qt::UTC)
        << QStringList{"23", "59", "9", "12", "2026"};
    QTest::newRow("23:30 UTC on 31 December: next year")
        << QDateTime(QDate(2026, 12, 31), QTime(23, 30), Qt::UTC)
        << QStringList{"0", "30", "1", "1", "2027"};
    QTest::newRow("23:00 UTC on 28 February 2027: 1 March")
        << QDateTime(QDate(2027, 2, 28), QTime(23, 0), Qt::UTC)
        << QStringList{"0", "0", "1", "3", "2027"};
    QTest::newRow("23:00 UTC on 28 February 2028: leap day")
        << QDateTime(QDate(2028, 2, 28), QTime(23, 0), Qt::UTC)
        << QStringList{"0", "0", "29", "2", "2028"};
    QTest::newRow("a clock in another zone is taken in UTC")
        << QDateTime(QDate(2026, 7, 1), QTime(1, 15), QTimeZone(7200))
        << QStringList{"0", "15", "1", "7", "2026"};
}

void TimeConfigFormTest::clockFieldsOnShowing()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, fields);
    m_clock.utc = now;
    Fixture f;
    f.form.showModeless();
    QCOMPARE((QStringList{f.text("hoursedit"), f.text("minutesedit"), f.text("dateeditday"),
                          f.text("dateeditmonth"), f.text("dateedityear")}),
             fields);
}

void TimeConfigFormTest::clockIsReadOnlyWhenShown()
{
    Fixture f;
    f.form.showModeless();
    m_clock.utc = m_clock.utc.addSecs(600);
    QCOMPARE(f.text("minutesedit"), QStringLiteral("5")); // not refreshed while open
    f.form.close();
    f.form.showModeless();
    QCOMPARE(f.text("minutesedit"), QStringLiteral("15"));
}

void TimeConfigFormTest::frameBytesFromTheDialogsFields()
{
    Fixture f;
    f.offsets = {"-1,5", "2.5"};
    f.serial.setFields({"101", "300", "99", "104"});
    f.form.showModeless();
    f.step("UpDown1", "up", 2);
    f.step("UpDown2", "up", 5);
    f.get<QCheckBox>("CheckBox1")->click();

    // The dialog's own sources, through the same frame encoding a tick uses.
    FrameTransfer transfer;
    Bytes written;
    transfer.setSourcesReader([&] { return f.form.FrameSources(); });
    transfer.setByteWriter([&](const QByteArray& b) { written.append(quint8(b.at(0))); });
    transfer.start();
    while (transfer.isRunning())
        transfer.tick();
    QCOMPARE(written, (Bytes{99, 11, 5, 9, 12, 234, 2, 20, 241, 1, 25, 0, 101, 44, 99, 104, 1}));
}

void TimeConfigFormTest::periodControlsStopAtTheirLimits()
{
    Fixture f;
    UpDownControl* hours = f.get<UpDownControl>("UpDown1");
    UpDownControl* minutes = f.get<UpDownControl>("UpDown2");
    QCOMPARE(hours->minimum(), 0);
    QCOMPARE(hours->maximum(), 255); // the frame carries one byte
    QCOMPARE(minutes->minimum(), 1);
    QCOMPARE(minutes->maximum(), 59);

    f.step("UpDown2", "down", 20);
    QCOMPARE(f.text("freqsecedit"), QStringLiteral("1"));
    f.step("UpDown2", "up", 70);
    QCOMPARE(f.text("freqsecedit"), QStringLiteral("59"));
    f.step("UpDown1", "down");
    QCOMPARE(f.text("freqminedit"), QStringLiteral("0"));
    f.step("UpDown1", "up", 300);
    QCOMPARE(f.text("freqminedit"), QStringLiteral("255"));

    // The arrow keys in the edit step too.
    f.form.showModeless();
    QTest::keyClick(f.get<QLineEdit>("freqsecedit"), Qt::Key_Down);
    QCOMPARE(f.text("freqsecedit"), QStringLiteral("58"));
}

void TimeConfigFormTest::batteryWarningFollowsTheMinutesWhileHoursAreZero()
{
    Fixture f;
    f.form.showModeless();
    f.step("UpDown2", "down"); // 14
    QVERIFY(f.warningShown());
    f.step("UpDown2", "up"); // 15
    QVERIFY(!f.warningShown());
    f.step("UpDown2", "down", 3); // 12
    QVERIFY(f.warningShown());

    f.step("UpDown1", "up"); // 1 h: the hours never change the warning
    QVERIFY(f.warningShown());
    f.step("UpDown2", "up", 10); // 22 min, but hours are not 0
    QVERIFY(f.warningShown());
    f.step("UpDown1", "down"); // 0 h
    QVERIFY(f.warningShown());
    f.step("UpDown2", "up"); // 23 min with 0 h
    QVERIFY(!f.warningShown());

    f.step("UpDown1", "up");
    f.step("UpDown2", "down", 20); // 3 min, hours 1: stays hidden
    QVERIFY(!f.warningShown());
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void TimeConfigFormTest::startFlagWarnsEachTimeItIsChecked()
{
    Fixture f;
    f.form.showModeless();
    QCheckBox* box = f.get<QCheckBox>("CheckBox1");
    box->click();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].kind, MsgKind::Warning);
    QCOMPARE(m_dialogs.boxes[0].text, RestartWarning);
    QCOMPARE(m_dialogs.boxes[0].buttons, QList<MsgButton>{MsgButton::Ok});
    QVERIFY(f.form.FrameSources().restart);

    box->click(); // unchecking says nothing
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QVERIFY(!f.form.FrameSources().restart);
    box->click();
    QCOMPARE(m_dialogs.texts(), (QStringList{RestartWarning, RestartWarning}));
}

void TimeConfigFormTest::answeringNoKeepsTheAuditEntryAndWritesNothing()
{
    Fixture f;
    f.form.showModeless();
    f.step("UpDown1", "up", 3);
    f.step("UpDown2", "down", 5);
    // The question comes after the entry is on file.
    int entriesAtQuestion = -1;
    m_dialogs.onBox = [&](const ShownBox&) -> std::optional<MsgButton> {
        entriesAtQuestion = int(ReadAuditEntries().size());
        return MsgButton::No;
    };
    f.enregistrer();

    QCOMPARE(m_dialogs.boxes.size(), 1);
    const ShownBox& question = m_dialogs.boxes[0];
    QCOMPARE(question.kind, MsgKind::Warning);
    QCOMPARE(question.text, Question);
    QCOMPARE(question.buttons, (QList<MsgButton>{MsgButton::Yes, MsgButton::No}));
    QCOMPARE(entriesAtQuestion, 1);
    const QList<AuditRecord> entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].userId, 5);
    QCOMPARE(entries[0].action, QByteArray("Timing Modfication "));
    QCOMPARE(DecodeWindows1252(entries[0].details),
             QStringLiteral("periode H3perdiod min10 départ:suite horloge 09/12/2026 11:05 "
                            "offset t0 offset h0 sn 0/0/0/0"));

    // Any write would fail on the closed port with an error box.
    QVERIFY(!f.sendTimer()->isActive());
    QTest::qWait(200);
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QVERIFY(f.form.isVisible());
}

void TimeConfigFormTest::auditEntryCarriesWhatTheFrameWouldSend_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<bool>("fromZero");
    QTest::addColumn<QStringList>("offsets");
    QTest::addColumn<QStringList>("serial");
    QTest::addColumn<QString>("details");

    const QLocale french(QLocale::French, QLocale::France);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QDateTime morning(QDate(2026, 12, 9), QTime(10, 5), Qt::UTC);
    const QStringList serial{"101", "102", "103", "104"};
    QTest::newRow("recording goes on")
        << french << morning << false << QStringList{"0,5", "-1,2"} << serial
        << QStringLiteral("periode H0perdiod min15 départ:suite horloge 09/12/2026 11:05 "
                          "offset t0.5 offset h-1.2 sn 101/102/103/104");
    QTest::newRow("a start from zero is named")
        << french << morning << true << QStringList{"0,5", "-1,2"} << serial
        << QStringLiteral("periode H0perdiod min15 départ:ZÉRO, mémoire du datalogger effacée "
                          "horloge 09/12/2026 11:05 offset t0.5 offset h-1.2 sn 101/102/103/104");
    QTest::newRow("the same offsets under English settings")
        << english << morning << false << QStringList{"0.5", "-1,2"} << serial
        << QStringLiteral("periode H0perdiod min15 départ:suite horloge 09/12/2026 11:05 "
                          "offset t0.5 offset h-1.2 sn 101/102/103/104");
    QTest::newRow("offsets that read as nothing are sent as 0")
        << french << morning << false << QStringList{"abc", "1.2.3"} << serial
        << QStringLiteral("periode H0perdiod min15 départ:suite horloge 09/12/2026 11:05 "
                          "offset t0 offset h0 sn 101/102/103/104");
    QTest::newRow("serial fields as the logger receives them")
        << french << morning << false << QStringList{"0", "0"}
        << QStringList{"300", "-1", "abc", ""}
        << QStringLiteral("periode H0perdiod min15 départ:suite horloge 09/12/2026 11:05 "
                          "offset t0 offset h0 sn 44/255/?/?");
    QTest::newRow("the clock carried into the next year")
        << french << QDateTime(QDate(2026, 12, 31), QTime(23, 30), Qt::UTC) << true
        << QStringList{"-25,5", "25.5"} << QStringList{"255", "0", "9", "10"}
        << QStringLiteral("periode H0perdiod min15 départ:ZÉRO, mémoire du datalogger effacée "
                          "horloge 01/01/2027 00:30 offset t-25.5 offset h25.5 sn 255/0/9/10");
}

void TimeConfigFormTest::auditEntryCarriesWhatTheFrameWouldSend()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, utc);
    QFETCH(bool, fromZero);
    QFETCH(QStringList, offsets);
    QFETCH(QStringList, serial);
    QFETCH(QString, details);
    const QLocale before;
    QLocale::setDefault(locale);
    m_clock.utc = utc;
    Fixture f;
    f.offsets = {offsets[0], offsets[1]};
    f.serial.setFields(serial);
    f.form.showModeless();
    if (fromZero)
        f.get<QCheckBox>("CheckBox1")->click(); // its warning is answered OK
    m_dialogs.answers << MsgButton::No;
    f.enregistrer();
    QLocale::setDefault(before);

    const QList<AuditRecord> entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].action, QByteArray("Timing Modfication "));
    QCOMPARE(DecodeWindows1252(entries[0].details), details);
    QVERIFY(entries[0].details.size() < AuditRecord::MaxDetails);
}

void TimeConfigFormTest::failedAuditAsksNothingAndWritesNothing()
{
    ResetAuditLog();
    Fixture f;
    f.form.showModeless();
    f.enregistrer();
    QCOMPARE(m_dialogs.texts(), QStringList{"I/O error 103."});
    QVERIFY(!f.sendTimer()->isActive());
}

void TimeConfigFormTest::closedPortStopsTheTransferWithOneError()
{
    Fixture f;
    f.form.showModeless();
    f.enregistrer(); // answered Yes
    QVERIFY(f.sendTimer()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.boxes.size(), 2, 5000);
    QCOMPARE(m_dialogs.boxes[1].kind, MsgKind::Error);
    QCOMPARE(m_dialogs.boxes[1].text, QStringLiteral("Port Not Open."));
    QVERIFY(!f.sendTimer()->isActive());
    QTest::qWait(200);
    QCOMPARE(m_dialogs.boxes.size(), 2);
    QCOMPARE(f.get<QProgressBar>("ProgressBar1")->value(), 0);
}

void TimeConfigFormTest::emptySerialFieldStopsTheTransferWithOneError()
{
    Fixture f;
    f.serial.findChild<QLineEdit*>("Edit3")->setText("");
    f.form.showModeless();
    f.enregistrer();
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.boxes.size(), 2, 5000);
    QCOMPARE(m_dialogs.boxes[1].text, QStringLiteral("'' is not a valid integer value."));
    QVERIFY(!f.sendTimer()->isActive());
    QTest::qWait(200);
    QCOMPARE(m_dialogs.boxes.size(), 2);
}

void TimeConfigFormTest::modalShowingEndsOnEitherButton()
{
    Fixture f;
    // ANNULER, then Escape, then ENREGISTRER answered No: each ends the modal showing.
    QTimer::singleShot(0, &f.form, [&] { f.get<QPushButton>("BitBtn2")->click(); });
    f.form.showModal();
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.form.result(), int(QDialog::Rejected));

    QTimer::singleShot(0, &f.form, [&] { QTest::keyClick(&f.form, Qt::Key_Escape); });
    f.form.showModal();
    QVERIFY(!f.form.isVisible());

    m_dialogs.answers.enqueue(MsgButton::No);
    QTimer::singleShot(0, &f.form, [&] { f.enregistrer(); });
    f.form.showModal();
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.form.result(), int(QDialog::Accepted));
    QCOMPARE(ReadAuditEntries().size(), 1);
    QVERIFY(!f.sendTimer()->isActive());
}

void TimeConfigFormTest::modelessShowingStaysOpenUntilTheCloseBox()
{
    Fixture f;
    f.form.showModeless();
    f.get<QPushButton>("BitBtn2")->click();
    QVERIFY(f.form.isVisible());
    QTest::keyClick(&f.form, Qt::Key_Escape);
    QVERIFY(f.form.isVisible());
    m_dialogs.answers.enqueue(MsgButton::No);
    f.enregistrer();
    QVERIFY(f.form.isVisible());
    QVERIFY(f.form.close());
    QVERIFY(!f.form.isVisible());
}

void TimeConfigFormTest::modalRequestWhileOpenModelesslyBringsItForward()
{
    Fixture f;
    f.form.showModeless();
    bool blocked = false;
    // Would end a modal loop that should never have started.
    QTimer::singleShot(2000, &f.form, [&] {
        if (QApplication::activeModalWidget() == &f.form) {
            blocked = true;
            f.form.done(QDialog::Rejected);
        }
    });
    f.form.showModal();
    QVERIFY(!blocked);
    QVERIFY(f.form.isVisible());
    QVERIFY(!f.form.isModal());
}

void TimeConfigFormTest::openedFromTheModalSerialNumberDialogTakesClicks()
{
    Fixture f;
    connect(&f.serial, &Tserialnumber::clockDialogRequested, &f.form,
            &Ttimeconfigform::showModeless);
    m_dialogs.answers.enqueue(MsgButton::No);
    bool bothOpen = false;
    bool apart = false;
    QTimer::singleShot(0, &f.serial, [&] {
        f.serial.findChild<QPushButton*>("Button1")->click();
        bothOpen = f.form.isVisible() && f.serial.isVisible();
        // Beside the serial-number dialog, not on top of it.
        apart = !f.form.frameGeometry().intersects(f.serial.frameGeometry());
        // A click through the window system, which drops clicks on blocked windows.
        QPushButton* button = f.get<QPushButton>("BitBtn1");
        QTest::mouseClick(f.form.windowHandle(), Qt::LeftButton, {},
                          button->mapTo(&f.form, button->rect().center()));
        f.serial.done(QDialog::Accepted);
    });
    f.serial.exec();
    QVERIFY(bothOpen);
    QVERIFY(apart);
    QCOMPARE(ReadAuditEntries().size(), 1); // "ENREGISTRER" was pressed
    QVERIFY(f.form.isVisible());            // the serial-number dialog closed alone
}

void TimeConfigFormTest::serialNumberDialog()
{
    Tserialnumber dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Numéro de série"));
    QCOMPARE(dialog.findChild<QLabel*>("Label1")->text(), QStringLiteral("Mettre des valeurs"));
    QCOMPARE(dialog.findChild<QLabel*>("Label2")->text(), QStringLiteral("entre 100 et 255"));
    auto fields = [&] {
        const TLoggerSerialNumber n = dialog.SerialNumber();
        return QStringList{n.fields[0], n.fields[1], n.fields[2], n.fields[3]};
    };
    QCOMPARE(fields(), (QStringList{"0", "0", "0", "0"}));

    dialog.setFields({"101", "102", "103", "104"});
    QCOMPARE(fields(), (QStringList{"101", "102", "103", "104"}));
    dialog.setFields({"1", "2", "3"}); // not a serial number: nothing changes
    QCOMPARE(fields(), (QStringList{"101", "102", "103", "104"}));

    // Anything typed is kept, unchecked, and showing does not refill the fields.
    dialog.findChild<QLineEdit*>("Edit2")->setText("abc");
    dialog.open();
    QCOMPARE(fields(), (QStringList{"101", "abc", "103", "104"}));

    QSignalSpy requests(&dialog, &Tserialnumber::clockDialogRequested);
    QPushButton* programmer = dialog.findChild<QPushButton*>("Button1");
    QCOMPARE(programmer->text(), QStringLiteral("programmer"));
    programmer->click();
    QCOMPARE(requests.count(), 1);
    QVERIFY(dialog.isVisible()); // stays open
}

QTEST_MAIN(TimeConfigFormTest)
#include "tst_time_config_form.moc"
