// save-loop FOLDER FIRST-VERSION [--once]
//
// In FOLDER, keeps the record file as quivel.c00.bak and saves the new one (as a download
// does), then saves cal.cfg, then appends an audit entry, at version FIRST-VERSION, then the
// next, and so on until it is killed (or once, with --once). The kill -9 loops of tests/crash
// start it and kill it at random moments.

#include "common/errors.h"
#include "common/previous_generation.h"
#include "common/text_file.h"
#include "crash/kill_loop_files.h"
#include "settings/calibration_file.h"
#include "users/audit_log.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const qint32 first = args.value(2).toInt(&ok);
    if (args.size() < 3 || !ok || !QDir::setCurrent(args[1])) {
        std::fputs("usage: save-loop FOLDER FIRST-VERSION [--once]\n", stderr);
        return 2;
    }
    const bool once = args.contains(QStringLiteral("--once"));
    try {
        OpenAuditLog();
        SetCurrentUserId(KillLoop::UserId);
        std::fputs(KillLoop::ReadyLine, stdout);
        std::fflush(stdout);
        for (qint32 version = first;; ++version) {
            KeepPreviousGeneration(RecordFileName);
            WriteByteLines(RecordFileName, KillLoop::RecordLines(version));
            WriteTextLines(CalibrationFileName, KillLoop::CalibrationLines(version));
            AppendAuditEntry(KillLoop::Action, KillLoop::DetailsPrefix + QString::number(version));
            if (once)
                return 0;
        }
    } catch (const QuivelError& e) {
        std::fprintf(stderr, "save-loop: %s\n", e.what());
        return 1;
    }
}
