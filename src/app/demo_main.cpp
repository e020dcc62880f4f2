// The demo: the real program wired to the simulated logger instead of the machine's serial
// ports. It starts logger-sim (next to itself), lists only the simulator's pseudo-terminal as
// a port, and keeps the simulator's frame log in the working folder. Like a fresh installation,
// a working folder without cal.cfg gets one with zero offsets.
#include "app/application_windows.h"
#include "common/error_handler.h"
#include "common/errors.h"
#include "common/fixed_port_list.h"
#include "common/guarded_application.h"
#include "common/text_file.h"
#include "settings/calibration_file.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace
{

constexpr int SimulatorStartMs = 10000;

QString SimulatorPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("logger-sim"));
}

// Starts the simulator and returns the pseudo-terminal it names on its first line.
QString StartSimulator(QProcess& simulator)
{
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(SimulatorPath(),
                    {QStringLiteral("--frame-log"), QStringLiteral("logger-sim.log"),
                     QStringLiteral("--exit-on-stdin-eof")});
    if (!simulator.waitForStarted(SimulatorStartMs))
        throw QuivelError(QStringLiteral("Impossible de démarrer le simulateur %1 : %2")
                              .arg(SimulatorPath(), simulator.errorString()));
    while (!simulator.canReadLine()) {
        if (!simulator.waitForReadyRead(SimulatorStartMs))
            throw QuivelError(
                QStringLiteral("Le simulateur %1 n'a pas donné son port.").arg(SimulatorPath()));
    }
    return QString::fromLocal8Bit(simulator.readLine()).trimmed();
}

void ProvideCalibrationFile()
{
    if (!QFileInfo::exists(CalibrationFileName))
        WriteTextLines(CalibrationFileName, {QStringLiteral("0"), QStringLiteral("0")});
}

void StopSimulator(QProcess& simulator)
{
    if (simulator.state() == QProcess::NotRunning)
        return;
    simulator.closeWriteChannel();
    if (!simulator.waitForFinished(2000)) {
        simulator.terminate();
        simulator.waitForFinished(2000);
    }
}

} // namespace

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);

    QProcess simulator;
    FixedPortList ports;
    if (!Guarded([&] { ports.names = {StartSimulator(simulator)}; }))
        return 1;
    Services::setPorts(&ports);
    Guarded([] { ProvideCalibrationFile(); });

    const int status = RunApplication();
    Services::setPorts(nullptr);
    StopSimulator(simulator);
    return status;
}
