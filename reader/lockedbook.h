#pragma once

#include "reader/cells/book.h"

namespace reader {

// A workbook saved with a password that did not open: no sheets, and the
// problem says whether a password is needed, was wrong, or the encrypted
// file itself is damaged.
class LockedBook final : public Book
{
public:
    enum class Lock { PasswordNeeded, WrongPassword, Damaged };

    LockedBook(Lock lock, QString problem) : m_lock(lock), m_problem(std::move(problem)) {}

    QStringList sheetNames() const override { return {}; }
    bool selectSheet(const QString&) override { return false; }
    CellRange dimension() const override { return {}; }
    QVariant read(int, int) const override { return {}; }
    QString text(int, int) const override { return {}; }
    QString problem() const override { return m_problem; }
    bool isPasswordProtected() const override { return m_lock != Lock::Damaged; }
    bool opensWithPassword() const override { return isPasswordProtected(); }

private:
    const Lock m_lock;
    const QString m_problem;
};

} // namespace reader
