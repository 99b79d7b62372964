#pragma once

#include <QString>

#include <optional>

// A Header ID taken for one upload file and the one stored for the next.
struct HeaderIdReservation
{
    qint64 used = 0;   // goes into the header record
    qint64 next = 0;   // stored for the next batch
    QString refusal;   // non-empty: nothing was reserved, nothing may be written
};

// Reads "HeaderID" of the transfer group (missing or not a number: 0), takes
// typed as the batch's number or, without it, the stored one (at least 1),
// and stores max(stored, used) + 1, so no number is ever used twice going
// forward. Read and store happen under a lock beside the settings file, so
// exports running at the same time each get their own number.
HeaderIdReservation reserveHeaderId(const QString& settingsPath, std::optional<qint64> typed);
