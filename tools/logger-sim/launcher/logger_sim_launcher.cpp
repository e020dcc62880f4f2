#include "logger_sim_launcher.h"

#include <QDeadlineTimer>

namespace
{

// The reason a start failed, with what the simulator said on stderr when the caller kept it.
QString StartError(QProcess& process, const QString& program, const QString& what)
{
    QString error = QStringLiteral("Le simulateur %1 %2").arg(program, what);
    if (process.processChannelMode() == QProcess::SeparateChannels) {
        process.waitForFinished(500);
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (!said.isEmpty())
            error += QStringLiteral(" (%1)").arg(said);
    }
    StopLoggerSim(process);
    return error;
}

} // namespace

QStringList LoggerSimLinePace()
{
    return {QStringLiteral("--paced"), QStringLiteral("--baud"), QString::number(LineBaud)};
}

LoggerSimStart StartLoggerSim(QProcess& process, const QString& program,
                              const QStringList& arguments, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    process.start(program, QStringList{QStringLiteral("--exit-on-stdin-eof")} + arguments,
                  QIODevice::ReadWrite);
    if (!process.waitForStarted(timeoutMs))
        return {{},
                QStringLiteral("Impossible de démarrer le simulateur %1 : %2")
                    .arg(program, process.errorString())};
    while (!process.canReadLine()) {
        if (process.state() != QProcess::Running && !process.waitForReadyRead(0))
            return {{},
                    StartError(process, program,
                               QStringLiteral("s'est arrêté sans donner son port (code %1).")
                                   .arg(process.exitCode()))};
        if (deadline.hasExpired())
            return {{}, StartError(process, program, QStringLiteral("n'a pas donné son port."))};
        process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    const QString path = QString::fromLocal8Bit(process.readLine()).trimmed();
    if (!path.startsWith(QLatin1Char('/')))
        return {{},
                StartError(process, program,
                           QStringLiteral("a donné « %1 » au lieu d'un port.").arg(path))};
    return {path, {}};
}

void StopLoggerSim(QProcess& process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.closeWriteChannel();
    if (process.waitForFinished(timeoutMs))
        return;
    process.terminate();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(timeoutMs);
    }
}

SplitArguments SplitAtDoubleDash(const QStringList& arguments)
{
    const qsizetype separator = arguments.indexOf(QStringLiteral("--"));
    if (separator < 0)
        return {arguments, {}};
    return {arguments.first(separator), arguments.mid(separator + 1)};
}
