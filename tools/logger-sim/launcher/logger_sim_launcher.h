#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Starting the simulated logger (logger-sim) as a child process: one way for the demo, the
// tests and the benchmarks. Qt Core only, so that the demo can use it without the tests'
// support code.

// The real logger's line: 57600 baud, 8N1 (ten bits a byte).
constexpr int LineBaud = 57600;
// The simulator's options that send the values at that line's pace.
QStringList LoggerSimLinePace();
// The time that many bytes take on that line, in seconds.
inline double LineSeconds(qint64 bytes)
{
    return double(bytes) * 10.0 / LineBaud;
}

// What a start gave: the pseudo-terminal to open, or why there is none (French, for the user).
struct LoggerSimStart {
    QString portPath;
    QString error;
    bool ok() const { return !portPath.isEmpty(); }
};

// Starts program with --exit-on-stdin-eof followed by arguments, its stdin held open as a
// pipe (its end of file tells the simulator to go, even when the caller dies), and waits at
// most timeoutMs for its first output line, the pseudo-terminal's path. The caller sets the
// process's channel mode beforehand (stderr forwarded or kept). On failure the process is
// stopped, and the error quotes what it wrote on stderr when that was kept.
LoggerSimStart StartLoggerSim(QProcess& process, const QString& program,
                              const QStringList& arguments, int timeoutMs);

// Stops a simulator started so: closes its stdin, then SIGTERM, then SIGKILL, waiting up to
// timeoutMs after each.
void StopLoggerSim(QProcess& process, int timeoutMs = 2000);

// A program's arguments (without its own name) split at the first "--": its own before, the
// ones it passes on to the simulator after.
struct SplitArguments {
    QStringList own;
    QStringList simulator;
};
SplitArguments SplitAtDoubleDash(const QStringList& arguments);
