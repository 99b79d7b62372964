#include "compoundfile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace reader {

namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::size_t kHeaderEntries = 109;
constexpr std::size_t kEntryBytes = 128;

std::uint16_t le16(const char* p) { return std::uint16_t(std::uint8_t(p[0]) | std::uint8_t(p[1]) << 8); }
std::uint32_t le32(const char* p) { return std::uint32_t(le16(p)) | std::uint32_t(le16(p + 2)) << 16; }

class CompoundFile final
{
public:
    CompoundFile(const char* data, std::size_t size) : m_data(data), m_size(size) {}

    bool stream(const char* name, std::string& out)
    {
        const char* entry = find(name);
        return entry && contents(entry, m_directory.data(), out);
    }

    // The directory entry of the stream named name, or null when there is
    // none or the file is no sound compound file.
    const char* find(const char* name)
    {
        if (m_size < 512 || std::memcmp(m_data, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0)
            return nullptr;
        const unsigned shift = le16(m_data + 0x1E);
        if ((shift != 9 && shift != 12) || le16(m_data + 0x20) != 6)
            return nullptr;
        m_sectorSize = std::size_t(1) << shift;
        if (m_size < m_sectorSize)
            return nullptr;
        // Some writers leave the last sector short: the file ends where its stream does.
        m_sectors = (m_size - 1) / m_sectorSize;
        if (!readFat() || !chain(le32(m_data + 0x30), m_directory) || m_directory.size() < kEntryBytes)
            return nullptr;
        for (std::size_t at = kEntryBytes; at + kEntryBytes <= m_directory.size(); at += kEntryBytes) {
            const char* entry = m_directory.data() + at;
            if (entry[66] == 2 && sameName(entry, name))
                return entry;
        }
        return nullptr;
    }

private:
    const char* sector(std::uint32_t n) const { return m_data + (std::size_t(n) + 1) * m_sectorSize; }
    // The bytes of sector n the file holds: all of them but in a last sector cut short.
    std::size_t held(std::uint32_t n) const { return std::min(m_sectorSize, m_size - (std::size_t(n) + 1) * m_sectorSize); }

    bool readFat()
    {
        const std::size_t perSector = m_sectorSize / 4;
        const std::uint32_t fatSectors = le32(m_data + 0x2C);
        if (fatSectors > m_sectors)
            return false;
        // The allocation table is read whole, entry by entry: its sectors must be.
        std::vector<std::uint32_t> list;
        for (std::size_t i = 0; i < kHeaderEntries && list.size() < fatSectors; ++i)
            list.push_back(le32(m_data + 0x4C + 4 * i));
        std::uint32_t next = le32(m_data + 0x44);
        for (std::size_t steps = 0; list.size() < fatSectors; ++steps) {
            if (next >= m_sectors || held(next) < m_sectorSize || steps > m_sectors)
                return false;
            const char* difat = sector(next);
            for (std::size_t i = 0; i + 1 < perSector && list.size() < fatSectors; ++i)
                list.push_back(le32(difat + 4 * i));
            next = le32(difat + m_sectorSize - 4);
        }
        m_fat.reserve(list.size() * perSector);
        for (std::uint32_t fatSector : list) {
            if (fatSector >= m_sectors || held(fatSector) < m_sectorSize)
                return false;
            for (std::size_t i = 0; i < perSector; ++i)
                m_fat.push_back(le32(sector(fatSector) + 4 * i));
        }
        return true;
    }

    // The sectors of the chain starting at first, one after the other; a
    // sector cut short by the file's end only as the chain's last.
    bool chain(std::uint32_t first, std::string& out) const
    {
        out.clear();
        for (std::uint32_t n = first; n != kEndOfChain;) {
            if (n >= m_sectors || n >= m_fat.size() || out.size() >= m_size)
                return false;
            const std::size_t bytes = held(n);
            if (bytes < m_sectorSize && m_fat[n] != kEndOfChain)
                return false;
            out.append(sector(n), bytes);
            n = m_fat[n];
        }
        return true;
    }

    static bool sameName(const char* entry, const char* name)
    {
        const std::size_t length = std::strlen(name);
        if (le16(entry + 64) != 2 * (length + 1))
            return false;
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint16_t c = le16(entry + 2 * i);
            const auto lower = [](std::uint16_t ch) { return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch; };
            if (lower(c) != lower(std::uint8_t(name[i])))
                return false;
        }
        return true;
    }

    bool contents(const char* entry, const char* root, std::string& out) const
    {
        const std::uint32_t start = le32(entry + 116);
        const std::uint32_t size = le32(entry + 120);
        if (size > m_size)
            return false;
        if (size >= le32(m_data + 0x38)) {
            if (!chain(start, out) || out.size() < size)
                return false;
            out.resize(size);
            return true;
        }
        // Small streams live in 64-byte pieces of the root entry's stream.
        std::string mini;
        std::string miniFatBytes;
        if (!chain(le32(root + 116), mini) || !chain(le32(m_data + 0x3C), miniFatBytes))
            return false;
        out.clear();
        for (std::uint32_t n = start; n != kEndOfChain && out.size() < size;) {
            if (std::size_t(n) * 64 + 64 > mini.size() || std::size_t(n) * 4 + 4 > miniFatBytes.size())
                return false;
            out.append(mini, std::size_t(n) * 64, 64);
            n = le32(miniFatBytes.data() + std::size_t(n) * 4);
        }
        if (out.size() < size)
            return false;
        out.resize(size);
        return true;
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_sectorSize = 512;
    std::size_t m_sectors = 0;
    std::vector<std::uint32_t> m_fat;
    std::string m_directory;
};

} // namespace

bool readCompoundStream(const char* data, std::size_t size, const char* name, std::string& out)
{
    return CompoundFile(data, size).stream(name, out);
}

bool holdsCompoundStream(const char* data, std::size_t size, const char* name)
{
    return CompoundFile(data, size).find(name) != nullptr;
}

} // namespace reader
