#pragma once

#include "record/money.h"
#include "types/batchtype.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace kova {

// Where the problems of the record being read go; the frame puts each on the
// record's line.
class UploadProblems
{
public:
    virtual ~UploadProblems() = default;
    virtual void add(const QString& text) = 0;
};

// What a header record announces: as written, for the problem lines and for
// what cannot be read, and read where it can be, for the records to be held
// against.
struct UploadHeader
{
    QString headerId;        // the transfer layout's only: the number, or as written
    QString effectiveDate;   // "2026-12-06", "on authorization", or as written
    QString records;         // the record count as written
    QString total;           // as written
    QString company;         // the Corporate ID, or the company code's digits, as written
    QString account;         // the account paid from or collected into; the transfer layout names none
    std::optional<qint64> recordCount;
    std::optional<Cents> totalCents;
};

// Whom a detail record pays (or collects from), as written, padding aside.
struct UploadPayee
{
    QString name;
    QString account;
    // The account paid from where each record names its own (the transfer
    // layout); empty where the header names it.
    QString fromAccount;
};

// One layout's reading of an upload file, given its records by the frame
// (UploadCheck) one by one, line ends taken off: the header record first,
// then each detail record. What the header says (its clearing, say) rules
// the detail records after it, so each file is read by a fresh layout.
class UploadLayout
{
public:
    virtual ~UploadLayout() = default;

    virtual BatchType type() const = 0;
    // The first record is this layout's header record: how the type is told.
    virtual bool isHeader(const QByteArray& record) const = 0;
    // Reports what is wrong with the record's characters and with its width
    // or fields; false when its fields cannot be told apart, which leaves
    // the rest of it unread.
    virtual bool fitsShape(const QByteArray& record, bool header, UploadProblems& problems) const = 0;
    virtual UploadHeader readHeader(const QByteArray& record, UploadProblems& problems) = 0;
    // The record's amount, where it reads as one the export writes.
    virtual std::optional<Cents> readDetail(const QByteArray& record, UploadProblems& problems) = 0;
    // Only of a record that fitsShape() passed.
    virtual UploadPayee payee(const QByteArray& record) const = 0;
};

std::unique_ptr<UploadLayout> transferLayout();
std::unique_ptr<UploadLayout> creditLayout();
std::unique_ptr<UploadLayout> collectionLayout();
std::unique_ptr<UploadLayout> payrollLayout();

} // namespace kova
