#pragma once

#include "support/logger_sim_process.h"
#include "support/scripted_services.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class ApplicationWindows;
class ChartWindow;
class QWidget;

// A clock that starts at a fixed moment and runs with real time: the clock dialog, the report
// and the audit trail show the same date on every run, and the audit times still move on.
class SteadyClock : public Clock
{
public:
    SteadyClock();
    // 9 December 2026, 10:05 UTC, 11:05 in the user's zone (the logger's UTC + 1).
    QDateTime utcStart = QDateTime(QDate(2026, 12, 9), QTime(10, 5), Qt::UTC);
    QDateTime localStart = QDateTime(QDate(2026, 12, 9), QTime(11, 5));
    QDateTime utcNow() const override;
    QDateTime localNow() const override;

private:
    QElapsedTimer m_elapsed;
};

// What the user types during the day: the acceptance test asserts against it, the screenshot
// generator shows it.
namespace JourneyDay
{
inline const QString AccountId = QStringLiteral("1");
inline const QString FirstName = QStringLiteral("Marie");
inline const QString FamilyName = QStringLiteral("Durand");
inline const QString Login = QStringLiteral("marie");
inline const QString Password = QStringLiteral("Quivel-2026");
inline const QString Level = QStringLiteral("9");
inline const QString TemperatureOffset = QStringLiteral("0,5");
inline const QString HumidityOffset = QStringLiteral("-1,2");
// Thresholds that the logger's daily swing crosses both ways.
inline const QString TemperatureHigh = QStringLiteral("24");
inline const QString TemperatureLow = QStringLiteral("19");
inline const QString HumidityHigh = QStringLiteral("85");
inline const QString HumidityLow = QStringLiteral("60");
constexpr int Records = 200;
constexpr int ReportFirstRow = 10;
// The names typed in the save dialogs; the chart images get their extension from the PNG
// filter, the report from the dialog's default suffix.
inline const QString TemperatureImage = QStringLiteral("courbe-temperature");
inline const QString HumidityImage = QStringLiteral("courbe-humidite");
inline const QString CsvFile = QStringLiteral("mesures.csv");
inline const QString ReportFile = QStringLiteral("rapport");
} // namespace JourneyDay

// A user's day through the real program's windows (ApplicationWindows, as the program builds
// them) against logger-sim on a pseudo-terminal at the real line's pace, in a fresh folder of
// its own. Each step acts as a user does: fields typed, buttons and tiles clicked, and the
// modal dialogs acted on from timers once they are up. The acceptance test asserts between
// the steps; the screenshot generator photographs the windows at the moments onScene names.
//
// A step returns false when a window it waits for never comes up; failure() says which.
class UserJourney
{
public:
    // Options given to logger-sim after the pace, for a faulty logger.
    explicit UserJourney(const QStringList& loggerOptions = {});
    ~UserJourney();
    UserJourney(const UserJourney&) = delete;
    UserJourney& operator=(const UserJourney&) = delete;

    // Called with a window worth a picture, while it shows what the user sees at that moment:
    // "first-account", "signin", "connection", "main", "calibration", "clock", "alarms",
    // "download", "download-problem", "curves", "chart-temperature", "chart-humidity",
    // "report", "audit".
    std::function<void(const QString& scene, QWidget* window)> onScene;

    // Starts logger-sim (--paced --baud 57600), installs the scripted dialogs, the clock and a
    // port list naming only the simulator's terminal, writes cal.cfg with zero offsets as an
    // installation ships it, and creates the windows.
    bool launch();

    ApplicationWindows& windows() const { return *m_windows; }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    LoggerSimProcess& logger() { return m_logger; }
    QString folder() const { return m_folder.path(); }
    QString failure() const { return m_failure; }

    // The splash, then the first run's add-user dialog filled with the day's account and saved;
    // returns once the sign-in window is up.
    bool createFirstAccount();
    // The day's login and password typed, "&Sign-in" clicked; returns once the connection dialog
    // has closed and the main window is up.
    bool signIn();
    // The "CALIBRATION" tile, the day's offsets typed, "VALIDER": the clock dialog is then open.
    bool calibrate();
    // "ENREGISTRER" in the open clock dialog, the question answered Yes; returns once the 17th
    // byte is out and the simulator has logged the frame, the dialog closed.
    bool transferClock();
    // The "ALARMES" tile, the day's thresholds typed, "&Valider".
    bool setAlarms();
    // The "AFFICHER LES COURBES" tile: in the download dialog the day's count typed and
    // "Télécharger les données" clicked; once the curve view shows the download, whileOpen runs
    // (the steps below), then the view is closed. A download that the dialog reports as wrong
    // fails the step: it is left with "Ouvrir les données".
    bool openCurveView(const std::function<void()>& whileOpen);

    // In the curve view: a chart window opened by its button and saved as PNG, then closed.
    bool saveChart(ChartWindow* window, const QString& fileName);
    // "Enregistrer CSV EXCEL", the file name given in the save dialog.
    void exportCsv(const QString& fileName);
    // The first row typed in "Enregistrement debut", "Générer le rapport PDF" clicked.
    void requestReport(int firstRow);
    // "Enregistrer PDF" in the report window, the file name given after the preview; the
    // report window is then closed.
    void saveReportPdf(const QString& fileName);

    // The main window's "Audit Trail" button; whileOpen runs while the audit view is up.
    bool openAuditView(const std::function<void()>& whileOpen);

private:
    void scene(const QString& name, QWidget* window);
    bool fail(const QString& why);
    // Clicks a main-window tile and runs act once the dialog is the modal window on top.
    bool throughModal(const char* tile, QWidget* dialog, const std::function<void()>& act);

    QTemporaryDir m_folder;
    QString m_previousFolder;
    ScriptedDialogs m_dialogs;
    SteadyClock m_clock;
    FixedPortList m_ports;
    LoggerSimProcess m_logger;
    std::unique_ptr<ApplicationWindows> m_windows;
    QString m_failure;
};

// Runs a command-line tool (pdftotext, pdftoppm) to its end; false when it cannot be run or
// fails. Its standard output goes to *output.
bool RunCommand(const QString& program, const QStringList& arguments, QString* output = nullptr);
