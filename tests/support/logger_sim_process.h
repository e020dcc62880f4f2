#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The simulated logger (tools/logger-sim) as a child process of a test, on a pseudo-terminal
// of its own:
//   LoggerSimProcess sim({"--paced"});
//   QVERIFY(sim.start());
//   port.setPort(sim.portPath());
// Started through the launcher that the demo uses too (tools/logger-sim/launcher), the
// simulator always gets --frame-log (a file in its own temporary folder) and
// --exit-on-stdin-eof (it goes away with the test even if the test crashes). The destructor
// stops it.
class LoggerSimProcess
{
public:
    explicit LoggerSimProcess(QStringList extraArguments = {});
    ~LoggerSimProcess();
    LoggerSimProcess(const LoggerSimProcess&) = delete;
    LoggerSimProcess& operator=(const LoggerSimProcess&) = delete;

    // Launches the simulator and waits for the line that names its pseudo-terminal.
    bool start(int timeoutMs = 10000);
    // Why start() failed, in French; empty after a successful start.
    QString startError() const { return m_startError; }
    // Stops the simulator (end of its stdin, then SIGTERM, then SIGKILL) and waits for it.
    void stop();
    bool isRunning() const;

    // The pseudo-terminal to open (e.g. /dev/pts/7); empty before start().
    QString portPath() const { return m_portPath; }
    QString frameLogPath() const;
    // The frame-log lines written so far.
    QStringList frameLogLines() const;
    // The key=value tokens of one frame-log line ("partial" has no "=" and is left out).
    static QMap<QString, QString> frameFields(const QString& line);

    // What the simulator wrote on stderr (for failure messages).
    QString errorOutput();

private:
    QStringList m_arguments;
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_portPath;
    QString m_startError;
};
