// The real dialogs service, driven offscreen: each box or dialog is answered while it runs.
#include "common/platform_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

// Runs the action on the modal dialog of the given type as soon as it is open.
template <class Dialog> void WhenOpen(std::function<void(Dialog*)> action)
{
    QTimer::singleShot(0, qApp, [action] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
    });
}

QAbstractButton* ButtonWithText(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

} // namespace

using Buttons = QList<MsgButton>;
Q_DECLARE_METATYPE(MsgButton)
Q_DECLARE_METATYPE(MsgKind)

class PlatformDialogsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void messageBox_data();
    void messageBox();
    void saveDialogPreselectsAndReportsTheFilter();
    void saveDialogCancelled();
    void printDialogAnswers();
    void printPreviewDrawsThePages();

private:
    PlatformDialogs m_dialogs;
};

void PlatformDialogsTest::messageBox_data()
{
    QTest::addColumn<MsgKind>("kind");
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<QString>("press"); // a button's text, or empty to close the box
    QTest::addColumn<MsgButton>("answer");
    QTest::addColumn<int>("icon");

    const Buttons yesNo{MsgButton::Yes, MsgButton::No};
    QTest::newRow("yes") << MsgKind::Confirmation << yesNo << "&Yes" << MsgButton::Yes
                         << int(QMessageBox::Question);
    QTest::newRow("no") << MsgKind::Warning << yesNo << "&No" << MsgButton::No
                        << int(QMessageBox::Warning);
    QTest::newRow("yes/no closed: no")
        << MsgKind::Warning << yesNo << "" << MsgButton::No << int(QMessageBox::Warning);
    QTest::newRow("ok") << MsgKind::Error << Buttons{MsgButton::Ok} << "OK" << MsgButton::Ok
                        << int(QMessageBox::Critical);
    QTest::newRow("ok closed") << MsgKind::Plain << Buttons{MsgButton::Ok} << "" << MsgButton::Ok
                               << int(QMessageBox::NoIcon);
    QTest::newRow("ok/cancel closed: cancel")
        << MsgKind::Information << Buttons{MsgButton::Ok, MsgButton::Cancel} << ""
        << MsgButton::Cancel << int(QMessageBox::Information);
}

void PlatformDialogsTest::messageBox()
{
    QFETCH(MsgKind, kind);
    QFETCH(Buttons, buttons);
    QFETCH(QString, press);
    QFETCH(MsgButton, answer);
    QFETCH(int, icon);

    QStringList shownButtons;
    QString shownTitle, shownText;
    int shownIcon = -1;
    WhenOpen<QMessageBox>([&](QMessageBox* box) {
        shownTitle = box->windowTitle();
        shownText = box->text();
        shownIcon = int(box->icon());
        for (QAbstractButton* button : box->buttons())
            shownButtons << button->text();
        if (press.isEmpty())
            box->done(0); // closed without a button
        else
            ButtonWithText(box, press)->click();
    });
    QCOMPARE(m_dialogs.messageBox(kind, "Titre", "Texte", buttons), answer);
    QCOMPARE(shownTitle, QStringLiteral("Titre"));
    QCOMPARE(shownText, QStringLiteral("Texte"));
    QCOMPARE(shownIcon, icon);
    QCOMPARE(shownButtons.size(), buttons.size());
    for (MsgButton button : buttons)
        QVERIFY(shownButtons.contains(ButtonText(button)));
}

void PlatformDialogsTest::saveDialogPreselectsAndReportsTheFilter()
{
    QTemporaryDir dir;
    FileSaveRequest request;
    request.title = QStringLiteral("Enregistrer");
    request.filters = {"Bitmap (*.bmp)", "PNG (*.png)", "JPEG (*.jpg)"};
    request.defaultSuffix = QStringLiteral("*.png");
    request.filterIndex = 2;
    QString preselected;
    QStringList offered;
    WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        preselected = dialog->selectedNameFilter();
        offered = dialog->nameFilters();
        dialog->setDirectory(dir.path());
        dialog->selectNameFilter(request.filters[2]);
        dialog->selectFile(QStringLiteral("courbe"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const auto answer = m_dialogs.savePicture(request);
    QCOMPARE(offered, request.filters);
    QCOMPARE(preselected, request.filters[1]);
    QVERIFY(answer);
    QCOMPARE(answer->filterIndex, 3);
    QCOMPARE(QFileInfo(answer->fileName).fileName(), QStringLiteral("courbe.png"));
}

void PlatformDialogsTest::saveDialogCancelled()
{
    FileSaveRequest request;
    request.filters = {"Excel CSV File (*.csv)"};
    WhenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!m_dialogs.saveFile(request));
}

void PlatformDialogsTest::printDialogAnswers()
{
    QPrinter printer;
    WhenOpen<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
    QVERIFY(!m_dialogs.print(printer));
    WhenOpen<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
    QVERIFY(m_dialogs.print(printer));
}

void PlatformDialogsTest::printPreviewDrawsThePages()
{
    QPrinter printer;
    int painted = 0;
    WhenOpen<QPrintPreviewDialog>([&](QPrintPreviewDialog* dialog) {
        QVERIFY(painted > 0); // the pages are drawn before the dialog takes input
        dialog->reject();
    });
    m_dialogs.printPreview(printer, [&](QPrinter* target) {
        QVERIFY(target);
        ++painted;
    });
    QVERIFY(painted > 0);
}

QTEST_MAIN(PlatformDialogsTest)
#include "tst_platform_dialogs.moc"
