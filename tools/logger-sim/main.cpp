// logger-sim: a simulated QUIVEL data logger on a pseudo-terminal (see --help).
#include "pseudo_terminal.h"
#include "session.h"
#include "sim_options.h"

#include <QCoreApplication>
#include <cstdio>
#include <sys/prctl.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Sub-millisecond gaps and pacing polls: sleep as long as asked, not 50 us more.
    prctl(PR_SET_TIMERSLACK, 1UL);
    QString error;
    const std::optional<SimOptions> options = ParseSimOptions(app.arguments(), &error);
    if (!options) {
        if (error.isEmpty())
            return 0;
        std::fprintf(stderr, "logger-sim: %s\n", qPrintable(error));
        return 2;
    }
    PseudoTerminal line;
    if (!line.open(&error)) {
        std::fprintf(stderr, "logger-sim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);
    Session session(*options, line);
    return session.run();
}
