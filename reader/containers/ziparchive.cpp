#include "ziparchive.h"

#include "reader/containers/deflatereader.h"
#include "reader/containers/prefetch.h"

#include <QFile>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace reader {

namespace {

// Parts this large are inflated on a worker thread while they are parsed.
constexpr std::uint64_t kPrefetchSize = 16 * 1024 * 1024;

// An entry name as it compares with others: without case, "\\" as "/".
QString folded(const char* name)
{
    return QString::fromUtf8(name).toCaseFolded().replace(QLatin1Char('\\'), QLatin1Char('/'));
}

struct FileCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// An entry's inflated bytes, from zlib through libzip or from ISA-L over the
// entry's stored bytes, counted against the limits as they come.
class EntryReader final : public PartReader
{
public:
    EntryReader(std::unique_ptr<zip_file_t, FileCloser> file, const zip_stat_t& stat, bool fast, std::uint64_t limit,
                const ZipLimits& limits)
        : m_file(std::move(file))
        , m_declaredSize((stat.valid & ZIP_STAT_SIZE) ? stat.size : UINT64_MAX)
        , m_compressed(double(stat.comp_size))
        , m_limit(limit)
        , m_limits(limits)
    {
        if (fast) {
            zip_file_t* raw = m_file.get();
            m_deflate = std::make_unique<DeflateReader>(
                [raw](char* buffer, std::size_t size) -> std::int64_t {
                    const zip_int64_t n = zip_fread(raw, buffer, size);
                    return n < 0 ? -1 : n;
                },
                stat.size, stat.crc);
        }
    }

    std::int64_t read(char* buffer, std::size_t size) override
    {
        if (m_fault)
            return -1;
        std::int64_t n;
        if (m_deflate) {
            n = m_deflate->read(buffer, size);
            if (n < 0)
                return fail(m_deflate->fault());
        } else {
            const zip_int64_t got = zip_fread(m_file.get(), buffer, size);
            if (got < 0)
                return fail(zip_error_code_zip(zip_file_get_error(m_file.get())) == ZIP_ER_CRC
                                ? "damaged (CRC-32 mismatch)" : "damaged (cannot be inflated)");
            n = got;
            // libzip checks the CRC but not the length: an entry that ends
            // elsewhere than it declares is as damaged as one ISA-L refuses.
            if (n == 0 && m_declaredSize != UINT64_MAX && m_inflated != m_declaredSize)
                return fail("damaged (not the size it declares)");
        }
        if (n == 0)
            return n;
        m_inflated += std::uint64_t(n);
        if (m_inflated > m_limit)
            return fail("inflates past its limit");
        if (m_inflated > m_limits.ratioGraceSize && m_compressed < double(m_inflated) * m_limits.minInflateRatio)
            return fail("inflates too far for its compressed size");
        return n;
    }

    std::uint64_t declaredSize() const override { return m_declaredSize; }
    const char* fault() const override { return m_fault; }

private:
    std::int64_t fail(const char* fault)
    {
        m_fault = fault;
        return -1;
    }

    std::unique_ptr<zip_file_t, FileCloser> m_file;
    std::unique_ptr<DeflateReader> m_deflate;
    const std::uint64_t m_declaredSize;
    const double m_compressed;
    const std::uint64_t m_limit;
    const ZipLimits m_limits;
    std::uint64_t m_inflated = 0;
    const char* m_fault = nullptr;
};

} // namespace

ZipArchive::ZipArchive(const QString& path, const ZipLimits& limits, Inflater inflater)
    : m_limits(limits), m_inflater(inflater)
{
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!m_zip)
        m_problem = "the package is not a readable zip file";
    refuseAmbiguous();
}

ZipArchive::ZipArchive(const char* data, std::size_t size, const ZipLimits& limits, Inflater inflater)
    : m_limits(limits), m_inflater(inflater)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
    if (source) {
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip)
            zip_source_free(source);
    }
    zip_error_fini(&error);
    if (!m_zip)
        m_problem = "the package is not a readable zip file";
    refuseAmbiguous();
}

void ZipArchive::refuseAmbiguous()
{
    if (!m_zip)
        return;
    const zip_int64_t entries = zip_get_num_entries(m_zip, 0);
    bool refused = entries < 0 || std::uint64_t(entries) > m_limits.maxEntries;
    if (refused)
        m_problem = "the package has more than " + std::to_string(m_limits.maxEntries) + " parts";
    QSet<QString> names;
    for (zip_int64_t i = 0; !refused && i < entries; ++i) {
        const char* name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString key = name ? folded(name) : QString();
        refused = !name || names.contains(key);
        if (refused)
            m_problem = name ? std::string(name) + ": a second part of that name, differing only in case or slashes"
                             : "the package is not a readable zip file";
        names.insert(key);
        if (name && std::strchr(name, '\\'))
            m_backslashed.insert(key, i);
    }
    if (refused) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

std::int64_t ZipArchive::locate(const std::string& part) const
{
    if (!m_zip || part.empty())
        return -1;
    const std::int64_t index = zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
    if (index >= 0 || m_backslashed.isEmpty())
        return index;
    return m_backslashed.value(folded(part.c_str()), -1);
}

bool ZipArchive::contains(const std::string& part) const
{
    return locate(part) >= 0;
}

void ZipArchive::noteProblem(const std::string& part, const std::string& why) const
{
    m_problem = part + ": " + why;
}

std::unique_ptr<PartReader> ZipArchive::open(const std::string& part, std::uint64_t maxSize, const char** fault) const
{
    const auto refuse = [fault](const char* why) {
        if (fault)
            *fault = why;
        return nullptr;
    };
    const std::uint64_t limit = std::min(maxSize, m_limits.maxEntrySize);
    const std::int64_t index = locate(part);
    if (index < 0)
        return refuse("missing");
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0)
        return refuse("damaged (cannot be read)");
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return refuse("inflates past its limit");
    // Without a compressed size the ratio guard could not work.
    if (!(stat.valid & ZIP_STAT_COMP_SIZE))
        return refuse("damaged (no compressed size)");
    constexpr zip_uint64_t kFacts = ZIP_STAT_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    const bool fast = m_inflater == Inflater::Fastest && (stat.valid & kFacts) == kFacts
                      && stat.comp_method == ZIP_CM_DEFLATE && stat.encryption_method == ZIP_EM_NONE;
    // The fast road takes the entry's bytes as stored and inflates them itself.
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(m_zip, zip_uint64_t(index), fast ? ZIP_FL_COMPRESSED : 0));
    if (!file) {
        const int error = zip_error_code_zip(zip_get_error(m_zip));
        return refuse(error == ZIP_ER_NOPASSWD || error == ZIP_ER_ENCRNOTSUPP ? "encrypted" : "damaged (cannot be read)");
    }
    return std::make_unique<EntryReader>(std::move(file), stat, fast, limit, m_limits);
}

bool ZipArchive::stream(const std::string& part, const Sink& sink, std::uint64_t maxSize, const char** fault) const
{
    const std::unique_ptr<PartReader> reader = open(part, maxSize, fault);
    if (!reader)
        return false;
    const auto read = [&reader](char* buffer, std::size_t size) { return reader->read(buffer, size); };
    const bool streamed = reader->declaredSize() >= kPrefetchSize && reader->declaredSize() != UINT64_MAX
                              ? prefetch(read, sink)
                              : pump(read, sink, reader->declaredSize());
    // Read on the prefetching thread, which has ended by now.
    if (!streamed && fault && reader->fault())
        *fault = reader->fault();
    return streamed;
}

} // namespace reader
