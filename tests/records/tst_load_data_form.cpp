// The download dialog driven as a user drives it, with values fed straight into its packet
// listener where exact packets matter, and the real port on a terminal of the test's own.
#include "download_fixture.h"
#include "support/process_limits.h"
#include "support/test_files.h"
#include "users/audit_log.h"

#include <QSignalSpy>
#include <QTest>

namespace
{
// The 24 values of a download asked for two records: three are requested, the logger's codes
// above 250 become 0, and the third record, checked like the others, is not written.
const QList<int> ThreeRecords = {5, 3, 14, 7,  23,  5,   61, 0,  // 5/3;14:7;23.5;61.0
                                 5, 3, 14, 22, 251, 255, 52, 9,  // 5/3;14:22;0.0;52.9
                                 5, 3, 14, 37, 24,  1,   60, 2}; // 5/3;14:37;24.1;60.2
const QByteArray TwoRecordsWritten("5/3;14:7;23.5;61.0\r\n5/3;14:22;0.0;52.9\r\n");

// Long enough for the line to count as quiet, and a download to be judged.
constexpr int Settled = TLoadDataForm::SettleMs + 5000;

// Waits until the program has written exactly `expected` on the line.
bool SendsInTime(TestTerminal& line, const QByteArray& expected)
{
    QByteArray sent;
    return QTest::qWaitFor([&] { return (sent += line.sent()) == expected; }, Settled);
}

} // namespace

class LoadDataFormTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAndShowing();
    void countFieldAndCommand_data();
    void countFieldAndCommand();
    void refusedCounts_data();
    void refusedCounts();
    void completionWritesCleanedRecordsAndCloses();
    void extraRecordIsCheckedButNotWritten();
    void packetsOutsideADownloadChangeNothing();
    void pressingAgainRestartsTheCount();
    void leftDownloadDoesNotEnterTheNextOne();
    void bytesQueuedBeforeTheRequestAreDropped();
    void loggerWithFewerRecordsEndsCleanly();
    void editingTheFieldDuringADownloadChangesNothing();
    void malformedValueIsShownAndNothingWrittenUntilTheUserChooses();
    void retryAsksTheSameRecordsAgain();
    void saveAnywayWritesAndAuditsAndKeepsTheEarlierFile();
    void responseReplyDuringADownloadIsNoValue();
    void failedSaveKeepsTheEarlierFileAndTheDialogOpen();
    void shiftedRecordsAreNamedAndNotWritten();
    void closedPortReportsAndRaisesTheField();
    void progressShowsValuesReceived();
    void silenceIsNoted();
    void downloadStoppingHalfWayCanBeAskedAgainOrKept();
    void lostLinkIsSaidInFrench();

private:
    std::unique_ptr<TestTerminal> m_line;
    std::unique_ptr<DownloadFixture> m_f;
};

void LoadDataFormTest::init()
{
    m_line = std::make_unique<TestTerminal>();
    m_f = std::make_unique<DownloadFixture>();
    QVERIFY(m_f->dir.isValid());
    QVERIFY(!m_line->path().isEmpty());
    QVERIFY(m_f->openAndShow(m_line->path()));
}

void LoadDataFormTest::cleanup()
{
    // Boxes posted by this case are shown (and recorded) before the next case starts.
    QCoreApplication::processEvents();
    m_f.reset();
    m_line.reset();
}

void LoadDataFormTest::controlsAndShowing()
{
    TLoadDataForm& form = m_f->form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Chargement des données"));
    QCOMPARE(m_f->control<QLabel>("Label1")->text(),
             QStringLiteral("Nombre d'enregistrement a charger :"));
    QCOMPARE(m_f->control<QLabel>("Label2")->text(), QStringLiteral("Maximum : 500000 "));
    QCOMPARE(m_f->Edit1()->text(), QStringLiteral("0"));
    QCOMPARE(m_f->BitBtn1()->text(), QStringLiteral("Télécharger les données"));
    QCOMPARE(m_f->BitBtn2()->text(), QStringLiteral("Ouvrir les données"));
    QCOMPARE(m_f->ProgressBar1()->minimum(), 0);
    QCOMPARE(form.download().lines(), QList<QByteArray>{"Memo1"});

    // Every showing attaches the listener (once) and puts the progress back to 0.
    QCOMPARE(form.packetListener().ComPort(), &m_f->port);
    m_f->ProgressBar1()->setValue(7);
    form.hide();
    form.show();
    QCOMPARE(m_f->ProgressBar1()->value(), 0);
    QCOMPARE(m_f->port.listeners().count(&form.packetListener()), 1);

    m_f->BitBtn2()->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
}

void LoadDataFormTest::countFieldAndCommand_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("1") << "1"
                       << "2" << QByteArray("r16");
    QTest::newRow("2") << "2"
                       << "3" << QByteArray("r24");
    QTest::newRow("100") << "100"
                         << "101" << QByteArray("r808");
    QTest::newRow("leading spaces") << "  5"
                                    << "6" << QByteArray("r48");
    QTest::newRow("largest") << "500000"
                             << "500001" << QByteArray("r4000008");
}

void LoadDataFormTest::countFieldAndCommand()
{
    QFETCH(QString, typed);
    QFETCH(QString, field);
    QFETCH(QByteArray, command);
    m_f->startDownload(typed);
    QCOMPARE(m_f->Edit1()->text(), field);
    QCOMPARE(m_line->sent(), command);
    QVERIFY(m_f->form.download().running());
    QCOMPARE(m_f->form.download().lines(), QList<QByteArray>());
    QCOMPARE(m_f->dialogs.texts(), QStringList());
}

void LoadDataFormTest::refusedCounts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    const int warning = int(MsgKind::Warning);
    const int error = int(MsgKind::Error);
    // Nothing would be written: the one more record asked for is never whole.
    QTest::newRow("zero") << "0" << warning << "refusé : 0";
    QTest::newRow("n would be 0") << "-1" << warning << "refusé : -1";
    QTest::newRow("negative") << "-50" << warning << "refusé : -50";
    QTest::newRow("above the maximum") << "500001" << warning << "refusé : 500001";
    QTest::newRow("largest integer") << "2147483647" << warning << "refusé : 2147483647";
    QTest::newRow("not a number") << "abc" << error << "'abc' is not a valid integer value.";
    QTest::newRow("decimal") << "1,5" << error << "'1,5' is not a valid integer value.";
    QTest::newRow("empty") << "" << error << "'' is not a valid integer value.";
}

void LoadDataFormTest::refusedCounts()
{
    QFETCH(QString, typed);
    QFETCH(int, kind);
    QFETCH(QString, message);
    m_f->startDownload(typed);
    QCOMPARE(m_f->Edit1()->text(), typed);
    QCOMPARE(m_line->sent(), QByteArray());
    QVERIFY(!m_f->form.download().running());
    QCOMPARE(m_f->dialogs.boxes.size(), 1);
    QCOMPARE(int(m_f->dialogs.boxes.first().kind), kind);
    QVERIFY2(m_f->dialogs.boxes.first().text.contains(message),
             qPrintable(m_f->dialogs.boxes.first().text));
    QVERIFY(m_f->form.isVisible());
}

void LoadDataFormTest::completionWritesCleanedRecordsAndCloses()
{
    QSignalSpy accepted(&m_f->form, &QDialog::accepted);
    m_f->startDownload("2");
    QCOMPARE(m_line->sent(), QByteArray("r24"));
    m_f->deliver(ThreeRecords);
    // Every value came; the dialog still waits for the line to fall quiet, in case more come.
    QVERIFY(m_f->form.isVisible());
    QVERIFY(!QFile::exists(RecordFileName));
    QCOMPARE(m_f->form.download().receivedCount(), 24);

    QTRY_COMPARE_WITH_TIMEOUT(accepted.count(), 1, Settled);
    QVERIFY(!m_f->form.isVisible());
    // The two records asked for; the third is the one more the request asks.
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);
    QCOMPARE(m_f->ProgressBar1()->value(), 0);
    QCOMPARE(m_f->form.download().lines().size(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(m_f->dialogs.texts(), QStringList());
}

void LoadDataFormTest::extraRecordIsCheckedButNotWritten()
{
    ResetAuditLog();
    OpenAuditLog();
    const QByteArray earlier("1/1;0:0;20.0;50.0\r\n");
    m_f->writeRecordFile(earlier);
    m_f->startDownload("2");
    QList<int> stream = ThreeRecords;
    stream[20] = 230; // no temperature of this logger, in the record never written
    m_f->deliver(stream);
    auto* problem = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(problem->isVisible(), Settled);
    QVERIFY2(problem->text().contains(QStringLiteral(
                 "Les 2 enregistrements demandés sont arrivés entiers : seul l'enregistrement "
                 "supplémentaire")),
             qPrintable(problem->text()));
    QCOMPARE(m_f->recordFile(), earlier);
    m_f->control<QPushButton>("SaveAnywayButton")->click();
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);
    ResetAuditLog();
}

void LoadDataFormTest::packetsOutsideADownloadChangeNothing()
{
    // Before any download: nothing stored.
    m_f->form.packetListener().deliver("12");
    QCOMPARE(m_f->form.download().receivedCount(), 0);

    m_f->startDownload("2");
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.requestWaiting(), Settled);
    m_f->deliver(ThreeRecords);
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    const QByteArray written = m_f->recordFile();
    QCOMPARE(written, TwoRecordsWritten);
    // Late values, a reply to another command, and garbage.
    m_f->deliver({0, 0, 0});
    m_f->form.packetListener().deliver("ok\r\n");
    m_f->form.packetListener().deliver("abc");
    QCoreApplication::processEvents();
    QCOMPARE(m_f->recordFile(), written);
    QCOMPARE(m_f->form.download().receivedCount(), 24);
    QCOMPARE(m_f->form.download().lines().size(), 2);
    QCOMPARE(m_f->dialogs.texts(), QStringList());
}

void LoadDataFormTest::pressingAgainRestartsTheCount()
{
    m_f->startDownload("2");
    m_f->deliver(ThreeRecords.mid(0, 10));
    m_f->BitBtn1()->click();
    QCOMPARE(m_f->Edit1()->text(), QStringLiteral("4"));
    // The logger is still sending: the new request waits until it is done.
    QVERIFY(m_f->form.requestWaiting());
    QCOMPARE(m_line->sent(), QByteArray("r24"));
    m_f->deliver(ThreeRecords.mid(10)); // the rest of the first request, ignored
    QVERIFY(SendsInTime(*m_line, "r32"));
    QCOMPARE(m_f->form.download().receivedCount(), 0);
    m_f->deliver(ThreeRecords);
    m_f->deliver({5, 3, 14, 52, 24, 2, 60, 3});
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    QCOMPARE(m_f->recordFile().count("\r\n"), 3);
    QCOMPARE(m_f->dialogs.texts(), QStringList());
}

void LoadDataFormTest::leftDownloadDoesNotEnterTheNextOne()
{
    // Left half-way with "Ouvrir les données": the logger goes on sending that request.
    m_f->startDownload("2");
    m_f->deliver(ThreeRecords.mid(0, 5));
    m_f->BitBtn2()->click();
    QVERIFY(!m_f->form.isVisible());
    m_f->deliver(ThreeRecords.mid(5, 5));
    QCOMPARE(m_f->form.download().receivedCount(), 5);

    // Opened again at once: the new request waits for the old stream's end.
    m_f->form.show();
    m_f->Edit1()->setText(QStringLiteral("1"));
    m_f->BitBtn1()->click();
    QVERIFY(m_f->form.requestWaiting());
    QVERIFY2(m_f->control<QLabel>("ValuesLabel")->text().contains(QStringLiteral("termine")),
             qPrintable(m_f->control<QLabel>("ValuesLabel")->text()));
    m_f->deliver(ThreeRecords.mid(10));
    QCOMPARE(m_line->sent(), QByteArray("r24"));
    QVERIFY(SendsInTime(*m_line, "r16"));
    m_f->deliver(ThreeRecords.mid(8, 16));
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), QByteArray("5/3;14:22;0.0;52.9\r\n"));
}

void LoadDataFormTest::bytesQueuedBeforeTheRequestAreDropped()
{
    // Bytes the port holds but has not handed out yet belong to no download.
    QVERIFY(m_line->write("17"));
    QTest::qWait(TLoadDataForm::SettleMs + 200);
    m_f->startDownload("2");
    QCOMPARE(m_line->sent(), QByteArray("r24"));
    QTest::qWait(50);
    QCOMPARE(m_f->form.download().receivedCount(), 0);
}

void LoadDataFormTest::loggerWithFewerRecordsEndsCleanly()
{
    // A logger whose memory holds exactly the records asked for sends no extra record.
    m_f->startDownload("2");
    m_f->deliver(ThreeRecords.mid(0, 16));
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);

    // Fewer than asked: said, and kept if the user wants them.
    m_f->form.show();
    m_f->startDownload("5");
    m_f->deliver(ThreeRecords.mid(0, 16));
    auto* problem = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(problem->isVisible(), Settled);
    QVERIFY2(problem->text().startsWith(QStringLiteral(
                 "Le datalogger n'a envoyé que 2 enregistrement(s) sur les 5 demandés")),
             qPrintable(problem->text()));
    auto* save = m_f->control<QPushButton>("SaveAnywayButton");
    QCOMPARE(save->text(), QStringLiteral("Enregistrer les 2 enregistrements reçus"));
    ResetAuditLog();
    OpenAuditLog();
    save->click();
    QVERIFY(!m_f->form.isVisible());
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);
    QCOMPARE(ReadAuditEntries().size(), 1);
    ResetAuditLog();
}

void LoadDataFormTest::editingTheFieldDuringADownloadChangesNothing()
{
    // The download keeps the count it asked the logger for.
    m_f->startDownload("2");
    m_f->deliver(ThreeRecords.mid(0, 10));
    m_f->Edit1()->setText(QStringLiteral("abc"));
    m_f->deliver(ThreeRecords.mid(10, 5));
    m_f->Edit1()->setText(QStringLiteral("0"));
    m_f->deliver(ThreeRecords.mid(15));
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);
    QCOMPARE(m_f->dialogs.texts(), QStringList());
}

void LoadDataFormTest::malformedValueIsShownAndNothingWrittenUntilTheUserChooses()
{
    const QByteArray earlier("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n");
    m_f->writeRecordFile(earlier);
    m_f->startDownload("2");
    m_f->deliver({5, 3});
    m_f->form.packetListener().deliver("14\r\n");
    // The download goes on: the logger is still sending.
    QVERIFY(m_f->form.download().running());
    m_f->deliver(ThreeRecords.mid(3));
    auto* label = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(label->isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), earlier);
    const QString problem = label->text();
    QVERIFY2(problem.contains(QStringLiteral("1 valeur(s) illisible(s), la première est la valeur "
                                             "n° 3 (« 14\\r\\n »)")),
             qPrintable(problem));
    QVERIFY(problem.contains(QStringLiteral("Le fichier quivel.c00 n'a pas été modifié.")));
    QVERIFY(m_f->control<QPushButton>("RetryButton")->isDefault());
    QVERIFY(m_f->control<QPushButton>("SaveAnywayButton")->isVisible());

    // Closing keeps the earlier file.
    m_f->BitBtn2()->click();
    QVERIFY(!m_f->form.isVisible());
    QCOMPARE(m_f->recordFile(), earlier);
    QCOMPARE(m_f->dialogs.boxes.size(), 0);
}

void LoadDataFormTest::retryAsksTheSameRecordsAgain()
{
    m_f->startDownload("2");
    QList<int> joined = ThreeRecords;
    joined[16] = 53; // 5 and 3 in one packet
    joined.removeAt(17);
    m_f->deliver(joined);
    auto* problem = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(problem->isVisible(), Settled);
    QVERIFY2(problem->text().contains(QStringLiteral("Il manque des valeurs : 23 valeurs reçues "
                                                     "sur 24")),
             qPrintable(problem->text()));
    QCOMPARE(m_line->sent(), QByteArray("r24"));
    m_f->control<QPushButton>("RetryButton")->click();
    QCOMPARE(m_line->sent(), QByteArray("r24")); // the same request, the field unchanged
    QCOMPARE(m_f->Edit1()->text(), QStringLiteral("3"));
    QVERIFY(!problem->isVisible());
    // Nothing of the join is left in the new download.
    m_f->deliver(ThreeRecords);
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);
}

void LoadDataFormTest::saveAnywayWritesAndAuditsAndKeepsTheEarlierFile()
{
    ResetAuditLog();
    OpenAuditLog();
    m_f->dialogs.clear();
    SetCurrentUserId(4);
    const QByteArray earlier("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n");
    m_f->writeRecordFile(earlier);
    m_f->startDownload("2");
    QList<int> stream = ThreeRecords;
    stream[12] = 230; // 230 °C is no temperature of this logger
    m_f->deliver(stream);
    auto* problem = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(problem->isVisible(), Settled);
    QVERIFY2(problem->text().contains(QStringLiteral("1 enregistrement(s) sur 3 sont impossibles "
                                                     "(date, heure ou mesure hors limites), à "
                                                     "partir de l'enregistrement n° 2.")),
             qPrintable(problem->text()));
    m_f->control<QPushButton>("SaveAnywayButton")->click();
    QVERIFY(!m_f->form.isVisible());
    QCOMPARE(m_f->recordFile(), QByteArray("5/3;14:7;23.5;61.0\r\n5/3;14:22;230.0;52.9\r\n"));
    QCOMPARE(ReadAll(RecordFileName + ".bak"), earlier);
    const QList<AuditRecord> entries = ReadAuditEntries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].userId, 4);
    QCOMPARE(entries[0].action, QByteArray("download saved anyway "));
    QCOMPARE(entries[0].details,
             QByteArray("2 rec of 2, 24 values of 24, 0 unreadable, 1 suspect from 2"));
    ResetAuditLog();
}

void LoadDataFormTest::responseReplyDuringADownloadIsNoValue()
{
    m_f->startDownload("2");
    m_f->deliver(ThreeRecords.mid(0, 4));
    m_f->form.packetListener().deliver("g");
    m_f->deliver(ThreeRecords.mid(4));
    QTRY_VERIFY_WITH_TIMEOUT(!m_f->form.isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), TwoRecordsWritten);
}

void LoadDataFormTest::failedSaveKeepsTheEarlierFileAndTheDialogOpen()
{
    const QByteArray earlier("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n");
    m_f->writeRecordFile(earlier);
    m_f->startDownload("999");
    QList<int> stream;
    for (int k = 0; k < 1000; ++k) {
        const int minutes = 8 * 60 + 15 * k; // from 1 December, 08:00
        stream << 1 + minutes / 1440 << 12 << minutes % 1440 / 60 << minutes % 60 << 21 << 5 << 55
               << 3;
    }
    m_f->deliver(stream);
    {
        // The disk is full past a few bytes.
        FileSizeLimit limit(16);
        QTRY_COMPARE_WITH_TIMEOUT(m_f->dialogs.boxes.size(), 1, Settled);
    }
    const ShownBox box = m_f->dialogs.boxes.first();
    QCOMPARE(box.kind, MsgKind::Error);
    const QString path = QDir::current().absoluteFilePath(RecordFileName);
    QVERIFY2(box.text.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
             qPrintable(box.text));
    QCOMPARE(m_f->recordFile(), earlier);
    QVERIFY(m_f->form.isVisible());
    QCOMPARE(m_f->ProgressBar1()->value(), stream.size());
    QCOMPARE(QDir::current().entryList(QDir::Files),
             (QStringList{RecordFileName, RecordFileName + ".bak"}));

    // Later packets do not retry the save nor add lines.
    m_f->deliver({1, 2, 3});
    QTest::qWait(TLoadDataForm::SettleMs + 200);
    QCOMPARE(m_f->dialogs.boxes.size(), 1);
    QCOMPARE(m_f->form.download().lines().size(), 999);
    m_f->BitBtn2()->click();
    QVERIFY(!m_f->form.isVisible());
}

void LoadDataFormTest::shiftedRecordsAreNamedAndNotWritten()
{
    m_f->writeRecordFile("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n");
    // Day 1 and month 12 of the third record arrived as one packet, "112": every value
    // after it is one place early.
    const QList<int> stream = {1,   12, 8,  0,  21, 5,  55, 3, 1,  12, 8,  15, 21, 4,  55, 2,
                               112, 8,  30, 21, 3,  55, 1,  1, 12, 8,  45, 21, 2,  55, 9};
    m_f->startDownload("3");
    m_f->deliver(stream);
    auto* label = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(label->isVisible(), Settled);
    QCOMPARE(m_f->recordFile(), QByteArray("1/1;0:0;20.0;50.0\r\n1/1;0:15;20.1;50.1\r\n"));
    const QString problem = label->text();
    QVERIFY2(problem.startsWith(QStringLiteral("Il manque des valeurs : 31 valeurs reçues sur 32")),
             qPrintable(problem));
    QVERIFY(problem.contains(
        QStringLiteral("Les valeurs sont décalées à partir de l'enregistrement n° 3")));
    QVERIFY(problem.contains(QStringLiteral("Les enregistrements n° 1 à 2 sont arrivés")));
    QCOMPARE(m_f->dialogs.boxes.size(), 0);
}

void LoadDataFormTest::closedPortReportsAndRaisesTheField()
{
    m_f->port.ClosePort();
    m_f->startDownload("2");
    QCOMPARE(m_f->dialogs.texts(), QStringList{"Port Not Open."});
    QCOMPARE(m_f->Edit1()->text(), QStringLiteral("3"));
    QVERIFY(!m_f->form.download().running());
}

void LoadDataFormTest::progressShowsValuesReceived()
{
    auto* values = m_f->control<QLabel>("ValuesLabel");
    m_f->startDownload("2");
    QCOMPARE(values->text(), QStringLiteral("0 / 24 valeurs"));
    QCOMPARE(m_f->ProgressBar1()->maximum(), 24);
    m_f->deliver(ThreeRecords.mid(0, 10));
    QTRY_COMPARE(values->text(), QStringLiteral("10 / 24 valeurs"));
    QCOMPARE(m_f->ProgressBar1()->value(), 10);

    // Opened again, the dialog does not show the last download's count.
    m_f->form.close();
    m_f->form.show();
    QCOMPARE(values->text(), QString());
}

void LoadDataFormTest::silenceIsNoted()
{
    auto* note = m_f->control<QLabel>("SilenceLabel");
    m_f->startDownload("2");
    QVERIFY(!note->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(note->isVisible(), 10000);
    QVERIFY(note->text().contains(QStringLiteral("5 secondes")));
    QVERIFY(m_f->form.download().running());
    m_f->deliver({5});
    QTRY_VERIFY(!note->isVisible());
}

void LoadDataFormTest::downloadStoppingHalfWayCanBeAskedAgainOrKept()
{
    ResetAuditLog();
    OpenAuditLog();
    m_f->dialogs.clear();
    m_f->startDownload("2");
    m_f->deliver(ThreeRecords.mid(0, 10));
    auto* problem = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(problem->isVisible(), Settled);
    QVERIFY2(problem->text().startsWith(QStringLiteral("Il manque des valeurs : 10 valeurs reçues "
                                                       "sur 24")),
             qPrintable(problem->text()));
    QVERIFY(m_f->control<QPushButton>("RetryButton")->isVisible());
    // One whole record arrived: it may be kept.
    QVERIFY(m_f->control<QPushButton>("SaveAnywayButton")->isVisible());
    m_f->control<QPushButton>("SaveAnywayButton")->click();
    QVERIFY(!m_f->form.isVisible());
    QCOMPARE(m_f->recordFile(), QByteArray("5/3;14:7;23.5;61.0\r\n"));
    QCOMPARE(ReadAuditEntries().size(), 1);
    ResetAuditLog();
}

void LoadDataFormTest::lostLinkIsSaidInFrench()
{
    m_f->startDownload("2");
    m_line.reset(); // the adapter is unplugged
    auto* problem = m_f->control<QLabel>("ProblemLabel");
    QTRY_VERIFY_WITH_TIMEOUT(problem->isVisible(), 5000);
    QVERIFY2(problem->text().startsWith(QStringLiteral("Le datalogger ne répond plus")),
             qPrintable(problem->text()));
    QVERIFY(!m_f->control<QPushButton>("SaveAnywayButton")->isVisible()); // no record at all
    QVERIFY(!QFile::exists(RecordFileName));
}

QTEST_MAIN(LoadDataFormTest)
#include "tst_load_data_form.moc"
