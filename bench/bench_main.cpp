#include "bench.h"

#include "common/error_handler.h"
#include "common/guarded_application.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

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

// quivel-bench [substring]: runs every case, or those whose name contains the text.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    GuardedApplication app(argc, argv);
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());
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
