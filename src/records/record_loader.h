#pragma once

#include "records/table_sink.h"

#include <QString>

// Loads a record file into a table: columns 1 to 4 of one row per line, as many fields per
// line as the second line has (its ";" count plus one); double quotes are dropped, column 0
// is left empty. The table is emptied first.
// Raises EFOpenError when the file cannot be read and EListError (index 1) when it has fewer
// than two lines; in both cases before the table is touched.
void LoadRecordFile(const QString& fileName, TableSink& table);
