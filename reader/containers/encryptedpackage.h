#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <string>

namespace reader {

// True when the bytes hold a workbook saved with a password: not a zip
// package but a compound file (the container of legacy Office files) whose
// streams EncryptionInfo and EncryptedPackage hold the encrypted package. A
// legacy workbook in the same container is not one.
bool isEncryptedPackage(const char* data, std::size_t size);

// What opening an encrypted package came to.
struct UnlockedPackage final
{
    enum class Outcome { Opened, PasswordNeeded, WrongPassword, Unreadable };
    Outcome outcome = Outcome::Unreadable;
    // The zip package, when opened: no larger than the encrypted one.
    QByteArray package;
    // Why it cannot be read, when Unreadable, for the user.
    std::string problem;
};

// The package decrypted with Excel's default key ("VelvetSweatshop", which
// Excel opens without asking) or else with password; agile (4.4) and
// standard (2.2 to 4.2) encryption with AES. Every size in the headers is
// checked against the streams that hold it.
UnlockedPackage unlockPackage(const char* data, std::size_t size, const QString& password);

} // namespace reader
