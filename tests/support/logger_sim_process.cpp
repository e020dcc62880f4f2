#include "support/logger_sim_process.h"

#include "logger_sim_launcher.h"

#include <QFile>

LoggerSimProcess::LoggerSimProcess(QStringList extraArguments)
    : m_arguments(std::move(extraArguments))
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
}

LoggerSimProcess::~LoggerSimProcess()
{
    stop();
}

QString LoggerSimProcess::frameLogPath() const
{
    return m_dir.filePath(QStringLiteral("frames.log"));
}

bool LoggerSimProcess::start(int timeoutMs)
{
    if (isRunning())
        return !m_portPath.isEmpty();
    if (!m_dir.isValid())
        return false;
    const QStringList arguments =
        m_arguments + QStringList{QStringLiteral("--frame-log"), frameLogPath()};
    const LoggerSimStart started =
        StartLoggerSim(m_process, QStringLiteral(QUIVEL_LOGGER_SIM), arguments, timeoutMs);
    m_portPath = started.portPath;
    m_startError = started.error;
    return started.ok();
}

void LoggerSimProcess::stop()
{
    StopLoggerSim(m_process);
}

bool LoggerSimProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

QStringList LoggerSimProcess::frameLogLines() const
{
    QFile file(frameLogPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QMap<QString, QString> LoggerSimProcess::frameFields(const QString& line)
{
    QMap<QString, QString> fields;
    const QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& token : tokens) {
        const qsizetype eq = token.indexOf(QLatin1Char('='));
        if (eq > 0)
            fields.insert(token.left(eq), token.mid(eq + 1));
    }
    return fields;
}

QString LoggerSimProcess::errorOutput()
{
    return QString::fromLocal8Bit(m_process.readAllStandardError());
}
