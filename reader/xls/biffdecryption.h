#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace reader {

enum class BiffUnlock { Opened, PasswordNeeded, WrongPassword, Unsupported, Damaged };

// Decrypts in place the records of a workbook stream that follow its
// FILEPASS record (at from), as XOR obfuscation (FILEPASS type 0) or RC4
// (type 1, the CryptoAPI form and the earlier one) encrypts them: each byte
// by its offset in the stream, record headers and the records Excel leaves
// in the clear kept as they are. Excel's default key ("VelvetSweatshop") is
// tried before password.
BiffUnlock decryptBiff(std::string& stream, std::size_t from, std::string_view filePass, const QString& password);

} // namespace reader
