#pragma once

#include <QHash>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct zip;

namespace xlsx {

// How far one part of the package may inflate. A workbook is untrusted input:
// a few kilobytes of deflate can expand to gigabytes, so every part is bounded
// by its inflated size and by how strongly it compresses, counted on the bytes
// actually inflated (the sizes the archive declares may lie).
struct ZipLimits final
{
    // A full-size sheet (1,048,576 rows) is a few hundred megabytes of XML.
    std::uint64_t maxEntrySize = 4ull * 1024 * 1024 * 1024;
    // Refuse a part once compressed / inflated falls below this ratio...
    double minInflateRatio = 0.01;
    // ...but only past this many inflated bytes: small parts may be repetitive.
    std::uint64_t ratioGraceSize = 1024 * 1024;
    // A workbook is a few parts plus two per sheet; the central directory of a
    // crafted file can list millions, each costing memory and a name check.
    std::uint64_t maxEntries = 10000;
};

// Read access to the parts of a zip package, each streamed in chunks through
// the bomb guards.
class ZipArchive final
{
public:
    // Receives inflated bytes; returning false stops the stream.
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    explicit ZipArchive(const QString& path, const ZipLimits& limits = {});
    // A package held in memory; the bytes must outlive the archive.
    ZipArchive(const char* data, std::size_t size, const ZipLimits& limits = {});
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // False as well for a package with more entries than the limit or with two
    // entries whose names are equal ignoring case and the kind of slash: which
    // of the two a reader takes is up to the reader, so the same file could
    // show other cells here than in a spreadsheet program.
    bool isOpen() const { return m_zip != nullptr; }
    // Part names compare case-insensitively, as package part names do. Some
    // Windows tools write entry names with backslashes: such an entry is
    // found under its name with slashes.
    bool contains(const std::string& part) const;
    // False when the part is missing, cannot be inflated, breaks a limit (or
    // inflates past maxSize, for parts that are small by nature), or the sink
    // stopped the stream.
    bool stream(const std::string& part, const Sink& sink, std::uint64_t maxSize = UINT64_MAX) const;

private:
    void refuseAmbiguous();
    std::int64_t locate(const std::string& part) const;

    zip* m_zip = nullptr;
    ZipLimits m_limits;
    // The entries named with backslashes, by their folded name with slashes.
    QHash<QString, std::int64_t> m_backslashed;
};

} // namespace xlsx
