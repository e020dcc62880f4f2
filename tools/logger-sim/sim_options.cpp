#include "sim_options.h"

#include <QCommandLineParser>
#include <cstdio>

namespace
{

const char* const Description =
    "Simulated QUIVEL data logger on a pseudo-terminal.\n"
    "Prints the path of the terminal to open (e.g. /dev/pts/7) as the first line of its\n"
    "output, then serves until killed.\n"
    "Commands: \"t\" -> \"ok\\r\\n\"; \"s\" -> serial number + \"\\r\\n\"; \"r\" + N (decimal,\n"
    "complete after 30 ms without a digit) -> N values, each written on its own; \"c\" + 16\n"
    "bytes -> configuration frame, applied and logged. Anything else is ignored.\n"
    "Values: records at the logging period from --start, eight values each: day, month,\n"
    "hour, minute, temperature whole/decimal, humidity whole/decimal.\n"
    "Frame log: one line per frame of key=value tokens: bytes=<17 bytes> ms=<17 arrival\n"
    "times relative to the \"c\"> hour= minute= day= month= year=<full year 2000-2255>\n"
    "period_h= period_min= toff=<tenths, negative when tsign=1> tsign= hoff= hsign=\n"
    "serial=A/B/C/D restart=0|1. A frame left unfinished for 1 s is logged as a line\n"
    "starting with \"partial\" (bytes= and ms= only).";

bool parseIndexList(const QStringList& texts, QSet<qint64>* out)
{
    for (const QString& text : texts) {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value < 0)
            return false;
        out->insert(value);
    }
    return true;
}

bool parseNonNegative(const QString& text, double* out)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= 0.0))
        return false;
    *out = value;
    return true;
}

} // namespace

std::optional<SimOptions> ParseSimOptions(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Reply to \"s\", without the CR LF "
                                                   "(default 101/102/103/104/)."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption gap(QStringLiteral("gap-ms"),
                                 QStringLiteral("Pause between two values in ms, fractions "
                                                "allowed (default 5; 0 with --paced)."),
                                 QStringLiteral("MS"));
    const QCommandLineOption paced(
        QStringLiteral("paced"),
        QStringLiteral("Write the next value (and the second burst of a split reply) only once "
                       "the reader has taken the previous one, then pause --gap-ms."));
    const QCommandLineOption frameLog(QStringLiteral("frame-log"),
                                      QStringLiteral("Append each configuration frame received, "
                                                     "decoded, as one line to FILE."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption start(QStringLiteral("start"),
                                   QStringLiteral("Time of the first record, \"YYYY-MM-DD HH:MM\" "
                                                  "(default 2026-12-01 08:00)."),
                                   QStringLiteral("TIME"));
    const QCommandLineOption period(QStringLiteral("period-min"),
                                    QStringLiteral("Logging period in minutes (default 15); a "
                                                   "received frame sets it."),
                                    QStringLiteral("N"));
    const QCommandLineOption split(QStringLiteral("split-replies"),
                                   QStringLiteral("Send \"ok\\r\\n\" and the serial-number reply "
                                                  "each in two bursts, 50 ms apart, the second "
                                                  "only once the first was read."));
    const QCommandLineOption join(QStringLiteral("join-values"),
                                  QStringLiteral("Value K (0-based) and value K+1 go out in one "
                                                 "write; may be repeated."),
                                  QStringLiteral("K"));
    const QCommandLineOption malformed(QStringLiteral("malformed-value"),
                                       QStringLiteral("Value K is sent as \"<value>\\r\\n\"; may "
                                                      "be repeated."),
                                       QStringLiteral("K"));
    const QCommandLineOption sendG(QStringLiteral("send-g-after-ms"),
                                   QStringLiteral("Send an unsolicited \"g\" MS ms after start."),
                                   QStringLiteral("MS"));
    const QCommandLineOption hangup(QStringLiteral("hangup-after"),
                                    QStringLiteral("Close the line (both ends the simulator "
                                                   "holds) after K values of a download."),
                                    QStringLiteral("K"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Never answer anything (frames are still "
                                                   "logged)."));
    const QCommandLineOption stdinEof(QStringLiteral("exit-on-stdin-eof"),
                                      QStringLiteral("Exit when standard input closes."));
    parser.addOptions({help, serial, gap, paced, frameLog, start, period, split, join, malformed,
                       sendG, hangup, silent, stdinEof});

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        error->clear();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("Argument inattendu : %1").arg(parser.positionalArguments()[0]);
        return std::nullopt;
    }

    SimOptions o;
    o.paced = parser.isSet(paced);
    o.gapMs = o.paced ? 0.0 : 5.0;
    o.splitReplies = parser.isSet(split);
    o.silent = parser.isSet(silent);
    o.exitOnStdinEof = parser.isSet(stdinEof);
    if (parser.isSet(serial))
        o.serial = parser.value(serial);
    if (parser.isSet(frameLog))
        o.frameLogPath = parser.value(frameLog);
    if (parser.isSet(gap) && !parseNonNegative(parser.value(gap), &o.gapMs)) {
        *error = QStringLiteral("--gap-ms : nombre positif attendu");
        return std::nullopt;
    }
    if (parser.isSet(start)) {
        o.start = QDateTime::fromString(parser.value(start), QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!o.start.isValid()) {
            *error = QStringLiteral("--start : date attendue sous la forme YYYY-MM-DD HH:MM");
            return std::nullopt;
        }
    }
    if (parser.isSet(period)) {
        bool ok = false;
        o.periodMinutes = parser.value(period).toInt(&ok);
        if (!ok || o.periodMinutes <= 0) {
            *error = QStringLiteral("--period-min : nombre entier positif attendu");
            return std::nullopt;
        }
    }
    if (!parseIndexList(parser.values(join), &o.joinValues) ||
        !parseIndexList(parser.values(malformed), &o.malformedValues)) {
        *error = QStringLiteral("--join-values / --malformed-value : index entier attendu");
        return std::nullopt;
    }
    if (parser.isSet(sendG)) {
        double ms = 0;
        if (!parseNonNegative(parser.value(sendG), &ms)) {
            *error = QStringLiteral("--send-g-after-ms : nombre positif attendu");
            return std::nullopt;
        }
        o.sendGAfterMs = ms;
    }
    if (parser.isSet(hangup)) {
        QSet<qint64> k;
        if (!parseIndexList({parser.value(hangup)}, &k)) {
            *error = QStringLiteral("--hangup-after : nombre entier attendu");
            return std::nullopt;
        }
        o.hangupAfter = *k.begin();
    }
    return o;
}
