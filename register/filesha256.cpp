#include "filesha256.h"

#include <openssl/evp.h>

#include <QByteArray>

namespace kova {

void FileSha256::ContextFree::operator()(evp_md_ctx_st* context) const
{
    EVP_MD_CTX_free(context);
}

FileSha256::FileSha256() : m_context(EVP_MD_CTX_new())
{
    if (!m_context || EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) != 1)
        qFatal("SHA-256 is not available");
}

FileSha256::~FileSha256() = default;

void FileSha256::add(const char* data, qint64 size)
{
    if (EVP_DigestUpdate(m_context.get(), data, size_t(size)) != 1)
        qFatal("SHA-256 is not available");
}

QString FileSha256::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_DigestFinal_ex(m_context.get(), digest, &size) != 1)
        qFatal("SHA-256 is not available");
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), int(size)).toHex());
}

} // namespace kova
