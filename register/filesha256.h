#pragma once

#include <QString>

#include <memory>

struct evp_md_ctx_st;

namespace kova {

// The SHA-256 of a file's bytes, fed as they are written or read: what the
// register keeps of an upload file, so that a file can later be told for the
// one written, byte for byte, whatever its payments.
class FileSha256 final
{
public:
    FileSha256();
    ~FileSha256();
    FileSha256(const FileSha256&) = delete;
    FileSha256& operator=(const FileSha256&) = delete;

    void add(const char* data, qint64 size);
    // 64 lower-case hex digits of everything added; nothing may be added after.
    QString hex();

private:
    struct ContextFree
    {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextFree> m_context;
};

} // namespace kova
