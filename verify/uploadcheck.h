#pragma once

#include "problemlines.h"
#include "uploadlayout.h"

namespace kova {

// Each detail record of a reading whose fields can be told apart, in the
// file's order: for what is made of a file beside its check.
class UploadRecords
{
public:
    virtual ~UploadRecords() = default;
    virtual void detail(int line, const UploadPayee& payee, std::optional<Cents> amount) = 0;
};

// An upload file of any of the four layouts, however it was made (written
// yesterday, edited by hand, made by another program), read as the bank
// reads it: the type told by its header record; every record's width or
// fields, characters and line end; each field by the rules the exports write
// it by; the header's record count and total against the records; and the
// SHA-256 of its bytes, which the register of written batches knows the
// files it wrote by. Read as a stream: memory does not grow with the file.
class UploadCheck final
{
public:
    explicit UploadCheck(const QString& path, UploadRecords* records = nullptr);

    // Why the file could not be checked at all: it cannot be read, or its
    // first line is no header record of the four layouts. Empty otherwise.
    const QString& failure() const { return m_failure; }
    BatchType type() const { return m_type; }
    const UploadHeader& header() const { return m_header; }
    const QString& sha256() const { return m_sha256; }
    // None: the file is sound.
    ProblemLines& problems() { return m_problems; }
    int problemCount() const { return m_problems.count(); }

private:
    // The failure, or empty once the whole file was read.
    QString read(const QString& path, UploadRecords* records);

    QString m_failure;
    BatchType m_type = BatchType::Transfer;
    UploadHeader m_header;
    QString m_sha256;
    ProblemLines m_problems;
};

} // namespace kova
