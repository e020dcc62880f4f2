#include "support/user_journey.h"

#include "analysis/chart_output.h"
#include "analysis/chart_windows.h"
#include "analysis/curve_form.h"
#include "app/application_windows.h"
#include "app/main_form.h"
#include "common/errors.h"
#include "common/text_file.h"
#include "device/connect_form.h"
#include "logger_sim_launcher.h"
#include "records/load_data_form.h"
#include "reports/report_form.h"
#include "settings/alarm_form.h"
#include "settings/calibration_file.h"
#include "settings/calibration_form.h"
#include "settings/time_config_form.h"
#include "support/window_driving.h"
#include "users/add_user_form.h"
#include "users/audit_form.h"
#include "users/audit_log.h"
#include "users/login_form.h"
#include "users/user_store.h"

#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

namespace
{

// Longer than any step takes: a dialog still open then is closed, so that a failing journey
// ends instead of waiting in a modal loop for ever.
constexpr int DownloadGiveUpMs = 30000;
constexpr int CurveViewGiveUpMs = 90000;
constexpr int WindowWaitMs = 10000;

// The PNG entry of the picture-save dialog's filters, 1-based.
int PngFilterIndex()
{
    const QStringList filters = ChartImageFilters();
    for (int i = 0; i < filters.size(); ++i) {
        if (filters[i].contains(QStringLiteral("*.png")))
            return i + 1;
    }
    return 0;
}

// Closes the dialog if it is still open when the time is up.
void GiveUpAfter(QDialog* dialog, int ms, const std::function<void()>& close)
{
    QTimer::singleShot(ms, dialog, [dialog, close] {
        if (dialog->isVisible())
            close();
    });
}

} // namespace

SteadyClock::SteadyClock()
{
    m_elapsed.start();
}

QDateTime SteadyClock::utcNow() const
{
    return utcStart.addMSecs(m_elapsed.elapsed());
}

QDateTime SteadyClock::localNow() const
{
    return localStart.addMSecs(m_elapsed.elapsed());
}

UserJourney::UserJourney(const QStringList& loggerOptions)
    : m_previousFolder(QDir::currentPath()), m_logger(LoggerSimLinePace() + loggerOptions)
{
}

UserJourney::~UserJourney()
{
    // The windows first: they close the serial port and the user file before the services
    // and the folder go.
    m_windows.reset();
    SharedUserStore().close();
    ResetAuditLog();
    SetCurrentUserId(0);
    Services::setDialogs(nullptr);
    Services::setClock(nullptr);
    Services::setPorts(nullptr);
    m_logger.stop();
    QDir::setCurrent(m_previousFolder);
}

bool UserJourney::fail(const QString& why)
{
    if (m_failure.isEmpty())
        m_failure = why;
    return false;
}

void UserJourney::scene(const QString& name, QWidget* window)
{
    if (onScene)
        onScene(name, window);
}

bool UserJourney::launch()
{
    if (!m_folder.isValid())
        return fail(QStringLiteral("no temporary folder"));
    QDir::setCurrent(m_folder.path());
    if (!m_logger.start())
        return fail(QStringLiteral("logger-sim did not start: ") + m_logger.startError());
    m_ports.names = {m_logger.portPath()};
    Services::setDialogs(&m_dialogs);
    Services::setClock(&m_clock);
    Services::setPorts(&m_ports);
    // Nothing of an earlier run in this process.
    SharedUserStore().close();
    ResetAuditLog();
    SetCurrentUserId(0);
    try {
        WriteTextLines(CalibrationFileName, {QStringLiteral("0"), QStringLiteral("0")});
    } catch (const QuivelError& error) {
        return fail(QStringLiteral("cal.cfg could not be written: ") + error.message());
    }
    m_windows = std::make_unique<ApplicationWindows>();
    return true;
}

bool UserJourney::createFirstAccount()
{
    TAddUserForm* addUser = m_windows->AddUserForm();
    bool seen = false;
    WhenModal(
        addUser,
        [&] {
            Edit(addUser, "Edit1")->setText(JourneyDay::AccountId);
            Edit(addUser, "Edit2")->setText(JourneyDay::FirstName);
            Edit(addUser, "Edit3")->setText(JourneyDay::FamilyName);
            Edit(addUser, "Edit4")->setText(JourneyDay::Login);
            Edit(addUser, "Password")->setText(JourneyDay::Password);
            Edit(addUser, "Edit5")->setText(JourneyDay::Level);
            scene(QStringLiteral("first-account"), addUser);
            QTest::mouseClick(Button(addUser, "BitBtn1"), Qt::LeftButton);
            // A refused account leaves the dialog open: closed, the journey then stops at the
            // sign-in.
            if (addUser->isVisible())
                Button(addUser, "BitBtn2")->click();
        },
        &seen);
    m_windows->start();
    if (!QTest::qWaitFor([&] { return m_windows->LoginForm()->isVisible(); }, WindowWaitMs))
        return fail(QStringLiteral("the sign-in window did not come up"));
    if (!seen)
        return fail(QStringLiteral("the first run showed no add-user dialog"));
    return true;
}

bool UserJourney::signIn()
{
    TLoginForm* login = m_windows->LoginForm();
    TConnectForm* connection = m_windows->ConnectForm();
    Edit(login, "Edit1")->setText(JourneyDay::Login);
    Edit(login, "password")->setText(JourneyDay::Password);
    scene(QStringLiteral("signin"), login);

    // The connection dialog is pictured once the logger has answered the check.
    bool connectionSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != connection)
            return;
        connectionSeen = true;
        if (Child<QLabel>(connection, "statuslabel")->text().contains(QStringLiteral("(OK)"))) {
            watch.stop();
            scene(QStringLiteral("connection"), connection);
        }
    });
    watch.start(10);
    // Returns once the connection dialog has closed.
    QTest::mouseClick(Button(login, "BitBtn1"), Qt::LeftButton);
    watch.stop();
    if (!connectionSeen)
        return fail(QStringLiteral("no connection dialog after the sign-in"));
    TForm1* main = m_windows->Form1();
    if (!QTest::qWaitForWindowExposed(main, WindowWaitMs))
        return fail(QStringLiteral("the main window did not come up"));
    scene(QStringLiteral("main"), main);
    return true;
}

bool UserJourney::throughModal(const char* tile, QWidget* dialog, const std::function<void()>& act)
{
    auto* modal = qobject_cast<QDialog*>(dialog);
    bool seen = false;
    WhenModal(modal, act, &seen);
    QTest::mouseClick(Child<QLabel>(m_windows->Form1(), tile), Qt::LeftButton);
    if (!seen)
        return fail(QStringLiteral("%1 did not come up from the tile %2")
                        .arg(QString::fromLatin1(dialog->metaObject()->className()),
                             QString::fromLatin1(tile)));
    return true;
}

bool UserJourney::calibrate()
{
    Tcalibrationform* calibration = m_windows->calibrationform();
    const bool done = throughModal("Image3", calibration, [&] {
        Edit(calibration, "TempOffsetEdit")->setText(JourneyDay::TemperatureOffset);
        Edit(calibration, "HumOffsetEdit")->setText(JourneyDay::HumidityOffset);
        scene(QStringLiteral("calibration"), calibration);
        QTest::mouseClick(Button(calibration, "BitBtn1"), Qt::LeftButton);
        if (calibration->isVisible())
            calibration->reject();
    });
    if (done && !m_windows->timeconfigform()->isVisible())
        return fail(QStringLiteral("\"VALIDER\" did not open the clock dialog"));
    return done;
}

bool UserJourney::transferClock()
{
    Ttimeconfigform* clock = m_windows->timeconfigform();
    if (!clock->isVisible())
        return fail(QStringLiteral("the clock dialog is not open"));
    const qsizetype framesBefore = m_logger.frameLogLines().size();
    QTest::mouseClick(Button(clock, "BitBtn1"), Qt::LeftButton);
    const bool sent = QTest::qWaitFor(
        [&] { return !clock->TransferRunning() && m_logger.frameLogLines().size() > framesBefore; },
        WindowWaitMs);
    if (!sent)
        return fail(QStringLiteral("the configuration frame did not reach the logger"));
    scene(QStringLiteral("clock"), clock);
    clock->close();
    return true;
}

bool UserJourney::setAlarms()
{
    Talarmconfigform* alarms = m_windows->alarmconfigform();
    return throughModal("Image4", alarms, [&] {
        Edit(alarms, "talarmhedit")->setText(JourneyDay::TemperatureHigh);
        Edit(alarms, "talarmledit")->setText(JourneyDay::TemperatureLow);
        Edit(alarms, "halarmhedit")->setText(JourneyDay::HumidityHigh);
        Edit(alarms, "halarmledit")->setText(JourneyDay::HumidityLow);
        scene(QStringLiteral("alarms"), alarms);
        QTest::mouseClick(Button(alarms, "Button1"), Qt::LeftButton);
        if (alarms->isVisible())
            alarms->reject();
    });
}

bool UserJourney::openCurveView(const std::function<void()>& whileOpen)
{
    TLoadDataForm* download = m_windows->LoadDataForm();
    Tcurveform* view = m_windows->curveform();
    auto* progress = Child<QProgressBar>(download, "ProgressBar1");

    auto* problem = Child<QLabel>(download, "ProblemLabel");

    // The download is pictured under way, a good part of its values in; a problem that the
    // dialog reports is pictured too, and ends the download.
    bool underWayPictured = false;
    QString problemText;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!download->isVisible())
            return;
        if (problem->isVisible()) {
            watch.stop();
            problemText = problem->text();
            scene(QStringLiteral("download-problem"), download);
            Button(download, "BitBtn2")->click();
            return;
        }
        if (!underWayPictured && progress->maximum() > 0 &&
            progress->value() * 5 >= progress->maximum() * 2) {
            underWayPictured = true;
            scene(QStringLiteral("download"), download);
        }
    });
    bool downloadSeen = false;
    WhenModal(
        download,
        [&] {
            Edit(download, "Edit1")->setText(QString::number(JourneyDay::Records));
            QTest::mouseClick(Button(download, "BitBtn1"), Qt::LeftButton);
            watch.start(5);
            // "Ouvrir les données" if the download never completes.
            GiveUpAfter(download, DownloadGiveUpMs,
                        [download] { Button(download, "BitBtn2")->click(); });
        },
        &downloadSeen);
    // Up once the download dialog has closed and the view has taken the record file.
    bool viewSeen = false;
    WhenModal(
        view,
        [&] {
            scene(QStringLiteral("curves"), view);
            if (whileOpen)
                whileOpen();
            view->reject();
        },
        &viewSeen);
    GiveUpAfter(view, CurveViewGiveUpMs, [view] { view->reject(); });

    QTest::mouseClick(Child<QLabel>(m_windows->Form1(), "Image1"), Qt::LeftButton);
    watch.stop();
    if (!downloadSeen)
        return fail(QStringLiteral("the curve view showed no download dialog"));
    if (!problemText.isEmpty())
        return fail(QStringLiteral("the download dialog reported: ") + problemText);
    if (!viewSeen)
        return fail(QStringLiteral("the curve view did not come up after the download"));
    return true;
}

bool UserJourney::saveChart(ChartWindow* window, const QString& fileName)
{
    const bool temperature = window == m_windows->TempCurveForm();
    QTest::mouseClick(Button(m_windows->curveform(), temperature ? "BitBtn1" : "BitBtn2"),
                      Qt::LeftButton);
    if (!QTest::qWaitForWindowExposed(window, WindowWaitMs))
        return fail(
            QStringLiteral("the chart window %1 did not come up").arg(window->windowTitle()));
    scene(temperature ? QStringLiteral("chart-temperature") : QStringLiteral("chart-humidity"),
          window);
    m_dialogs.pictureAnswers.enqueue(FileSaveAnswer{fileName, PngFilterIndex()});
    QTest::mouseClick(Button(window, "BitBtn1"), Qt::LeftButton);
    window->close();
    return true;
}

void UserJourney::exportCsv(const QString& fileName)
{
    m_dialogs.saveAnswers.enqueue(FileSaveAnswer{fileName, 1});
    QTest::mouseClick(Button(m_windows->curveform(), "SpeedButton1"), Qt::LeftButton);
}

void UserJourney::requestReport(int firstRow)
{
    Tcurveform* view = m_windows->curveform();
    // Typed over the field's text: "Enregistrement fin" follows each keystroke.
    auto* first = Child<QSpinBox>(view, "startpdf");
    first->setFocus();
    first->selectAll();
    QTest::keyClicks(first, QString::number(firstRow));
    QTest::mouseClick(Button(view, "Button1"), Qt::LeftButton);
    Tformpdf* report = m_windows->formpdf();
    if (report->isVisible() && QTest::qWaitForWindowExposed(report, WindowWaitMs))
        scene(QStringLiteral("report"), report);
}

void UserJourney::saveReportPdf(const QString& fileName)
{
    Tformpdf* report = m_windows->formpdf();
    m_dialogs.saveAnswers.enqueue(FileSaveAnswer{fileName, 1});
    QTest::mouseClick(Button(report, "Button1"), Qt::LeftButton);
    report->close();
}

bool UserJourney::openAuditView(const std::function<void()>& whileOpen)
{
    TAuditForm* audit = m_windows->AuditForm();
    bool seen = false;
    WhenModal(
        audit,
        [&] {
            scene(QStringLiteral("audit"), audit);
            if (whileOpen)
                whileOpen();
            audit->reject();
        },
        &seen);
    QTest::mouseClick(Button(m_windows->Form1(), "Button2"), Qt::LeftButton);
    if (!seen)
        return fail(QStringLiteral("\"Audit Trail\" showed no audit view"));
    return true;
}

bool RunCommand(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return false;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return true;
}
