#include "support/logger_sim_process.h"

#include <QDeadlineTimer>
#include <QFile>

LoggerSimProcess::LoggerSimProcess(QStringList extraArguments)
    : m_arguments(std::move(extraArguments))
{
    m_process.setProgram(QStringLiteral(QUIVEL_LOGGER_SIM));
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
    QStringList arguments = m_arguments;
    arguments << QStringLiteral("--frame-log") << frameLogPath()
              << QStringLiteral("--exit-on-stdin-eof");
    m_process.setArguments(arguments);
    // Stdin stays open as a pipe: its end of file tells the simulator to go.
    m_process.start(QIODevice::ReadWrite);
    if (!m_process.waitForStarted(timeoutMs))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running)
            return false;
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    m_portPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return m_portPath.startsWith(QLatin1Char('/'));
}

void LoggerSimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
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
