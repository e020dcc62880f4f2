#include "support/scripted_services.h"

#include <QTest>

class ServicesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void standardBoxes_data();
    void standardBoxes();
    void plainMessageCarriesTheApplicationTitle();
    void scriptedAnswersInOrderThenTheFirstButton();
};

void ServicesTest::standardBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("warning") << int(MsgKind::Warning) << "Warning";
    QTest::newRow("error") << int(MsgKind::Error) << "Error";
    QTest::newRow("information") << int(MsgKind::Information) << "Information";
    QTest::newRow("confirmation") << int(MsgKind::Confirmation) << "Confirm";
}

void ServicesTest::standardBoxes()
{
    QFETCH(int, kind);
    QFETCH(QString, caption);
    ScriptedDialogs dialogs;
    Services::setDialogs(&dialogs);
    MessageDlg(QStringLiteral("texte"), MsgKind(kind), {MsgButton::Yes, MsgButton::No});
    Services::setDialogs(nullptr);
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes.first().title, caption);
    QCOMPARE(ButtonText(MsgButton::Yes), QStringLiteral("&Yes"));
    QCOMPARE(ButtonText(MsgButton::No), QStringLiteral("&No"));
    QCOMPARE(ButtonText(MsgButton::Ok), QStringLiteral("OK"));
}

void ServicesTest::plainMessageCarriesTheApplicationTitle()
{
    ScriptedDialogs dialogs;
    Services::setDialogs(&dialogs);
    ShowMessage(QStringLiteral("no actions data available"));
    Services::setDialogs(nullptr);
    QCOMPARE(dialogs.boxes.size(), 1);
    QCOMPARE(dialogs.boxes.first().kind, MsgKind::Plain);
    QCOMPARE(dialogs.boxes.first().title, QStringLiteral("QUIVEL CONFIG"));
    QCOMPARE(dialogs.boxes.first().buttons, QList<MsgButton>{MsgButton::Ok});
}

void ServicesTest::scriptedAnswersInOrderThenTheFirstButton()
{
    ScriptedDialogs dialogs;
    dialogs.answers.enqueue(MsgButton::No);
    const QList<MsgButton> yesNo{MsgButton::Yes, MsgButton::No};
    QCOMPARE(dialogs.messageBox(MsgKind::Warning, "t", "q1", yesNo), MsgButton::No);
    QCOMPARE(dialogs.messageBox(MsgKind::Warning, "t", "q2", yesNo), MsgButton::Yes);
    QCOMPARE(dialogs.texts(), (QStringList{"q1", "q2"}));
}

QTEST_GUILESS_MAIN(ServicesTest)
#include "tst_services.moc"
