#include "common/error_handler.h"
#include "common/errors.h"
#include "common/guarded_application.h"
#include "support/scripted_services.h"

#include <QDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

class ErrorsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dialogs.clear();
        Services::setDialogs(&m_dialogs);
    }
    void cleanup() { Services::setDialogs(nullptr); }

    void ioErrorTexts_data();
    void ioErrorTexts();
    void fileErrorsNameTheFullPath();
    void finalPeriod_data();
    void finalPeriod();
    void guardShowsTheErrorBoxAndGoesOn();
    void postedErrorIsShownFromTheEventLoop();
    void applicationGuardsTimerTicks();

private:
    ScriptedDialogs m_dialogs;
};

void ErrorsTest::ioErrorTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("2") << 2 << "File not found";
    QTest::newRow("3") << 3 << "Invalid filename";
    QTest::newRow("4") << 4 << "Too many open files";
    QTest::newRow("5") << 5 << "File access denied";
    QTest::newRow("100") << 100 << "Read beyond end of file";
    QTest::newRow("101") << 101 << "Disk full";
    QTest::newRow("103") << 103 << "I/O error 103";
    QTest::newRow("32") << 32 << "I/O error 32";
}

void ErrorsTest::ioErrorTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(EInOutError(code).message(), text);
}

void ErrorsTest::fileErrorsNameTheFullPath()
{
    const QString full = QDir::current().absoluteFilePath(QStringLiteral("cal.cfg"));
    QCOMPARE(EFOpenError(QStringLiteral("cal.cfg"), QStringLiteral("No such file or directory"))
                 .message(),
             QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(full));
    QCOMPARE(
        EFCreateError(QStringLiteral("cal.cfg"), QStringLiteral("Permission denied")).message(),
        QStringLiteral("Cannot create file \"%1\". Permission denied").arg(full));
    QCOMPARE(EListError(1).message(), QStringLiteral("List index out of bounds (1)"));
}

void ErrorsTest::finalPeriod_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Disk full"
                            << "Disk full.";
    QTest::newRow("period") << "Done."
                            << "Done.";
    QTest::newRow("closing parenthesis") << "Unable to open com port (Error: 2)"
                                         << "Unable to open com port (Error: 2)";
    QTest::newRow("space") << "Reponse "
                           << "Reponse ";
    QTest::newRow("digit") << "I/O error 103"
                           << "I/O error 103.";
    QTest::newRow("quote") << "'x' is not a valid integer value"
                           << "'x' is not a valid integer value.";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("accented") << "Numéro de série lus"
                              << "Numéro de série lus.";
}

void ErrorsTest::finalPeriod()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(WithFinalPeriod(message), shown);
}

void ErrorsTest::guardShowsTheErrorBoxAndGoesOn()
{
    bool after = false;
    QVERIFY(!Guarded([] { throw EInOutError(101); }));
    QVERIFY(!Guarded([] { throw std::runtime_error("boom"); }));
    QVERIFY(Guarded([&] { after = true; }));
    QVERIFY(after);
    QCOMPARE(m_dialogs.boxes.size(), 2);
    const ShownBox& box = m_dialogs.boxes.first();
    QCOMPARE(box.kind, MsgKind::Error);
    QCOMPARE(box.title, QStringLiteral("QUIVEL CONFIG"));
    QCOMPARE(box.text, QStringLiteral("Disk full."));
    QCOMPARE(box.buttons, QList<MsgButton>{MsgButton::Ok});
    QCOMPARE(m_dialogs.boxes.at(1).text, QStringLiteral("boom."));
}

void ErrorsTest::postedErrorIsShownFromTheEventLoop()
{
    PostErrorBox(QStringLiteral("Port Not Open"));
    QVERIFY(m_dialogs.boxes.isEmpty());
    QTRY_COMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes.first().text, QStringLiteral("Port Not Open."));
}

void ErrorsTest::applicationGuardsTimerTicks()
{
    // The application object itself is the last guard: an error thrown by a timer tick is
    // shown and the event loop keeps running.
    int ticks = 0;
    QTimer timer;
    timer.setInterval(1);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 1)
            throw EInOutError(5);
    });
    timer.start();
    QTRY_VERIFY(ticks >= 3);
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("File access denied.")});
}

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    ErrorsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_errors.moc"
