#include "sim_options.h"

#include <QCommandLineParser>
#include <cmath>
#include <cstdio>

namespace
{

const char* const Description =
    "Simulated QUIVEL data logger on a pseudo-terminal.\n"
    "Prints the path of the terminal to open (e.g. /dev/pts/7) as the first line of its\n"
    "output, then serves until killed.\n"
    "Commands: \"t\" -> \"ok\\r\\n\"; \"s\" -> serial number + \"\\r\\n\"; \"r\" + N (decimal,\n"
    "complete after 30 ms without a digit) -> N values, each written on its own; \"c\" + 16\n"
    "bytes -> configuration frame, applied and logged; the serial number it sets is then\n"
    "answered to \"s\" as four fields of three digits, each followed by \"/\" (044/005/...).\n"
    "Anything else is ignored.\n"
    "Values: records at the logging period from --start, eight values each: day, month,\n"
    "hour, minute, temperature whole/decimal, humidity whole/decimal. Below 0 C the\n"
    "temperature's whole part is negative and its decimal part is the digits after the\n"
    "point (-5.3 C: -5 then 3); between -1 and 0 C the whole part is 0.\n"
    "Frame log: one line per frame of key=value tokens: bytes=<17 bytes> ms=<17 arrival\n"
    "times relative to the \"c\"> hour= minute= day= month= year=<full year 2000-2255>\n"
    "period_h= period_min= toff=<tenths, negative when tsign=1> tsign= hoff= hsign=\n"
    "serial=A/B/C/D restart=0|1. A frame left unfinished for 1 s is logged as a line\n"
    "starting with \"partial\" (bytes= and ms= only).\n"
    "In the demo: quivel-demo starts this simulator with --frame-log logger-sim.log --paced\n"
    "--baud 57600, followed by every argument given after its own \"--\" (an option given\n"
    "again there wins): cd build/demo && ../bin/quivel-demo -- --join-values 3";

QCommandLineOption Option(const char* name, const char* help, const char* valueName = nullptr)
{
    QCommandLineOption option(QString::fromLatin1(name), QString::fromLatin1(help));
    if (valueName)
        option.setValueName(QString::fromLatin1(valueName));
    return option;
}

// How replies and values are paced on the line.
QList<QCommandLineOption> LineOptions()
{
    return {
        Option("serial", "Reply to \"s\", without the CR LF (default 101/102/103/104/).", "TEXT"),
        Option("gap-ms",
               "Pause between two values in ms, fractions allowed (default 5; 0 with --paced).",
               "MS"),
        Option("paced", "Write the next value (and the second burst of a split reply) only once "
                        "the reader has taken the previous one, then pause --gap-ms."),
        Option("baud",
               "Line rate: a write starts only once the previous write's bytes, 10 bits each, "
               "would have left a line at N baud. Combines with --paced and --gap-ms (the "
               "latest of the three goes); --paced --baud 57600 is the real line's pace.",
               "N"),
        Option("silent", "Never answer anything (frames are still logged)."),
    };
}

// What the logger holds.
QList<QCommandLineOption> ValueOptions()
{
    return {
        Option("start",
               "Time of the first record, \"YYYY-MM-DD HH:MM\" (default 2026-12-01 08:00).",
               "TIME"),
        Option("period-min", "Logging period in minutes (default 15); a received frame sets it.",
               "N"),
        Option("temperature",
               "Mean temperature in degrees C, -40 to 125, fractions allowed (default 21); the "
               "daily swing is about 3 degrees either way. -18 makes a freezer's logger.",
               "C"),
        Option("two-digit-decimals",
               "Decimal parts are hundredths, 0 to 99, instead of tenths (21.07 C: 21 then 7)."),
        Option("memory",
               "The logger holds M records: a request for more than M x 8 values gets only "
               "M x 8.",
               "M"),
        Option("set-value",
               "Value K (0-based) of every download is sent as V, any whole number (e.g. 255, "
               "which the program turns into 0, or -3); may be repeated.",
               "K=V"),
    };
}

// Faults a real line or logger may show.
QList<QCommandLineOption> FaultOptions()
{
    return {
        Option("split-replies", "Send \"ok\\r\\n\" and the serial-number reply each in two bursts, "
                                "50 ms apart, the second only once the first was read."),
        Option("join-values",
               "Value K (0-based) and value K+1 go out in one write; may be repeated.", "K"),
        Option("split-value",
               "Value K (0-based) goes out in two writes, the second only once the reader took "
               "the first (a one-character value goes whole); may be repeated.",
               "K"),
        Option("malformed-value", "Value K is sent as \"<value>\\r\\n\"; may be repeated.", "K"),
        Option("send-g-after-ms", "Send an unsolicited \"g\" MS ms after start.", "MS"),
        Option("hangup-after",
               "Close the line (both ends the simulator holds) after K values of a download.", "K"),
    };
}

QList<QCommandLineOption> ProcessOptions()
{
    return {
        QCommandLineOption({QStringLiteral("help"), QStringLiteral("h")},
                           QStringLiteral("Shows this help.")),
        Option("frame-log",
               "Append each configuration frame received, decoded, as one line to "
               "FILE.",
               "FILE"),
        Option("exit-on-stdin-eof", "Exit when standard input closes (the demo and the tests "
                                    "hold it open as a pipe)."),
    };
}

// Reads the option values; the first bad one leaves its French message in error().
class OptionReader
{
public:
    explicit OptionReader(const QCommandLineParser& parser) : m_parser(parser) {}
    const QString& error() const { return m_error; }
    bool isSet(const char* name) const { return m_parser.isSet(QString::fromLatin1(name)); }

    // A number within [min, max] (QString's conversion: never the C locale's).
    void real(const char* name, double min, double max, double* out)
    {
        bool ok = false;
        const double value = text(name).toDouble(&ok);
        if (ok && std::isfinite(value) && value >= min && value <= max)
            *out = value;
        else
            fail(name, QStringLiteral("nombre de %1 à %2 attendu")
                           .arg(min, 0, 'f', 0)
                           .arg(max, 0, 'f', 0));
    }
    void whole(const char* name, qint64 min, qint64 max, qint64* out)
    {
        bool ok = false;
        const qint64 value = text(name).toLongLong(&ok);
        if (ok && value >= min && value <= max)
            *out = value;
        else
            fail(name, QStringLiteral("nombre entier de %1 à %2 attendu").arg(min).arg(max));
    }
    void indexes(const char* name, QSet<qint64>* out)
    {
        for (const QString& t : m_parser.values(QString::fromLatin1(name))) {
            bool ok = false;
            const qint64 index = t.toLongLong(&ok);
            if (!ok || index < 0)
                return fail(name, QStringLiteral("index entier positif attendu"));
            out->insert(index);
        }
    }
    void replacements(const char* name, QMap<qint64, qint64>* out)
    {
        for (const QString& t : m_parser.values(QString::fromLatin1(name))) {
            const QStringList parts = t.split(QLatin1Char('='));
            bool indexOk = false, valueOk = false;
            const qint64 index = parts.value(0).toLongLong(&indexOk);
            const qint64 value = parts.value(1).toLongLong(&valueOk);
            if (parts.size() != 2 || !indexOk || index < 0 || !valueOk)
                return fail(name, QStringLiteral("K=V attendu (index, puis nombre entier)"));
            out->insert(index, value);
        }
    }

private:
    QString text(const char* name) const { return m_parser.value(QString::fromLatin1(name)); }
    void fail(const char* name, const QString& expected)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("--%1 : %2").arg(QLatin1String(name), expected);
    }

    const QCommandLineParser& m_parser;
    QString m_error;
};

void ReadLine(OptionReader& read, SimOptions& o)
{
    o.paced = read.isSet("paced");
    o.gapMs = o.paced ? 0.0 : 5.0;
    o.silent = read.isSet("silent");
    if (read.isSet("gap-ms"))
        read.real("gap-ms", 0.0, 60000.0, &o.gapMs);
    if (read.isSet("baud")) {
        qint64 baud = 0;
        read.whole("baud", 1, 4000000, &baud);
        o.baud = int(baud);
    }
}

void ReadValues(OptionReader& read, SimOptions& o)
{
    o.twoDigitDecimals = read.isSet("two-digit-decimals");
    if (read.isSet("period-min")) {
        qint64 minutes = 0;
        read.whole("period-min", 1, 65535, &minutes);
        o.periodMinutes = int(minutes);
    }
    if (read.isSet("temperature"))
        read.real("temperature", -40.0, 125.0, &o.meanTemperature);
    if (read.isSet("memory")) {
        qint64 records = 0;
        read.whole("memory", 0, 1000000000, &records);
        o.memoryRecords = records;
    }
    read.replacements("set-value", &o.setValues);
}

void ReadFaults(OptionReader& read, SimOptions& o)
{
    o.splitReplies = read.isSet("split-replies");
    read.indexes("join-values", &o.joinValues);
    read.indexes("split-value", &o.splitValues);
    read.indexes("malformed-value", &o.malformedValues);
    if (read.isSet("send-g-after-ms")) {
        double ms = 0;
        read.real("send-g-after-ms", 0.0, 86400000.0, &ms);
        o.sendGAfterMs = ms;
    }
    if (read.isSet("hangup-after")) {
        qint64 k = 0;
        read.whole("hangup-after", 0, 1000000000, &k);
        o.hangupAfter = k;
    }
}

} // namespace

std::optional<SimOptions> ParseSimOptions(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addOptions(ProcessOptions() + LineOptions() + ValueOptions() + FaultOptions());
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        error->clear();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("Argument inattendu : %1").arg(parser.positionalArguments()[0]);
        return std::nullopt;
    }

    SimOptions o;
    if (parser.isSet(QStringLiteral("serial")))
        o.serial = parser.value(QStringLiteral("serial"));
    o.frameLogPath = parser.value(QStringLiteral("frame-log"));
    o.exitOnStdinEof = parser.isSet(QStringLiteral("exit-on-stdin-eof"));
    if (parser.isSet(QStringLiteral("start"))) {
        o.start = QDateTime::fromString(parser.value(QStringLiteral("start")),
                                        QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!o.start.isValid()) {
            *error = QStringLiteral("--start : date attendue sous la forme YYYY-MM-DD HH:MM");
            return std::nullopt;
        }
    }
    OptionReader read(parser);
    ReadLine(read, o);
    ReadValues(read, o);
    ReadFaults(read, o);
    if (!read.error().isEmpty()) {
        *error = read.error();
        return std::nullopt;
    }
    return o;
}
