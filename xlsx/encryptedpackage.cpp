#include "encryptedpackage.h"

#include "compoundfile.h"

namespace xlsx {

bool isEncryptedPackage(const char* data, std::size_t size)
{
    return holdsCompoundStream(data, size, "EncryptionInfo") && holdsCompoundStream(data, size, "EncryptedPackage");
}

} // namespace xlsx
