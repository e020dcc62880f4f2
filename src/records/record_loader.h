#pragma once

#include "records/table_sink.h"

#include <QString>

// Loads a record file into a table: columns 1 to 4 of one row per line, as many fields per
// line as the second line has (its ";" count plus one; the first line's in a file of one
// line); double quotes are dropped, column 0 is left empty. The table is emptied first.
// Raises EFOpenError when the file cannot be read and EListError (index 1) when it is empty;
// in both cases before the table is touched.
// Gives how many lines were read and how many of them are not record lines.
struct LoadSummary {
    qint64 lines = 0;
    qint64 notRecords = 0;
    // Most lines are no records: not a file of a download.
    bool mostlyNotRecords() const { return notRecords * 2 > lines; }
};
LoadSummary LoadRecordFile(const QString& fileName, TableSink& table);

// Whether a line is a record line as a download writes it: d/m;h:m;t.t;h.h, each value an
// optionally negative whole number (double quotes and a final ";" allowed, as the loader reads).
bool IsRecordLine(QStringView line);
