#pragma once

#include <QHash>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct zip;

namespace reader {

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

// One part of the package being read: its inflated bytes, chunk by chunk,
// through the bomb guards. Made by ZipArchive::open(); it reads through the
// archive, so only one thread may use the two at a time.
class PartReader
{
public:
    virtual ~PartReader() = default;
    // The bytes written, 0 at the end, -1 when the part is damaged or breaks a limit.
    virtual std::int64_t read(char* buffer, std::size_t size) = 0;
    // What the part declares it inflates to; it only sizes buffers.
    virtual std::uint64_t declaredSize() const = 0;
    // Why read() failed ("damaged (CRC-32 mismatch)"), for the user; null before it did.
    virtual const char* fault() const = 0;
};

// Read access to the parts of a zip package, each streamed in chunks through
// the bomb guards.
class ZipArchive final
{
public:
    // Receives inflated bytes; returning false stops the stream.
    using Sink = std::function<bool(const char* data, std::size_t size)>;
    // Deflated entries are inflated by ISA-L unless zlib is asked for (to
    // compare the two); stored entries and other methods always go through
    // libzip and zlib.
    enum class Inflater { Fastest, Zlib };

    explicit ZipArchive(const QString& path, const ZipLimits& limits = {}, Inflater inflater = Inflater::Fastest);
    // A package held in memory; the bytes must outlive the archive.
    ZipArchive(const char* data, std::size_t size, const ZipLimits& limits = {},
               Inflater inflater = Inflater::Fastest);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // False as well for a package with more entries than the limit or with two
    // entries whose names are equal ignoring case and the kind of slash: which
    // of the two a reader takes is up to the reader, so the same file could
    // show other cells here than in a spreadsheet program.
    bool isOpen() const { return m_zip != nullptr; }
    // Why the package did not open, or which part last failed to read and
    // why ("xl/styles.xml: damaged (CRC-32 mismatch)"), for the user; empty
    // when nothing failed since clearProblem(). The readers of the parts note
    // it through the archive they share.
    const std::string& problem() const { return m_problem; }
    void noteProblem(const std::string& part, const std::string& why) const;
    void clearProblem() { m_problem.clear(); }
    // Part names compare case-insensitively, as package part names do. Some
    // Windows tools write entry names with backslashes: such an entry is
    // found under its name with slashes.
    bool contains(const std::string& part) const;
    // False when the part is missing, cannot be inflated, breaks a limit (or
    // inflates past maxSize, for parts that are small by nature), or the sink
    // stopped the stream. fault, when given, then says why, unless the sink
    // stopped it.
    bool stream(const std::string& part, const Sink& sink, std::uint64_t maxSize = UINT64_MAX,
                const char** fault = nullptr) const;
    // The same part to be read on demand; null when it is missing or cannot
    // be opened, and fault, when given, says why.
    std::unique_ptr<PartReader> open(const std::string& part, std::uint64_t maxSize = UINT64_MAX,
                                     const char** fault = nullptr) const;

private:
    void refuseAmbiguous();
    std::int64_t locate(const std::string& part) const;

    zip* m_zip = nullptr;
    ZipLimits m_limits;
    Inflater m_inflater;
    // The entries named with backslashes, by their folded name with slashes.
    QHash<QString, std::int64_t> m_backslashed;
    mutable std::string m_problem;
};

} // namespace reader
