#pragma once

#include <cstddef>

namespace reader {

// True when the bytes hold a workbook saved with a password: not a zip
// package but a compound file (the container of legacy Office files) whose
// streams EncryptionInfo and EncryptedPackage hold the encrypted package. A
// legacy workbook in the same container is not one.
bool isEncryptedPackage(const char* data, std::size_t size);

} // namespace reader
