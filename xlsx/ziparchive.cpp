#include "ziparchive.h"

#include "prefetch.h"

#include <QFile>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace xlsx {

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

} // namespace

ZipArchive::ZipArchive(const QString& path, const ZipLimits& limits)
    : m_limits(limits)
{
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    refuseAmbiguous();
}

ZipArchive::ZipArchive(const char* data, std::size_t size, const ZipLimits& limits)
    : m_limits(limits)
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
    refuseAmbiguous();
}

void ZipArchive::refuseAmbiguous()
{
    if (!m_zip)
        return;
    const zip_int64_t entries = zip_get_num_entries(m_zip, 0);
    bool refused = entries < 0 || std::uint64_t(entries) > m_limits.maxEntries;
    QSet<QString> names;
    for (zip_int64_t i = 0; !refused && i < entries; ++i) {
        const char* name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString key = name ? folded(name) : QString();
        refused = !name || names.contains(key);
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

bool ZipArchive::stream(const std::string& part, const Sink& sink, std::uint64_t maxSize) const
{
    const std::uint64_t limit = std::min(maxSize, m_limits.maxEntrySize);
    const std::int64_t index = locate(part);
    if (index < 0)
        return false;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0)
        return false;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limit)
        return false;
    // Without a compressed size the ratio guard could not work.
    if (!(stat.valid & ZIP_STAT_COMP_SIZE))
        return false;
    const double compressed = double(stat.comp_size);

    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(m_zip, zip_uint64_t(index), 0));
    if (!file)
        return false;
    std::uint64_t inflated = 0;
    const auto read = [&](char* buffer, std::size_t size) -> std::int64_t {
        const zip_int64_t n = zip_fread(file.get(), buffer, size);
        if (n <= 0)
            return n < 0 ? -1 : 0;
        inflated += std::uint64_t(n);
        if (inflated > limit)
            return -1;
        if (inflated > m_limits.ratioGraceSize && compressed < double(inflated) * m_limits.minInflateRatio)
            return -1;
        return n;
    };

    if ((stat.valid & ZIP_STAT_SIZE) && stat.size >= kPrefetchSize)
        return prefetch(read, sink);
    return pump(read, sink, (stat.valid & ZIP_STAT_SIZE) ? stat.size : UINT64_MAX);
}

} // namespace xlsx
