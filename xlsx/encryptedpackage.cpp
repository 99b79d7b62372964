#include "encryptedpackage.h"

#include <QIODevice>
#include <QSet>
#include <QString>

#include <cstdint>
#include <vector>

namespace xlsx {

namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFA;
// A directory holds a few entries; a crafted file could chain sectors for ever.
constexpr int kMaxDirectorySectors = 4096;
constexpr int kMaxFatSectors = 1 << 20;

std::uint32_t le32(const QByteArray& bytes, int at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

class CompoundFile final
{
public:
    explicit CompoundFile(QIODevice& device) : m_device(device) {}

    // The names of the streams in the root directory's tree; empty when the
    // device is no compound file.
    QSet<QString> streamNames()
    {
        const QByteArray header = m_device.read(512);
        if (header.size() != 512 || !header.startsWith(QByteArray(kSignature, 8)))
            return {};
        const int shift = uchar(header[0x1E]) | uchar(header[0x1F]) << 8;
        if (shift != 9 && shift != 12)
            return {};
        m_sectorSize = 1 << shift;
        for (int i = 0; i < 109; ++i)
            m_fatSectors.push_back(le32(header, 0x4C + 4 * i));
        // Files past 7 MB list more FAT sectors in a chain of their own.
        std::uint32_t next = le32(header, 0x44);
        const int perSector = m_sectorSize / 4;
        while (next <= kLastRegularSector && int(m_fatSectors.size()) < kMaxFatSectors) {
            const QByteArray sector = read(next);
            if (sector.isEmpty())
                return {};
            for (int i = 0; i < perSector - 1; ++i)
                m_fatSectors.push_back(le32(sector, 4 * i));
            next = le32(sector, 4 * (perSector - 1));
        }

        QSet<QString> names;
        std::uint32_t directory = le32(header, 0x30);
        for (int n = 0; directory <= kLastRegularSector && n < kMaxDirectorySectors; ++n) {
            const QByteArray sector = read(directory);
            if (sector.isEmpty())
                return {};
            for (int entry = 0; entry + 128 <= sector.size(); entry += 128) {
                const int nameBytes = uchar(sector[entry + 0x40]) | uchar(sector[entry + 0x41]) << 8;
                const bool stream = sector[entry + 0x42] == 2;
                if (!stream || nameBytes < 2 || nameBytes > 64)
                    continue;
                QString name;
                for (int i = 0; i + 3 < nameBytes; i += 2)
                    name += QChar(uchar(sector[entry + i]) | uchar(sector[entry + i + 1]) << 8);
                names.insert(name);
            }
            directory = nextSector(directory);
        }
        return names;
    }

private:
    QByteArray read(std::uint32_t sector)
    {
        const qint64 at = (qint64(sector) + 1) * m_sectorSize;
        if (at + m_sectorSize > m_device.size() || !m_device.seek(at))
            return {};
        const QByteArray bytes = m_device.read(m_sectorSize);
        return bytes.size() == m_sectorSize ? bytes : QByteArray();
    }

    std::uint32_t nextSector(std::uint32_t sector)
    {
        const std::uint32_t perSector = std::uint32_t(m_sectorSize / 4);
        const std::uint32_t index = sector / perSector;
        if (index >= m_fatSectors.size() || m_fatSectors[index] > kLastRegularSector)
            return UINT32_MAX;
        const QByteArray fat = read(m_fatSectors[index]);
        return fat.isEmpty() ? UINT32_MAX : le32(fat, int(4 * (sector % perSector)));
    }

    QIODevice& m_device;
    int m_sectorSize = 512;
    std::vector<std::uint32_t> m_fatSectors;
};

} // namespace

bool isEncryptedPackage(QIODevice& device)
{
    const QSet<QString> names = CompoundFile(device).streamNames();
    return names.contains(QStringLiteral("EncryptionInfo")) && names.contains(QStringLiteral("EncryptedPackage"));
}

} // namespace xlsx
