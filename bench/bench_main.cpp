#include "bench.h"

#include "common/guarded_application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <unistd.h>

std::vector<BenchCase>& BenchRegistry()
{
    static std::vector<BenchCase> cases;
    return cases;
}

static double statusFieldMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(field)) {
            const QByteArray kb = line.mid(int(std::strlen(field))).trimmed().split(' ').value(0);
            return kb.toDouble() / 1024.0;
        }
    }
    return 0.0;
}

double PeakResidentMiB()
{
    return statusFieldMiB("VmHWM:");
}

double CurrentResidentMiB()
{
    return statusFieldMiB("VmRSS:");
}

// Without Qt Charts the figures against it are missing: say so first, where nobody can miss
// it, rather than leave a reader to notice a row that is not there.
static void WarnOfMissingPeers()
{
#ifndef QUIVEL_HAVE_QTCHARTS
    const char* const warning =
        "**********************************************************************\n"
        "* Qt Charts was not found when this benchmark was built: nothing is  *\n"
        "* measured against it. Install qt6-charts-dev, reconfigure, rebuild. *\n"
        "**********************************************************************\n";
    std::fputs(warning, stdout);
    if (!isatty(fileno(stdout))) // figures going to a file: the terminal hears it too
        std::fputs(warning, stderr);
#endif
}

// quivel-bench [substring]: runs every case, or those whose name contains the text.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    GuardedApplication app(argc, argv);
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());
    WarnOfMissingPeers();
    const char* filter = argc > 1 ? argv[1] : nullptr;
    for (const BenchCase& c : BenchRegistry()) {
        if (filter && !std::strstr(c.name, filter))
            continue;
        std::printf("== %s\n", c.name);
        std::fflush(stdout);
        c.run();
        std::fflush(stdout);
    }
    return 0;
}
