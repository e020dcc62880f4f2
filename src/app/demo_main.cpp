// The demo: the real program wired to the simulated logger instead of the machine's serial
// ports. It starts logger-sim (next to itself, or where the package installs it) at the real
// line's pace, lists only the simulator's pseudo-terminal as a port, and keeps the simulator's
// frame log in the working folder. Like a fresh installation, a working folder without cal.cfg
// gets one with zero offsets. quivel-demo -- <logger-sim options> passes the options on to the
// simulator, so a fault can be reproduced through the real program.
#include "app/application_windows.h"
#include "common/error_handler.h"
#include "common/errors.h"
#include "common/fixed_port_list.h"
#include "common/guarded_application.h"
#include "common/text_file.h"
#include "settings/calibration_file.h"

#include "logger_sim_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace
{

constexpr int SimulatorStartMs = 10000;

// Installed, logger-sim is in the package's own folder (QUIVEL_SIMULATOR_DIR, relative to the
// demo's folder, set by packaging/CMakeLists.txt); in the build tree it is next to the demo.
QString SimulatorPath()
{
    const QDir here(QCoreApplication::applicationDirPath());
    const QString installed =
        QDir::cleanPath(here.filePath(QStringLiteral(QUIVEL_SIMULATOR_DIR "/logger-sim")));
    if (QFileInfo::exists(installed))
        return installed;
    return here.filePath(QStringLiteral("logger-sim"));
}

// The demo's own options come first; the user's, after them, win where they repeat one.
QStringList SimulatorArguments(const QStringList& fromUser)
{
    return QStringList{QStringLiteral("--frame-log"), QStringLiteral("logger-sim.log")} +
           LoggerSimLinePace() + fromUser;
}

// Starts the simulator and returns the pseudo-terminal it names on its first line.
QString StartSimulator(QProcess& simulator, const QStringList& fromUser)
{
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const LoggerSimStart started =
        StartLoggerSim(simulator, SimulatorPath(), SimulatorArguments(fromUser), SimulatorStartMs);
    if (!started.ok())
        throw QuivelError(started.error);
    return started.portPath;
}

void ProvideCalibrationFile()
{
    if (!QFileInfo::exists(CalibrationFileName))
        WriteTextLines(CalibrationFileName, {QStringLiteral("0"), QStringLiteral("0")});
}

// The command line without the program's name, read before Qt takes its own options out.
QStringList CommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    const SplitArguments arguments = SplitAtDoubleDash(CommandLine(argc, argv));
    // Qt sees only what comes before "--": the simulator's options are not its own.
    int qtArgc = 1 + int(arguments.own.size());
    GuardedApplication app(qtArgc, argv);

    QProcess simulator;
    FixedPortList ports;
    if (!Guarded([&] { ports.names = {StartSimulator(simulator, arguments.simulator)}; }))
        return 1;
    Services::setPorts(&ports);
    Guarded([] { ProvideCalibrationFile(); });

    const int status = RunApplication();
    Services::setPorts(nullptr);
    StopLoggerSim(simulator);
    return status;
}
