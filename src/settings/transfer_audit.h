#pragma once

#include "device/protocol.h"

#include <QString>

// The details of the clock transfer's audit entry: the period as always ("periode H0perdiod
// min15"), then what the frame carries, as the data logger will receive it:
//   " départ:suite" or " départ:ZÉRO, mémoire du datalogger effacée"
//   " horloge 09/12/2026 11:05" (the clock fields, UTC plus one hour)
//   " offset t0.5 offset h-1.2" (the offsets as read, with a point whatever the settings)
//   " sn 101/102/103/104" (each field's byte; "?" for a field that is no whole number,
//   which stops the transfer before its first byte)
// About 150 characters at most: it fits the 250 of the record.
QString TransferAuditDetails(const TFrameSources& sources);
