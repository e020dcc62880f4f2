#pragma once

#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

// What the simulated logger was told on its command line.
struct SimOptions {
    QString serial = QStringLiteral("101/102/103/104/");
    double gapMs = 5.0;
    bool paced = false;
    int baud = 0; // 0: no line rate
    QString frameLogPath;
    QDateTime start = QDateTime(QDate(2026, 12, 1), QTime(8, 0));
    int periodMinutes = 15;
    double meanTemperature = 21.0;
    bool twoDigitDecimals = false;
    std::optional<qint64> memoryRecords;
    bool splitReplies = false;
    QSet<qint64> joinValues;
    QSet<qint64> splitValues;
    QSet<qint64> malformedValues;
    QMap<qint64, qint64> setValues; // value index -> value sent instead
    std::optional<double> sendGAfterMs;
    std::optional<qint64> hangupAfter;
    bool silent = false;
    bool exitOnStdinEof = false;
};

// Parses the arguments (argv[0] first). On a bad option gives nullopt and a French message
// in *error; on --help gives nullopt with an empty error after printing the help.
std::optional<SimOptions> ParseSimOptions(const QStringList& arguments, QString* error);
