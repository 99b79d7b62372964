#include "workbookfingerprint.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

namespace reader {

namespace {

constexpr qint64 endRecordSize = 22;
constexpr qint64 largestComment = 0xFFFF;
constexpr qint64 zip64LocatorSize = 20;
constexpr qint64 zip64EndRecordSize = 56;
// A directory of the reader's 10,000 entries with long names stays far below this.
constexpr qint64 largestDirectory = 64 * 1024 * 1024;

quint16 le16(const char* at) { return qFromLittleEndian<quint16>(at); }
quint32 le32(const char* at) { return qFromLittleEndian<quint32>(at); }
quint64 le64(const char* at) { return qFromLittleEndian<quint64>(at); }

QByteArray readAt(QFile& file, qint64 offset, qint64 size)
{
    if (offset < 0 || size < 0 || offset + size > file.size() || !file.seek(offset))
        return {};
    const QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

// The central directory and the records that close the package; empty when
// the file is no zip package or its end cannot be made out.
QByteArray zipDirectory(QFile& file)
{
    const qint64 size = file.size();
    const qint64 tailSize = qMin(size, endRecordSize + largestComment + zip64LocatorSize);
    const QByteArray tail = readAt(file, size - tailSize, tailSize);
    if (tail.isEmpty())
        return {};
    // The last end record: a comment may hold the signature too, but no
    // directory would then be found where the record says.
    const int end = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || tail.size() - end < endRecordSize)
        return {};
    const char* record = tail.constData() + end;
    quint64 directorySize = le32(record + 12);
    quint64 directoryOffset = le32(record + 16);
    QByteArray closing = tail.mid(end);
    if ((directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF || le16(record + 10) == 0xFFFF)
        && end >= zip64LocatorSize) {
        const char* locator = record - zip64LocatorSize;
        if (le32(locator) != 0x07064b50)
            return {};
        const QByteArray zip64 = readAt(file, qint64(le64(locator + 8)), zip64EndRecordSize);
        if (zip64.isEmpty() || le32(zip64.constData()) != 0x06064b50)
            return {};
        directorySize = le64(zip64.constData() + 40);
        directoryOffset = le64(zip64.constData() + 48);
        closing.prepend(zip64);
    }
    if (directorySize > quint64(largestDirectory) || directoryOffset > quint64(size))
        return {};
    const QByteArray directory = readAt(file, qint64(directoryOffset), qint64(directorySize));
    if (directory.size() != qint64(directorySize) || (directorySize > 0 && !directory.startsWith("PK\x01\x02")))
        return {};
    return directory + closing;
}

} // namespace

QByteArray workbookFingerprint(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray directory = zipDirectory(file);
    if (!directory.isEmpty()) {
        hash.addData(QByteArrayLiteral("zip"));
        hash.addData(directory);
        return hash.result();
    }
    hash.addData(QByteArrayLiteral("file"));
    if (!file.seek(0) || !hash.addData(&file) || !file.atEnd())
        return {};
    return hash.result();
}

} // namespace reader
