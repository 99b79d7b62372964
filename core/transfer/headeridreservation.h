#pragma once

#include <QString>

#include <optional>

namespace kova {

// How long a run waits for the Header ID lock, held for one read and one
// write of a small file.
constexpr int headerIdLockWaitMs = 5000;

// A Header ID taken for one upload file and the one stored for the next.
struct HeaderIdReservation
{
    qint64 used = 0;   // goes into the header record
    qint64 next = 0;   // stored for the next batch
    QString refusal;   // non-empty: nothing was reserved, nothing may be written
    // With the refusal of a typed Header ID that was already used: the next
    // free one, which the user may take instead; else 0.
    qint64 free = 0;
};

// Under a lock beside the settings file, so that exports running at the same
// time each get their own number: reads "HeaderID" of the transfer group (a
// missing key counts as 0; a value that is not a whole number is refused
// rather than read as 0) and the highest transfer Header ID the register of
// written batches lists. The next free one is above both. The batch takes
// typed, refused when below the next free one, or without it the next free
// one; max(stored, used) + 1 is stored, so no number is ever used twice.
HeaderIdReservation reserveHeaderId(const QString& settingsPath, std::optional<qint64> typed);

// The next free Header ID as reserveHeaderId() would find it now, without the
// lock, for the form to show: the stored one, or the one after the
// register's highest when that is later. None when the stored one is not a
// whole number.
std::optional<qint64> nextFreeHeaderId(const QString& settingsPath);

} // namespace kova
