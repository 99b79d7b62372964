#include "encryptedpackage.h"

#include "reader/containers/compoundfile.h"

namespace reader {

bool isEncryptedPackage(const char* data, std::size_t size)
{
    return holdsCompoundStream(data, size, "EncryptionInfo") && holdsCompoundStream(data, size, "EncryptedPackage");
}

} // namespace reader
