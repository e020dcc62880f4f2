// The curve view's showing: the download dialog first, modally, then the record file into
// the grid; errors of the load in the error box.
#include "analysis/curve_form.h"
#include "records/load_data_form.h"
#include "records/record_line.h"
#include "support/scripted_services.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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

private:
    // Shows the view; while the download dialog is up, runs `whileDownloadIsUp` and
    // closes it with "Ouvrir les données".
    bool showAndLeaveDownload(std::function<void()> whileDownloadIsUp = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<TLoadDataForm> m_download;
    std::unique_ptr<Tcurveform> m_view;
};

void CurveFormTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QDir::setCurrent(m_dir->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    Services::setDialogs(m_dialogs.get());
    m_download = std::make_unique<TLoadDataForm>();
    m_view = std::make_unique<Tcurveform>();
    m_view->setLoadDataForm(m_download.get());
}

void CurveFormTest::cleanup()
{
    m_view.reset();
    m_download.reset();
    Services::setDialogs(nullptr);
    m_dialogs.reset();
}

bool CurveFormTest::showAndLeaveDownload(std::function<void()> whileDownloadIsUp)
{
    bool wasModal = false;
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&, poll] {
        if (QApplication::activeModalWidget() != m_download.get()) {
            QTimer::singleShot(10, *poll);
            return;
        }
        wasModal = !m_view->isActiveWindow();
        if (whileDownloadIsUp)
            whileDownloadIsUp();
        m_download->findChild<QPushButton*>("BitBtn2")->click();
    };
    QTimer::singleShot(0, *poll);
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
    QCOMPARE(m_view->recordTable().cell(4, 0), QStringLiteral("61.0"));
    QCOMPARE(m_dialogs->texts(), QStringList());
    QCOMPARE(m_view->findChild<QLabel*>("Tmaxl")->text(), QStringLiteral("0"));
}

void CurveFormTest::failedLoadIsReportedAndLeavesTheTable_data()
{
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << true << QByteArray() << "Cannot open file \"%1\". ";
    QTest::newRow("one line") << false << QByteArray("1/1;0:0;20.0;50.0\r\n")
                              << "List index out of bounds (1)";
    QTest::newRow("empty") << false << QByteArray() << "List index out of bounds (1)";
}

void CurveFormTest::failedLoadIsReportedAndLeavesTheTable()
{
    QFETCH(bool, missing);
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    WriteAll(RecordFileName, "a;b;c;d\r\ne;f;g;h\r\ni;j;k;l\r\n");
    QVERIFY(showAndLeaveDownload());
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
    QCOMPARE(m_view->recordTable().cell(4, 2), QStringLiteral("l"));
}

QTEST_MAIN(CurveFormTest)
#include "tst_curve_form.moc"
